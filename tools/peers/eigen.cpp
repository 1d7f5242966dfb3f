// Eigen's coefficient-wise array functions over the caller's buffers, built for AVX2 + FMA.
#include <Eigen/Core>

#include "peers.h"

namespace NPeers {
namespace {

template <class T> using ConstArray = Eigen::Map<const Eigen::Array<T, Eigen::Dynamic, 1>>;
template <class T> using Array = Eigen::Map<Eigen::Array<T, Eigen::Dynamic, 1>>;

}  // namespace

void EigenExp(const float* src, size_t count, float* dst) {
    Array<float>(dst, count) = ConstArray<float>(src, count).exp();
}
void EigenExp(const double* src, size_t count, double* dst) {
    Array<double>(dst, count) = ConstArray<double>(src, count).exp();
}
void EigenLog(const float* src, size_t count, float* dst) {
    Array<float>(dst, count) = ConstArray<float>(src, count).log();
}
void EigenLog(const double* src, size_t count, double* dst) {
    Array<double>(dst, count) = ConstArray<double>(src, count).log();
}
void EigenSigmoid(const float* src, size_t count, float* dst) {
    Array<float>(dst, count) = ConstArray<float>(src, count).logistic();
}
void EigenSigmoid(const double* src, size_t count, double* dst) {
    Array<double>(dst, count) = ConstArray<double>(src, count).logistic();
}
void EigenTanh(const float* src, size_t count, float* dst) {
    Array<float>(dst, count) = ConstArray<float>(src, count).tanh();
}
void EigenTanh(const double* src, size_t count, double* dst) {
    Array<double>(dst, count) = ConstArray<double>(src, count).tanh();
}

}  // namespace NPeers
