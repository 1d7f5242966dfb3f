// The scalar model of the vector kernels: the listed bit-exact results, and the accuracy the
// algorithms are meant to reach, measured on the model against the system library.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "support/golden.h"
#include "support/model.h"
#include "support/test_util.h"

namespace {

using NOrvexTest::Bits;
using NOrvexTest::F32;
using NOrvexTest::F64;
using NOrvexTest::Func;
using NOrvexTest::Hex;
using NOrvexTest::ModelEval;
using NOrvexTest::Tier;

const char* FuncName(Func f) {
    switch (f) {
    case Func::Exp:
        return "exp";
    case Func::Log:
        return "log";
    case Func::Sigmoid:
        return "sigmoid";
    case Func::Tanh:
        return "tanh";
    }
    return "?";
}

constexpr Tier kTiers[2] = {Tier::Avx, Tier::Avx2};

std::uint64_t ModelBits(Func f, Tier tier, bool exact, bool isDouble, std::uint64_t input) {
    if (isDouble) {
        return Bits(ModelEval(f, tier, exact, F64(input)));
    }
    return Bits(ModelEval(f, tier, exact, F32(static_cast<std::uint32_t>(input))));
}

TEST(Model, GoldenValues) {
    for (const NOrvexTest::GoldenCase& c : NOrvexTest::GoldenCases()) {
        for (int exact = 0; exact < 2; ++exact) {
            for (int t = 0; t < 2; ++t) {
                if (!c.known[exact][t]) {
                    continue;
                }
                const std::uint64_t got = ModelBits(c.func, kTiers[t], exact != 0, c.isDouble, c.input);
                EXPECT_EQ(Hex(got), Hex(c.expected[exact][t]))
                    << FuncName(c.func) << (c.isDouble ? " double" : " float") << (exact ? " exact" : " fast")
                    << (t == 1 ? " avx2" : " avx") << " of " << Hex(c.input) << ": " << c.note;
            }
        }
    }
}

TEST(Model, GoldenTableIsWellFormed) {
    for (const NOrvexTest::GoldenCase& c : NOrvexTest::GoldenCases()) {
        SCOPED_TRACE(c.note);
        EXPECT_TRUE(c.known[0][0] || c.known[0][1] || c.known[1][0] || c.known[1][1]);
        if (!c.isDouble) {
            EXPECT_EQ(c.input >> 32, 0u);
            for (int e = 0; e < 2; ++e) {
                for (int t = 0; t < 2; ++t) {
                    EXPECT_EQ(c.expected[e][t] >> 32, 0u);
                }
            }
        }
    }
}

// The model's own fused multiply-add against the C library's, which on a processor with FMA is the
// hardware instruction. Emulated runs skip this: there the library's software fma is the one
// that goes wrong. Operands are drawn so that products and addends overlap, cancel and underflow.
TEST(Model, FusedMulAddIsCorrectlyRounded) {
    if (NOrvexTest::ExpectedCpu().emulated) {
        GTEST_SKIP() << "the C library's fma is not a reference under emulation";
    }
    std::mt19937_64 rng(77);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const std::size_t n = 1000000;
    for (std::size_t i = 0; i < n; ++i) {
        const int ea = static_cast<int>(rng() % 1100) - 550;
        const int eb = static_cast<int>(rng() % 1100) - 550;
        const double a = std::ldexp(unit(rng), ea);
        const double b = std::ldexp(unit(rng), eb);
        double c;
        switch (rng() % 4) {
        case 0:
            c = -(a * b) * (1.0 + std::ldexp(unit(rng), -static_cast<int>(rng() % 60)));
            break;
        case 1:
            c = std::ldexp(unit(rng), ea + eb + static_cast<int>(rng() % 120) - 60);
            break;
        case 2:
            c = -(a * b);
            break;
        default:
            c = std::ldexp(unit(rng), static_cast<int>(rng() % 100) - 1074 + 40);
            break;
        }
        ASSERT_EQ(Hex(Bits(NOrvexTest::FusedMulAdd(a, b, c))), Hex(Bits(std::fma(a, b, c))))
            << Hex(Bits(a)) << " " << Hex(Bits(b)) << " " << Hex(Bits(c));

        const float af = static_cast<float>(std::ldexp(unit(rng), ea % 70));
        const float bf = static_cast<float>(std::ldexp(unit(rng), eb % 70));
        const float cf = (i & 1) != 0 ? -(af * bf) * static_cast<float>(1.0 + std::ldexp(unit(rng), -static_cast<int>(rng() % 30)))
                                      : static_cast<float>(std::ldexp(unit(rng), (ea + eb) % 140));
        ASSERT_EQ(Hex(Bits(NOrvexTest::FusedMulAdd(af, bf, cf))), Hex(Bits(std::fma(af, bf, cf))))
            << Hex(Bits(af)) << " " << Hex(Bits(bf)) << " " << Hex(Bits(cf));
    }
    EXPECT_EQ(Bits(NOrvexTest::FusedMulAdd(1.0, 1.0, -1.0)), 0u);
    EXPECT_EQ(Bits(NOrvexTest::FusedMulAdd(-0.0, 1.0, 0.0)), 0u);
    EXPECT_EQ(Bits(NOrvexTest::FusedMulAdd(1e300, 1e300, -std::numeric_limits<double>::infinity())),
              Bits(-std::numeric_limits<double>::infinity()));
}

// Values listed only approximately.
TEST(Model, ApproximateListedValues) {
    for (bool exact : {false, true}) {
        for (Tier tier : kTiers) {
            // Just below the overflow threshold: finite, near the largest float.
            const float big = ModelEval(Func::Exp, tier, exact, F32(0x42B17217));
            EXPECT_TRUE(std::isfinite(big));
            EXPECT_GT(big, 3.40e38f);
        }
        // e^-720 in double, exact: about 2.0322308024e-313 (a subnormal).
        const double tiny = ModelEval(Func::Exp, kTiers[exact], true, -720.0);
        EXPECT_NEAR(tiny / 2.0322308024e-313, 1.0, 1e-9);
    }
}

// Maximal error of the model against the system library in double precision.
enum class Sample { Uniform, PositiveNormals };

struct AccuracyCase {
    Func func;
    bool isDouble;
    bool exact;
    Sample sample;
    double lo, hi;    // for Sample::Uniform
    bool relative;    // else absolute
    double bound;
    const char* what;
};

double Reference(Func f, double x) {
    switch (f) {
    case Func::Exp:
        return std::exp(x);
    case Func::Log:
        return std::log(x);
    case Func::Sigmoid:
        return 1.0 / (1.0 + std::exp(-x));
    case Func::Tanh:
        return std::tanh(x);
    }
    return 0;
}

double MaxError(const AccuracyCase& c, Tier tier, std::size_t n) {
    std::mt19937_64 rng(1234);
    std::uniform_real_distribution<double> uniform(c.lo, c.hi);
    double worst = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double x;
        double y;
        if (c.isDouble) {
            x = c.sample == Sample::Uniform ? uniform(rng)
                                            : F64(0x0010000000000000ull + rng() % (0x7FEFFFFFFFFFFFFFull - 0x0010000000000000ull));
            y = ModelEval(c.func, tier, c.exact, x);
        } else {
            const float xf = c.sample == Sample::Uniform
                                 ? static_cast<float>(uniform(rng))
                                 : F32(static_cast<std::uint32_t>(0x00800000u + rng() % (0x7F7FFFFFu - 0x00800000u)));
            x = xf;
            y = ModelEval(c.func, tier, c.exact, xf);
        }
        const double ref = Reference(c.func, x);
        double err = std::fabs(y - ref);
        if (c.relative && ref != 0) {
            err /= std::fabs(ref);
        }
        if (!(err <= worst)) {  // a NaN is the worst of all
            worst = err;
        }
    }
    return worst;
}

