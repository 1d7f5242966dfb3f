// The input sets and the measuring pass with real kernels: inputs that depend on their index only,
// and results that do not depend on the number of threads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "measure.h"
#include "orvex/orvex.h"
#include "orvex_kernels.h"

namespace {

using namespace NOrvexUlp;

template <class T> std::vector<T> Fill(const InputSet<T>& set, std::uint64_t first, std::size_t n) {
    std::vector<T> out(n);
    set.fill(first, n, out.data());
    return out;
}

template <class T> bool SameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

TEST(UlpInputs, AllFloatsInBitPatternOrder) {
    const InputSet<float> all = AllFloats();
    EXPECT_EQ(all.count, std::uint64_t{1} << 32);
    const std::vector<float> tail = Fill(all, 0xFFFFFFFEull, 2);
    std::uint32_t bits[2];
    std::memcpy(bits, tail.data(), sizeof bits);
    EXPECT_EQ(bits[0], 0xFFFFFFFEu);
    EXPECT_EQ(bits[1], 0xFFFFFFFFu);
    const std::vector<float> head = Fill(all, 0x3F800000u, 1);
    EXPECT_EQ(head[0], 1.0f);
}

// Samples start with the special values, then alternate bit patterns and values of the useful
// range; any chunk can be filled alone and gives the same inputs.
template <class T> void CheckSamples() {
    for (EFunction f : {EFunction::Exp, EFunction::Log, EFunction::Sigmoid, EFunction::Tanh}) {
        SCOPED_TRACE(FunctionName(f));
        const std::vector<T> special = SpecialInputs<T>(f);
        const InputSet<T> set = Samples<T>(f, 10000);
        EXPECT_EQ(set.count, 10000u);
        const std::vector<T> whole = Fill(set, 0, 10000);
        EXPECT_TRUE(SameBits(std::vector<T>(whole.begin(), whole.begin() + special.size()), special));
        const std::vector<T> part = Fill(set, 4321, 100);
        EXPECT_TRUE(SameBits(part, std::vector<T>(whole.begin() + 4321, whole.begin() + 4421)));
        EXPECT_TRUE(SameBits(whole, Fill(Samples<T>(f, 10000), 0, 10000)));

        bool nan = false, inf = false, zero = false, subnormal = false, inRange = false, huge = false;
        for (T x : whole) {
            nan |= std::isnan(x);
            inf |= std::isinf(x);
            zero |= x == 0;
            subnormal |= std::fpclassify(x) == FP_SUBNORMAL;
            inRange |= std::fabs(x) > T(0.1) && std::fabs(x) < T(4);
            huge |= std::fabs(x) > T(1e30);
        }
        EXPECT_TRUE(nan && inf && zero && subnormal && inRange && huge);
    }
    EXPECT_EQ(Fill(Samples<T>(EFunction::Exp, 3), 0, 3).size(), 3u);  // fewer than the special values
}

TEST(UlpInputs, SamplesFloat) { CheckSamples<float>(); }
TEST(UlpInputs, SamplesDouble) { CheckSamples<double>(); }

template <class T> void CheckThreadCounts(const Tier& tier) {
    for (EFunction f : {EFunction::Exp, EFunction::Log, EFunction::Sigmoid, EFunction::Tanh}) {
        SCOPED_TRACE(FunctionName(f));
        const InputSet<T> inputs = Samples<T>(f, sizeof(T) == 4 ? 3 * kChunk + 17 : kChunk + 17);
        const std::vector<TKernel<T>> kernels = {tier.Kernel<T>(f, false), tier.Kernel<T>(f, true)};
        const std::vector<UlpStats> one = Measure<T>(f, inputs, kernels, 1);
        const std::vector<UlpStats> three = Measure<T>(f, inputs, kernels, 3);
        ASSERT_EQ(one.size(), 2u);
        for (std::size_t k = 0; k < 2; ++k) {
            EXPECT_EQ(one[k].inputs, inputs.count);
            EXPECT_EQ(std::memcmp(&one[k], &three[k], sizeof(UlpStats)), 0);
            EXPECT_TRUE(one[k].hasWorst);
        }
    }
}

// Two kernels in one pass, one thread against three: the same stats to the bit.
TEST(UlpMeasure, ResultDoesNotDependOnThreads) {
    const Tier* tier = FindTier(NOrvex::HaveAvx2() ? "avx2" : NOrvex::HaveAvx() ? "avx" : "plain");
    ASSERT_NE(tier, nullptr);
    CheckThreadCounts<float>(*tier);
    CheckThreadCounts<double>(*tier);
}

// One pass of several kernels gives each the stats of a pass of its own.
TEST(UlpMeasure, KernelsOfOnePassAreIndependent) {
    const Tier* plain = FindTier("plain");
    ASSERT_NE(plain, nullptr);
    const InputSet<float> inputs = Samples<float>(EFunction::Tanh, 20000);
    const TKernel<float> a = plain->Kernel<float>(EFunction::Tanh, false);
    const TKernel<float> b = FindTier("avx") != nullptr && NOrvex::HaveAvx()
                                 ? FindTier("avx")->Kernel<float>(EFunction::Tanh, false)
                                 : a;
    const std::vector<UlpStats> both = Measure<float>(EFunction::Tanh, inputs, {a, b}, 2);
    const UlpStats alone = Measure<float>(EFunction::Tanh, inputs, {b}, 2)[0];
    EXPECT_EQ(std::memcmp(&both[1], &alone, sizeof(UlpStats)), 0);
}

TEST(UlpTiers, TableCoversEveryKernel) {
    const std::vector<Tier>& tiers = Tiers();
    ASSERT_GE(tiers.size(), 3u);
    EXPECT_STREQ(tiers[0].arch, "plain");
    for (const Tier& tier : tiers) {
        SCOPED_TRACE(tier.arch);
        EXPECT_EQ(FindTier(tier.arch), &tier);
        for (EFunction f : {EFunction::Exp, EFunction::Log, EFunction::Sigmoid, EFunction::Tanh}) {
            for (bool exact : {false, true}) {
                EXPECT_NE(tier.Kernel<float>(f, exact), nullptr);
                EXPECT_NE(tier.Kernel<double>(f, exact), nullptr);
            }
            EXPECT_EQ(tier.hasVariants, tier.Kernel<float>(f, false) != tier.Kernel<float>(f, true));
        }
    }
    EXPECT_EQ(FindTier("AVX2"), nullptr);
    EXPECT_EQ(FindTier(""), nullptr);
}

}  // namespace
