// Highway's contrib math, statically compiled for its AVX2 target (this unit's flags make AVX2 the
// baseline, so no run-time dispatch is involved), one straightforward loop per function.
#include "hwy_ops.h"
#include "peers.h"

static_assert(HWY_STATIC_TARGET == HWY_AVX2, "the Highway peer must be built for its AVX2 target");

ORVEX_PEERS_DEFINE_HWY(Hwy)
