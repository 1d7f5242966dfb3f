// LogAvx: AVX tier: no FMA, 256-bit integer work as two 128-bit halves.
#include "log.h"
#include "kernel_unit.h"

namespace NOrvex {
ORVEX_DEFINE_KERNEL(LogAvx, LogOp, TierAvx)
}  // namespace NOrvex