TEST(Model, Accuracy) {
    constexpr bool F = false, D = true, Fast = false, Exact = true, Rel = true, Abs = false;
    constexpr Sample U = Sample::Uniform, Normals = Sample::PositiveNormals;
    const AccuracyCase cases[] = {
        {Func::Log, F, Fast, U, 0.5, 2.0, Rel, 9.6e-6, "log float fast on [0.5, 2)"},
        {Func::Log, F, Fast, Normals, 0, 0, Rel, 9.6e-6, "log float fast on positive normals"},
        {Func::Log, F, Exact, U, 0.5, 2.0, Rel, 3.3e-7, "log float exact on [0.5, 2)"},
        {Func::Log, F, Exact, Normals, 0, 0, Rel, 3.3e-7, "log float exact on positive normals"},
        {Func::Log, D, Fast, U, 0.5, 2.0, Rel, 9.5e-6, "log double fast on [0.5, 2)"},
        {Func::Log, D, Fast, Normals, 0, 0, Rel, 9.5e-6, "log double fast on positive normals"},
        {Func::Log, D, Exact, U, 0.5, 2.0, Rel, 5.0e-9, "log double exact on [0.5, 2)"},
        {Func::Log, D, Exact, Normals, 0, 0, Rel, 5.0e-9, "log double exact on positive normals"},
        {Func::Exp, F, Fast, U, -1.0, 1.0, Rel, 4.0e-6, "exp float fast near zero"},
        {Func::Exp, F, Fast, U, -87.33, 88.72, Rel, 7.5e-6, "exp float fast, normal results"},
        {Func::Exp, F, Exact, U, -1.0, 1.0, Rel, 1.3e-7, "exp float exact for |x| <= 1"},
        {Func::Exp, F, Exact, U, -87.33, 88.72, Rel, 4.2e-6, "exp float exact, normal results"},
        {Func::Exp, D, Fast, U, -708.39, 709.78, Rel, 3.6e-6, "exp double fast"},
        {Func::Exp, D, Exact, U, -708.39, 709.78, Rel, 1.0e-12, "exp double exact"},
        {Func::Sigmoid, F, Fast, U, -20.0, 20.0, Rel, 1e-5, "sigmoid float fast"},
        {Func::Sigmoid, F, Exact, U, -20.0, 20.0, Rel, 2e-6, "sigmoid float exact"},
        {Func::Sigmoid, D, Fast, U, -30.0, 30.0, Rel, 1e-5, "sigmoid double fast"},
        {Func::Sigmoid, D, Exact, U, -30.0, 30.0, Rel, 2e-12, "sigmoid double exact"},
        {Func::Tanh, F, Fast, U, -10.0, 10.0, Abs, 2.5e-6, "tanh float fast"},
        {Func::Tanh, F, Exact, U, -10.0, 10.0, Abs, 3e-7, "tanh float exact"},
        {Func::Tanh, D, Fast, U, -15.0, 15.0, Abs, 2.5e-6, "tanh double fast"},
        {Func::Tanh, D, Exact, U, -15.0, 15.0, Abs, 1e-12, "tanh double exact"},
    };
    const std::size_t n = NOrvexTest::SampleSize(100000);
    for (const AccuracyCase& c : cases) {
        for (Tier tier : kTiers) {
            const double worst = MaxError(c, tier, n);
            EXPECT_LE(worst, c.bound) << c.what << (tier == Tier::Avx2 ? ", avx2" : ", avx");
        }
    }
}

