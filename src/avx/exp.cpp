// ExpAvx: AVX tier: no FMA, 256-bit integer work as two 128-bit halves.
#include "exp_family.h"
#include "kernel_unit.h"

namespace NOrvex {
ORVEX_DEFINE_KERNEL(ExpAvx, ExpOp, TierAvx)
}  // namespace NOrvex
