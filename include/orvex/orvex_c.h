// orvex from C (C99 or later) and from any language that calls C. Valid C and C++.
//
// Every function evaluates one function over an array: it reads src[0] .. src[count - 1] and
// writes dst[0] .. dst[count - 1], one result per element, and is exactly the C++ entry point
// NOrvex::<Func><Exact, AlignedOutput> of orvex/orvex.h, so the results are the same bits:
//
//   orvex_<func>[_exact]_<type>[_aligned]
//     <func>    exp, log, sigmoid (1 / (1 + e^-x)) or tanh
//     _exact    the more accurate, slower variant (Exact = true); without it the fast one
//     <type>    f32 (float) or f64 (double)
//     _aligned  dst is aligned to 32 bytes (AlignedOutput = true); the results are the same
//
// orvex/orvex.h tells each function's accuracy and its results for special values.
// src needs no alignment; src == dst (in place) is allowed, partial overlap is not. Any thread
// may call any function at any time; nothing needs to be set up or released.
#ifndef ORVEX_ORVEX_C_H
#define ORVEX_ORVEX_C_H

#include <stddef.h>

#include "orvex/export.h"

#ifdef __cplusplus
extern "C" {
#endif

ORVEX_API void orvex_exp_f32(const float* src, size_t count, float* dst);
ORVEX_API void orvex_exp_f32_aligned(const float* src, size_t count, float* dst);
ORVEX_API void orvex_exp_exact_f32(const float* src, size_t count, float* dst);
ORVEX_API void orvex_exp_exact_f32_aligned(const float* src, size_t count, float* dst);

ORVEX_API void orvex_exp_f64(const double* src, size_t count, double* dst);
ORVEX_API void orvex_exp_f64_aligned(const double* src, size_t count, double* dst);
ORVEX_API void orvex_exp_exact_f64(const double* src, size_t count, double* dst);
ORVEX_API void orvex_exp_exact_f64_aligned(const double* src, size_t count, double* dst);

ORVEX_API void orvex_log_f32(const float* src, size_t count, float* dst);
ORVEX_API void orvex_log_f32_aligned(const float* src, size_t count, float* dst);
ORVEX_API void orvex_log_exact_f32(const float* src, size_t count, float* dst);
ORVEX_API void orvex_log_exact_f32_aligned(const float* src, size_t count, float* dst);

ORVEX_API void orvex_log_f64(const double* src, size_t count, double* dst);
ORVEX_API void orvex_log_f64_aligned(const double* src, size_t count, double* dst);
ORVEX_API void orvex_log_exact_f64(const double* src, size_t count, double* dst);
ORVEX_API void orvex_log_exact_f64_aligned(const double* src, size_t count, double* dst);

ORVEX_API void orvex_sigmoid_f32(const float* src, size_t count, float* dst);
ORVEX_API void orvex_sigmoid_f32_aligned(const float* src, size_t count, float* dst);
ORVEX_API void orvex_sigmoid_exact_f32(const float* src, size_t count, float* dst);
ORVEX_API void orvex_sigmoid_exact_f32_aligned(const float* src, size_t count, float* dst);

ORVEX_API void orvex_sigmoid_f64(const double* src, size_t count, double* dst);
ORVEX_API void orvex_sigmoid_f64_aligned(const double* src, size_t count, double* dst);
ORVEX_API void orvex_sigmoid_exact_f64(const double* src, size_t count, double* dst);
ORVEX_API void orvex_sigmoid_exact_f64_aligned(const double* src, size_t count, double* dst);

ORVEX_API void orvex_tanh_f32(const float* src, size_t count, float* dst);
ORVEX_API void orvex_tanh_f32_aligned(const float* src, size_t count, float* dst);
ORVEX_API void orvex_tanh_exact_f32(const float* src, size_t count, float* dst);
ORVEX_API void orvex_tanh_exact_f32_aligned(const float* src, size_t count, float* dst);

ORVEX_API void orvex_tanh_f64(const double* src, size_t count, double* dst);
ORVEX_API void orvex_tanh_f64_aligned(const double* src, size_t count, double* dst);
ORVEX_API void orvex_tanh_exact_f64(const double* src, size_t count, double* dst);
ORVEX_API void orvex_tanh_exact_f64_aligned(const double* src, size_t count, double* dst);

// The tier the functions above use in this process: "avx512", "avx2", "avx" or "plain" ("avx512"
// and "avx2" give the same bits).
ORVEX_API const char* orvex_tier(void);

// The library's version, "MAJOR.MINOR.PATCH".
ORVEX_API const char* orvex_version(void);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif  // ORVEX_ORVEX_C_H
