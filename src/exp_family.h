// The per-vector operations built on Exp2Core: e^x, 1 / (1 + e^-x) and 2 / (1 + e^-2x) - 1.
// Outside the core every step is one separately rounded IEEE operation, with a true division.
#ifndef ORVEX_SRC_EXP_FAMILY_H
#define ORVEX_SRC_EXP_FAMILY_H

#include <cstdint>

#include "exp2core.h"
#include "frame.h"

namespace NOrvex {
namespace {

// The bit pattern for the element type at hand.
template <class T> constexpr auto ForType(std::uint32_t forFloat, std::uint64_t forDouble) {
    if constexpr (sizeof(T) == 4) {
        return forFloat;
    } else {
        return forDouble;
    }
}

template <class T> constexpr auto kLog2e = ForType<T>(0x3FB8AA3B, 0x3FF71547652B82FE);          // log2 e
template <class T> constexpr auto kMinusLog2e = ForType<T>(0xBFB8AA3B, 0xBFF71547652B82FE);     // -log2 e
template <class T> constexpr auto kMinus2Log2e = ForType<T>(0xC038AA3B, 0xC0071547652B82FE);    // -2 log2 e
template <class T> constexpr auto kOne = ForType<T>(0x3F800000, 0x3FF0000000000000);            // 1.0
template <class T> constexpr auto kTwo = ForType<T>(0x40000000, 0x4000000000000000);            // 2.0
template <class T> constexpr auto kMinusOne = ForType<T>(0xBF800000, 0xBFF0000000000000);       // -1.0

template <bool Exact> struct ExpOp : ZeroFiller {
    static constexpr int kVectorsPerPass = 4;
    template <class W> static ORVEX_INLINE typename W::V Apply(typename W::V x) {
        using T = typename W::T;
        return Exp2Core<W, Exact>(W::Mul(x, W::Splat(kLog2e<T>)));
    }
};

// -log2 e is the exact negation of log2 e, so e is the exponential kernel's e^-x bit for bit.
template <bool Exact> struct SigmoidOp : ZeroFiller {
    static constexpr int kVectorsPerPass = 4;
    template <class W> static ORVEX_INLINE typename W::V Apply(typename W::V x) {
        using T = typename W::T;
        const auto e = Exp2Core<W, Exact>(W::Mul(x, W::Splat(kMinusLog2e<T>)));
        const auto one = W::Splat(kOne<T>);
        return W::Div(one, W::Add(one, e));
    }
};

// Absolute, not relative accuracy near 0, and no odd symmetry: the sign of x is never copied.
template <bool Exact> struct TanhOp : ZeroFiller {
    static constexpr int kVectorsPerPass = 4;
    template <class W> static ORVEX_INLINE typename W::V Apply(typename W::V x) {
        using T = typename W::T;
        const auto e = Exp2Core<W, Exact>(W::Mul(x, W::Splat(kMinus2Log2e<T>)));
        const auto w = W::Div(W::Splat(kTwo<T>), W::Add(W::Splat(kOne<T>), e));
        return W::Add(w, W::Splat(kMinusOne<T>));
    }
};

}  // namespace
}  // namespace NOrvex

#endif  // ORVEX_SRC_EXP_FAMILY_H
