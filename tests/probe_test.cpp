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
    bool avx2;    // HaveAvx() && IsAVX2Enabled()
    bool avx512;  // HaveAvx2() && IsAVX512Enabled()
};

constexpr std::uint32_t kAllLeaf1 = kLeaf1EcxOsxsave | kLeaf1EcxAvx | kLeaf1EcxFma;
constexpr std::uint32_t kAll7 = kLeaf7EbxAvx2 | kLeaf7EbxAvx512;
constexpr std::uint64_t kXcr0All = 0xE7;

const ProbeCase kProbeCases[] = {
    {"AVX2 machine", 13, kAllLeaf1, 0x7, kLeaf7EbxAvx2, true, true, true, false},
    {"no OSXSAVE: XGETBV must not run", 13, kLeaf1EcxAvx | kLeaf1EcxFma, 0x7, kAll7, false, false, false, false},
    {"OS without AVX state", 13, kAllLeaf1, 0x3, kAll7, true, false, false, false},
    {"OS without SSE state", 13, kAllLeaf1, 0x4, kAll7, true, false, false, false},
    {"OSXSAVE without AVX", 13, kLeaf1EcxOsxsave | kLeaf1EcxFma, 0x7, kAll7, true, false, false, false},
    {"AVX without AVX2", 13, kAllLeaf1, 0x7, 0, true, true, false, false},
    {"AVX2 without FMA", 13, kLeaf1EcxOsxsave | kLeaf1EcxAvx, kXcr0All, kAll7, true, true, false, false},
    {"maximum leaf below 7", 6, kAllLeaf1, kXcr0All, kAll7, true, true, false, false},
    {"maximum leaf exactly 7", 7, kAllLeaf1, kXcr0All, kAll7, true, true, true, true},
    {"other leaf 7 bits only", 13, kAllLeaf1, kXcr0All, ~kAll7, true, true, false, false},
    {"AVX-512 machine", 13, kAllLeaf1, kXcr0All, kAll7, true, true, true, true},
    {"AVX-512 without OS opmask and ZMM state", 13, kAllLeaf1, 0x7, kAll7, true, true, true, false},
    {"AVX-512 without OS high-ZMM state", 13, kAllLeaf1, 0x67, kAll7, true, true, true, false},
    {"AVX-512 without OS opmask state", 13, kAllLeaf1, 0xC7, kAll7, true, true, true, false},
    {"AVX-512 without VL", 13, kAllLeaf1, kXcr0All, kAll7 & ~kLeaf7EbxAvx512VL, true, true, true, false},
    {"AVX-512 without DQ", 13, kAllLeaf1, kXcr0All, kAll7 & ~kLeaf7EbxAvx512DQ, true, true, true, false},
    {"AVX-512 without BW", 13, kAllLeaf1, kXcr0All, kAll7 & ~kLeaf7EbxAvx512BW, true, true, true, false},
    {"AVX-512 without CD", 13, kAllLeaf1, kXcr0All, kAll7 & ~kLeaf7EbxAvx512CD, true, true, true, false},
    {"AVX-512 F only", 13, kAllLeaf1, kXcr0All, kLeaf7EbxAvx2 | kLeaf7EbxAvx512F, true, true, true, false},
    {"AVX-512 without AVX2", 13, kAllLeaf1, kXcr0All, kLeaf7EbxAvx512, true, true, false, false},
    {"AVX-512 without FMA", 13, kLeaf1EcxOsxsave | kLeaf1EcxAvx, kXcr0All, kAll7, true, true, false, false},
    {"AVX-512 without OSXSAVE: XGETBV must not run", 13, kLeaf1EcxAvx | kLeaf1EcxFma, kXcr0All, kAll7, false, false, false, false},
};

TEST(ProbeDecision, TableOfProcessors) {
    for (const ProbeCase& c : kProbeCases) {
        SCOPED_TRACE(c.name);
        xgetbvCalls = 0;
        xcr0Value = c.xcr0;
        const bool avx = AvxUsable(c.leaf1Ecx, &FakeXcr0);
        EXPECT_EQ(xgetbvCalls, c.xgetbvRuns ? 1 : 0);
        EXPECT_EQ(avx, c.avx);
        const bool avx2 = avx && Avx2Usable(c.maxLeaf, c.leaf1Ecx, c.leaf7Ebx);
        EXPECT_EQ(avx2, c.avx2);
        // The AVX-512 decision stands on its own too: it agrees with the cached chain, and it
        // never runs XGETBV without OSXSAVE.
        xgetbvCalls = 0;
        const bool avx512 = Avx512Usable(c.maxLeaf, c.leaf1Ecx, c.leaf7Ebx, &FakeXcr0);
        EXPECT_EQ(avx512, c.avx512);
        EXPECT_EQ(avx2 && avx512, c.avx512);
        if (!c.xgetbvRuns) {
            EXPECT_EQ(xgetbvCalls, 0);
        }
    }
}

TEST(CachedProbes, MatchThisProcessor) {
    const NOrvexTest::CpuExpectation cpu = NOrvexTest::ExpectedCpu();
    // HaveAvx2() first: it initialises haveAVX too, and later answers must agree with it.
    EXPECT_EQ(NOrvex::HaveAvx2(), cpu.avx2);
    EXPECT_EQ(NOrvex::HaveAvx(), cpu.avx);
    EXPECT_EQ(NOrvex::HaveAvx512(), cpu.avx512);
    EXPECT_EQ(IsAVXEnabled(), cpu.avx);
    EXPECT_EQ(NOrvex::HaveAvx() && IsAVX2Enabled(), cpu.avx2);
    EXPECT_EQ(IsAVX512Enabled(), cpu.avx512);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(NOrvex::HaveAvx512(), cpu.avx512);
        EXPECT_EQ(NOrvex::HaveAvx(), cpu.avx);
        EXPECT_EQ(NOrvex::HaveAvx2(), cpu.avx2);
    }
}

}  // namespace
