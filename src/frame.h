// The block-and-tail frame shared by every vector kernel.
//
// 256-bit tiers (RunVectorFrame): the array is cut into passes of Op::kVectorsPerPass full 256-bit vectors, then tails of 64
// (only with four vectors per pass), 32, 16, 8 and 4 bytes, each run at most once, in that order.
// The 16-byte tail uses the 128-bit form of the operation; the 8- and 4-byte tails load into the
// low lanes of a 128-bit register whose spare lanes hold Op::kFiller, so nothing outside
// src[0..count) is read and nothing outside dst[0..count) is written. Each vector is loaded
// before it is stored, and no later load reads a stored position, so src == dst is fine.
//
// 512-bit tier (RunMaskedFrame): the same passes of Op::kVectorsPerPass vectors, then the
// remaining whole vectors, then at most one vector of the last count % lanes elements through a
// masked, fault-suppressing load and store whose spare lanes hold the filler and are never stored.
//
// Op supplies:  static constexpr int kVectorsPerPass;      4, or 2 for the logarithm
//               template <class T> static Filler<T>();        bit pattern of the spare-lane value
//                                                             (from ZeroFiller or OneFiller below)
//               template <class W> static W::V Apply(W::V);   the per-vector operation, one width
#ifndef ORVEX_SRC_FRAME_H
#define ORVEX_SRC_FRAME_H

#include <type_traits>

#include "simd.h"

namespace NOrvex {
namespace {

// The main loop of both frames: whole passes of Op::kVectorsPerPass vectors of width W, one
// vector after the other. Advances src and dst past them and returns the elements left over.
template <class Op, class W, bool AlignedOutput, class T>
ORVEX_INLINE size_t RunPasses(const T*& src, size_t count, T*& dst) {
    constexpr size_t kLanes = W::kLanes;
    constexpr size_t kPass = Op::kVectorsPerPass * kLanes;
    static_assert(Op::kVectorsPerPass == 2 || Op::kVectorsPerPass == 4, "passes of two or four vectors");

    const size_t passEnd = count - count % kPass;
    for (size_t i = 0; i < passEnd; i += kPass) {
#pragma GCC unroll 4
        for (size_t j = 0; j < kPass; j += kLanes) {
            W::template Store<AlignedOutput>(dst + i + j, Op::template Apply<W>(W::Load(src + i + j)));
        }
    }
    src += passEnd;
    dst += passEnd;
    return count - passEnd;
}

template <class Op, class Full, class Half, bool AlignedOutput, class T>
ORVEX_INLINE void RunVectorFrame(const T* src, size_t count, T* dst) {
    constexpr size_t kLanes = Full::kLanes;
    const size_t rest = RunPasses<Op, Full, AlignedOutput>(src, count, dst);

    if constexpr (Op::kVectorsPerPass == 4) {
        if (rest & (2 * kLanes)) {
            Full::template Store<AlignedOutput>(dst, Op::template Apply<Full>(Full::Load(src)));
            Full::template Store<AlignedOutput>(dst + kLanes, Op::template Apply<Full>(Full::Load(src + kLanes)));
            src += 2 * kLanes;
            dst += 2 * kLanes;
        }
    }
    if (rest & kLanes) {
        Full::template Store<AlignedOutput>(dst, Op::template Apply<Full>(Full::Load(src)));
        src += kLanes;
        dst += kLanes;
    }
    // Only whole vectors precede the 16-byte tail, so with an aligned dst it is aligned too.
    if (rest & (kLanes / 2)) {
        Half::template Store<AlignedOutput>(dst, Op::template Apply<Half>(Half::Load(src)));
        src += kLanes / 2;
        dst += kLanes / 2;
    }
    const auto filler = Half::Splat(Op::template Filler<T>());
    constexpr size_t k8Bytes = 8 / sizeof(T);
    if (rest & k8Bytes) {
        Half::Store8Bytes(dst, Op::template Apply<Half>(Half::Load8Bytes(src, filler)));
        src += k8Bytes;
        dst += k8Bytes;
    }
    if constexpr (sizeof(T) == 4) {
        if (rest & 1) {
            Half::Store4Bytes(dst, Op::template Apply<Half>(Half::Load4Bytes(src, filler)));
        }
    }
    // Leave no dirty upper register halves behind for legacy SSE code, on every path.
    _mm256_zeroupper();
}

template <class Op, class W, bool AlignedOutput, class T>
ORVEX_INLINE void RunMaskedFrame(const T* src, size_t count, T* dst) {
    constexpr size_t kLanes = W::kLanes;
    size_t rest = RunPasses<Op, W, AlignedOutput>(src, count, dst);
    while (rest >= kLanes) {
        W::template Store<AlignedOutput>(dst, Op::template Apply<W>(W::Load(src)));
        src += kLanes;
        dst += kLanes;
        rest -= kLanes;
    }
    if (rest != 0) {
        const auto lanes = W::FirstLanes(rest);
        const auto filler = W::Splat(Op::template Filler<T>());
        W::StoreFirst(dst, lanes, Op::template Apply<W>(W::LoadFirst(src, lanes, filler)));
    }
    _mm256_zeroupper();
}

template <class Op, class Tier, bool AlignedOutput, class T>
ORVEX_INLINE void RunFrame(const T* src, size_t count, T* dst) {
    using Full = typename Widths<T, Tier>::Full;
    if constexpr (Full::kLanes * sizeof(T) == 64) {
        RunMaskedFrame<Op, Full, AlignedOutput>(src, count, dst);
    } else {
        RunVectorFrame<Op, Full, typename Widths<T, Tier>::Half, AlignedOutput>(src, count, dst);
    }
}

// Spare-lane fillers.
struct ZeroFiller {
    template <class T> static constexpr std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t> Filler() {
        return 0;
    }
};
struct OneFiller {
    template <class T> static constexpr std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t> Filler() {
        if constexpr (sizeof(T) == 4) {
            return 0x3F800000u;  // 1.0f
        } else {
            return 0x3FF0000000000000ull;  // 1.0
        }
    }
};

}  // namespace
}  // namespace NOrvex

#endif  // ORVEX_SRC_FRAME_H
