// Every vector kernel against the known bit patterns and, on many random inputs, against the
// scalar model of its per-lane sequence.
#include <gtest/gtest.h>

#include <vector>

#include "support/golden.h"
#include "support/inputs.h"
#include "support/kernels.h"
#include "support/model.h"

namespace {

using namespace NOrvexTest;

template <class T> T Single(KernelFn<T> kernel, T x) {
    T y;
    kernel(&x, 1, &y);
    return y;
}

TEST(KernelValues, KnownBitPatterns) {
    const CpuExpectation cpu = ExpectedCpu();
    int checked = 0;
    for (const GoldenCase& c : GoldenCases()) {
        for (int exact = 0; exact < 2; ++exact) {
            for (int tier = 0; tier < 2; ++tier) {
                if (!c.known[exact][tier] || (tier == 1 ? !cpu.avx2 : !cpu.avx)) continue;
                for (bool aligned : {false, true}) {
                    const KernelRow& row = FindKernel(c.func, tier == 1 ? Level::Avx2 : Level::Avx, exact == 1, aligned);
                    // A full vector of the input, so the main-loop path is exercised too.
                    alignas(32) float f32[8];
                    alignas(32) double f64[4];
                    std::uint64_t got, got8;
                    if (c.isDouble) {
                        const double x = F64(c.input);
                        got = Bits(Single(row.f64, x));
                        for (double& v : f64) v = x;
                        row.f64(f64, 4, f64);
                        got8 = Bits(f64[3]);
                    } else {
                        const float x = F32(static_cast<std::uint32_t>(c.input));
                        got = Bits(Single(row.f32, x));
                        for (float& v : f32) v = x;
                        row.f32(f32, 8, f32);
                        got8 = Bits(f32[7]);
                    }
                    EXPECT_EQ(Hex(got), Hex(c.expected[exact][tier])) << row.name << " " << c.note;
                    EXPECT_EQ(Hex(got8), Hex(c.expected[exact][tier])) << row.name << " full vector, " << c.note;
                    ++checked;
                }
            }
        }
    }
    if (cpu.avx) {
        EXPECT_GT(checked, 0);
    }
}

class ModelComparison : public ::testing::TestWithParam<KernelRow> {
protected:
    void SetUp() override {
        if (!Runnable(GetParam())) GTEST_SKIP() << "this processor lacks the kernel's instruction set";
    }
};

template <class T> void CompareWithModel(const KernelRow& row, const std::vector<T>& input) {
    const Tier tier = row.level == Level::Avx2 ? Tier::Avx2 : Tier::Avx;
    std::vector<T> out(input.size() + 8);
    T* dst = out.data();
    while (reinterpret_cast<std::uintptr_t>(dst) % 32 != 0) ++dst;
    Pick<T>(row)(input.data(), input.size(), dst);
    size_t mismatches = 0;
    for (size_t i = 0; i < input.size(); ++i) {
        const T want = ModelEval(row.fn, tier, row.exact, input[i]);
        if (Bits(dst[i]) != Bits(want) && ++mismatches <= 5) {
            ADD_FAILURE() << row.name << (sizeof(T) == 4 ? " f32(" : " f64(") << Hex(Bits(input[i])) << ") = "
                          << Hex(Bits(dst[i])) << ", model " << Hex(Bits(want));
        }
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST_P(ModelComparison, RandomBitPatternsAndRandomValues) {
    const KernelRow& row = GetParam();
    const size_t n = SampleSize(1 << 18);
    CompareWithModel<float>(row, RandomBitPatterns<float>(n, 21));
    CompareWithModel<float>(row, MixedInputs<float>(row.fn, n, 22, 1));
    CompareWithModel<double>(row, RandomBitPatterns<double>(n, 23));
    CompareWithModel<double>(row, MixedInputs<double>(row.fn, n, 24, 1));
}

std::vector<KernelRow> UnalignedKernels() {
    std::vector<KernelRow> rows;
    for (const KernelRow& row : VectorKernels()) {
        if (!row.aligned) rows.push_back(row);
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Kernels, ModelComparison, testing::ValuesIn(UnalignedKernels()),
                         [](const testing::TestParamInfo<KernelRow>& info) { return info.param.name; });

}  // namespace
