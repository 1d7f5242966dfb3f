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

// Each known value through every tier that has it, the AVX-512 kernels with the AVX2 ones' values.
TEST(KernelValues, KnownBitPatterns) {
    const CpuExpectation cpu = ExpectedCpu();
    struct TierColumn {
        Level level;
        int column;  // in GoldenCase::known/expected: 0 AVX, 1 AVX2
        bool runs;
    };
    const TierColumn tiers[] = {{Level::Avx, 0, cpu.avx}, {Level::Avx2, 1, cpu.avx2}, {Level::Avx512, 1, cpu.avx512}};
    int checked = 0;
    for (const GoldenCase& c : GoldenCases()) {
        for (int exact = 0; exact < 2; ++exact) {
            for (const TierColumn& tier : tiers) {
                if (!c.known[exact][tier.column] || !tier.runs) continue;
                for (bool aligned : {false, true}) {
                    const KernelRow& row = FindKernel(c.func, tier.level, exact == 1, aligned);
                    // A full 512-bit vector of the input, so the main-loop path is exercised too.
                    alignas(64) float f32[16];
                    alignas(64) double f64[8];
                    std::uint64_t got, gotFull;
                    if (c.isDouble) {
                        const double x = F64(c.input);
                        got = Bits(Single(row.f64, x));
                        for (double& v : f64) v = x;
                        row.f64(f64, 8, f64);
                        gotFull = Bits(f64[7]);
                    } else {
                        const float x = F32(static_cast<std::uint32_t>(c.input));
                        got = Bits(Single(row.f32, x));
                        for (float& v : f32) v = x;
                        row.f32(f32, 16, f32);
                        gotFull = Bits(f32[15]);
                    }
                    EXPECT_EQ(Hex(got), Hex(c.expected[exact][tier.column])) << row.name << " " << c.note;
                    EXPECT_EQ(Hex(gotFull), Hex(c.expected[exact][tier.column])) << row.name << " full vector, " << c.note;
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
    const Tier tier = ModelTier(row.level);
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
