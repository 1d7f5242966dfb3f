// Eigen's coefficient-wise array functions over the caller's buffers, built for AVX-512 (F, CD,
// BW, DQ, VL) + FMA; called only where the processor has AVX-512.
#include "eigen_ops.h"

ORVEX_PEERS_DEFINE_EIGEN(EigenAvx512)
