// Exp2Core: 2^y0 per lane for already scaled y0, the heart of the exp, sigmoid and tanh kernels.
//
//   y = clamp(y0), n = floor(y), f = y - n in [0, 1],
//   m = 1 + f + (f - f^2) * p(f)  (exactly 1 at f = 0 and 2 at f = 1),
//   result = m * 2^n by integer addition to the exponent field.
//
// Fast form: degree-2 p; below 2^-126 (float) / 2^-1022 (double) the integer addition leaves the
// fraction bits of m as a crude subnormal, and a NaN y0 clamps to the upper bound (+inf).
// Exact form: degree-4 (float) / degree-6 (double) p, correctly rounded subnormal results through
// one multiplication by 2^(i + bias - 1) (only in vectors that need it), NaN y0 returned as is.
#ifndef ORVEX_SRC_EXP2CORE_H
#define ORVEX_SRC_EXP2CORE_H

#include <cstdint>

#include "simd.h"

namespace NOrvex {
namespace {

template <class T, bool Exact> struct Exp2Constants;

template <> struct Exp2Constants<float, false> {
    static constexpr std::uint32_t kUpper = 0x43000000;  // 128.0
    static constexpr std::uint32_t kLower = 0xC2FE0000;  // -127.0
    static constexpr std::uint32_t kP0 = 0xBE9D2AE5;     // -0.306967884
    static constexpr std::uint32_t kP1 = 0xBD865310;     // -0.0655881166
    static constexpr std::uint32_t kP2 = 0xBC5E18ED;     // -0.0135557475
    static constexpr std::uint32_t kOne = 0x3F800000;    // 1.0
};

template <> struct Exp2Constants<float, true> {
    static constexpr std::uint32_t kUpper = 0x43000000;  // 128.0
    static constexpr std::uint32_t kLower = 0xC3160000;  // -150.0
    static constexpr std::uint32_t kP0 = 0xBE9D1BD5;     // -0.306852967
    static constexpr std::uint32_t kP1 = 0xBD8871E1;     // -0.0666234568
    static constexpr std::uint32_t kP2 = 0xBC36819E;     // -0.0111393016
    static constexpr std::uint32_t kP3 = 0xBABF8703;     // -0.00146123802
    static constexpr std::uint32_t kP4 = 0xB963B2D4;     // -0.000217150257
    static constexpr std::uint32_t kOne = 0x3F800000;    // 1.0
    // Integer lanes: i + 126 < 0 marks a subnormal result; 2^(i + 126) is built from i + 253.
    static constexpr std::uint32_t kThresholdAdd = 126;
    static constexpr std::uint32_t kSubnormalExponent = static_cast<std::uint32_t>(-126);
    static constexpr std::uint32_t kScaleOffset = 253;
};

// In double precision the integer n travels as the bit pattern of n + 1.5 * 2^52 (there is no
// packed double-to-int64 conversion). Its low 12 bits are those of n, so a shift left by 52 needs
// no correction, and the threshold test folds the offset into its constant.
constexpr std::uint64_t kRoundBits = 0x4338000000000000;  // 6755399441055744.0 = 1.5 * 2^52

template <> struct Exp2Constants<double, false> {
    static constexpr std::uint64_t kUpper = 0x4090000000000000;  // 1024.0
    static constexpr std::uint64_t kLower = 0xC08FF80000000000;  // -1023.0
    static constexpr std::uint64_t kP0 = 0xBFD3A55C9A802161;     // -0.30696787918033946
    static constexpr std::uint64_t kP1 = 0xBFB0CA61FE455FFA;     // -0.065588116243247813
    static constexpr std::uint64_t kP2 = 0xBF8BC31D985EF88C;     // -0.013555747234814917
    static constexpr std::uint64_t kOne = 0x3FF0000000000000;    // 1.0
};

template <> struct Exp2Constants<double, true> {
    static constexpr std::uint64_t kUpper = 0x4090000000000000;  // 1024.0
    static constexpr std::uint64_t kLower = 0xC090CC0000000000;  // -1075.0
    static constexpr std::uint64_t kP0 = 0xBFD3A37A022642B8;     // -0.30685281953723686
    static constexpr std::uint64_t kP1 = 0xBFB10E6BFB76C4EF;     // -0.066626309292377547
    static constexpr std::uint64_t kP2 = 0xBF86C74189B0F4BF;     // -0.011122238173010833
    static constexpr std::uint64_t kP3 = 0xBF58A3D428B7B3D9;     // -0.0015039035669090954
    static constexpr std::uint64_t kP4 = 0xBF266F525BDEDC90;     // -0.0001711643253068146
    static constexpr std::uint64_t kP5 = 0xBEF0D7A8F6FF10AA;     // -1.6062185238544545e-05
    static constexpr std::uint64_t kP6 = 0xBEBF454369A1AF4E;     // -1.8638706138730086e-06
    static constexpr std::uint64_t kOne = 0x3FF0000000000000;    // 1.0
    static constexpr std::uint64_t kThresholdAdd = 1022 - kRoundBits;  // i + 1022, from the biased i
    static constexpr std::uint64_t kSubnormalExponent = static_cast<std::uint64_t>(-1022);
    static constexpr std::uint64_t kScaleOffset = 2045;
};

// (p(f), to be multiplied by d = f - f^2): the polynomial of each form, as fused steps on AVX2
// and as the same order of rounded products and sums on AVX.
template <class W, bool Exact>
ORVEX_INLINE typename W::V Exp2Polynomial(typename W::V f, typename W::V f2) {
    using K = Exp2Constants<typename W::T, Exact>;
    if constexpr (!Exact) {
        const auto q = W::MulAdd(W::Splat(K::kP1), f, W::Splat(K::kP0));
        return W::MulAdd(W::Splat(K::kP2), f2, q);
    } else if constexpr (sizeof(typename W::T) == 4) {
        const auto a = W::MulAdd(W::Splat(K::kP2), f, W::Splat(K::kP1));
        auto b = W::MulAdd(W::Splat(K::kP4), f, W::Splat(K::kP3));
        b = W::MulAdd(b, f2, a);
        return W::MulAdd(b, f, W::Splat(K::kP0));
    } else {
        // Three independent pieces, joined with f^2 and f^4, for a short dependency chain.
        const auto f4 = W::Mul(f2, f2);
        const auto u = W::MulAdd(W::Splat(K::kP1), f, W::Splat(K::kP0));
        const auto v = W::MulAdd(W::Splat(K::kP3), f, W::Splat(K::kP2));
        auto w = W::MulAdd(W::Splat(K::kP6), f, W::Splat(K::kP5));
        const auto z = W::MulAdd(v, f2, u);
        w = W::MulAdd(w, f, W::Splat(K::kP4));
        return W::MulAdd(f4, w, z);
    }
}

template <class W, bool Exact>
ORVEX_INLINE typename W::V Exp2Core(typename W::V y0) {
    using K = Exp2Constants<typename W::T, Exact>;
    // The constant is the second operand of MIN/MAX, so a NaN y0 becomes the constant.
    auto y = W::Min(y0, W::Splat(K::kUpper));
    y = W::Max(y, W::Splat(K::kLower));
    const auto n = W::Floor(y);
    const auto f = W::Sub(y, n);
    typename W::I i;
    if constexpr (sizeof(typename W::T) == 4) {
        i = W::IntegralToInt(n);
    } else {
        i = W::AsInt(W::Add(n, W::Splat(kRoundBits)));  // exact: |n| <= 1075
    }
    const auto f2 = W::Mul(f, f);
    const auto d = W::Sub(f, f2);
    auto m = W::MulAdd(Exp2Polynomial<W, Exact>(f, f2), d, f);
    m = W::Add(m, W::Splat(K::kOne));
    if constexpr (!Exact) {
        return W::AddToExponent(m, i);
    } else {
        const auto t = W::SignMask(W::AsFloat(W::AddI(i, W::SplatI(K::kThresholdAdd))));
        typename W::V r;
        if (__builtin_expect(!W::AnyLane(t), 1)) {
            r = W::AddToExponent(m, i);
        } else {
            // Lanes below the threshold: m * 2^-126 (or 2^-1022), normal, then one rounded
            // multiplication by 2^(i + 126) (2^(i + 1022)) underflows gradually. Others: * 1.0.
            const auto e = W::AsInt(W::Select(t, W::AsFloat(W::SplatI(K::kSubnormalExponent)), W::AsFloat(i)));
            const auto scaleBits = W::template ShlI<W::kMantissaBits>(W::AddI(i, W::SplatI(K::kScaleOffset)));
            const auto scale = W::Select(t, W::AsFloat(scaleBits), W::Splat(K::kOne));
            r = W::Mul(W::AddToExponent(m, e), scale);
        }
        // NaN in, NaN out: y0 == y0 fails only for NaN lanes.
        return W::Select(W::CmpEq(y0, y0), r, y0);
    }
}

}  // namespace
}  // namespace NOrvex

#endif  // ORVEX_SRC_EXP2CORE_H
