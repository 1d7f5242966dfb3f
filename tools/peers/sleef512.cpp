// SLEEF's AVX-512 functions of 1-ulp and, where SLEEF has them, 3.5-ulp accuracy, a vector per
// call; the sigmoid is 1 / (1 + exp(-x)) with the 1-ulp exp. Built for AVX-512 (sleef.h declares
// these entry points only when the compiler targets it); called only where the processor has it.
#include <immintrin.h>
#include <sleef.h>

#include "peers.h"
#include "vector_loop.h"

namespace NPeers {

void SleefAvx512Exp(const float* src, size_t count, float* dst) {
    Loop512F<Sleef_expf16_u10avx512f>(src, count, dst);
}
void SleefAvx512Exp(const double* src, size_t count, double* dst) {
    Loop512D<Sleef_expd8_u10avx512f>(src, count, dst);
}
void SleefAvx512Log(const float* src, size_t count, float* dst) {
    Loop512F<Sleef_logf16_u10avx512f>(src, count, dst);
}
void SleefAvx512Log(const double* src, size_t count, double* dst) {
    Loop512D<Sleef_logd8_u10avx512f>(src, count, dst);
}
void SleefAvx512Sigmoid(const float* src, size_t count, float* dst) {
    Loop512F<Sigmoid512F<Sleef_expf16_u10avx512f>>(src, count, dst);
}
void SleefAvx512Sigmoid(const double* src, size_t count, double* dst) {
    Loop512D<Sigmoid512D<Sleef_expd8_u10avx512f>>(src, count, dst);
}
void SleefAvx512Tanh(const float* src, size_t count, float* dst) {
    Loop512F<Sleef_tanhf16_u10avx512f>(src, count, dst);
}
void SleefAvx512Tanh(const double* src, size_t count, double* dst) {
    Loop512D<Sleef_tanhd8_u10avx512f>(src, count, dst);
}

void SleefU35Avx512Log(const float* src, size_t count, float* dst) {
    Loop512F<Sleef_logf16_u35avx512f>(src, count, dst);
}
void SleefU35Avx512Log(const double* src, size_t count, double* dst) {
    Loop512D<Sleef_logd8_u35avx512f>(src, count, dst);
}
void SleefU35Avx512Tanh(const float* src, size_t count, float* dst) {
    Loop512F<Sleef_tanhf16_u35avx512f>(src, count, dst);
}
void SleefU35Avx512Tanh(const double* src, size_t count, double* dst) {
    Loop512D<Sleef_tanhd8_u35avx512f>(src, count, dst);
}

}  // namespace NPeers
