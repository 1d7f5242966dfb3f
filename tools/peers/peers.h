// The implementations the peer benchmark sets beside orvex's kernels. Each has orvex's calling
// shape, so that one benchmark body times them all. Each group is compiled in a unit of its own
// with its own instruction-set flags; this header carries no intrinsic types. The library
// orvex_peer_kernels holds each group whose package was found and defines its ORVEX_PEERS_* macro
// (ORVEX_PEERS_HWY, ..._EIGEN, ..._MVEC with ..._MVEC_TANH, ..._SLEEF, and the ..._AVX512 forms of
// each). An AVX2 group may only be called where the processor has AVX2 and FMA, an AVX-512 group
// only where it has AVX-512 F, CD, BW, DQ and VL and the operating system keeps its state.
#ifndef ORVEX_TOOLS_PEERS_PEERS_H
#define ORVEX_TOOLS_PEERS_PEERS_H

#include <cstddef>

namespace NPeers {

// glibc's scalar functions, one call per element (expf, exp, logf, log, tanhf, tanh; the sigmoid
// as 1 / (1 + expf(-x))).
void GlibcExp(const float* src, size_t count, float* dst);
void GlibcExp(const double* src, size_t count, double* dst);
void GlibcLog(const float* src, size_t count, float* dst);
void GlibcLog(const double* src, size_t count, double* dst);
void GlibcSigmoid(const float* src, size_t count, float* dst);
void GlibcSigmoid(const double* src, size_t count, double* dst);
void GlibcTanh(const float* src, size_t count, float* dst);
void GlibcTanh(const double* src, size_t count, double* dst);

// Highway's hwy/contrib/math for its AVX2 target; the sigmoid is 1 / (1 + Exp(-x)).
void HwyExp(const float* src, size_t count, float* dst);
void HwyExp(const double* src, size_t count, double* dst);
void HwyLog(const float* src, size_t count, float* dst);
void HwyLog(const double* src, size_t count, double* dst);
void HwySigmoid(const float* src, size_t count, float* dst);
void HwySigmoid(const double* src, size_t count, double* dst);
void HwyTanh(const float* src, size_t count, float* dst);
void HwyTanh(const double* src, size_t count, double* dst);

// Eigen's array expressions .exp(), .log(), .logistic(), .tanh(), built for AVX2 + FMA.
void EigenExp(const float* src, size_t count, float* dst);
void EigenExp(const double* src, size_t count, double* dst);
void EigenLog(const float* src, size_t count, float* dst);
void EigenLog(const double* src, size_t count, double* dst);
void EigenSigmoid(const float* src, size_t count, float* dst);
void EigenSigmoid(const double* src, size_t count, double* dst);
void EigenTanh(const float* src, size_t count, float* dst);
void EigenTanh(const double* src, size_t count, double* dst);

// glibc's libmvec AVX2 variants (_ZGVdN8v_expf and friends), a vector per call; the sigmoid is
// 1 / (1 + exp(-x)) with its exp. The tanh pair only with ORVEX_PEERS_MVEC_TANH.
void MvecExp(const float* src, size_t count, float* dst);
void MvecExp(const double* src, size_t count, double* dst);
void MvecLog(const float* src, size_t count, float* dst);
void MvecLog(const double* src, size_t count, double* dst);
void MvecSigmoid(const float* src, size_t count, float* dst);
void MvecSigmoid(const double* src, size_t count, double* dst);
void MvecTanh(const float* src, size_t count, float* dst);
void MvecTanh(const double* src, size_t count, double* dst);

// SLEEF's AVX2 functions with 1-ulp accuracy (Sleef_expf8_u10avx2 and friends); the sigmoid is
// 1 / (1 + exp(-x)) with its exp.
void SleefExp(const float* src, size_t count, float* dst);
void SleefExp(const double* src, size_t count, double* dst);
void SleefLog(const float* src, size_t count, float* dst);
void SleefLog(const double* src, size_t count, double* dst);
void SleefSigmoid(const float* src, size_t count, float* dst);
void SleefSigmoid(const double* src, size_t count, double* dst);
void SleefTanh(const float* src, size_t count, float* dst);
void SleefTanh(const double* src, size_t count, double* dst);

// SLEEF's AVX2 functions with 3.5-ulp accuracy (Sleef_logf8_u35avx2 and friends). SLEEF has no
// such exp.
void SleefU35Log(const float* src, size_t count, float* dst);
void SleefU35Log(const double* src, size_t count, double* dst);
void SleefU35Tanh(const float* src, size_t count, float* dst);
void SleefU35Tanh(const double* src, size_t count, double* dst);

// The same peers built for AVX-512 (ORVEX_PEERS_HWY_AVX512 and so on): Highway for its AVX3
// target, Eigen with AVX-512 flags, libmvec's _ZGVeN16v_expf and friends, SLEEF's
// Sleef_expf16_u10avx512f and friends. Each sigmoid as its AVX2 twin's.
void HwyAvx512Exp(const float* src, size_t count, float* dst);
void HwyAvx512Exp(const double* src, size_t count, double* dst);
void HwyAvx512Log(const float* src, size_t count, float* dst);
void HwyAvx512Log(const double* src, size_t count, double* dst);
void HwyAvx512Sigmoid(const float* src, size_t count, float* dst);
void HwyAvx512Sigmoid(const double* src, size_t count, double* dst);
void HwyAvx512Tanh(const float* src, size_t count, float* dst);
void HwyAvx512Tanh(const double* src, size_t count, double* dst);

void EigenAvx512Exp(const float* src, size_t count, float* dst);
void EigenAvx512Exp(const double* src, size_t count, double* dst);
void EigenAvx512Log(const float* src, size_t count, float* dst);
void EigenAvx512Log(const double* src, size_t count, double* dst);
void EigenAvx512Sigmoid(const float* src, size_t count, float* dst);
void EigenAvx512Sigmoid(const double* src, size_t count, double* dst);
void EigenAvx512Tanh(const float* src, size_t count, float* dst);
void EigenAvx512Tanh(const double* src, size_t count, double* dst);

void MvecAvx512Exp(const float* src, size_t count, float* dst);
void MvecAvx512Exp(const double* src, size_t count, double* dst);
void MvecAvx512Log(const float* src, size_t count, float* dst);
void MvecAvx512Log(const double* src, size_t count, double* dst);
void MvecAvx512Sigmoid(const float* src, size_t count, float* dst);
void MvecAvx512Sigmoid(const double* src, size_t count, double* dst);
void MvecAvx512Tanh(const float* src, size_t count, float* dst);  // with ORVEX_PEERS_MVEC_TANH
void MvecAvx512Tanh(const double* src, size_t count, double* dst);

void SleefAvx512Exp(const float* src, size_t count, float* dst);
void SleefAvx512Exp(const double* src, size_t count, double* dst);
void SleefAvx512Log(const float* src, size_t count, float* dst);
void SleefAvx512Log(const double* src, size_t count, double* dst);
void SleefAvx512Sigmoid(const float* src, size_t count, float* dst);
void SleefAvx512Sigmoid(const double* src, size_t count, double* dst);
void SleefAvx512Tanh(const float* src, size_t count, float* dst);
void SleefAvx512Tanh(const double* src, size_t count, double* dst);
void SleefU35Avx512Log(const float* src, size_t count, float* dst);
void SleefU35Avx512Log(const double* src, size_t count, double* dst);
void SleefU35Avx512Tanh(const float* src, size_t count, float* dst);
void SleefU35Avx512Tanh(const double* src, size_t count, double* dst);

}  // namespace NPeers

#endif  // ORVEX_TOOLS_PEERS_PEERS_H
