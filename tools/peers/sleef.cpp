// SLEEF's AVX2 functions of 1-ulp accuracy and, where SLEEF has them, of 3.5-ulp accuracy, a
// vector per call; the sigmoid is 1 / (1 + exp(-x)) with the 1-ulp exp. Built for AVX2 (sleef.h
// declares its AVX2 entry points only when the compiler targets AVX2).
#include <immintrin.h>
#include <sleef.h>

#include "peers.h"
#include "vector_loop.h"

namespace NPeers {

void SleefExp(const float* src, size_t count, float* dst) { LoopF<Sleef_expf8_u10avx2>(src, count, dst); }
void SleefExp(const double* src, size_t count, double* dst) { LoopD<Sleef_expd4_u10avx2>(src, count, dst); }
void SleefLog(const float* src, size_t count, float* dst) { LoopF<Sleef_logf8_u10avx2>(src, count, dst); }
void SleefLog(const double* src, size_t count, double* dst) { LoopD<Sleef_logd4_u10avx2>(src, count, dst); }
void SleefSigmoid(const float* src, size_t count, float* dst) {
    LoopF<SigmoidF<Sleef_expf8_u10avx2>>(src, count, dst);
}
void SleefSigmoid(const double* src, size_t count, double* dst) {
    LoopD<SigmoidD<Sleef_expd4_u10avx2>>(src, count, dst);
}
void SleefTanh(const float* src, size_t count, float* dst) { LoopF<Sleef_tanhf8_u10avx2>(src, count, dst); }
void SleefTanh(const double* src, size_t count, double* dst) { LoopD<Sleef_tanhd4_u10avx2>(src, count, dst); }

void SleefU35Log(const float* src, size_t count, float* dst) { LoopF<Sleef_logf8_u35avx2>(src, count, dst); }
void SleefU35Log(const double* src, size_t count, double* dst) { LoopD<Sleef_logd4_u35avx2>(src, count, dst); }
void SleefU35Tanh(const float* src, size_t count, float* dst) { LoopF<Sleef_tanhf8_u35avx2>(src, count, dst); }
void SleefU35Tanh(const double* src, size_t count, double* dst) { LoopD<Sleef_tanhd4_u35avx2>(src, count, dst); }

}  // namespace NPeers
