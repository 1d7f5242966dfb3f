// Raw processor probes. Baseline code: CPUID and XGETBV only.
#include "cpuprobe.h"

#include <cpuid.h>

#include "orvex/orvex.h"

namespace NOrvex {
namespace NDetail {
namespace {

struct CpuidResult {
    std::uint32_t eax, ebx, ecx, edx;
};

CpuidResult Cpuid(std::uint32_t leaf, std::uint32_t subleaf) {
    CpuidResult r{};
    __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
}

// XGETBV with ECX = 0. Faults unless the OS has enabled XSAVE (leaf 1 ECX.OSXSAVE).
std::uint64_t ReadXcr0() {
    std::uint32_t lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (static_cast<std::uint64_t>(hi) << 32) | lo;
}

}  // namespace

bool AvxUsable(std::uint32_t leaf1Ecx, std::uint64_t (*readXcr0)()) {
    if ((leaf1Ecx & kLeaf1EcxOsxsave) == 0) {
        return false;
    }
    if ((readXcr0() & kXcr0SseAvx) != kXcr0SseAvx) {
        return false;
    }
    return (leaf1Ecx & kLeaf1EcxAvx) != 0;
}

bool Avx2Usable(std::uint32_t maxLeaf, std::uint32_t leaf1Ecx, std::uint32_t leaf7Ebx) {
    // Below leaf 7 the processor answers leaf 7 with another leaf's data.
    if (maxLeaf < 7) {
        return false;
    }
    return (leaf7Ebx & kLeaf7EbxAvx2) != 0 && (leaf1Ecx & kLeaf1EcxFma) != 0;
}

bool Avx512Usable(std::uint32_t maxLeaf, std::uint32_t leaf1Ecx, std::uint32_t leaf7Ebx,
                  std::uint64_t (*readXcr0)()) {
    if (!Avx2Usable(maxLeaf, leaf1Ecx, leaf7Ebx) || (leaf7Ebx & kLeaf7EbxAvx512) != kLeaf7EbxAvx512) {
        return false;
    }
    if ((leaf1Ecx & kLeaf1EcxOsxsave) == 0 || (leaf1Ecx & kLeaf1EcxAvx) == 0) {
        return false;
    }
    // The AVX-512 state bits include the SSE and AVX ones.
    return (readXcr0() & kXcr0Avx512) == kXcr0Avx512;
}

bool IsAVXEnabled() {
    return AvxUsable(Cpuid(1, 0).ecx, &ReadXcr0);
}

bool IsAVX2Enabled() {
    const std::uint32_t maxLeaf = Cpuid(0, 0).eax;
    const std::uint32_t leaf1Ecx = Cpuid(1, 0).ecx;
    const std::uint32_t leaf7Ebx = maxLeaf >= 7 ? Cpuid(7, 0).ebx : 0;
    return Avx2Usable(maxLeaf, leaf1Ecx, leaf7Ebx);
}

bool IsAVX512Enabled() {
    const std::uint32_t maxLeaf = Cpuid(0, 0).eax;
    const std::uint32_t leaf1Ecx = Cpuid(1, 0).ecx;
    const std::uint32_t leaf7Ebx = maxLeaf >= 7 ? Cpuid(7, 0).ebx : 0;
    return Avx512Usable(maxLeaf, leaf1Ecx, leaf7Ebx, &ReadXcr0);
}

}  // namespace NDetail
}  // namespace NOrvex
