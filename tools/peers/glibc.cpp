// glibc's scalar functions, one call per element. Built for the x86-64 baseline, as a program
// that calls <cmath> in a loop would be.
#include <cmath>

#include "peers.h"

namespace NPeers {

void GlibcExp(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) dst[i] = expf(src[i]);
}
void GlibcExp(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) dst[i] = exp(src[i]);
}
void GlibcLog(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) dst[i] = logf(src[i]);
}
void GlibcLog(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) dst[i] = log(src[i]);
}
void GlibcSigmoid(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) dst[i] = 1.0f / (1.0f + expf(-src[i]));
}
void GlibcSigmoid(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) dst[i] = 1.0 / (1.0 + exp(-src[i]));
}
void GlibcTanh(const float* src, size_t count, float* dst) {
    for (size_t i = 0; i < count; ++i) dst[i] = tanhf(src[i]);
}
void GlibcTanh(const double* src, size_t count, double* dst) {
    for (size_t i = 0; i < count; ++i) dst[i] = tanh(src[i]);
}

}  // namespace NPeers
