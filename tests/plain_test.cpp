// The scalar kernels: listed values as bit patterns, special values, in place, count = 0.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "orvex/orvex.h"
#include "support/test_util.h"

namespace {

using namespace NOrvex;
using NOrvexTest::Bits;
using NOrvexTest::F64;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr float kInfF = std::numeric_limits<float>::infinity();

template <class T> T One(void (*kernel)(const T*, size_t, T*), T x) {
    T y;
    kernel(&x, 1, &y);
    return y;
}

using PlainD = void (*)(const double*, size_t, double*);
using PlainF = void (*)(const float*, size_t, float*);

struct PlainCaseD {
    const char* what;
    void (*kernel)(const double*, size_t, double*);
    double x;
    double expected;  // compared bit for bit
};

TEST(PlainKernels, DoubleBitPatterns) {
    const PlainCaseD cases[] = {
        {"exp 0", ExpPlain, 0.0, 1.0},
        {"exp -0", ExpPlain, -0.0, 1.0},
        {"exp 1", ExpPlain, 1.0, 2.718281828459045},
        {"exp lower limit", ExpPlain, F64(0xC086232BDD7ABCD2), 0.0},
        {"exp +inf", ExpPlain, kInf, kInf},
        {"exp -inf", ExpPlain, -kInf, 0.0},
        {"exp from 709.7825436679982", ExpPlain, 709.7825436679982, kInf},
        {"sigmoid +inf", SigmoidPlain, kInf, 1.0},
        {"sigmoid -inf", SigmoidPlain, -kInf, 0.0},
        {"tanh +inf", TanhPlain, kInf, 1.0},
        {"tanh -inf", TanhPlain, -kInf, -1.0},
        {"tanh -0", TanhPlain, -0.0, 0.0},
        {"tanh 1", TanhPlain, 1.0, 0.7615941559557646},
        {"tanh -1", TanhPlain, -1.0, -0.7615941559557649},
        {"log 0", LogPlain, 0.0, -kInf},
        {"log -0", LogPlain, -0.0, -kInf},
        {"log +inf", LogPlain, kInf, kInf},
    };
    for (const PlainCaseD& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(NOrvexTest::Hex(Bits(One(c.kernel, c.x))), NOrvexTest::Hex(Bits(c.expected)));
    }
}

struct PlainCaseF {
    const char* what;
    void (*kernel)(const float*, size_t, float*);
    float x;
    float expected;
};

TEST(PlainKernels, FloatBitPatterns) {
    const PlainCaseF cases[] = {
        {"exp 0", ExpPlain, 0.0f, 1.0f},
        {"exp +inf", ExpPlain, kInfF, kInfF},
        {"exp -inf", ExpPlain, -kInfF, 0.0f},
        {"exp 100 overflows", ExpPlain, 100.0f, kInfF},
        {"tanh 1", TanhPlain, 1.0f, 0.761594057f},
        {"tanh -1", TanhPlain, -1.0f, -0.761594176f},
        {"tanh 1e-10", TanhPlain, 1e-10f, 0.0f},
        {"tanh -0", TanhPlain, -0.0f, 0.0f},
        {"tanh 3e38: -2x overflows", TanhPlain, 3.0e38f, 1.0f},
        {"tanh -3e38", TanhPlain, -3.0e38f, -1.0f},
        {"sigmoid 1e-10", SigmoidPlain, 1e-10f, 0.5f},
        {"sigmoid -400", SigmoidPlain, -400.0f, 0.0f},
        {"sigmoid +inf", SigmoidPlain, kInfF, 1.0f},
        {"sigmoid -inf", SigmoidPlain, -kInfF, 0.0f},
        {"log 0", LogPlain, 0.0f, -kInfF},
        {"log 1", LogPlain, 1.0f, 0.0f},
    };
    for (const PlainCaseF& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(NOrvexTest::Hex(Bits(One(c.kernel, c.x))), NOrvexTest::Hex(Bits(c.expected)));
    }
}

TEST(PlainKernels, ValuesNearTheLimits) {
    // Just above the lower limit something is computed: about the smallest normal double.
    EXPECT_NEAR(One(ExpPlain, -708.39641853226) / 2.225073858516e-308, 1.0, 1e-11);
    // k rounds up to 2048 * 1024 from here, which makes the exponent field all ones.
    EXPECT_NEAR(One(ExpPlain, 709.7825436679981) / 1.79738894528692e+308, 1.0, 1e-13);
    EXPECT_NEAR(One(TanhPlain, 1e-10) / 1.0000000827e-10, 1.0, 1e-10);
    EXPECT_NEAR(One(SigmoidPlain, -400.0) / 1.9151695967e-174, 1.0, 1e-9);
}

TEST(PlainKernels, NaNGivesNaN) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const float nanF = std::numeric_limits<float>::quiet_NaN();
    const PlainD kernelsD[] = {ExpPlain, LogPlain, SigmoidPlain, TanhPlain};
    const PlainF kernelsF[] = {ExpPlain, LogPlain, SigmoidPlain, TanhPlain};
    for (PlainD kernel : kernelsD) {
        EXPECT_TRUE(std::isnan(One(kernel, nan)));
    }
    for (PlainF kernel : kernelsF) {
        EXPECT_TRUE(std::isnan(One(kernel, nanF)));
    }
    EXPECT_TRUE(std::isnan(One(LogPlain, -1.0)));
    EXPECT_TRUE(std::isnan(One(LogPlain, -1.0f)));
}

