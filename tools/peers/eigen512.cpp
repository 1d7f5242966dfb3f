// Eigen's coefficient-wise array functions over the caller's buffers, built for AVX-512 (F, CD,
// BW, DQ, VL) + FMA; called only where the processor has AVX-512.
#include <Eigen/Core>

#include "peers.h"

namespace NPeers {
namespace {

template <class T> using ConstArray = Eigen::Map<const Eigen::Array<T, Eigen::Dynamic, 1>>;
template <class T> using Array = Eigen::Map<Eigen::Array<T, Eigen::Dynamic, 1>>;

}  // namespace

void EigenAvx512Exp(const float* src, size_t count, float* dst) {
    Array<float>(dst, count) = ConstArray<float>(src, count).exp();
}
void EigenAvx512Exp(const double* src, size_t count, double* dst) {
    Array<double>(dst, count) = ConstArray<double>(src, count).exp();
}
void EigenAvx512Log(const float* src, size_t count, float* dst) {
    Array<float>(dst, count) = ConstArray<float>(src, count).log();
}
void EigenAvx512Log(const double* src, size_t count, double* dst) {
    Array<double>(dst, count) = ConstArray<double>(src, count).log();
}
void EigenAvx512Sigmoid(const float* src, size_t count, float* dst) {
    Array<float>(dst, count) = ConstArray<float>(src, count).logistic();
}
void EigenAvx512Sigmoid(const double* src, size_t count, double* dst) {
    Array<double>(dst, count) = ConstArray<double>(src, count).logistic();
}
void EigenAvx512Tanh(const float* src, size_t count, float* dst) {
    Array<float>(dst, count) = ConstArray<float>(src, count).tanh();
}
void EigenAvx512Tanh(const double* src, size_t count, double* dst) {
    Array<double>(dst, count) = ConstArray<double>(src, count).tanh();
}

}  // namespace NPeers
