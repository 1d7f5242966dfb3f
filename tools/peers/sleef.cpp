// SLEEF's AVX2 functions of 1-ulp accuracy, a vector per call. Built for AVX2 (sleef.h declares
// its AVX2 entry points only when the compiler targets AVX2).
#include <immintrin.h>
#include <sleef.h>

#include <cstring>

#include "peers.h"

namespace NPeers {
namespace {

// One call per 8 floats; the last partial vector through a buffer padded with 1.0.
template <auto F>  // __m256 F(__m256)
void LoopF(const float* src, size_t count, float* dst) {
    size_t i = 0;
    for (; i + 8 <= count; i += 8) _mm256_storeu_ps(dst + i, F(_mm256_loadu_ps(src + i)));
    if (i < count) {
        alignas(32) float buffer[8] = {1, 1, 1, 1, 1, 1, 1, 1};
        std::memcpy(buffer, src + i, (count - i) * sizeof(float));
        _mm256_store_ps(buffer, F(_mm256_load_ps(buffer)));
        std::memcpy(dst + i, buffer, (count - i) * sizeof(float));
    }
}

template <auto F>  // __m256d F(__m256d)
void LoopD(const double* src, size_t count, double* dst) {
    size_t i = 0;
    for (; i + 4 <= count; i += 4) _mm256_storeu_pd(dst + i, F(_mm256_loadu_pd(src + i)));
    if (i < count) {
        alignas(32) double buffer[4] = {1, 1, 1, 1};
        std::memcpy(buffer, src + i, (count - i) * sizeof(double));
        _mm256_store_pd(buffer, F(_mm256_load_pd(buffer)));
        std::memcpy(dst + i, buffer, (count - i) * sizeof(double));
    }
}

}  // namespace

void SleefExp(const float* src, size_t count, float* dst) { LoopF<Sleef_expf8_u10avx2>(src, count, dst); }
void SleefExp(const double* src, size_t count, double* dst) { LoopD<Sleef_expd4_u10avx2>(src, count, dst); }
void SleefLog(const float* src, size_t count, float* dst) { LoopF<Sleef_logf8_u10avx2>(src, count, dst); }
void SleefLog(const double* src, size_t count, double* dst) { LoopD<Sleef_logd4_u10avx2>(src, count, dst); }
void SleefTanh(const float* src, size_t count, float* dst) { LoopF<Sleef_tanhf8_u10avx2>(src, count, dst); }
void SleefTanh(const double* src, size_t count, double* dst) { LoopD<Sleef_tanhd4_u10avx2>(src, count, dst); }

}  // namespace NPeers
