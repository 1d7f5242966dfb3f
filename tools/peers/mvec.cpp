// glibc's libmvec AVX2 variants, declared here by their vector-ABI names (glibc ships no header
// for calling them directly). Built for AVX2; the tanh pair only where the system has it.
#include <immintrin.h>

#include <cstring>

#include "peers.h"

extern "C" {
__m256 _ZGVdN8v_expf(__m256 x);
__m256d _ZGVdN4v_exp(__m256d x);
__m256 _ZGVdN8v_logf(__m256 x);
__m256d _ZGVdN4v_log(__m256d x);
#ifdef ORVEX_PEERS_MVEC_TANH
__m256 _ZGVdN8v_tanhf(__m256 x);
__m256d _ZGVdN4v_tanh(__m256d x);
#endif
}

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

void MvecExp(const float* src, size_t count, float* dst) { LoopF<_ZGVdN8v_expf>(src, count, dst); }
void MvecExp(const double* src, size_t count, double* dst) { LoopD<_ZGVdN4v_exp>(src, count, dst); }
void MvecLog(const float* src, size_t count, float* dst) { LoopF<_ZGVdN8v_logf>(src, count, dst); }
void MvecLog(const double* src, size_t count, double* dst) { LoopD<_ZGVdN4v_log>(src, count, dst); }
#ifdef ORVEX_PEERS_MVEC_TANH
void MvecTanh(const float* src, size_t count, float* dst) { LoopF<_ZGVdN8v_tanhf>(src, count, dst); }
void MvecTanh(const double* src, size_t count, double* dst) { LoopD<_ZGVdN4v_tanh>(src, count, dst); }
#endif

}  // namespace NPeers
