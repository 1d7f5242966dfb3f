// The feature decisions behind the raw probes, as pure functions of the register values, so
// that they can be checked against tables of processors that this machine is not.
#ifndef ORVEX_SRC_CPUPROBE_H
#define ORVEX_SRC_CPUPROBE_H

#include <cstdint>

namespace NOrvex {
namespace NDetail {

// CPUID leaf 1, ECX.
constexpr std::uint32_t kLeaf1EcxFma = 1u << 12;
constexpr std::uint32_t kLeaf1EcxOsxsave = 1u << 27;
constexpr std::uint32_t kLeaf1EcxAvx = 1u << 28;
// CPUID leaf 7 sub-leaf 0, EBX.
constexpr std::uint32_t kLeaf7EbxAvx2 = 1u << 5;
// XCR0: SSE and AVX register state saved by the OS.
constexpr std::uint64_t kXcr0SseAvx = 0x6;

// AVX usable: OSXSAVE set (only then is XGETBV executed, through readXcr0), the OS saves the
// SSE and AVX state, and the processor implements AVX.
bool AvxUsable(std::uint32_t leaf1Ecx, std::uint64_t (*readXcr0)());

// AVX2 kernels runnable, given AVX is: leaf 7 exists (maxLeaf from leaf 0 EAX), reports AVX2,
// and leaf 1 reports FMA3, which the AVX2 kernels execute too.
bool Avx2Usable(std::uint32_t maxLeaf, std::uint32_t leaf1Ecx, std::uint32_t leaf7Ebx);

}  // namespace NDetail
}  // namespace NOrvex

#endif  // ORVEX_SRC_CPUPROBE_H
