// The error of one result and the fold of the maxima, through the measuring pass, with stand-in
// kernels whose every answer is known by hand: the exact result correctly rounded, with single
// inputs given a chosen result.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "measure.h"
#include "reference.h"
#include "ulp_error.h"

namespace {

using namespace NOrvexUlp;

template <class T> using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;

template <class T> Bits<T> BitsOf(T x) {
    Bits<T> b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

template <class T> T OfBits(Bits<T> b) {
    T x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

// The stand-in: the exact value of the current function rounded to T, except at the inputs of
// `chosen`, which return the result given there. Set before a pass, only read during it.
EFunction gFunction = EFunction::Exp;
std::map<std::uint64_t, double> gChosen;

float Rounded(float x) { return static_cast<float>(FloatReference(gFunction, x)); }

double Rounded(double x) {
    mpfr_t r, scratch;
    mpfr_init2(r, kReferencePrecision);
    mpfr_init2(scratch, kReferencePrecision);
    DoubleReference(gFunction, x, r, scratch);
    const double y = mpfr_get_d(r, MPFR_RNDN);
    mpfr_clear(scratch);
    mpfr_clear(r);
    return y;
}

template <class T> void StandIn(const T* src, std::size_t count, T* dst) {
    for (std::size_t i = 0; i < count; ++i) {
        const auto it = gChosen.find(BitsOf(src[i]));
        dst[i] = it != gChosen.end() ? static_cast<T>(it->second) : Rounded(src[i]);
    }
}

template <class T>
UlpStats MeasureStandIn(EFunction f, std::vector<T> inputs, std::map<std::uint64_t, double> chosen, unsigned threads = 2) {
    gFunction = f;
    gChosen = std::move(chosen);
    return Measure<T>(f, Listed<T>(std::move(inputs)), {StandIn<T>}, threads)[0];
}

// One input with one chosen result, and what the fold must make of it.
struct Case {
    const char* what;
    EFunction f;
    double x;
    double y;                // the kernel's result at x
    bool counted;            // enters the maxima
    double ulp;              // its error, when counted
    bool normal;             // counted in the normal range too
    bool mismatch;           // counted as a non-finite mismatch
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

template <class T> void CheckCase(const Case& c) {
    SCOPED_TRACE(std::string(c.what) + (sizeof(T) == 4 ? " (float)" : " (double)"));
    const T x = static_cast<T>(c.x);
    const UlpStats s = MeasureStandIn<T>(c.f, {x}, {{BitsOf(x), c.y}});
    EXPECT_EQ(s.inputs, 1u);
    EXPECT_EQ(s.hasWorst, c.counted);
    EXPECT_EQ(s.maxUlp, c.counted ? c.ulp : 0.0);
    EXPECT_EQ(s.worstInput, c.counted ? BitsOf(x) : 0u);
    EXPECT_EQ(s.hasWorstNormal, c.normal);
    EXPECT_EQ(s.maxUlpNormal, c.normal ? c.ulp : 0.0);
    EXPECT_EQ(s.nonfiniteMismatches, c.mismatch ? 1u : 0u);
}

TEST(UlpFold, HandKnownFloatCases) {
    const double min = 0x1p-149;  // the smallest subnormal, ulp(0)
    const Case cases[] = {
        {"exp(0) = 1, one ulp above", EFunction::Exp, 0.0, 1.0 + 0x1p-23, true, 1.0, true, false},
        {"exp(0) = 1, the float below is half an ulp of 1 away", EFunction::Exp, 0.0, 1.0 - 0x1p-24, true, 0.5, true,
         false},
        {"exp(-0) = 1, three ulps below", EFunction::Exp, -0.0, 1.0 - 3 * 0x1p-24, true, 1.5, true, false},
        {"exp(0) exact", EFunction::Exp, 0.0, 1.0, true, 0.0, true, false},
        {"log(1) = 0, the smallest subnormal is one ulp", EFunction::Log, 1.0, min, true, 1.0, false, false},
        {"log(1) = 0, minus two subnormal steps", EFunction::Log, 1.0, -2 * min, true, 2.0, false, false},
        {"sigm(0) = 0.5, whose ulp is 2^-24", EFunction::Sigmoid, 0.0, 0.5 + 0x1p-24, true, 1.0, true, false},
        {"sigm(-200) rounds to 0; 2^-148 is two ulps of 0", EFunction::Sigmoid, -200.0, 0x1p-148, true, 2.0, false,
         false},
        {"tanh(2^-140) = 2^-140 in float, a subnormal result", EFunction::Tanh, 0x1p-140, 0x1p-140 + min, true, 1.0,
         false, false},
        {"tanh(2^-126) is normal; +0 is 2^23 ulps off", EFunction::Tanh, 0x1p-126, 0.0, true, 0x1p23, true, false},
        {"tanh(+inf) = 1", EFunction::Tanh, kInf, 1.0, true, 0.0, true, false},
        {"exp(-inf) = 0", EFunction::Exp, -kInf, 0.0, true, 0.0, false, false},
        // Left out of the maxima.
        {"a NaN input", EFunction::Exp, kNan, 12345.0, false, 0, false, false},
        {"exp(89) rounds to infinity", EFunction::Exp, 89.0, 0.0, false, 0, false, false},
        {"exp(+inf)", EFunction::Exp, kInf, -1.0, false, 0, false, false},
        {"log(0) = -infinity", EFunction::Log, 0.0, -1e30, false, 0, false, false},
        {"log(-1) is undefined", EFunction::Log, -1.0, 5.0, false, 0, false, false},
        {"log(+inf) answered by a NaN", EFunction::Log, kInf, kNan, false, 0, false, false},
        // Non-finite results for finite exact ones: counted apart.
        {"exp(88.5) is finite, the result infinite", EFunction::Exp, 88.5, kInf, false, 0, false, true},
        {"exp(1) answered by a NaN", EFunction::Exp, 1.0, kNan, false, 0, false, true},
        {"log(2^-149) is finite, the result -infinity", EFunction::Log, min, -kInf, false, 0, false, true},
    };
    for (const Case& c : cases) CheckCase<float>(c);
}

TEST(UlpFold, HandKnownDoubleCases) {
    const double min = 0x1p-1074;
    const Case cases[] = {
        {"exp(0) = 1, one ulp above", EFunction::Exp, 0.0, 1.0 + 0x1p-52, true, 1.0, true, false},
        {"exp(0) = 1, the double below is half an ulp of 1 away", EFunction::Exp, 0.0, 1.0 - 0x1p-53, true, 0.5, true,
         false},
        {"log(1) = 0, the smallest subnormal is one ulp", EFunction::Log, 1.0, min, true, 1.0, false, false},
        {"sigm(0) = 0.5, whose ulp is 2^-53", EFunction::Sigmoid, 0.0, 0.5 - 0x1p-53, true, 1.0, true, false},
        {"sigm(-2000) is about 1e-869; 2^-1073 is two ulps of it", EFunction::Sigmoid, -2000.0, 0x1p-1073, true, 2.0,
         false, false},
        {"tanh of a subnormal is the input; one step above", EFunction::Tanh, 0x1p-1060, 0x1p-1060 + min, true, 1.0,
         false, false},
        {"tanh(2^-1022) is normal; +0 is 2^52 ulps off", EFunction::Tanh, 0x1p-1022, 0.0, true, 0x1p52, true, false},
        {"a NaN input", EFunction::Exp, kNan, 1.0, false, 0, false, false},
        {"exp(710) rounds to infinity", EFunction::Exp, 710.0, 0.0, false, 0, false, false},
        {"log(-0) = -infinity", EFunction::Log, -0.0, 0.0, false, 0, false, false},
        {"log(-2) is undefined", EFunction::Log, -2.0, 0.0, false, 0, false, false},
        {"exp(709.7) is finite, the result infinite", EFunction::Exp, 709.7, kInf, false, 0, false, true},
        {"tanh(1) answered by a NaN", EFunction::Tanh, 1.0, kNan, false, 0, false, true},
    };
    for (const Case& c : cases) CheckCase<double>(c);
}

// The error is taken from the exact value, not from a rounded one: the correctly rounded results
// of ln 2 (double) and e (float) are 0.2089 and 0.3462 ulp away from it (digits from a
// 60-digit evaluation), where a rounded reference would say 0.
TEST(UlpFold, ErrorsBelowHalfAnUlpKeepTheirDigits) {
    const UlpStats log2 = MeasureStandIn<double>(EFunction::Log, {2.0}, {});
    EXPECT_NEAR(log2.maxUlp, 0.20888116733385862, 1e-15);
    EXPECT_EQ(OfBits<double>(0x3FE62E42FEFA39EFull), Rounded(2.0));
    gFunction = EFunction::Exp;
    EXPECT_EQ(BitsOf(Rounded(1.0f)), 0x402DF854u);
    const UlpStats e = MeasureStandIn<float>(EFunction::Exp, {1.0f}, {});
    EXPECT_NEAR(e.maxUlp, 0.34623308726685260, 1e-9);  // the double reference's own error is ~1e-9 ulp
}

// The error of one result against one reference, by itself: the ulp is that of the exact value,
// clamped to the subnormal step below the normal range.
TEST(UlpError, OneResult) {
    EXPECT_EQ(UlpError(1.0f + 0x1p-23f, 1.0), 1.0);
    EXPECT_EQ(UlpError(1.0f, 1.0 - 0x1p-30), 0x1p-30 / 0x1p-24);  // r below 1: its ulp is 2^-24
    EXPECT_EQ(UlpError(0x1p-149f, 0.0), 1.0);
    EXPECT_EQ(UlpError(0.0f, 0x1p-140), 0x1p9);
    EXPECT_EQ(UlpError(-0x1p-126f, 0x1p-126), 0x1p24);
    EXPECT_EQ(UlpError(3.0f, 2.0), 0x1p22);

    mpfr_t r;
    mpfr_init2(r, kReferencePrecision);
    mpfr_set_d(r, 1.0, MPFR_RNDN);
    EXPECT_EQ(UlpError(1.0 + 0x1p-52, r), 1.0);
    EXPECT_EQ(UlpError(1.0 - 0x1p-53, r), 0.5);
    mpfr_set_zero(r, 1);
    EXPECT_EQ(UlpError(-0x1p-1073, r), 2.0);
    mpfr_set_d(r, 0x1p-1030, MPFR_RNDN);
    mpfr_nextabove(r);  // just above a power of two in the subnormal range: the ulp stays 2^-1074
    EXPECT_EQ(UlpError(0x1p-1030, r), 0x1p-83);  // 2^-1157 of 2^-1074
    mpfr_clear(r);
}

// The maxima over many inputs, with the normal range and the absolute error apart.
TEST(UlpFold, MaximaOverManyInputs) {
    std::vector<float> inputs = {0.0f, -200.0f, 3.0f, 0.25f};
    const UlpStats s = MeasureStandIn<float>(EFunction::Sigmoid, inputs, {{BitsOf(0.0f), 0.5 + 0x1p-24}, {BitsOf(-200.0f), 0x1p-148}});
    EXPECT_EQ(s.inputs, 4u);
    EXPECT_EQ(s.maxUlp, 2.0);
    EXPECT_EQ(s.worstInput, BitsOf(-200.0f));
    EXPECT_EQ(s.maxUlpNormal, 1.0);
    EXPECT_EQ(s.worstInputNormal, BitsOf(0.0f));
    EXPECT_EQ(s.maxAbs, 0x1p-24);
    EXPECT_EQ(s.nonfiniteMismatches, 0u);
}

// Correctly rounded results are never more than half an ulp away, over the sampled inputs of
// every function (which include the special values, subnormal and overflowing results); the
// largest error comes close to it.
TEST(UlpFold, CorrectlyRoundedIsWithinHalfAnUlp) {
    for (EFunction f : {EFunction::Exp, EFunction::Log, EFunction::Sigmoid, EFunction::Tanh}) {
        SCOPED_TRACE(FunctionName(f));
        gFunction = f;
        gChosen.clear();
        const UlpStats s32 = Measure<float>(f, Samples<float>(f, 100000), {StandIn<float>}, 2)[0];
        EXPECT_LE(s32.maxUlp, 0.5);
        EXPECT_GT(s32.maxUlp, 0.49);
        EXPECT_EQ(s32.nonfiniteMismatches, 0u);
        const UlpStats s64 = Measure<double>(f, Samples<double>(f, 30000), {StandIn<double>}, 2)[0];
        EXPECT_LE(s64.maxUlp, 0.5);
        EXPECT_GT(s64.maxUlp, 0.49);
        EXPECT_EQ(s64.nonfiniteMismatches, 0u);
    }
}

// Of equal errors the smallest bit pattern is reported, whatever the order of the inputs, the
// chunks they fall in and the number of threads. exp is exactly 1 at +-0 and 1 in double at
// 2^-149; each is given a result one ulp off, in three chunks in descending bit-pattern order.
TEST(UlpFold, FirstWorstInputInBitPatternOrder) {
    const float tiny = 0x1p-149f;
    std::vector<float> inputs(3 * kChunk + 5, 0.5f);
    inputs[10] = -0.0f;
    inputs[kChunk + 10] = tiny;
    inputs[3 * kChunk + 1] = 0.0f;
    const std::map<std::uint64_t, double> chosen = {
        {BitsOf(0.0f), 1.0 + 0x1p-23}, {BitsOf(-0.0f), 1.0 - 0x1p-23}, {BitsOf(tiny), 1.0 + 0x1p-23}};
    for (unsigned threads : {1u, 2u, 4u}) {
        SCOPED_TRACE(threads);
        const UlpStats s = MeasureStandIn<float>(EFunction::Exp, inputs, chosen, threads);
        EXPECT_EQ(s.inputs, inputs.size());
        EXPECT_EQ(s.maxUlp, 1.0);
        EXPECT_EQ(s.worstInput, 0u);
        EXPECT_EQ(s.worstInputNormal, 0u);
        inputs[3 * kChunk + 1] = 0.5f;  // without +0 the subnormal input comes first
        const UlpStats t = MeasureStandIn<float>(EFunction::Exp, inputs, chosen, threads);
        EXPECT_EQ(t.maxUlp, 1.0);
        EXPECT_EQ(t.worstInput, 1u);
        inputs[3 * kChunk + 1] = 0.0f;
    }
    UlpStats a, b;
    Fold(a, BitsOf(-0.0f), 1.0f - 0x1p-23f, 1.0);
    Fold(b, BitsOf(0.0f), 1.0f + 0x1p-23f, 1.0);
    UlpStats ab = a, ba = b;
    Merge(ab, b);
    Merge(ba, a);
    EXPECT_EQ(ab.worstInput, 0u);
    EXPECT_EQ(ba.worstInput, 0u);
    EXPECT_EQ(ab.inputs, 2u);
}

TEST(UlpFold, NoCountedInputLeavesNoWorstInput) {
    const UlpStats none = MeasureStandIn<float>(EFunction::Exp, {}, {});
    EXPECT_EQ(none.inputs, 0u);
    EXPECT_FALSE(none.hasWorst);
    EXPECT_FALSE(none.hasWorstNormal);
    const UlpStats nan = MeasureStandIn<double>(EFunction::Log, {kNan, -1.0}, {});
    EXPECT_EQ(nan.inputs, 2u);
    EXPECT_FALSE(nan.hasWorst);
    EXPECT_EQ(nan.maxUlp, 0.0);
}

}  // namespace
