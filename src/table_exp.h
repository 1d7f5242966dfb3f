// Table-driven scalar double exponential: e^x = 2^(k/2048) * (1 + r + r^2/2 + r^3/6), with
// k = round(x * 2048 / ln 2) and r the remainder. Shared by the plain kernels and by the
// benchmark's table baseline, which keeps a table instance of its own.
//
// Every step is a separate IEEE operation in the order written (built with -ffp-contract=off).
#ifndef ORVEX_SRC_TABLE_EXP_H
#define ORVEX_SRC_TABLE_EXP_H

#include <cmath>
#include <cstdint>
#include <cstring>

namespace NOrvex {
namespace NDetail {

constexpr double kExpRound = 0x1.8p+52;                   // 0x4338000000000000, 3 * 2^51
constexpr double kExpLowerLimit = -0x1.6232bdd7abcd2p+9;  // 0xC086232BDD7ABCD2, ln of DBL_MIN
constexpr double kExpUpperLimit = 0x1.62e42fefa39efp+9;   // 0x40862E42FEFA39EF, ln of DBL_MAX
constexpr std::uint64_t kExpBiasOffset = 0x1FF800;        // 1023 * 2048

struct ExpTable {
    double one[2];
    double sixth[2];
    double three[2];
    std::uint64_t mantissa[2048];  // fraction field of 2^(j/2048)
    double scale;                  // 2048 / ln 2
    double invScale;               // ln 2 / 2048

    ExpTable() {
        one[0] = one[1] = 1.0;
        sixth[0] = sixth[1] = 0x1.5555555bb5fdbp-3;  // 0x3FC5555555BB5FDB, about 1/6
        three[0] = three[1] = 0x1.8000000600dd3p+1;  // 0x4008000000600DD3, about 3
        scale = 0x1.71547652b82fep+11;               // 0x40A71547652B82FE
        invScale = 0x1.62e42fefa39efp-12;            // 0x3F362E42FEFA39EF
        for (int j = 0; j < 2048; ++j) {
            const double v = std::pow(2.0, static_cast<double>(j) * 0.00048828125);
            std::uint64_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            mantissa[j] = bits & 0x000FFFFFFFFFFFFFull;
        }
    }
};

// Steps after the limit tests: valid for any x whose k keeps the biased exponent in range.
inline double TableExpCore(const ExpTable& table, double x) {
    const double d = x * table.scale + kExpRound;
    std::uint64_t dBits;
    std::memcpy(&dBits, &d, sizeof dBits);
    const std::int32_t k = static_cast<std::int32_t>(static_cast<std::uint32_t>(dBits));
    const std::uint32_t idx = static_cast<std::uint32_t>(k) & 0x7FF;
    const std::uint64_t exponent =
        ((static_cast<std::uint64_t>(static_cast<std::int64_t>(k)) + kExpBiasOffset) >> 11) << 52;
    // t = k * ln2/2048 - x, the negated remainder; the subtraction of kExpRound is exact.
    const double t = (d - kExpRound) * table.invScale - x;
    double p = table.three[0] - t;
    const double q = t * t;
    p = p * q;
    p = p * table.sixth[0];
    p = p - t;
    const double y = p + table.one[0];
    const std::uint64_t scaleBits = exponent | table.mantissa[idx];
    double scale;
    std::memcpy(&scale, &scaleBits, sizeof scale);
    return y * scale;
}

}  // namespace NDetail
}  // namespace NOrvex

#endif  // ORVEX_SRC_TABLE_EXP_H
