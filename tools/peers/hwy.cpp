// Highway's contrib math, statically compiled for its AVX2 target (this unit's flags make AVX2 the
// baseline, so no run-time dispatch is involved), one straightforward loop per function.
#include <hwy/highway.h>
#include <hwy/contrib/math/math-inl.h>

#include <cstring>

#include "peers.h"

static_assert(HWY_STATIC_TARGET == HWY_AVX2, "the Highway peer must be built for its AVX2 target");

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

void HwyExp(const float* src, size_t count, float* dst) { Loop(src, count, dst, ExpOp()); }
void HwyExp(const double* src, size_t count, double* dst) { Loop(src, count, dst, ExpOp()); }
void HwyLog(const float* src, size_t count, float* dst) { Loop(src, count, dst, LogOp()); }
void HwyLog(const double* src, size_t count, double* dst) { Loop(src, count, dst, LogOp()); }
void HwySigmoid(const float* src, size_t count, float* dst) { Loop(src, count, dst, SigmoidOp()); }
void HwySigmoid(const double* src, size_t count, double* dst) { Loop(src, count, dst, SigmoidOp()); }
void HwyTanh(const float* src, size_t count, float* dst) { Loop(src, count, dst, TanhOp()); }
void HwyTanh(const double* src, size_t count, double* dst) { Loop(src, count, dst, TanhOp()); }

}  // namespace NPeers
