// The per-vector natural logarithm.
//
// x = m' * 2^e' with m' in (sqrt(1/2), sqrt(2)], f = m' - 1 (exact), and
//   ln x ~ f * (P(f) * (f - a)(f - b) + l0 - l1 * f) + e' * ln 2,
// where a = sqrt(2) - 1 and b = sqrt(1/2) - 1 are the ends of the range of f: the quadratic
// factor vanishes there and the straight line l0 - l1 f matches ln(1 + f) / f at both ends, so
// the result has no jump where the reduction switches, whatever P is. (f - a)(f - b) is computed
// as m' * c + f^2 with c = a * b = -(a + b).
//
// Inputs outside (0, +inf) are patched per lane afterwards, skipped for vectors of ordinary lanes.
// The exact variant pre-scales +0 and positive subnormals by 2^23 (2^52), again per vector only
// when a lane needs it.
#ifndef ORVEX_SRC_LOG_H
#define ORVEX_SRC_LOG_H

#include <cstdint>

#include "frame.h"
#include "simd.h"

namespace NOrvex {
namespace {

template <class T, bool Exact> struct LogConstants;

struct LogFloatCommon {
    static constexpr std::uint32_t kFractionMask = 0x007FFFFF;
    static constexpr std::uint32_t kMinusBias = static_cast<std::uint32_t>(-127);
    static constexpr std::uint32_t kHalf = 0x3F000000;       // 0.5, or-ed into the fraction
    static constexpr std::uint32_t kThreshold = 0x3F3504F3;  // 0.707106769, sqrt(1/2)
    static constexpr std::uint32_t kOne = 0x3F800000;        // 1.0
    static constexpr std::uint32_t kMinusOne = 0xBF800000;   // -1.0
    static constexpr std::uint32_t kC = 0xBDF876CD;          // -0.121320345
    static constexpr std::uint32_t kL1 = 0x3EFAF233;         // 0.490129083
    static constexpr std::uint32_t kL0 = 0x3F851592;         // 1.03972077
    static constexpr std::uint32_t kLn2 = 0x3F317218;        // 0.693147182
    static constexpr std::uint32_t kPlusInf = 0x7F800000;
    static constexpr std::uint32_t kMinusInf = 0xFF800000;
    static constexpr std::uint32_t kSignMask = 0x80000000;
    static constexpr int kSignShift = 9;                     // 0x80000000 -> 0xFFC00000, a quiet NaN
    static constexpr std::uint32_t kPrescale = 0x4B000000;   // 2^23
    static constexpr std::uint32_t kPrescaleExp = 0xC1B80000;  // -23.0
};

template <> struct LogConstants<float, false> : LogFloatCommon {
    static constexpr std::uint32_t kA3 = 0xBE1392C4;  // -0.144114554
    static constexpr std::uint32_t kA2 = 0x3E520093;  // 0.205080315
    static constexpr std::uint32_t kA1 = 0xBE7CDBEB;  // -0.24693267
    static constexpr std::uint32_t kA0 = 0x3EA79B27;  // 0.327355593
};

template <> struct LogConstants<float, true> : LogFloatCommon {
    static constexpr std::uint32_t kB5 = 0xBDD0650B;  // -0.101755224
    static constexpr std::uint32_t kB4 = 0x3E1AAEDD;  // 0.151057675
    static constexpr std::uint32_t kB3 = 0xBE2AC6EB;  // -0.166774437
    static constexpr std::uint32_t kB2 = 0x3E49B253;  // 0.196969315
    static constexpr std::uint32_t kB1 = 0xBE7BE973;  // -0.246007726
    static constexpr std::uint32_t kB0 = 0x3EA7A194;  // 0.327404618
};

struct LogDoubleCommon {
    static constexpr std::uint64_t kFractionMask = 0x000FFFFFFFFFFFFF;
    static constexpr std::uint64_t kOffset = 0x4338000000000000;          // 1.5 * 2^52
    static constexpr std::uint64_t kOffsetMinusBias = 0x4337FFFFFFFFFC01;  // its pattern - 1023
    static constexpr std::uint64_t kHalf = 0x3FE0000000000000;             // 0.5
    static constexpr std::uint64_t kThreshold = 0x3FE6A09E667F3BCD;        // 0.70710678118654757
    static constexpr std::uint64_t kOne = 0x3FF0000000000000;              // 1.0
    static constexpr std::uint64_t kMinusOne = 0xBFF0000000000000;         // -1.0
    static constexpr std::uint64_t kC = 0xBFBF0ED99BED9B2E;                // -0.12132034355964258
    static constexpr std::uint64_t kL1 = 0x3FDF5E46537AB907;               // 0.49012907173427361
    static constexpr std::uint64_t kL0 = 0x3FF0A2B23F3BAB73;               // 1.0397207708399179
    static constexpr std::uint64_t kLn2 = 0x3FE62E42FEFA39EF;              // 0.69314718055994529
    static constexpr std::uint64_t kPlusInf = 0x7FF0000000000000;
    static constexpr std::uint64_t kMinusInf = 0xFFF0000000000000;
    static constexpr std::uint64_t kSignMask = 0x8000000000000000;
    static constexpr int kSignShift = 12;  // per 32-bit half: -> 0xFFF8000000000000, a quiet NaN
    static constexpr std::uint64_t kPrescale = 0x4330000000000000;     // 2^52
    static constexpr std::uint64_t kPrescaleExp = 0xC04A000000000000;  // -52.0
};

template <> struct LogConstants<double, false> : LogDoubleCommon {
    static constexpr std::uint64_t kA3 = 0xBFC272588C0CE8DA;  // -0.14411455953979307
    static constexpr std::uint64_t kA2 = 0x3FCA40125D219C31;  // 0.20508031413484809
    static constexpr std::uint64_t kA1 = 0xBFCF9B7D6A9CF9D9;  // -0.24693267541620292
    static constexpr std::uint64_t kA0 = 0x3FD4F364D7DAA3C1;  // 0.32735558585642016
};

template <> struct LogConstants<double, true> : LogDoubleCommon {
    static constexpr std::uint64_t kB7 = 0xBFB39F38ED19069B;  // -0.076648290524668303
    static constexpr std::uint64_t kB6 = 0x3FBEDAE584C40F39;  // 0.12052759639123857
    static constexpr std::uint64_t kB5 = 0xBFC04C1D2D6A4F64;  // -0.12732281415503188
    static constexpr std::uint64_t kB4 = 0x3FC208BDC68E75B6;  // 0.14089176364079287
    static constexpr std::uint64_t kB3 = 0xBFC50B54872F04AC;  // -0.16440826988949675
    static constexpr std::uint64_t kB2 = 0x3FC93CE29474C15A;  // 0.19717056511718561
    static constexpr std::uint64_t kB1 = 0xBFCF7E53039468C8;  // -0.24604261088172152
    static constexpr std::uint64_t kB0 = 0x3FD4F43014AFF194;  // 0.32740404148332769
};

template <class W, bool Exact>
ORVEX_INLINE typename W::V LogPolynomial(typename W::V f, typename W::V f2) {
    using K = LogConstants<typename W::T, Exact>;
    if constexpr (!Exact) {
        const auto p1 = W::MulAdd(W::Splat(K::kA3), f, W::Splat(K::kA2));
        const auto p2 = W::MulAdd(W::Splat(K::kA1), f, W::Splat(K::kA0));
        return W::MulAdd(p1, f2, p2);
    } else if constexpr (sizeof(typename W::T) == 4) {
        const auto p1 = W::MulAdd(W::Splat(K::kB5), f, W::Splat(K::kB4));
        const auto p2 = W::MulAdd(W::Splat(K::kB3), f, W::Splat(K::kB2));
        const auto p3 = W::MulAdd(W::Splat(K::kB1), f, W::Splat(K::kB0));
        return W::MulAdd(W::MulAdd(p1, f2, p2), f2, p3);
    } else {
        const auto q1 = W::MulAdd(W::Splat(K::kB7), f, W::Splat(K::kB6));
        const auto q2 = W::MulAdd(W::Splat(K::kB5), f, W::Splat(K::kB4));
        const auto q3 = W::MulAdd(W::Splat(K::kB3), f, W::Splat(K::kB2));
        const auto q4 = W::MulAdd(W::Splat(K::kB1), f, W::Splat(K::kB0));
        const auto f4 = W::Mul(f2, f2);
        const auto h = W::MulAdd(q1, f2, q2);
        const auto l = W::MulAdd(q3, f2, q4);
        return W::MulAdd(h, f4, l);
    }
}

template <bool Exact> struct LogOp : OneFiller {
    static constexpr int kVectorsPerPass = 2;

    template <class W> static ORVEX_INLINE typename W::V Apply(typename W::V x) {
        using K = LogConstants<typename W::T, Exact>;
        using V = typename W::V;
        constexpr bool kFloat = sizeof(typename W::T) == 4;
        constexpr int kExponentShift = W::kMantissaBits;

        V scaled = x;
        V adjust = W::Zero();
        if constexpr (Exact) {
            // +0 and positive subnormals: sign and exponent field all zero.
            const auto tiny = W::CmpEqIMask(W::template ShrI<kExponentShift>(W::AsInt(x)), W::AsInt(W::Zero()));
            if (__builtin_expect(W::AnyLane(tiny), 0)) {
                scaled = W::Mul(x, W::Select(tiny, W::Splat(K::kPrescale), W::Splat(K::kOne)));
                adjust = W::ZeroUnless(tiny, W::Splat(K::kPrescaleExp));
            }
        }
        const auto b = W::AsInt(scaled);
        // The exponent as a float, exactly. For a negative input the sign bit joins it; such
        // lanes are patched below.
        V e;
        if constexpr (kFloat) {
            e = W::IntToFloat(W::AddI(W::template ShrI<kExponentShift>(b), W::SplatI(K::kMinusBias)));
        } else {
            const auto k = W::template ShrI<kExponentShift>(b);
            e = W::Sub(W::AsFloat(W::AddI(k, W::SplatI(K::kOffsetMinusBias))), W::Splat(K::kOffset));
        }
        if constexpr (Exact) {
            e = W::Add(adjust, e);
        }
        const auto m = W::AndOr(W::AsFloat(b), W::Splat(K::kFractionMask), W::Splat(K::kHalf));
        // m in [0.5, 1): doubled unless above sqrt(1/2), where the exponent goes up instead. Neither
        // m nor e is ever -0 or a NaN, so adding +0 in the other lanes changes nothing.
        const auto big = W::CmpGt(m, W::Splat(K::kThreshold));
        const auto mr = W::AddUnless(big, m, m);
        const auto er = W::AddWhere(big, e, W::Splat(K::kOne));
        const auto f = W::Add(mr, W::Splat(K::kMinusOne));

        const auto f2 = W::Mul(f, f);
        const auto p = LogPolynomial<W, Exact>(f, f2);
        const auto t = W::MulAdd(mr, W::Splat(K::kC), f2);
        const auto u = W::Mul(f, W::Splat(K::kL1));
        const auto v = W::MulSub(p, t, u);
        const auto w = W::Add(v, W::Splat(K::kL0));
        const auto g = W::Mul(er, W::Splat(K::kLn2));
        const auto r = W::MulAdd(w, f, g);

        const auto plusInf = W::Splat(K::kPlusInf);
        if (__builtin_expect(W::AllPositiveFinite(x, plusInf), 1)) {
            return r;
        }
        const auto zero = W::CmpEq(x, W::Zero());
        const auto posInf = W::CmpEq(x, plusInf);
        const auto nan = W::CmpUnord(x, x);
        const auto special = W::MaskOr(zero, W::MaskOr(posInf, nan));
        const auto specialValue = W::Select(zero, W::Splat(K::kMinusInf), W::Select(posInf, plusInf, x));
        // r is finite: adding the negative quiet NaN built from the sign bit turns every other
        // negative lane into exactly that NaN and leaves positive lanes alone.
        const auto sign = W::AsFloat(W::template SraI32<K::kSignShift>(W::AsInt(W::And(x, W::Splat(K::kSignMask)))));
        return W::Select(special, specialValue, W::Add(r, sign));
    }
};

}  // namespace
}  // namespace NOrvex

#endif  // ORVEX_SRC_LOG_H