// The exact exponentials round m*2^i once into the subnormal range, so their results there are
// as accurate as the scaled argument allows, plus half the smallest subnormal. In float, y0 lies
// beyond 128 in magnitude there: its rounding costs up to 2^-17 * ln 2 = 5.3e-6, the rounding of
// the float log2 e another 1.2e-6.
TEST(Model, ExactExpSubnormalsAreScaledCorrectly) {
    std::mt19937_64 rng(99);
    const std::size_t n = NOrvexTest::SampleSize(50000);
    std::uniform_real_distribution<double> lowF(-103.9, -87.34);
    std::uniform_real_distribution<double> lowD(-745.1, -708.4);
    for (Tier tier : kTiers) {
        for (std::size_t i = 0; i < n; ++i) {
            // Results and references in units of the smallest subnormal. The double reference is
            // built from e^(x/2), which is normal, so that it is not itself rounded to subnormals.
            const float xf = static_cast<float>(lowF(rng));
            const double refF = std::ldexp(std::exp(static_cast<double>(xf)), 149);
            const double yf = std::ldexp(ModelEval(Func::Exp, tier, true, xf), 149);
            ASSERT_LE(std::fabs(yf - refF), 7e-6 * refF + 0.5) << Hex(Bits(xf));

            const double xd = lowD(rng);
            const double half = std::ldexp(std::exp(xd / 2), 537);
            const double refD = half * half;
            const double yd = std::ldexp(ModelEval(Func::Exp, tier, true, xd), 1074);
            ASSERT_LE(std::fabs(yd - refD), 1e-12 * refD + 0.5) << Hex(Bits(xd));
        }
    }
}

// Near zero the tanh results are w - 1 with w close to 1, computed exactly: multiples of 2^-24
// (float) or 2^-53 (double), and never -0.
TEST(Model, TanhNearZeroIsQuantised) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> near(-0.5, 0.5);
    const std::size_t n = NOrvexTest::SampleSize(50000);
    for (bool exact : {false, true}) {
        for (Tier tier : kTiers) {
            for (std::size_t i = 0; i < n; ++i) {
                const double x = near(rng) * std::ldexp(1.0, -static_cast<int>(rng() % 60));
                const float yf = ModelEval(Func::Tanh, tier, exact, static_cast<float>(x));
                const double yd = ModelEval(Func::Tanh, tier, exact, x);
                if (std::fabs(yf) < 0.5f) {
                    ASSERT_EQ(std::ldexp(static_cast<double>(yf), 24), std::floor(std::ldexp(static_cast<double>(yf), 24)));
                }
                if (std::fabs(yd) < 0.5) {
                    ASSERT_EQ(std::ldexp(yd, 53), std::floor(std::ldexp(yd, 53)));
                }
                ASSERT_NE(Bits(yf), 0x80000000u);
                ASSERT_NE(Bits(yd), 0x8000000000000000ull);
            }
        }
    }
}

}  // namespace
