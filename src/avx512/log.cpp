// LogAvx512: AVX-512 tier (F, CD, BW, DQ, VL with AVX2 and FMA3), the AVX2 tier's bits.
#include "simd512.h"
#include "log.h"
#include "kernel_unit.h"

namespace NOrvex {
ORVEX_DEFINE_KERNEL(LogAvx512, LogOp, TierAvx512)
}  // namespace NOrvex
