// Highway's contrib math, statically compiled for its AVX-512 target (AVX3), as hwy.cpp is for
// AVX2; called only where the processor has AVX-512.
#include "hwy_ops.h"
#include "peers.h"

static_assert(HWY_STATIC_TARGET == HWY_AVX3, "the Highway AVX-512 peer must be built for its AVX3 target");

namespace NPeers {

void HwyAvx512Exp(const float* src, size_t count, float* dst) { Loop(src, count, dst, ExpOp()); }
void HwyAvx512Exp(const double* src, size_t count, double* dst) { Loop(src, count, dst, ExpOp()); }
void HwyAvx512Log(const float* src, size_t count, float* dst) { Loop(src, count, dst, LogOp()); }
void HwyAvx512Log(const double* src, size_t count, double* dst) { Loop(src, count, dst, LogOp()); }
void HwyAvx512Sigmoid(const float* src, size_t count, float* dst) { Loop(src, count, dst, SigmoidOp()); }
void HwyAvx512Sigmoid(const double* src, size_t count, double* dst) { Loop(src, count, dst, SigmoidOp()); }
void HwyAvx512Tanh(const float* src, size_t count, float* dst) { Loop(src, count, dst, TanhOp()); }
void HwyAvx512Tanh(const double* src, size_t count, double* dst) { Loop(src, count, dst, TanhOp()); }

}  // namespace NPeers
