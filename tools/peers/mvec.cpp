// glibc's libmvec AVX2 variants, declared here by their vector-ABI names (glibc ships no header
// for calling them directly). Built for AVX2; the tanh pair only where the system has it. The
// sigmoid is 1 / (1 + exp(-x)).
#include <immintrin.h>

#include "peers.h"
#include "vector_loop.h"

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

void MvecExp(const float* src, size_t count, float* dst) { LoopF<_ZGVdN8v_expf>(src, count, dst); }
void MvecExp(const double* src, size_t count, double* dst) { LoopD<_ZGVdN4v_exp>(src, count, dst); }
void MvecLog(const float* src, size_t count, float* dst) { LoopF<_ZGVdN8v_logf>(src, count, dst); }
void MvecLog(const double* src, size_t count, double* dst) { LoopD<_ZGVdN4v_log>(src, count, dst); }
void MvecSigmoid(const float* src, size_t count, float* dst) { LoopF<SigmoidF<_ZGVdN8v_expf>>(src, count, dst); }
void MvecSigmoid(const double* src, size_t count, double* dst) { LoopD<SigmoidD<_ZGVdN4v_exp>>(src, count, dst); }
#ifdef ORVEX_PEERS_MVEC_TANH
void MvecTanh(const float* src, size_t count, float* dst) { LoopF<_ZGVdN8v_tanhf>(src, count, dst); }
void MvecTanh(const double* src, size_t count, double* dst) { LoopD<_ZGVdN4v_tanh>(src, count, dst); }
#endif

}  // namespace NPeers
