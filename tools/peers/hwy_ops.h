// The array loop and the functions of the Highway peers, for the static target of the unit that
// includes it (hwy.cpp for AVX2, hwy512.cpp for AVX-512). Internal linkage and Highway's per-target
// namespace keep each unit's copy its own.
#ifndef ORVEX_TOOLS_PEERS_HWY_OPS_H
#define ORVEX_TOOLS_PEERS_HWY_OPS_H

#include <hwy/highway.h>
#include <hwy/contrib/math/math-inl.h>

#include <cstddef>
#include <cstring>

namespace NPeers {
namespace {

namespace hn = hwy::HWY_NAMESPACE;

template <class T, class Op>
void Loop(const T* src, size_t count, T* dst, Op op) {
    const hn::ScalableTag<T> d;
    const size_t lanes = hn::Lanes(d);
    size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        hn::StoreU(op(d, hn::LoadU(d, src + i)), d, dst + i);
    }
    if (i < count) {  // the last partial vector through a buffer padded with 1.0
        HWY_ALIGN T buffer[hn::MaxLanes(d)];
        for (size_t k = 0; k < lanes; ++k) buffer[k] = T(1);
        std::memcpy(buffer, src + i, (count - i) * sizeof(T));
        hn::Store(op(d, hn::Load(d, buffer)), d, buffer);
        std::memcpy(dst + i, buffer, (count - i) * sizeof(T));
    }
}

struct ExpOp {
    template <class D, class V> V operator()(D d, V x) const { return hn::Exp(d, x); }
};
struct LogOp {
    template <class D, class V> V operator()(D d, V x) const { return hn::Log(d, x); }
};
struct TanhOp {
    template <class D, class V> V operator()(D d, V x) const { return hn::Tanh(d, x); }
};
// Highway has no sigmoid; this is what a Highway user would write.
struct SigmoidOp {
    template <class D, class V> V operator()(D d, V x) const {
        const V one = hn::Set(d, hn::TFromD<D>(1));
        return hn::Div(one, hn::Add(one, hn::Exp(d, hn::Neg(x))));
    }
};

}  // namespace
}  // namespace NPeers

// PrefixExp, PrefixLog, PrefixSigmoid and PrefixTanh in namespace NPeers, for the unit's target.
#define ORVEX_PEERS_HWY_FUNCTION(Name, Op)                                                      \
    void Name(const float* src, size_t count, float* dst) { Loop(src, count, dst, Op()); }       \
    void Name(const double* src, size_t count, double* dst) { Loop(src, count, dst, Op()); }
#define ORVEX_PEERS_DEFINE_HWY(Prefix)                                                          \
    namespace NPeers {                                                                          \
    ORVEX_PEERS_HWY_FUNCTION(Prefix##Exp, ExpOp)                                                \
    ORVEX_PEERS_HWY_FUNCTION(Prefix##Log, LogOp)                                                \
    ORVEX_PEERS_HWY_FUNCTION(Prefix##Sigmoid, SigmoidOp)                                        \
    ORVEX_PEERS_HWY_FUNCTION(Prefix##Tanh, TanhOp)                                              \
    }

#endif  // ORVEX_TOOLS_PEERS_HWY_OPS_H
