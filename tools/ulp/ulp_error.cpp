// The ulp error of one result and the fold of the maxima.
#include "ulp_error.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace NOrvexUlp {

namespace {

constexpr int kFloatPrecision = 24;
constexpr int kFloatMinExponent = -126;
constexpr int kDoublePrecision = 53;
constexpr int kDoubleMinExponent = -1022;

// Keeps the larger error; of two equal errors the smaller bit pattern.
void Keep(double error, std::uint64_t bits, double& max, bool& has, std::uint64_t& worst) {
    if (!has || error > max || (error == max && bits < worst)) {
        max = error;
        worst = bits;
        has = true;
    }
}

void Count(UlpStats& stats, std::uint64_t bits, double error, double abs, bool normal) {
    Keep(error, bits, stats.maxUlp, stats.hasWorst, stats.worstInput);
    if (normal) Keep(error, bits, stats.maxUlpNormal, stats.hasWorstNormal, stats.worstInputNormal);
    if (abs > stats.maxAbs) stats.maxAbs = abs;
}

// 1 / ulp(r) in float ulps, for a finite r. floor(log2 |r|) comes from the exponent field; a zero
// or subnormal double lies far below the float normal range. The scale 2^(p - 1 - e) is built from
// its exponent field, so multiplying by it is exact; with the difference of two doubles, rounded
// by at most 2^-53 of itself, the error has about 16 correct digits.
double FloatUlpScale(double r) {
    std::uint64_t bits;
    std::memcpy(&bits, &r, sizeof bits);
    const int field = static_cast<int>((bits >> 52) & 0x7FF);
    int e = field == 0 ? kFloatMinExponent : field - 1023;
    if (e < kFloatMinExponent) e = kFloatMinExponent;
    const std::uint64_t scaleBits = static_cast<std::uint64_t>(1023 + kFloatPrecision - 1 - e) << 52;
    double scale;
    std::memcpy(&scale, &scaleBits, sizeof scale);
    return scale;
}

// The error in double ulps of y against a finite r, and |y - r| in abs. The difference is formed
// at the reference's precision from the exact y, so an error far below an ulp keeps its digits;
// mpfr_get_exp gives e + 1 for |r| in [2^e, 2^(e + 1)).
double DoubleError(double y, const mpfr_t r, mpfr_t scratch, double& abs) {
    mpfr_sub_d(scratch, r, y, MPFR_RNDN);
    mpfr_abs(scratch, scratch, MPFR_RNDN);
    abs = mpfr_get_d(scratch, MPFR_RNDN);
    long e = mpfr_zero_p(r) ? kDoubleMinExponent : mpfr_get_exp(r) - 1;
    if (e < kDoubleMinExponent) e = kDoubleMinExponent;
    mpfr_mul_2si(scratch, scratch, kDoublePrecision - 1 - e, MPFR_RNDN);
    return mpfr_get_d(scratch, MPFR_RNDN);
}

}  // namespace

void Merge(UlpStats& into, const UlpStats& other) {
    into.inputs += other.inputs;
    if (other.hasWorst) Keep(other.maxUlp, other.worstInput, into.maxUlp, into.hasWorst, into.worstInput);
    if (other.hasWorstNormal) {
        Keep(other.maxUlpNormal, other.worstInputNormal, into.maxUlpNormal, into.hasWorstNormal,
             into.worstInputNormal);
    }
    if (other.maxAbs > into.maxAbs) into.maxAbs = other.maxAbs;
    into.nonfiniteMismatches += other.nonfiniteMismatches;
}

double UlpError(float y, double r) { return std::fabs(static_cast<double>(y) - r) * FloatUlpScale(r); }

double UlpError(double y, const mpfr_t r) {
    mpfr_t scratch;
    mpfr_init2(scratch, mpfr_get_prec(r));
    double abs;
    const double error = DoubleError(y, r, scratch, abs);
    mpfr_clear(scratch);
    return error;
}

FloatPoint Prepare(std::uint32_t bits, double r) {
    float x;
    std::memcpy(&x, &bits, sizeof x);
    const float rounded = static_cast<float>(r);  // the exact result rounded to float
    FloatPoint point{bits, r, 0.0, false, false};
    point.counted = !std::isnan(x) && !std::isnan(r) && !std::isinf(rounded);
    if (point.counted) {
        point.scale = FloatUlpScale(r);
        point.normal = std::fabs(rounded) >= std::numeric_limits<float>::min();
    }
    return point;
}

void Fold(UlpStats& stats, float y, const FloatPoint& point) {
    ++stats.inputs;
    if (!point.counted) return;
    if (!std::isfinite(y)) {
        ++stats.nonfiniteMismatches;
        return;
    }
    const double abs = std::fabs(static_cast<double>(y) - point.r);
    Count(stats, point.bits, abs * point.scale, abs, point.normal);
}

void Fold(UlpStats& stats, std::uint32_t bits, float y, double r) { Fold(stats, y, Prepare(bits, r)); }

void Fold(UlpStats& stats, std::uint64_t bits, double y, const mpfr_t r, mpfr_t scratch) {
    ++stats.inputs;
    double x;
    std::memcpy(&x, &bits, sizeof x);
    const double rounded = mpfr_get_d(r, MPFR_RNDN);
    if (std::isnan(x) || mpfr_nan_p(r) || std::isinf(rounded)) return;
    if (!std::isfinite(y)) {
        ++stats.nonfiniteMismatches;
        return;
    }
    double abs;
    const double error = DoubleError(y, r, scratch, abs);
    Count(stats, bits, error, abs, std::fabs(rounded) >= std::numeric_limits<double>::min());
}

}  // namespace NOrvexUlp
