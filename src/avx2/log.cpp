// LogAvx2: AVX2 + FMA3 tier.
#include "log.h"
#include "kernel_unit.h"

namespace NOrvex {
ORVEX_DEFINE_KERNEL(LogAvx2, LogOp, TierAvx2)
}  // namespace NOrvex
