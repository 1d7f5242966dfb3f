// orvex: vectorised exp, log, logistic sigmoid and tanh over arrays of float or double.
//
// Every entry point has the shape  F(const T* src, size_t count, T* dst)  and writes exactly
// dst[0] .. dst[count - 1], one result per element, each depending only on its own input.
// src needs no alignment; src == dst (in place) is allowed, partial overlap is not.
//
// Template switches, always in this order:
//   Exact          false: fast variant; true: more accurate (subnormal results, NaN propagation).
//   AlignedOutput  true promises a 32-byte aligned dst; the AVX and AVX2 kernels then use
//                  aligned stores (the AVX-512 kernels ask no more than 32 bytes either).
//                  Results are identical to the unaligned variant.
//
// Results are reproducible bit for bit. The AVX and AVX2 kernels of one function may differ in
// the last bit (AVX2 fuses some multiply-adds); the AVX-512 kernels give exactly the AVX2 kernels'
// bits. The public entry points pick the best tier the processor and operating system support,
// once per process: AVX-512, AVX2, AVX, plain.
//
// This header carries no intrinsic types and may be included from code built for any target.
#ifndef ORVEX_ORVEX_H
#define ORVEX_ORVEX_H

#include <cstddef>

namespace NOrvex {

namespace NDetail {
// Raw processor probes: each call executes CPUID (and XGETBV where it is safe) afresh.
// True when the processor implements AVX and the OS saves the SSE and AVX register state.
bool IsAVXEnabled();
// True when the processor implements AVX2 and FMA3. Meaningful only together with IsAVXEnabled().
bool IsAVX2Enabled();
// True when the processor implements AVX-512 F, CD, BW, DQ and VL besides AVX, AVX2 and FMA3, and
// the OS saves the SSE, AVX, opmask and upper ZMM state.
bool IsAVX512Enabled();
}  // namespace NDetail

// Cached probes, evaluated once per process under thread-safe static initialisation.
inline bool HaveAvx() {
    static const bool haveAVX = NDetail::IsAVXEnabled();
    return haveAVX;
}

// AVX2 and FMA3 usable; initialises HaveAvx() first if nobody has.
inline bool HaveAvx2() {
    static const bool haveAVX2 = HaveAvx() && NDetail::IsAVX2Enabled();
    return haveAVX2;
}

// AVX-512 (F, CD, BW, DQ, VL) usable; initialises HaveAvx2() first if nobody has.
inline bool HaveAvx512() {
    static const bool haveAVX512 = HaveAvx2() && NDetail::IsAVX512Enabled();
    return haveAVX512;
}

// ---- Public entry points: run-time dispatch to the AVX-512, AVX2, AVX or plain kernel. ----
// e^x. Fast: relative error about 7e-6 (float) / 3.3e-6 (double), NaN -> +inf, results below
//   2^-126 (float) / 2^-1022 (double) are crude. Exact: about 3.8e-6 near |x| = 88 in float,
//   9e-13 in double, correctly scaled subnormals, NaN -> NaN (quieted).
template <bool Exact = false, bool AlignedOutput = false> void Exp(const float* src, size_t count, float* dst);
template <bool Exact = false, bool AlignedOutput = false> void Exp(const double* src, size_t count, double* dst);
// ln x. Relative error about 9.3e-6 fast, 3e-7 (float) / 4.6e-9 (double) exact. +-0 -> -inf,
//   +inf -> +inf, NaN returned bit for bit, negative -> negative quiet NaN. Exact also handles
//   subnormal inputs accurately.
template <bool Exact = false, bool AlignedOutput = false> void Log(const float* src, size_t count, float* dst);
template <bool Exact = false, bool AlignedOutput = false> void Log(const double* src, size_t count, double* dst);
// 1 / (1 + e^-x), with a true IEEE division. NaN -> +0 (fast) or the NaN, quieted (exact).
template <bool Exact = false, bool AlignedOutput = false> void Sigmoid(const float* src, size_t count, float* dst);
template <bool Exact = false, bool AlignedOutput = false> void Sigmoid(const double* src, size_t count, double* dst);
// 2 / (1 + e^-2x) - 1: absolute accuracy, not odd-symmetric. NaN -> -1 (fast) or the NaN (exact).
template <bool Exact = false, bool AlignedOutput = false> void Tanh(const float* src, size_t count, float* dst);
template <bool Exact = false, bool AlignedOutput = false> void Tanh(const double* src, size_t count, double* dst);

// ---- Kernels, callable directly by a caller that has checked the tier itself. ----
// AVX-512 tier (requires HaveAvx512()): the AVX2 kernels' results, bit for bit, 16 floats or
// 8 doubles per vector.
template <bool Exact, bool AlignedOutput> void ExpAvx512(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void ExpAvx512(const double* src, size_t count, double* dst);
template <bool Exact, bool AlignedOutput> void LogAvx512(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void LogAvx512(const double* src, size_t count, double* dst);
template <bool Exact, bool AlignedOutput> void SigmoidAvx512(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void SigmoidAvx512(const double* src, size_t count, double* dst);
template <bool Exact, bool AlignedOutput> void TanhAvx512(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void TanhAvx512(const double* src, size_t count, double* dst);

// AVX2 + FMA3 tier (requires HaveAvx2()).
template <bool Exact, bool AlignedOutput> void ExpAvx2(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void ExpAvx2(const double* src, size_t count, double* dst);
template <bool Exact, bool AlignedOutput> void LogAvx2(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void LogAvx2(const double* src, size_t count, double* dst);
template <bool Exact, bool AlignedOutput> void SigmoidAvx2(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void SigmoidAvx2(const double* src, size_t count, double* dst);
template <bool Exact, bool AlignedOutput> void TanhAvx2(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void TanhAvx2(const double* src, size_t count, double* dst);

// AVX tier, no FMA and no 256-bit integer instructions (requires HaveAvx()).
template <bool Exact, bool AlignedOutput> void ExpAvx(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void ExpAvx(const double* src, size_t count, double* dst);
template <bool Exact, bool AlignedOutput> void LogAvx(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void LogAvx(const double* src, size_t count, double* dst);
template <bool Exact, bool AlignedOutput> void SigmoidAvx(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void SigmoidAvx(const double* src, size_t count, double* dst);
template <bool Exact, bool AlignedOutput> void TanhAvx(const float* src, size_t count, float* dst);
template <bool Exact, bool AlignedOutput> void TanhAvx(const double* src, size_t count, double* dst);

// Plain tier: scalar x86-64 baseline code, one variant for all four template combinations.
// Exp, Sigmoid and Tanh go through one table-driven double exponential (relative error below
// about 1e-13 in double); Log calls the system library's log.
void ExpPlain(const float* src, size_t count, float* dst);
void ExpPlain(const double* src, size_t count, double* dst);
void LogPlain(const float* src, size_t count, float* dst);
void LogPlain(const double* src, size_t count, double* dst);
void SigmoidPlain(const float* src, size_t count, float* dst);
void SigmoidPlain(const double* src, size_t count, double* dst);
void TanhPlain(const float* src, size_t count, float* dst);
void TanhPlain(const double* src, size_t count, double* dst);

}  // namespace NOrvex

#endif  // ORVEX_ORVEX_H
