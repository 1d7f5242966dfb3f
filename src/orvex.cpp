// The public entry points: each asks the cached probes and tail-calls exactly one kernel with its
// arguments unchanged. The choice depends only on the two cached flags, so it is the same for
// every call in a process. Baseline code.
#include "orvex/orvex.h"

namespace NOrvex {

#define ORVEX_DEFINE_DISPATCH(Name, T)                                                            \
    template <bool Exact, bool AlignedOutput>                                                     \
    void Name(const T* src, size_t count, T* dst) {                                               \
        if (HaveAvx2()) {                                                                         \
            return Name##Avx2<Exact, AlignedOutput>(src, count, dst);                             \
        }                                                                                         \
        if (HaveAvx()) {                                                                          \
            return Name##Avx<Exact, AlignedOutput>(src, count, dst);                              \
        }                                                                                         \
        return Name##Plain(src, count, dst);                                                      \
    }                                                                                             \
    template void Name<false, false>(const T*, size_t, T*);                                       \
    template void Name<false, true>(const T*, size_t, T*);                                        \
    template void Name<true, false>(const T*, size_t, T*);                                        \
    template void Name<true, true>(const T*, size_t, T*);

ORVEX_DEFINE_DISPATCH(Exp, float)
ORVEX_DEFINE_DISPATCH(Exp, double)
ORVEX_DEFINE_DISPATCH(Log, float)
ORVEX_DEFINE_DISPATCH(Log, double)
ORVEX_DEFINE_DISPATCH(Sigmoid, float)
ORVEX_DEFINE_DISPATCH(Sigmoid, double)
ORVEX_DEFINE_DISPATCH(Tanh, float)
ORVEX_DEFINE_DISPATCH(Tanh, double)

#undef ORVEX_DEFINE_DISPATCH

}  // namespace NOrvex
