// Eigen's coefficient-wise array functions over the caller's buffers, built for AVX2 + FMA.
#include "eigen_ops.h"

ORVEX_PEERS_DEFINE_EIGEN(Eigen)
