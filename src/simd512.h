// The AVX-512 tier's primitives: 16 floats (F512) and 8 doubles (D512) per vector, with the same
// names and meanings as the 256-bit widths in simd.h, so that the algorithms run unchanged. The
// instructions are those of AVX-512 F, DQ, BW and VL; every arithmetic step is the same IEEE
// operation as on the AVX2 tier (the same fused multiply-adds, the same rounding, the same MIN/MAX
// operand rule), so each lane's result is the AVX2 tier's bit for bit.
//
// Masks are opmask registers (M = __mmask16 / __mmask8). Where AVX-512 computes the very same
// value in fewer instructions, the primitive uses it: a masked add for "add b where the mask is
// set", a zero-masking move for "and with a mask", one ternary logic for (a & b) | c.
//
// Included only by the units under avx512/; internal linkage like simd.h.
#ifndef ORVEX_SRC_SIMD512_H
#define ORVEX_SRC_SIMD512_H

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "simd.h"

namespace NOrvex {
namespace {

// VFPCLASS categories: QNaN, +0, -0, +inf, -inf, negative finite, SNaN (all but positive
// subnormals and positive normals).
constexpr int kNotPositiveFinite = 0x01 | 0x02 | 0x04 | 0x08 | 0x10 | 0x40 | 0x80;

struct TierAvx512 {
    static constexpr bool kFma = true;
    static constexpr bool kInt256 = true;
};

// ---------------------------------------------------------------- 16 x float
struct F512 {
    using T = float;
    using V = __m512;
    using I = __m512i;
    using M = __mmask16;
    using Bits = std::uint32_t;
    static constexpr int kLanes = 16;
    static constexpr int kMantissaBits = 23;

    static ORVEX_INLINE V Load(const T* p) { return _mm512_loadu_ps(p); }
    // The AlignedOutput promise is 32 bytes, not 64: every 512-bit store is an unaligned one,
    // which costs nothing extra on an address that happens to be aligned.
    template <bool Aligned>
    static ORVEX_INLINE void Store(T* p, V v) { _mm512_storeu_ps(p, v); }
    // The first n < 16 lanes; the others are neither read nor written (faults suppressed).
    static ORVEX_INLINE M FirstLanes(size_t n) { return static_cast<M>((1u << n) - 1); }
    static ORVEX_INLINE V LoadFirst(const T* p, M lanes, V filler) { return _mm512_mask_loadu_ps(filler, lanes, p); }
    static ORVEX_INLINE void StoreFirst(T* p, M lanes, V v) { _mm512_mask_storeu_ps(p, lanes, v); }

    static ORVEX_INLINE V Splat(Bits bits) { return _mm512_castsi512_ps(_mm512_set1_epi32(static_cast<int>(bits))); }
    static ORVEX_INLINE I SplatI(std::uint32_t v) { return _mm512_set1_epi32(static_cast<int>(v)); }
    static ORVEX_INLINE V Zero() { return _mm512_setzero_ps(); }

