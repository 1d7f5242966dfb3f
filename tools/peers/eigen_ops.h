// Eigen's coefficient-wise array functions over the caller's buffers, for the units that build
// them with their own instruction-set flags (eigen.cpp, eigen512.cpp). Internal linkage for
// everything but the eight functions ORVEX_PEERS_DEFINE_EIGEN(Prefix) defines.
#ifndef ORVEX_TOOLS_PEERS_EIGEN_OPS_H
#define ORVEX_TOOLS_PEERS_EIGEN_OPS_H

#include <Eigen/Core>

#include <cstddef>

#include "peers.h"

namespace NPeers {
namespace {

template <class T> using ConstArray = Eigen::Map<const Eigen::Array<T, Eigen::Dynamic, 1>>;
template <class T> using Array = Eigen::Map<Eigen::Array<T, Eigen::Dynamic, 1>>;

}  // namespace
}  // namespace NPeers

#define ORVEX_PEERS_EIGEN_FUNCTION(Name, Method)                                   \
    void Name(const float* src, size_t count, float* dst) {                        \
        Array<float>(dst, count) = ConstArray<float>(src, count).Method();         \
    }                                                                              \
    void Name(const double* src, size_t count, double* dst) {                      \
        Array<double>(dst, count) = ConstArray<double>(src, count).Method();       \
    }

// PrefixExp, PrefixLog, PrefixSigmoid (Eigen's logistic) and PrefixTanh in namespace NPeers.
#define ORVEX_PEERS_DEFINE_EIGEN(Prefix)                                           \
    namespace NPeers {                                                             \
    ORVEX_PEERS_EIGEN_FUNCTION(Prefix##Exp, exp)                                   \
    ORVEX_PEERS_EIGEN_FUNCTION(Prefix##Log, log)                                   \
    ORVEX_PEERS_EIGEN_FUNCTION(Prefix##Sigmoid, logistic)                          \
    ORVEX_PEERS_EIGEN_FUNCTION(Prefix##Tanh, tanh)                                 \
    }

#endif  // ORVEX_TOOLS_PEERS_EIGEN_OPS_H
