// The handful of vector primitives the kernels are written against, for the three tiers and the
// widths of each element type:
//
//   F256 / D256   8 floats / 4 doubles, the main loop and the 64- and 32-byte tails
//   F128 / D128   4 floats / 2 doubles, the 16-byte tail and, with partial loads and stores,
//                 the 8- and 4-byte tails (the spare lanes carry a harmless filler)
//   F512 / D512   16 floats / 8 doubles, the AVX-512 tier (simd512.h), whose tail is one masked
//                 vector
//
// Lane masks. A comparison yields a mask of type W::M: on the 256- and 128-bit widths a vector whose
// lanes are all ones or all zeros (M = V), on the 512-bit widths an opmask register. The
// algorithms combine and test masks only through MaskAnd/MaskOr/AnyLane/AllLanes/Select and the
// masked arithmetic below, so one algorithm serves both kinds.
//
// The tier is a template argument: TierAvx2 fuses MulAdd/MulSub into one FMA3 instruction and
// uses 256-bit integer instructions; TierAvx rounds the product and the sum separately and does
// 256-bit integer work as two 128-bit halves. Everything that is not integer work or a
// multiply-add is the same instruction in both tiers.
//
// Everything here has internal linkage: each tier unit gets its own copy compiled with its own
// flags, so no body built for AVX2 can be merged into an AVX caller by the linker. A primitive
// that the tier's flags do not allow fails to compile instead of leaking.
#ifndef ORVEX_SRC_SIMD_H
#define ORVEX_SRC_SIMD_H

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define ORVEX_INLINE inline __attribute__((always_inline))

namespace NOrvex {
namespace {

struct TierAvx {
    static constexpr bool kFma = false;
    static constexpr bool kInt256 = false;
};
struct TierAvx2 {
    static constexpr bool kFma = true;
    static constexpr bool kInt256 = true;
};

// 256-bit integer operation on the AVX tier: low half, high half, put back together.
template <class Op>
ORVEX_INLINE __m256i SplitHalves(__m256i a, __m256i b, Op op) {
    const __m128i lo = op(_mm256_castsi256_si128(a), _mm256_castsi256_si128(b));
    const __m128i hi = op(_mm256_extractf128_si256(a, 1), _mm256_extractf128_si256(b, 1));
    return _mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1);
}
template <class Op>
ORVEX_INLINE __m256i SplitHalves(__m256i a, Op op) {
    const __m128i lo = op(_mm256_castsi256_si128(a));
    const __m128i hi = op(_mm256_extractf128_si256(a, 1));
    return _mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1);
}


// Mask operations of the widths whose masks are vectors (M = V), written once on top of each
// width's And/AndNot/Or/Add/SignBits.
template <class W>
struct VectorMaskOps {
    template <class V> static ORVEX_INLINE V MaskAnd(V a, V b) { return W::And(a, b); }
    template <class V> static ORVEX_INLINE V MaskOr(V a, V b) { return W::Or(a, b); }
    template <class V> static ORVEX_INLINE bool AnyLane(V m) { return W::SignBits(m) != 0; }
    template <class V> static ORVEX_INLINE bool AllLanes(V m) { return W::SignBits(m) == W::kAllLanes; }
    // The lanes of a whose sign bit is set, as a mask: Select already reads only the sign bit.
    template <class V> static ORVEX_INLINE V SignMask(V a) { return a; }
    // m ? a : +0.
    template <class V> static ORVEX_INLINE V ZeroUnless(V m, V a) { return W::And(m, a); }
    // m ? a + b : a + 0 and m ? a : a + b. Adding +0 leaves a unchanged unless a is -0 or a NaN,
    // which callers rule out; the 512-bit widths leave such lanes untouched instead.
    template <class V> static ORVEX_INLINE V AddWhere(V m, V a, V b) { return W::Add(a, W::And(m, b)); }
    template <class V> static ORVEX_INLINE V AddUnless(V m, V a, V b) { return W::Add(a, W::AndNot(m, b)); }
    // (a & b) | c.
    template <class V> static ORVEX_INLINE V AndOr(V a, V b, V c) { return W::Or(W::And(a, b), c); }
    // Every lane in (0, +inf): neither zero, negative, infinite nor NaN.
    template <class V> static ORVEX_INLINE bool AllPositiveFinite(V x, V plusInf) {
        return AllLanes(W::And(W::CmpGt(x, W::Zero()), W::CmpLt(x, plusInf)));
    }
    // Integer lanes equal, as a mask.
    template <class I> static ORVEX_INLINE auto CmpEqIMask(I a, I b) { return W::AsFloat(W::CmpEqI(a, b)); }
};

