// Defines one vector kernel family, float and double, in all four <Exact, AlignedOutput> variants,
// on top of the frame. Used by the tier units under avx/ and avx2/, which are built with their
// tier's flags; everything the definitions call has internal linkage.
#ifndef ORVEX_SRC_KERNEL_UNIT_H
#define ORVEX_SRC_KERNEL_UNIT_H

#include "frame.h"
#include "orvex/orvex.h"

#define ORVEX_DEFINE_KERNEL(Name, Op, Tier)                                                       \
    template <bool Exact, bool AlignedOutput>                                                     \
    void Name(const float* src, size_t count, float* dst) {                                       \
        RunFrame<Op<Exact>, Tier, AlignedOutput>(src, count, dst);                                \
    }                                                                                             \
    template <bool Exact, bool AlignedOutput>                                                     \
    void Name(const double* src, size_t count, double* dst) {                                     \
        RunFrame<Op<Exact>, Tier, AlignedOutput>(src, count, dst);                                \
    }                                                                                             \
    template void Name<false, false>(const float*, size_t, float*);                               \
    template void Name<false, true>(const float*, size_t, float*);                                \
    template void Name<true, false>(const float*, size_t, float*);                                \
    template void Name<true, true>(const float*, size_t, float*);                                 \
    template void Name<false, false>(const double*, size_t, double*);                             \
    template void Name<false, true>(const double*, size_t, double*);                              \
    template void Name<true, false>(const double*, size_t, double*);                              \
    template void Name<true, true>(const double*, size_t, double*);

#endif  // ORVEX_SRC_KERNEL_UNIT_H
