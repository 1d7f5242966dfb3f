// The benchmark's table baselines: listed values as bit patterns, the whole-block clamp of the
// float exponential, the paired and odd-element forms of the double exponential, and the table
// logarithm's special inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "baselines.h"
#include "support/test_util.h"
#include "table_exp.h"

namespace {

using namespace NOrvexBench;
using NOrvexTest::Bits;
using NOrvexTest::F32;
using NOrvexTest::F64;
using NOrvexTest::Hex;

constexpr float kNanF = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfF = std::numeric_limits<float>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// FmathExp (float) results, worked out by hand from the table algorithm.
constexpr std::uint32_t kExpOf88 = 0x7EF882B4;     // 1.6516360e38
constexpr std::uint32_t kExpOfM88 = 0x0003DE8A;    // 3.5533846e-40, a subnormal
constexpr std::uint32_t kExpOf1 = 0x402DF855;      // 2.71828198
constexpr std::uint32_t kExpOfM1 = 0x3EBC5AB1;     // 0.367879421
constexpr std::uint32_t kExpOfHalf = 0x3FD3094C;   // 1.64872122
constexpr std::uint32_t kExpOf10 = 0x46AC14EF;     // 22026.4668
constexpr std::uint32_t kExpOfM875 = 0x0059700C;   // 8.2135540e-39 (-87.5, below the float normals)

struct BlockCase {
    const char* what;
    float in[4];
    std::uint32_t out[4];
};

TEST(FmathExpFloat, BlocksAndTheWholeBlockClamp) {
    const BlockCase cases[] = {
        {"in range: no clamp", {1.0f, -1.0f, 0.5f, 0.0f}, {kExpOf1, kExpOfM1, kExpOfHalf, 0x3F800000}},
        {"below -88 but not beyond it: no clamp", {-87.5f, 10.0f, 1.0f, 0.5f},
         {kExpOfM875, kExpOf10, kExpOf1, kExpOfHalf}},
        {"exactly +-88 is not beyond", {88.0f, -88.0f, 1.0f, 10.0f}, {kExpOf88, kExpOfM88, kExpOf1, kExpOf10}},
        {"100 clamps to 88, the other lanes are untouched", {100.0f, 1.0f, 0.5f, 10.0f},
         {kExpOf88, kExpOf1, kExpOfHalf, kExpOf10}},
        {"88.5 in the last lane", {1.0f, -1.0f, 10.0f, 88.5f}, {kExpOf1, kExpOfM1, kExpOf10, kExpOf88}},
        {"-100 clamps to -88", {-1.0f, -100.0f, 0.0f, 1.0f}, {kExpOfM1, kExpOfM88, 0x3F800000, kExpOf1}},
        {"NaN lane gives the value for 88", {kNanF, 0.0f, -1.0f, 1.0f}, {kExpOf88, 0x3F800000, kExpOfM1, kExpOf1}},
        {"infinities", {kInfF, -kInfF, 0.5f, 10.0f}, {kExpOf88, kExpOfM88, kExpOfHalf, kExpOf10}},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.what);
        alignas(16) float in[4];
        alignas(16) float out[4];
        for (int i = 0; i < 4; ++i) {
            in[i] = c.in[i];
        }
        FmathExp(in, 4, out);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Hex(Bits(out[i])), Hex(c.out[i])) << "lane " << i;
        }
    }
}

TEST(FmathExpFloat, WritesWholeBlocksOnlyAndClampsPerBlock) {
    // Two blocks and a tail of three: the clamp in the first block does not reach the second,
    // and the tail is left alone.
    alignas(16) float in[11] = {100.0f, 1.0f, 1.0f, 1.0f, 88.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    alignas(16) float out[11];
    for (float& v : out) {
        v = -7.0f;
    }
    FmathExp(in, 11, out);
    for (int i = 0; i < 8; ++i) {
        const std::uint32_t expected = (i % 4 == 0) ? kExpOf88 : kExpOf1;
        EXPECT_EQ(Hex(Bits(out[i])), Hex(expected)) << "element " << i;
    }
    for (int i = 8; i < 11; ++i) {
        EXPECT_EQ(out[i], -7.0f) << "tail element " << i << " was written";
    }
    FmathExp(in, 0, out);
    EXPECT_EQ(out[8], -7.0f);
}

// ---- double ----

const NOrvex::NDetail::ExpTable& ReferenceTable() {
    static const NOrvex::NDetail::ExpTable table;
    return table;
}

// x in lane `lane` of a pair whose other lane holds 1.0.
double Paired(double x, int lane) {
    double in[2] = {1.0, 1.0};
    in[lane] = x;
    double out[2];
    FmathExp(in, 2, out);
    return out[lane];
}

double OddElement(double x) {
    // A count of three puts x at the odd last position.
    const double in[3] = {0.0, 0.0, x};
    double out[3];
    FmathExp(in, 3, out);
    return out[2];
}

struct DoubleCase {
    const char* what;
    double x;
    std::uint64_t paired;
    std::uint64_t odd;
};

TEST(FmathExpDouble, PairedAndOddElementForms) {
    const double dblMin = std::numeric_limits<double>::min();
    const std::uint64_t nearMin = Bits(NOrvex::NDetail::TableExpCore(ReferenceTable(), -0x1.6232bdd7abcd2p+9));
    const DoubleCase cases[] = {
        {"0", 0.0, 0x3FF0000000000000, 0x3FF0000000000000},
        {"-0", -0.0, 0x3FF0000000000000, 0x3FF0000000000000},
        {"NaN: clamped to the top in pairs, propagated alone", kNan, Bits(kInf), Bits(kNan)},
        {"709.7826: k reaches 2^21 in both forms", 709.7826, Bits(kInf), Bits(kInf)},
        {"upper limit of the scalar form", F64(0x40862E42FEFA39EF), Bits(kInf), Bits(kInf)},
        {"upper clamp of the paired form", F64(0x40862E4305B03696), Bits(kInf), Bits(kInf)},
        {"+inf", kInf, Bits(kInf), Bits(kInf)},
        {"lower limit: smallest normal in pairs, +0 alone", F64(0xC086232BDD7ABCD2), nearMin, 0},
        {"-1000", -1000.0, nearMin, 0},
        {"-inf", -kInf, nearMin, 0},
    };
    for (const DoubleCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Hex(Bits(Paired(c.x, 0))), Hex(c.paired)) << "first lane";
        EXPECT_EQ(Hex(Bits(Paired(c.x, 1))), Hex(c.paired)) << "second lane";
        EXPECT_EQ(Hex(Bits(OddElement(c.x))), Hex(c.odd));
    }
    EXPECT_GE(F64(nearMin), dblMin);
    EXPECT_LE(F64(nearMin), dblMin * (1.0 + 1e-12));
}