// ---------------------------------------------------------------- 8 x float
template <class Tier>
struct F256 : VectorMaskOps<F256<Tier>> {
    using T = float;
    using V = __m256;
    using I = __m256i;
    using M = V;
    using Bits = std::uint32_t;
    static constexpr int kLanes = 8;
    static constexpr int kAllLanes = 0xFF;
    static constexpr int kMantissaBits = 23;

    static ORVEX_INLINE V Load(const T* p) { return _mm256_loadu_ps(p); }
    template <bool Aligned>
    static ORVEX_INLINE void Store(T* p, V v) {
        if constexpr (Aligned) {
            _mm256_store_ps(p, v);
        } else {
            _mm256_storeu_ps(p, v);
        }
    }

    static ORVEX_INLINE V Splat(Bits bits) { return _mm256_castsi256_ps(_mm256_set1_epi32(static_cast<int>(bits))); }
    static ORVEX_INLINE I SplatI(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
    static ORVEX_INLINE V Zero() { return _mm256_setzero_ps(); }

    static ORVEX_INLINE V Add(V a, V b) { return _mm256_add_ps(a, b); }
    static ORVEX_INLINE V Sub(V a, V b) { return _mm256_sub_ps(a, b); }
    static ORVEX_INLINE V Mul(V a, V b) { return _mm256_mul_ps(a, b); }
    static ORVEX_INLINE V Div(V a, V b) { return _mm256_div_ps(a, b); }
    // x86 rules: a < b ? a : b and a > b ? a : b, so a NaN in a yields b.
    static ORVEX_INLINE V Min(V a, V b) { return _mm256_min_ps(a, b); }
    static ORVEX_INLINE V Max(V a, V b) { return _mm256_max_ps(a, b); }
    static ORVEX_INLINE V Floor(V a) { return _mm256_round_ps(a, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
    // a * b + c and a * b - c: one rounding on AVX2, two on AVX.
    static ORVEX_INLINE V MulAdd(V a, V b, V c) {
        if constexpr (Tier::kFma) {
            return _mm256_fmadd_ps(a, b, c);
        } else {
            return _mm256_add_ps(_mm256_mul_ps(a, b), c);
        }
    }
    static ORVEX_INLINE V MulSub(V a, V b, V c) {
        if constexpr (Tier::kFma) {
            return _mm256_fmsub_ps(a, b, c);
        } else {
            return _mm256_sub_ps(_mm256_mul_ps(a, b), c);
        }
    }

    static ORVEX_INLINE V And(V a, V b) { return _mm256_and_ps(a, b); }
    static ORVEX_INLINE V AndNot(V a, V b) { return _mm256_andnot_ps(a, b); }  // ~a & b
    static ORVEX_INLINE V Or(V a, V b) { return _mm256_or_ps(a, b); }
    static ORVEX_INLINE V CmpGt(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_GT_OQ); }
    static ORVEX_INLINE V CmpLt(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
    static ORVEX_INLINE V CmpEq(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_EQ_OQ); }
    static ORVEX_INLINE V CmpUnord(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_UNORD_Q); }
    // mask ? a : b, lane by lane, by the sign bit of each mask lane. GCC 12 rewrites the blend
    // intrinsic into a generic "mask < 0 ? a : b", which without 256-bit integer compares it
    // expands into eight scalar tests and branches; the AVX tier states the one VBLENDVPS itself.
    static ORVEX_INLINE V Select(V mask, V a, V b) {
        if constexpr (Tier::kInt256) {
            return _mm256_blendv_ps(b, a, mask);
        } else {
            V r;
            __asm__("vblendvps %3, %2, %1, %0" : "=x"(r) : "x"(b), "x"(a), "x"(mask));
            return r;
        }
    }
    static ORVEX_INLINE int SignBits(V a) { return _mm256_movemask_ps(a); }

    static ORVEX_INLINE I AsInt(V a) { return _mm256_castps_si256(a); }
    static ORVEX_INLINE V AsFloat(I a) { return _mm256_castsi256_ps(a); }
    static ORVEX_INLINE I AddI(I a, I b) {
        if constexpr (Tier::kInt256) {
            return _mm256_add_epi32(a, b);
        } else {
            return SplitHalves(a, b, [](__m128i x, __m128i y) { return _mm_add_epi32(x, y); });
        }
    }
    static ORVEX_INLINE I CmpEqI(I a, I b) {
        if constexpr (Tier::kInt256) {
            return _mm256_cmpeq_epi32(a, b);
        } else {
            return SplitHalves(a, b, [](__m128i x, __m128i y) { return _mm_cmpeq_epi32(x, y); });
        }
    }
    template <int N>
    static ORVEX_INLINE I ShlI(I a) {
        if constexpr (Tier::kInt256) {
            return _mm256_slli_epi32(a, N);
        } else {
            return SplitHalves(a, [](__m128i x) { return _mm_slli_epi32(x, N); });
        }
    }
    template <int N>
    static ORVEX_INLINE I ShrI(I a) {
        if constexpr (Tier::kInt256) {
            return _mm256_srli_epi32(a, N);
        } else {
            return SplitHalves(a, [](__m128i x) { return _mm_srli_epi32(x, N); });
        }
    }
    template <int N>
    static ORVEX_INLINE I SraI32(I a) {
        if constexpr (Tier::kInt256) {
            return _mm256_srai_epi32(a, N);
        } else {
            return SplitHalves(a, [](__m128i x) { return _mm_srai_epi32(x, N); });
        }
    }
    // bits(m) + (i << 23): scales m by 2^i while the result stays normal.
    static ORVEX_INLINE V AddToExponent(V m, I i) {
        if constexpr (Tier::kInt256) {
            return AsFloat(_mm256_add_epi32(AsInt(m), _mm256_slli_epi32(i, kMantissaBits)));
        } else {
            return AsFloat(SplitHalves(AsInt(m), i, [](__m128i x, __m128i y) {
                return _mm_add_epi32(x, _mm_slli_epi32(y, kMantissaBits));
            }));
        }
    }
    // Integral float to its 32-bit integer (exact: the argument is already integral).
    static ORVEX_INLINE I IntegralToInt(V n) { return _mm256_cvtps_epi32(n); }
    static ORVEX_INLINE V IntToFloat(I i) { return _mm256_cvtepi32_ps(i); }
};

// ---------------------------------------------------------------- 4 x float
template <class Tier>
struct F128 : VectorMaskOps<F128<Tier>> {
    using T = float;
    using V = __m128;
    using I = __m128i;
    using M = V;
    using Bits = std::uint32_t;
    static constexpr int kLanes = 4;
    static constexpr int kAllLanes = 0xF;
    static constexpr int kMantissaBits = 23;