// Exp and Tanh give the input NaN quieted, sign and payload kept; Sigmoid gives it quieted with
// its sign flipped, as its formula negates x; Log gives what the system log gives. The payloads
// 0x00200001, 0x002007FF and 0xFFE00001 in the low word make TableExp's scale word itself a NaN
// (exponent field all ones, table entry nonzero), a second NaN in its last product.
TEST(PlainKernels, NaNResultsArePinned) {
    const std::uint64_t nansD[] = {
        0x7FF8000000000000, 0xFFF8000000000000, 0x7FF0000000000001, 0xFFF0000000000001,
        0x7FF4000000000000, 0x7FFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFFF, 0x7FF8000000200001,
        0xFFF8000000200001, 0x7FF0000000200001, 0xFFF00000002007FF, 0x7FF80000FFE00001,
        0xFFF12345FFE00001, 0x7FF5555500200001,
    };
    const std::uint32_t nansF[] = {
        0x7FC00000, 0xFFC00000, 0x7F800001, 0xFF800001, 0x7FA00000,
        0x7FFFFFFF, 0xFFFFFFFF, 0x7F812345, 0xFFB00001, 0x7FC00001,
    };
    constexpr std::uint64_t kQuietD = 0x0008000000000000, kSignD = 0x8000000000000000;
    constexpr std::uint32_t kQuietF = 0x00400000, kSignF = 0x80000000;
    for (std::uint64_t b : nansD) {
        SCOPED_TRACE(NOrvexTest::Hex(b));
        const double x = F64(b);
        EXPECT_EQ(NOrvexTest::Hex(Bits(One(ExpPlain, x))), NOrvexTest::Hex(b | kQuietD));
        EXPECT_EQ(NOrvexTest::Hex(Bits(One(TanhPlain, x))), NOrvexTest::Hex(b | kQuietD));
        EXPECT_EQ(NOrvexTest::Hex(Bits(One(SigmoidPlain, x))), NOrvexTest::Hex((b ^ kSignD) | kQuietD));
        EXPECT_EQ(NOrvexTest::Hex(Bits(One(LogPlain, x))), NOrvexTest::Hex(Bits(std::log(x))));
    }
    for (std::uint32_t b : nansF) {
        SCOPED_TRACE(NOrvexTest::Hex(b));
        const float x = NOrvexTest::F32(b);
        EXPECT_EQ(NOrvexTest::Hex(Bits(One(ExpPlain, x))), NOrvexTest::Hex(b | kQuietF));
        EXPECT_EQ(NOrvexTest::Hex(Bits(One(TanhPlain, x))), NOrvexTest::Hex(b | kQuietF));
        EXPECT_EQ(NOrvexTest::Hex(Bits(One(SigmoidPlain, x))), NOrvexTest::Hex((b ^ kSignF) | kQuietF));
        EXPECT_EQ(NOrvexTest::Hex(Bits(One(LogPlain, x))),
                  NOrvexTest::Hex(Bits(static_cast<float>(std::log(static_cast<double>(x))))));
    }
}

TEST(PlainKernels, LogIsTheSystemLog) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 1000; ++i) {
        const double x = F64(rng() & 0x7FFFFFFFFFFFFFFFull);
        EXPECT_EQ(Bits(One(LogPlain, x)), Bits(std::log(x)));
        const float xf = NOrvexTest::F32(static_cast<std::uint32_t>(rng()) & 0x7FFFFFFFu);
        EXPECT_EQ(Bits(One(LogPlain, xf)), Bits(static_cast<float>(std::log(static_cast<double>(xf)))));
    }
}

TEST(PlainKernels, ExpMatchesTheSystemExp) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> dist(-708.0, 709.7);
    double worst = 0;
    for (size_t i = 0; i < NOrvexTest::SampleSize(200000); ++i) {
        const double x = dist(rng);
        const double ref = std::exp(x);
        worst = std::max(worst, std::fabs(One(ExpPlain, x) - ref) / ref);
    }
    EXPECT_LT(worst, 1e-13);
    EXPECT_LT(std::fabs(One(ExpPlain, 0.25) - std::exp(0.25)) / std::exp(0.25), 1e-15);
}

TEST(PlainKernels, CountZeroTouchesNothingAndInPlaceMatches) {
    const PlainD kernelsD[] = {ExpPlain, LogPlain, SigmoidPlain, TanhPlain};
    const PlainF kernelsF[] = {ExpPlain, LogPlain, SigmoidPlain, TanhPlain};
    std::vector<double> srcD = {0.5, -3.0, 2.0, 700.0, -1e-300, 30.0, 1.0};
    std::vector<float> srcF = {0.5f, -3.0f, 2.0f, 80.0f, -1e-30f, 30.0f, 1.0f};
    for (PlainD k : kernelsD) {
        std::vector<double> dst(srcD.size(), 42.0);
        k(srcD.data(), 0, dst.data());
        for (double v : dst) EXPECT_EQ(v, 42.0);
        k(srcD.data(), srcD.size(), dst.data());
        std::vector<double> inPlace = srcD;
        k(inPlace.data(), inPlace.size(), inPlace.data());
        for (size_t i = 0; i < dst.size(); ++i) EXPECT_EQ(Bits(inPlace[i]), Bits(dst[i]));
    }
    for (PlainF k : kernelsF) {
        std::vector<float> dst(srcF.size(), 42.0f);
        k(srcF.data(), 0, dst.data());
        for (float v : dst) EXPECT_EQ(v, 42.0f);
        k(srcF.data(), srcF.size(), dst.data());
        std::vector<float> inPlace = srcF;
        k(inPlace.data(), inPlace.size(), inPlace.data());
        for (size_t i = 0; i < dst.size(); ++i) EXPECT_EQ(Bits(inPlace[i]), Bits(dst[i]));
    }
}

}  // namespace
