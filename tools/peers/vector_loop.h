// Drives a function of one 256-bit vector over an array, for the peers that offer only such
// functions. Included by units built for AVX2 only; internal linkage keeps each copy in its unit.
#ifndef ORVEX_TOOLS_PEERS_VECTOR_LOOP_H
#define ORVEX_TOOLS_PEERS_VECTOR_LOOP_H

#include <immintrin.h>

#include <cstddef>
#include <cstring>

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
}  // namespace NPeers

#endif  // ORVEX_TOOLS_PEERS_VECTOR_LOOP_H
