// SigmoidAvx2: AVX2 + FMA3 tier.
#include "exp_family.h"
#include "kernel_unit.h"

namespace NOrvex {
ORVEX_DEFINE_KERNEL(SigmoidAvx2, SigmoidOp, TierAvx2)
}  // namespace NOrvex
