// The plain kernels' exponential table is built on the first element strictly inside its limits,
// once per process, and not before. The table's 2048 entries come from the system library's pow,
// so this program puts a counting pow in front of it. It has a process of its own: the counter
// must see the very first exponential of the process.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <limits>
#include <thread>
#include <vector>

#include "orvex/orvex.h"

namespace {
int powCalls = 0;
}

extern "C" double pow(double x, double y) {
    using Pow = double (*)(double, double);
    static const Pow systemPow = reinterpret_cast<Pow>(dlsym(RTLD_NEXT, "pow"));
    ++powCalls;
    return systemPow(x, y);
}

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(LazyExpTable, BuiltOnceOnTheFirstElementInsideTheLimits) {
    double out[4] = {};
    // Nothing to compute, or nothing inside the limits: no table. The exponential's limits apply
    // to x, to -x for the sigmoid and to -2x for tanh.
    const double beyondExp[4] = {-708.3964185322641, 709.782712893384, -kInf, kInf};
    const double beyondSigmoid[4] = {708.3964185322641, -709.782712893384, -kInf, kInf};
    NOrvex::ExpPlain(beyondExp, 0, out);
    NOrvex::ExpPlain(beyondExp, 4, out);
    EXPECT_EQ(out[0], 0.0);
    EXPECT_EQ(out[1], kInf);
    NOrvex::SigmoidPlain(beyondSigmoid, 4, out);
    EXPECT_EQ(out[0], 1.0);
    EXPECT_EQ(out[1], 0.0);
    NOrvex::TanhPlain(beyondExp, 4, out);
    EXPECT_EQ(out[0], -1.0);
    EXPECT_EQ(out[1], 1.0);
    const float beyondF[2] = {-1e30f, 1e30f};
    float outF[2];
    NOrvex::ExpPlain(beyondF, 2, outF);
    NOrvex::TanhPlain(beyondF, 2, outF);
    // A NaN is not inside the limits either: its result needs no table.
    const double nan[1] = {std::numeric_limits<double>::quiet_NaN()};
    const float nanF[1] = {std::numeric_limits<float>::quiet_NaN()};
    NOrvex::ExpPlain(nan, 1, out);
    NOrvex::SigmoidPlain(nan, 1, out);
    NOrvex::TanhPlain(nan, 1, out);
    NOrvex::ExpPlain(nanF, 1, outF);
    NOrvex::SigmoidPlain(nanF, 1, outF);
    NOrvex::TanhPlain(nanF, 1, outF);
    EXPECT_EQ(powCalls, 0);

    // The first element inside builds the table: one pow per entry, and never again.
    const double inside[2] = {0.5, -3.0};
    NOrvex::ExpPlain(inside, 2, out);
    EXPECT_EQ(powCalls, 2048);
    NOrvex::SigmoidPlain(inside, 2, out);
    const float insideF[1] = {1.0f};
    NOrvex::TanhPlain(insideF, 1, outF);
    std::thread other([&] { NOrvex::ExpPlain(inside, 2, out); });
    other.join();
    EXPECT_EQ(powCalls, 2048);
}

}  // namespace
