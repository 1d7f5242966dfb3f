// glibc's libmvec AVX-512 variants (_ZGVeN16v_expf and friends), declared here by their vector-ABI
// names. Built for AVX-512; called only where the processor has it. The tanh pair only where the
// system has it (it came with the AVX2 pair, in glibc 2.35). The sigmoid is 1 / (1 + exp(-x)).
#include <immintrin.h>

#include "peers.h"
#include "vector_loop.h"

extern "C" {
__m512 _ZGVeN16v_expf(__m512 x);
__m512d _ZGVeN8v_exp(__m512d x);
__m512 _ZGVeN16v_logf(__m512 x);
__m512d _ZGVeN8v_log(__m512d x);
#ifdef ORVEX_PEERS_MVEC_TANH
__m512 _ZGVeN16v_tanhf(__m512 x);
__m512d _ZGVeN8v_tanh(__m512d x);
#endif
}

namespace NPeers {

void MvecAvx512Exp(const float* src, size_t count, float* dst) { Loop512F<_ZGVeN16v_expf>(src, count, dst); }
void MvecAvx512Exp(const double* src, size_t count, double* dst) { Loop512D<_ZGVeN8v_exp>(src, count, dst); }
void MvecAvx512Log(const float* src, size_t count, float* dst) { Loop512F<_ZGVeN16v_logf>(src, count, dst); }
void MvecAvx512Log(const double* src, size_t count, double* dst) { Loop512D<_ZGVeN8v_log>(src, count, dst); }
void MvecAvx512Sigmoid(const float* src, size_t count, float* dst) {
    Loop512F<Sigmoid512F<_ZGVeN16v_expf>>(src, count, dst);
}
void MvecAvx512Sigmoid(const double* src, size_t count, double* dst) {
    Loop512D<Sigmoid512D<_ZGVeN8v_exp>>(src, count, dst);
}
#ifdef ORVEX_PEERS_MVEC_TANH
void MvecAvx512Tanh(const float* src, size_t count, float* dst) { Loop512F<_ZGVeN16v_tanhf>(src, count, dst); }
void MvecAvx512Tanh(const double* src, size_t count, double* dst) { Loop512D<_ZGVeN8v_tanh>(src, count, dst); }
#endif

}  // namespace NPeers
