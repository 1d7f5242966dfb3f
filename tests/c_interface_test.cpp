// The C interface: every one of its 32 functions gives exactly the bits of the C++ entry point it
// names, and orvex_tier names the tier the entry points route to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvex/orvex.h"
#include "orvex/orvex_c.h"
#include "support/inputs.h"
#include "support/kernels.h"

namespace {

using namespace NOrvexTest;

struct CRow {
    Func fn;
    const char* name32;
    KernelFn<float> c32, cpp32;
    const char* name64;
    KernelFn<double> c64, cpp64;
};

#define ORVEX_C_ROW(func, Func_, exact, E, aligned, A)                                             \
    CRow {                                                                                        \
        Func::Func_, "orvex_" #func #exact "_f32" #aligned, &orvex_##func##exact##_f32##aligned,   \
            &NOrvex::Func_<E, A>, "orvex_" #func #exact "_f64" #aligned,                           \
            &orvex_##func##exact##_f64##aligned, &NOrvex::Func_<E, A>                              \
    }
#define ORVEX_C_ROWS4(func, Func_)                                                                 \
    ORVEX_C_ROW(func, Func_, , false, , false), ORVEX_C_ROW(func, Func_, , false, _aligned, true), \
        ORVEX_C_ROW(func, Func_, _exact, true, , false),                                           \
        ORVEX_C_ROW(func, Func_, _exact, true, _aligned, true)

const CRow kRows[] = {
    ORVEX_C_ROWS4(exp, Exp),
    ORVEX_C_ROWS4(log, Log),
    ORVEX_C_ROWS4(sigmoid, Sigmoid),
    ORVEX_C_ROWS4(tanh, Tanh),
};

template <class T> void CheckSameBits(const char* name, Func fn, KernelFn<T> c, KernelFn<T> cpp) {
    // Special values and ordinary ones of the function's range, then random bit patterns; an
    // odd count, so that every kernel's tail runs too.
    std::vector<T> input = MixedInputs<T>(fn, 3001, 21, 2);
    const std::vector<T> random = RandomBitPatterns<T>(1000, 22);
    input.insert(input.end(), random.begin(), random.end());
    alignas(32) static T got[4001];
    alignas(32) static T want[4001];
    c(input.data(), input.size(), got);
    cpp(input.data(), input.size(), want);
    for (size_t i = 0; i < input.size(); ++i) {
        ASSERT_EQ(Hex(Bits(got[i])), Hex(Bits(want[i]))) << name << " input " << Hex(Bits(input[i]));
    }
}

TEST(CInterface, EveryFunctionGivesItsEntryPointsBits) {
    for (const CRow& row : kRows) {
        CheckSameBits<float>(row.name32, row.fn, row.c32, row.cpp32);
        CheckSameBits<double>(row.name64, row.fn, row.c64, row.cpp64);
    }
}

TEST(CInterface, TierIsTheDispatchedOne) {
    const CpuExpectation cpu = ExpectedCpu();
    EXPECT_EQ(std::string(orvex_tier()), cpu.avx512 ? "avx512" : cpu.avx2 ? "avx2" : cpu.avx ? "avx" : "plain");
}

}  // namespace
