// Highway's contrib math, statically compiled for its AVX2 target (this unit's flags make AVX2 the
// baseline, so no run-time dispatch is involved), one straightforward loop per function.
#include "hwy_ops.h"
#include "peers.h"

static_assert(HWY_STATIC_TARGET == HWY_AVX2, "the Highway peer must be built for its AVX2 target");

namespace NPeers {

void HwyExp(const float* src, size_t count, float* dst) { Loop(src, count, dst, ExpOp()); }
void HwyExp(const double* src, size_t count, double* dst) { Loop(src, count, dst, ExpOp()); }
void HwyLog(const float* src, size_t count, float* dst) { Loop(src, count, dst, LogOp()); }
void HwyLog(const double* src, size_t count, double* dst) { Loop(src, count, dst, LogOp()); }
void HwySigmoid(const float* src, size_t count, float* dst) { Loop(src, count, dst, SigmoidOp()); }
void HwySigmoid(const double* src, size_t count, double* dst) { Loop(src, count, dst, SigmoidOp()); }
void HwyTanh(const float* src, size_t count, float* dst) { Loop(src, count, dst, TanhOp()); }
void HwyTanh(const double* src, size_t count, double* dst) { Loop(src, count, dst, TanhOp()); }

}  // namespace NPeers
