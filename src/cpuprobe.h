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
constexpr std::uint32_t kLeaf7EbxAvx512F = 1u << 16;
constexpr std::uint32_t kLeaf7EbxAvx512DQ = 1u << 17;
constexpr std::uint32_t kLeaf7EbxAvx512CD = 1u << 28;
constexpr std::uint32_t kLeaf7EbxAvx512BW = 1u << 30;
constexpr std::uint32_t kLeaf7EbxAvx512VL = 1u << 31;
constexpr std::uint32_t kLeaf7EbxAvx512 =
    kLeaf7EbxAvx512F | kLeaf7EbxAvx512DQ | kLeaf7EbxAvx512CD | kLeaf7EbxAvx512BW | kLeaf7EbxAvx512VL;
// XCR0: SSE and AVX register state saved by the OS; and the opmask, upper-ZMM-half and
// high-ZMM state besides them.
constexpr std::uint64_t kXcr0SseAvx = 0x6;
constexpr std::uint64_t kXcr0Avx512 = 0xE6;

// AVX usable: OSXSAVE set (only then is XGETBV executed, through readXcr0), the OS saves the
// SSE and AVX state, and the processor implements AVX.
bool AvxUsable(std::uint32_t leaf1Ecx, std::uint64_t (*readXcr0)());

// AVX2 kernels runnable, given AVX is: leaf 7 exists (maxLeaf from leaf 0 EAX), reports AVX2,
// and leaf 1 reports FMA3, which the AVX2 kernels execute too.
bool Avx2Usable(std::uint32_t maxLeaf, std::uint32_t leaf1Ecx, std::uint32_t leaf7Ebx);

// AVX-512 kernels runnable: AVX and AVX2 usable as above, leaf 7 reports AVX-512 F, DQ, CD, BW
// and VL, and the OS saves the opmask and ZMM state (XCR0 read only when OSXSAVE is set).
bool Avx512Usable(std::uint32_t maxLeaf, std::uint32_t leaf1Ecx, std::uint32_t leaf7Ebx,
                  std::uint64_t (*readXcr0)());

}  // namespace NDetail
}  // namespace NOrvex

#endif  // ORVEX_SRC_CPUPROBE_H
