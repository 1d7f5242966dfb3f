// ExpAvx512: AVX-512 tier (F, CD, BW, DQ, VL with AVX2 and FMA3), the AVX2 tier's bits.
#include "simd512.h"
#include "exp_family.h"
#include "kernel_unit.h"

namespace NOrvex {
ORVEX_DEFINE_KERNEL(ExpAvx512, ExpOp, TierAvx512)
}  // namespace NOrvex
