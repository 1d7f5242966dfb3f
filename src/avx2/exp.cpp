// ExpAvx2: AVX2 + FMA3 tier.
#include "exp_family.h"
#include "kernel_unit.h"

namespace NOrvex {
ORVEX_DEFINE_KERNEL(ExpAvx2, ExpOp, TierAvx2)
}  // namespace NOrvex
