// Highway's contrib math, statically compiled for its AVX-512 target (AVX3), as hwy.cpp is for
// AVX2; called only where the processor has AVX-512.
#include "hwy_ops.h"
#include "peers.h"

static_assert(HWY_STATIC_TARGET == HWY_AVX3, "the Highway AVX-512 peer must be built for its AVX3 target");

ORVEX_PEERS_DEFINE_HWY(HwyAvx512)
