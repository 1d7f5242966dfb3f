// The feature decision from raw register values, and the cached probes on this processor.
#include <gtest/gtest.h>

#include "cpuprobe.h"
#include "orvex/orvex.h"
#include "support/test_util.h"

namespace {

using namespace NOrvex::NDetail;

int xgetbvCalls = 0;
std::uint64_t xcr0Value = 0;
std::uint64_t FakeXcr0() {
    ++xgetbvCalls;
    return xcr0Value;
}

struct ProbeCase {
    const char* name;
    std::uint32_t maxLeaf;
    std::uint32_t leaf1Ecx;
    std::uint64_t xcr0;
    std::uint32_t leaf7Ebx;
    bool xgetbvRuns;
    bool avx;
    bool avx2;  // HaveAvx() && IsAVX2Enabled()
};

constexpr std::uint32_t kAllLeaf1 = kLeaf1EcxOsxsave | kLeaf1EcxAvx | kLeaf1EcxFma;

const ProbeCase kProbeCases[] = {
    {"everything present", 13, kAllLeaf1, 0x7, kLeaf7EbxAvx2, true, true, true},
    {"no OSXSAVE: XGETBV must not run", 13, kLeaf1EcxAvx | kLeaf1EcxFma, 0x7, kLeaf7EbxAvx2, false, false, false},
    {"OS without AVX state", 13, kAllLeaf1, 0x3, kLeaf7EbxAvx2, true, false, false},
    {"OS without SSE state", 13, kAllLeaf1, 0x4, kLeaf7EbxAvx2, true, false, false},
    {"OSXSAVE without AVX", 13, kLeaf1EcxOsxsave | kLeaf1EcxFma, 0x7, kLeaf7EbxAvx2, true, false, false},
    {"AVX without AVX2", 13, kAllLeaf1, 0x7, 0, true, true, false},
    {"AVX2 without FMA", 13, kLeaf1EcxOsxsave | kLeaf1EcxAvx, 0x7, kLeaf7EbxAvx2, true, true, false},
    {"maximum leaf below 7", 6, kAllLeaf1, 0x7, kLeaf7EbxAvx2, true, true, false},
    {"maximum leaf exactly 7", 7, kAllLeaf1, 0x7, kLeaf7EbxAvx2, true, true, true},
    {"other leaf 7 bits only", 13, kAllLeaf1, 0x7, ~kLeaf7EbxAvx2, true, true, false},
};

TEST(ProbeDecision, TableOfProcessors) {
    for (const ProbeCase& c : kProbeCases) {
        SCOPED_TRACE(c.name);
        xgetbvCalls = 0;
        xcr0Value = c.xcr0;
        const bool avx = AvxUsable(c.leaf1Ecx, &FakeXcr0);
        EXPECT_EQ(xgetbvCalls, c.xgetbvRuns ? 1 : 0);
        EXPECT_EQ(avx, c.avx);
        EXPECT_EQ(avx && Avx2Usable(c.maxLeaf, c.leaf1Ecx, c.leaf7Ebx), c.avx2);
    }
}

TEST(CachedProbes, MatchThisProcessor) {
    const NOrvexTest::CpuExpectation cpu = NOrvexTest::ExpectedCpu();
    // HaveAvx2() first: it initialises haveAVX too, and later answers must agree with it.
    EXPECT_EQ(NOrvex::HaveAvx2(), cpu.avx2);
    EXPECT_EQ(NOrvex::HaveAvx(), cpu.avx);
    EXPECT_EQ(IsAVXEnabled(), cpu.avx);
    EXPECT_EQ(NOrvex::HaveAvx() && IsAVX2Enabled(), cpu.avx2);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(NOrvex::HaveAvx(), cpu.avx);
        EXPECT_EQ(NOrvex::HaveAvx2(), cpu.avx2);
    }
}

}  // namespace