    static ORVEX_INLINE V Add(V a, V b) { return _mm512_add_ps(a, b); }
    static ORVEX_INLINE V Sub(V a, V b) { return _mm512_sub_ps(a, b); }
    static ORVEX_INLINE V Mul(V a, V b) { return _mm512_mul_ps(a, b); }
    static ORVEX_INLINE V Div(V a, V b) { return _mm512_div_ps(a, b); }
    static ORVEX_INLINE V Min(V a, V b) { return _mm512_min_ps(a, b); }
    static ORVEX_INLINE V Max(V a, V b) { return _mm512_max_ps(a, b); }
    static ORVEX_INLINE V Floor(V a) { return _mm512_roundscale_ps(a, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
    static ORVEX_INLINE V MulAdd(V a, V b, V c) { return _mm512_fmadd_ps(a, b, c); }
    static ORVEX_INLINE V MulSub(V a, V b, V c) { return _mm512_fmsub_ps(a, b, c); }

    static ORVEX_INLINE V And(V a, V b) { return _mm512_and_ps(a, b); }
    static ORVEX_INLINE V AndNot(V a, V b) { return _mm512_andnot_ps(a, b); }  // ~a & b
    static ORVEX_INLINE V Or(V a, V b) { return _mm512_or_ps(a, b); }
    static ORVEX_INLINE V AndOr(V a, V b, V c) {  // (a & b) | c; 0xEA is A & B | C
        return AsFloat(_mm512_ternarylogic_epi32(AsInt(a), AsInt(b), AsInt(c), 0xEA));
    }

    static ORVEX_INLINE M CmpGt(V a, V b) { return _mm512_cmp_ps_mask(a, b, _CMP_GT_OQ); }
    static ORVEX_INLINE M CmpLt(V a, V b) { return _mm512_cmp_ps_mask(a, b, _CMP_LT_OQ); }
    static ORVEX_INLINE M CmpEq(V a, V b) { return _mm512_cmp_ps_mask(a, b, _CMP_EQ_OQ); }
    static ORVEX_INLINE M CmpUnord(V a, V b) { return _mm512_cmp_ps_mask(a, b, _CMP_UNORD_Q); }
    static ORVEX_INLINE M MaskAnd(M a, M b) { return static_cast<M>(a & b); }
    static ORVEX_INLINE M MaskOr(M a, M b) { return static_cast<M>(a | b); }
    static ORVEX_INLINE bool AnyLane(M m) { return m != 0; }
    static ORVEX_INLINE bool AllLanes(M m) { return m == 0xFFFF; }
    static ORVEX_INLINE M SignMask(V a) { return _mm512_movepi32_mask(AsInt(a)); }
    // One classification instead of two comparisons: no lane is a NaN, +-0, +-inf or negative.
    static ORVEX_INLINE bool AllPositiveFinite(V x, V) { return _mm512_fpclass_ps_mask(x, kNotPositiveFinite) == 0; }
    static ORVEX_INLINE V Select(M m, V a, V b) { return _mm512_mask_blend_ps(m, b, a); }
    static ORVEX_INLINE V ZeroUnless(M m, V a) { return _mm512_maskz_mov_ps(m, a); }
    static ORVEX_INLINE V AddWhere(M m, V a, V b) { return _mm512_mask_add_ps(a, m, a, b); }
    static ORVEX_INLINE V AddUnless(M m, V a, V b) { return _mm512_mask_add_ps(a, static_cast<M>(~m), a, b); }

    static ORVEX_INLINE I AsInt(V a) { return _mm512_castps_si512(a); }
    static ORVEX_INLINE V AsFloat(I a) { return _mm512_castsi512_ps(a); }
    static ORVEX_INLINE I AddI(I a, I b) { return _mm512_add_epi32(a, b); }
    static ORVEX_INLINE M CmpEqIMask(I a, I b) { return _mm512_cmpeq_epi32_mask(a, b); }
    template <int N>
    static ORVEX_INLINE I ShlI(I a) { return _mm512_slli_epi32(a, N); }
    template <int N>
    static ORVEX_INLINE I ShrI(I a) { return _mm512_srli_epi32(a, N); }
    template <int N>
    static ORVEX_INLINE I SraI32(I a) { return _mm512_srai_epi32(a, N); }
    static ORVEX_INLINE V AddToExponent(V m, I i) {
        return AsFloat(_mm512_add_epi32(AsInt(m), _mm512_slli_epi32(i, kMantissaBits)));
    }
    static ORVEX_INLINE I IntegralToInt(V n) { return _mm512_cvtps_epi32(n); }
    static ORVEX_INLINE V IntToFloat(I i) { return _mm512_cvtepi32_ps(i); }
};

// ---------------------------------------------------------------- 8 x double
struct D512 {
    using T = double;
    using V = __m512d;
    using I = __m512i;
    using M = __mmask8;
    using Bits = std::uint64_t;
    static constexpr int kLanes = 8;
    static constexpr int kMantissaBits = 52;

    static ORVEX_INLINE V Load(const T* p) { return _mm512_loadu_pd(p); }
    template <bool Aligned>
    static ORVEX_INLINE void Store(T* p, V v) { _mm512_storeu_pd(p, v); }  // see F512::Store
    static ORVEX_INLINE M FirstLanes(size_t n) { return static_cast<M>((1u << n) - 1); }
    static ORVEX_INLINE V LoadFirst(const T* p, M lanes, V filler) { return _mm512_mask_loadu_pd(filler, lanes, p); }
    static ORVEX_INLINE void StoreFirst(T* p, M lanes, V v) { _mm512_mask_storeu_pd(p, lanes, v); }

    static ORVEX_INLINE V Splat(Bits bits) { return _mm512_castsi512_pd(_mm512_set1_epi64(static_cast<long long>(bits))); }
    static ORVEX_INLINE I SplatI(std::uint64_t v) { return _mm512_set1_epi64(static_cast<long long>(v)); }
    static ORVEX_INLINE V Zero() { return _mm512_setzero_pd(); }

    static ORVEX_INLINE V Add(V a, V b) { return _mm512_add_pd(a, b); }
    static ORVEX_INLINE V Sub(V a, V b) { return _mm512_sub_pd(a, b); }
    static ORVEX_INLINE V Mul(V a, V b) { return _mm512_mul_pd(a, b); }
    static ORVEX_INLINE V Div(V a, V b) { return _mm512_div_pd(a, b); }
    static ORVEX_INLINE V Min(V a, V b) { return _mm512_min_pd(a, b); }
    static ORVEX_INLINE V Max(V a, V b) { return _mm512_max_pd(a, b); }
    static ORVEX_INLINE V Floor(V a) { return _mm512_roundscale_pd(a, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
    static ORVEX_INLINE V MulAdd(V a, V b, V c) { return _mm512_fmadd_pd(a, b, c); }
    static ORVEX_INLINE V MulSub(V a, V b, V c) { return _mm512_fmsub_pd(a, b, c); }

    static ORVEX_INLINE V And(V a, V b) { return _mm512_and_pd(a, b); }
    static ORVEX_INLINE V AndNot(V a, V b) { return _mm512_andnot_pd(a, b); }
    static ORVEX_INLINE V Or(V a, V b) { return _mm512_or_pd(a, b); }
    static ORVEX_INLINE V AndOr(V a, V b, V c) {
        return AsFloat(_mm512_ternarylogic_epi64(AsInt(a), AsInt(b), AsInt(c), 0xEA));
    }

    static ORVEX_INLINE M CmpGt(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ); }
    static ORVEX_INLINE M CmpLt(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
    static ORVEX_INLINE M CmpEq(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ); }
    static ORVEX_INLINE M CmpUnord(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_UNORD_Q); }
    static ORVEX_INLINE M MaskAnd(M a, M b) { return static_cast<M>(a & b); }
    static ORVEX_INLINE M MaskOr(M a, M b) { return static_cast<M>(a | b); }
    static ORVEX_INLINE bool AnyLane(M m) { return m != 0; }
    static ORVEX_INLINE bool AllLanes(M m) { return m == 0xFF; }
    static ORVEX_INLINE M SignMask(V a) { return _mm512_movepi64_mask(AsInt(a)); }
    static ORVEX_INLINE bool AllPositiveFinite(V x, V) { return _mm512_fpclass_pd_mask(x, kNotPositiveFinite) == 0; }
    static ORVEX_INLINE V Select(M m, V a, V b) { return _mm512_mask_blend_pd(m, b, a); }
    static ORVEX_INLINE V ZeroUnless(M m, V a) { return _mm512_maskz_mov_pd(m, a); }
    static ORVEX_INLINE V AddWhere(M m, V a, V b) { return _mm512_mask_add_pd(a, m, a, b); }
    static ORVEX_INLINE V AddUnless(M m, V a, V b) { return _mm512_mask_add_pd(a, static_cast<M>(~m), a, b); }

    static ORVEX_INLINE I AsInt(V a) { return _mm512_castpd_si512(a); }
    static ORVEX_INLINE V AsFloat(I a) { return _mm512_castsi512_pd(a); }
    static ORVEX_INLINE I AddI(I a, I b) { return _mm512_add_epi64(a, b); }
    static ORVEX_INLINE M CmpEqIMask(I a, I b) { return _mm512_cmpeq_epi64_mask(a, b); }
    template <int N>
    static ORVEX_INLINE I ShlI(I a) { return _mm512_slli_epi64(a, N); }
    template <int N>
    static ORVEX_INLINE I ShrI(I a) { return _mm512_srli_epi64(a, N); }
    // Arithmetic shift within each 32-bit half, as on the 256-bit widths.
    template <int N>
    static ORVEX_INLINE I SraI32(I a) { return _mm512_srai_epi32(a, N); }
    static ORVEX_INLINE V AddToExponent(V m, I i) {
        return AsFloat(_mm512_add_epi64(AsInt(m), _mm512_slli_epi64(i, kMantissaBits)));
    }
};

template <> struct Widths<float, TierAvx512> {
    using Full = F512;
};
template <> struct Widths<double, TierAvx512> {
    using Full = D512;
};

}  // namespace
}  // namespace NOrvex

#endif  // ORVEX_SRC_SIMD512_H