    static ORVEX_INLINE V Load(const T* p) { return _mm_loadu_ps(p); }
    template <bool Aligned>
    static ORVEX_INLINE void Store(T* p, V v) {
        if constexpr (Aligned) {
            _mm_store_ps(p, v);
        } else {
            _mm_storeu_ps(p, v);
        }
    }
    // 8 bytes (two floats) into lanes 0-1, lanes 2-3 from filler; and back.
    static ORVEX_INLINE V Load8Bytes(const T* p, V filler) {
        return _mm_movelh_ps(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))), filler);
    }
    static ORVEX_INLINE void Store8Bytes(T* p, V v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(v)); }
    // 4 bytes (one float) into lane 0, lanes 1-3 from filler; and back.
    static ORVEX_INLINE V Load4Bytes(const T* p, V filler) { return _mm_move_ss(filler, _mm_load_ss(p)); }
    static ORVEX_INLINE void Store4Bytes(T* p, V v) { _mm_store_ss(p, v); }

    static ORVEX_INLINE V Splat(Bits bits) { return _mm_castsi128_ps(_mm_set1_epi32(static_cast<int>(bits))); }
    static ORVEX_INLINE I SplatI(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
    static ORVEX_INLINE V Zero() { return _mm_setzero_ps(); }

    static ORVEX_INLINE V Add(V a, V b) { return _mm_add_ps(a, b); }
    static ORVEX_INLINE V Sub(V a, V b) { return _mm_sub_ps(a, b); }
    static ORVEX_INLINE V Mul(V a, V b) { return _mm_mul_ps(a, b); }
    static ORVEX_INLINE V Div(V a, V b) { return _mm_div_ps(a, b); }
    static ORVEX_INLINE V Min(V a, V b) { return _mm_min_ps(a, b); }
    static ORVEX_INLINE V Max(V a, V b) { return _mm_max_ps(a, b); }
    static ORVEX_INLINE V Floor(V a) { return _mm_round_ps(a, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
    static ORVEX_INLINE V MulAdd(V a, V b, V c) {
        if constexpr (Tier::kFma) {
            return _mm_fmadd_ps(a, b, c);
        } else {
            return _mm_add_ps(_mm_mul_ps(a, b), c);
        }
    }
    static ORVEX_INLINE V MulSub(V a, V b, V c) {
        if constexpr (Tier::kFma) {
            return _mm_fmsub_ps(a, b, c);
        } else {
            return _mm_sub_ps(_mm_mul_ps(a, b), c);
        }
    }

    static ORVEX_INLINE V And(V a, V b) { return _mm_and_ps(a, b); }
    static ORVEX_INLINE V AndNot(V a, V b) { return _mm_andnot_ps(a, b); }
    static ORVEX_INLINE V Or(V a, V b) { return _mm_or_ps(a, b); }
    static ORVEX_INLINE V CmpGt(V a, V b) { return _mm_cmp_ps(a, b, _CMP_GT_OQ); }
    static ORVEX_INLINE V CmpLt(V a, V b) { return _mm_cmp_ps(a, b, _CMP_LT_OQ); }
    static ORVEX_INLINE V CmpEq(V a, V b) { return _mm_cmp_ps(a, b, _CMP_EQ_OQ); }
    static ORVEX_INLINE V CmpUnord(V a, V b) { return _mm_cmp_ps(a, b, _CMP_UNORD_Q); }
    static ORVEX_INLINE V Select(V mask, V a, V b) { return _mm_blendv_ps(b, a, mask); }
    static ORVEX_INLINE int SignBits(V a) { return _mm_movemask_ps(a); }

    static ORVEX_INLINE I AsInt(V a) { return _mm_castps_si128(a); }
    static ORVEX_INLINE V AsFloat(I a) { return _mm_castsi128_ps(a); }
    static ORVEX_INLINE I AddI(I a, I b) { return _mm_add_epi32(a, b); }
    static ORVEX_INLINE I CmpEqI(I a, I b) { return _mm_cmpeq_epi32(a, b); }
    template <int N>
    static ORVEX_INLINE I ShlI(I a) { return _mm_slli_epi32(a, N); }
    template <int N>
    static ORVEX_INLINE I ShrI(I a) { return _mm_srli_epi32(a, N); }
    template <int N>
    static ORVEX_INLINE I SraI32(I a) { return _mm_srai_epi32(a, N); }
    static ORVEX_INLINE V AddToExponent(V m, I i) { return AsFloat(_mm_add_epi32(AsInt(m), _mm_slli_epi32(i, kMantissaBits))); }
    static ORVEX_INLINE I IntegralToInt(V n) { return _mm_cvtps_epi32(n); }
    static ORVEX_INLINE V IntToFloat(I i) { return _mm_cvtepi32_ps(i); }
};

// ---------------------------------------------------------------- 4 x double
template <class Tier>
struct D256 : VectorMaskOps<D256<Tier>> {
    using T = double;
    using V = __m256d;
    using I = __m256i;
    using M = V;
    using Bits = std::uint64_t;
    static constexpr int kLanes = 4;
    static constexpr int kAllLanes = 0xF;
    static constexpr int kMantissaBits = 52;

    static ORVEX_INLINE V Load(const T* p) { return _mm256_loadu_pd(p); }
    template <bool Aligned>
    static ORVEX_INLINE void Store(T* p, V v) {
        if constexpr (Aligned) {
            _mm256_store_pd(p, v);
        } else {
            _mm256_storeu_pd(p, v);
        }
    }

    static ORVEX_INLINE V Splat(Bits bits) { return _mm256_castsi256_pd(_mm256_set1_epi64x(static_cast<long long>(bits))); }
    static ORVEX_INLINE I SplatI(std::uint64_t v) { return _mm256_set1_epi64x(static_cast<long long>(v)); }
    static ORVEX_INLINE V Zero() { return _mm256_setzero_pd(); }

    static ORVEX_INLINE V Add(V a, V b) { return _mm256_add_pd(a, b); }
    static ORVEX_INLINE V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
    static ORVEX_INLINE V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
    static ORVEX_INLINE V Div(V a, V b) { return _mm256_div_pd(a, b); }
    static ORVEX_INLINE V Min(V a, V b) { return _mm256_min_pd(a, b); }
    static ORVEX_INLINE V Max(V a, V b) { return _mm256_max_pd(a, b); }
    static ORVEX_INLINE V Floor(V a) { return _mm256_round_pd(a, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
    static ORVEX_INLINE V MulAdd(V a, V b, V c) {
        if constexpr (Tier::kFma) {
            return _mm256_fmadd_pd(a, b, c);
        } else {
            return _mm256_add_pd(_mm256_mul_pd(a, b), c);
        }
    }
    static ORVEX_INLINE V MulSub(V a, V b, V c) {
        if constexpr (Tier::kFma) {
            return _mm256_fmsub_pd(a, b, c);
        } else {
            return _mm256_sub_pd(_mm256_mul_pd(a, b), c);
        }
    }

    static ORVEX_INLINE V And(V a, V b) { return _mm256_and_pd(a, b); }
    static ORVEX_INLINE V AndNot(V a, V b) { return _mm256_andnot_pd(a, b); }
    static ORVEX_INLINE V Or(V a, V b) { return _mm256_or_pd(a, b); }
    static ORVEX_INLINE V CmpGt(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
    static ORVEX_INLINE V CmpLt(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
    static ORVEX_INLINE V CmpEq(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
    static ORVEX_INLINE V CmpUnord(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_UNORD_Q); }
    static ORVEX_INLINE V Select(V mask, V a, V b) {
        if constexpr (Tier::kInt256) {
            return _mm256_blendv_pd(b, a, mask);
        } else {
            V r;  // see F256::Select
            __asm__("vblendvpd %3, %2, %1, %0" : "=x"(r) : "x"(b), "x"(a), "x"(mask));
            return r;
        }
    }
    static ORVEX_INLINE int SignBits(V a) { return _mm256_movemask_pd(a); }

    static ORVEX_INLINE I AsInt(V a) { return _mm256_castpd_si256(a); }
    static ORVEX_INLINE V AsFloat(I a) { return _mm256_castsi256_pd(a); }
    static ORVEX_INLINE I AddI(I a, I b) {
        if constexpr (Tier::kInt256) {
            return _mm256_add_epi64(a, b);
        } else {
            return SplitHalves(a, b, [](__m128i x, __m128i y) { return _mm_add_epi64(x, y); });
        }
    }
    static ORVEX_INLINE I CmpEqI(I a, I b) {
        if constexpr (Tier::kInt256) {
            return _mm256_cmpeq_epi64(a, b);
        } else {
            return SplitHalves(a, b, [](__m128i x, __m128i y) { return _mm_cmpeq_epi64(x, y); });
        }
    }
    template <int N>
    static ORVEX_INLINE I ShlI(I a) {
        if constexpr (Tier::kInt256) {
            return _mm256_slli_epi64(a, N);
        } else {
            return SplitHalves(a, [](__m128i x) { return _mm_slli_epi64(x, N); });
        }
    }
    template <int N>
    static ORVEX_INLINE I ShrI(I a) {
        if constexpr (Tier::kInt256) {
            return _mm256_srli_epi64(a, N);
        } else {
            return SplitHalves(a, [](__m128i x) { return _mm_srli_epi64(x, N); });
        }
    }
    // Arithmetic shift within each 32-bit half: there is no 64-bit arithmetic shift before AVX-512.
    template <int N>
    static ORVEX_INLINE I SraI32(I a) {
        if constexpr (Tier::kInt256) {
            return _mm256_srai_epi32(a, N);
        } else {
            return SplitHalves(a, [](__m128i x) { return _mm_srai_epi32(x, N); });
        }
    }
    static ORVEX_INLINE V AddToExponent(V m, I i) {
        if constexpr (Tier::kInt256) {
            return AsFloat(_mm256_add_epi64(AsInt(m), _mm256_slli_epi64(i, kMantissaBits)));
        } else {
            return AsFloat(SplitHalves(AsInt(m), i, [](__m128i x, __m128i y) {
                return _mm_add_epi64(x, _mm_slli_epi64(y, kMantissaBits));
            }));
        }
    }
};

// ---------------------------------------------------------------- 2 x double
template <class Tier>
struct D128 : VectorMaskOps<D128<Tier>> {
    using T = double;
    using V = __m128d;
    using I = __m128i;
    using M = V;
    using Bits = std::uint64_t;
    static constexpr int kLanes = 2;
    static constexpr int kAllLanes = 0x3;
    static constexpr int kMantissaBits = 52;

    static ORVEX_INLINE V Load(const T* p) { return _mm_loadu_pd(p); }
    template <bool Aligned>
    static ORVEX_INLINE void Store(T* p, V v) {
        if constexpr (Aligned) {
            _mm_store_pd(p, v);
        } else {
            _mm_storeu_pd(p, v);
        }
    }
    // 8 bytes (one double) into lane 0, lane 1 from filler; and back.
    static ORVEX_INLINE V Load8Bytes(const T* p, V filler) { return _mm_loadl_pd(filler, p); }
    static ORVEX_INLINE void Store8Bytes(T* p, V v) { _mm_store_sd(p, v); }

    static ORVEX_INLINE V Splat(Bits bits) { return _mm_castsi128_pd(_mm_set1_epi64x(static_cast<long long>(bits))); }
    static ORVEX_INLINE I SplatI(std::uint64_t v) { return _mm_set1_epi64x(static_cast<long long>(v)); }
    static ORVEX_INLINE V Zero() { return _mm_setzero_pd(); }

    static ORVEX_INLINE V Add(V a, V b) { return _mm_add_pd(a, b); }
    static ORVEX_INLINE V Sub(V a, V b) { return _mm_sub_pd(a, b); }
    static ORVEX_INLINE V Mul(V a, V b) { return _mm_mul_pd(a, b); }
    static ORVEX_INLINE V Div(V a, V b) { return _mm_div_pd(a, b); }
    static ORVEX_INLINE V Min(V a, V b) { return _mm_min_pd(a, b); }
    static ORVEX_INLINE V Max(V a, V b) { return _mm_max_pd(a, b); }
    static ORVEX_INLINE V Floor(V a) { return _mm_round_pd(a, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
    static ORVEX_INLINE V MulAdd(V a, V b, V c) {
        if constexpr (Tier::kFma) {
            return _mm_fmadd_pd(a, b, c);
        } else {
            return _mm_add_pd(_mm_mul_pd(a, b), c);
        }
    }
    static ORVEX_INLINE V MulSub(V a, V b, V c) {
        if constexpr (Tier::kFma) {
            return _mm_fmsub_pd(a, b, c);
        } else {
            return _mm_sub_pd(_mm_mul_pd(a, b), c);
        }
    }

    static ORVEX_INLINE V And(V a, V b) { return _mm_and_pd(a, b); }
    static ORVEX_INLINE V AndNot(V a, V b) { return _mm_andnot_pd(a, b); }
    static ORVEX_INLINE V Or(V a, V b) { return _mm_or_pd(a, b); }
    static ORVEX_INLINE V CmpGt(V a, V b) { return _mm_cmp_pd(a, b, _CMP_GT_OQ); }
    static ORVEX_INLINE V CmpLt(V a, V b) { return _mm_cmp_pd(a, b, _CMP_LT_OQ); }
    static ORVEX_INLINE V CmpEq(V a, V b) { return _mm_cmp_pd(a, b, _CMP_EQ_OQ); }
    static ORVEX_INLINE V CmpUnord(V a, V b) { return _mm_cmp_pd(a, b, _CMP_UNORD_Q); }
    static ORVEX_INLINE V Select(V mask, V a, V b) { return _mm_blendv_pd(b, a, mask); }
    static ORVEX_INLINE int SignBits(V a) { return _mm_movemask_pd(a); }

    static ORVEX_INLINE I AsInt(V a) { return _mm_castpd_si128(a); }
    static ORVEX_INLINE V AsFloat(I a) { return _mm_castsi128_pd(a); }
    static ORVEX_INLINE I AddI(I a, I b) { return _mm_add_epi64(a, b); }
    static ORVEX_INLINE I CmpEqI(I a, I b) { return _mm_cmpeq_epi64(a, b); }
    template <int N>
    static ORVEX_INLINE I ShlI(I a) { return _mm_slli_epi64(a, N); }
    template <int N>
    static ORVEX_INLINE I ShrI(I a) { return _mm_srli_epi64(a, N); }
    template <int N>
    static ORVEX_INLINE I SraI32(I a) { return _mm_srai_epi32(a, N); }
    static ORVEX_INLINE V AddToExponent(V m, I i) { return AsFloat(_mm_add_epi64(AsInt(m), _mm_slli_epi64(i, kMantissaBits))); }
};

// The full and the half width of one element type on one tier.
template <class T, class Tier> struct Widths;
template <class Tier> struct Widths<float, Tier> {
    using Full = F256<Tier>;
    using Half = F128<Tier>;
};
template <class Tier> struct Widths<double, Tier> {
    using Full = D256<Tier>;
    using Half = D128<Tier>;
};

}  // namespace
}  // namespace NOrvex

#endif  // ORVEX_SRC_SIMD_H
