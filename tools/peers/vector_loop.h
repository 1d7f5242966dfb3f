// Drives a function of one 256-bit or 512-bit vector over an array, for the peers that offer only
// such functions, and builds the sigmoid from such a peer's exp. Included by units built for AVX2
// or AVX-512 only (the 512-bit forms exist only in the latter); internal linkage keeps each copy in
// its unit.
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

// The sigmoid as a user of a peer without one would write it: 1 / (1 + exp(-x)) in the peer's
// vectors, with the peer's exp.
template <auto Exp>  // __m256 Exp(__m256)
__m256 SigmoidF(__m256 x) {
    const __m256 one = _mm256_set1_ps(1.0f);
    return _mm256_div_ps(one, _mm256_add_ps(one, Exp(_mm256_xor_ps(x, _mm256_set1_ps(-0.0f)))));
}

template <auto Exp>  // __m256d Exp(__m256d)
__m256d SigmoidD(__m256d x) {
    const __m256d one = _mm256_set1_pd(1.0);
    return _mm256_div_pd(one, _mm256_add_pd(one, Exp(_mm256_xor_pd(x, _mm256_set1_pd(-0.0)))));
}

#ifdef __AVX512F__
// One call per 16 floats; the last partial vector through masked loads and stores, which touch
// nothing outside the arrays, with 1.0 in the idle lanes.
template <auto F>  // __m512 F(__m512)
void Loop512F(const float* src, size_t count, float* dst) {
    size_t i = 0;
    for (; i + 16 <= count; i += 16) _mm512_storeu_ps(dst + i, F(_mm512_loadu_ps(src + i)));
    if (i < count) {
        const __mmask16 live = static_cast<__mmask16>((1u << (count - i)) - 1u);
        const __m512 x = _mm512_mask_loadu_ps(_mm512_set1_ps(1.0f), live, src + i);
        _mm512_mask_storeu_ps(dst + i, live, F(x));
    }
}

template <auto F>  // __m512d F(__m512d)
void Loop512D(const double* src, size_t count, double* dst) {
    size_t i = 0;
    for (; i + 8 <= count; i += 8) _mm512_storeu_pd(dst + i, F(_mm512_loadu_pd(src + i)));
    if (i < count) {
        const __mmask8 live = static_cast<__mmask8>((1u << (count - i)) - 1u);
        const __m512d x = _mm512_mask_loadu_pd(_mm512_set1_pd(1.0), live, src + i);
        _mm512_mask_storeu_pd(dst + i, live, F(x));
    }
}

template <auto Exp>  // __m512 Exp(__m512)
__m512 Sigmoid512F(__m512 x) {
    const __m512 one = _mm512_set1_ps(1.0f);
    return _mm512_div_ps(one, _mm512_add_ps(one, Exp(_mm512_xor_ps(x, _mm512_set1_ps(-0.0f)))));
}

template <auto Exp>  // __m512d Exp(__m512d)
__m512d Sigmoid512D(__m512d x) {
    const __m512d one = _mm512_set1_pd(1.0);
    return _mm512_div_pd(one, _mm512_add_pd(one, Exp(_mm512_xor_pd(x, _mm512_set1_pd(-0.0)))));
}
#endif

}  // namespace
}  // namespace NPeers

#endif  // ORVEX_TOOLS_PEERS_VECTOR_LOOP_H