TEST(FmathExpDouble, PairedFormEqualsTheScalarTableExponential) {
    // Lane by lane, strictly between the scalar limits, with the same table contents.
    std::mt19937_64 generator(7);
    std::uniform_real_distribution<double> wide(-708.396, 709.782);
    std::uniform_real_distribution<double> narrow(-1.0, 1.0);
    std::vector<double> in;
    for (int i = 0; i < 20000; ++i) {
        in.push_back(i % 2 == 0 ? wide(generator) : narrow(generator));
    }
    in.push_back(F64(0xC086232BDD7ABCD1));  // just above the lower limit
    in.push_back(F64(0x40862E42FEFA39EE));  // just below the upper limit
    in.push_back(-0x1p-1074);
    in.push_back(0x1p-1074);
    std::vector<double> out(in.size());
    FmathExp(in.data(), in.size(), out.data());
    for (size_t i = 0; i < in.size(); ++i) {
        const double expected = NOrvex::NDetail::TableExpCore(ReferenceTable(), in[i]);
        ASSERT_EQ(Hex(Bits(out[i])), Hex(Bits(expected))) << "x = " << in[i] << " at " << i;
    }
}

TEST(FmathExpDouble, CopiesThenTransformsInPlace) {
    const double in[5] = {1.0, -1.0, 2.0, 0.5, 3.0};
    double separate[5];
    FmathExp(in, 5, separate);
    double inPlace[5] = {1.0, -1.0, 2.0, 0.5, 3.0};
    FmathExp(inPlace, 5, inPlace);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Hex(Bits(inPlace[i])), Hex(Bits(separate[i])));
        EXPECT_EQ(Hex(Bits(separate[i])), Hex(Bits(NOrvex::NDetail::TableExpCore(ReferenceTable(), in[i]))));
    }
    double untouched = -7.0;
    FmathExp(in, 0, &untouched);
    EXPECT_EQ(untouched, -7.0);
}

// ---- logarithm ----

struct LogCase {
    const char* what;
    std::uint32_t in;
    std::uint32_t out;
};

TEST(FmathLog, FloatBitPatterns) {
    const LogCase cases[] = {
        {"1.0", 0x3F800000, 0x00000000},
        {"2.0", 0x40000000, 0x3F317218},
        {"-2.0: the sign is ignored", 0xC0000000, 0x3F317218},
        {"1.5: a table value", 0x3FC00000, 0x3ECF991F},
        {"1 + 4095 ulp: the first slope", 0x3F800FFF, 0x39FFE003},
        {"3.14159", 0x40490FD0, 0x3F92867B},
        {"0.001", 0x3A83126F, 0xC0DD0C55},
        {"+0: exponent field 0, not special", 0x00000000, 0xC2B00F34},
        {"-0", 0x80000000, 0xC2B00F34},
        {"smallest subnormal", 0x00000001, 0xC2B00F34},
        {"+inf: exponent field 255, not special", 0x7F800000, 0x42B17218},
        {"largest float", 0x7F7FFFFF, 0x42B17218},
    };
    for (const LogCase& c : cases) {
        SCOPED_TRACE(c.what);
        const float x = F32(c.in);
        float y;
        FmathLog(&x, 1, &y);
        EXPECT_EQ(Hex(Bits(y)), Hex(c.out));
    }
    // A NaN is read as a number like any other: its result is finite.
    float y;
    FmathLog(&kNanF, 1, &y);
    EXPECT_TRUE(std::isfinite(y));
}

TEST(FmathLog, DoubleWorksOnTheRoundedFloat) {
    const struct {
        const char* what;
        double in;
        std::uint32_t floatOut;
    } cases[] = {
        {"2.0", 2.0, 0x3F317218},
        {"1 + 2^-40 rounds to 1", 1.0 + 0x1p-40, 0x00000000},
        {"1e300 rounds to +inf", 1e300, 0x42B17218},
        {"1e-50 rounds to 0", 1e-50, 0xC2B00F34},
        {"-2.0", -2.0, 0x3F317218},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        double y;
        FmathLog(&c.in, 1, &y);
        EXPECT_EQ(Hex(Bits(y)), Hex(Bits(static_cast<double>(F32(c.floatOut)))));
    }
}

}  // namespace
