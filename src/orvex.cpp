// The public entry points: each reads the tier chosen for this process and tail-calls exactly one
// kernel with its arguments unchanged. Baseline code.
//
// The choice is made once, from the cached probes HaveAvx512(), HaveAvx2() and HaveAvx(), on a
// cold path taken by the first calls, and kept in one process-wide byte. A dispatch then costs one
// relaxed load, a compare or two and a direct jump; it does not pass the three function-local
// statics' initialisation guards on every call. Racing first callers all compute the same value from the
// same cached flags, so the plain relaxed store needs no further ordering.
#include <atomic>

#include "orvex/orvex.h"

namespace NOrvex {
namespace {

enum class ETier : unsigned char { Unknown, Plain, Avx, Avx2, Avx512 };

std::atomic<ETier> chosenTier{ETier::Unknown};
static_assert(std::atomic<ETier>::is_always_lock_free, "a lock-free byte");

__attribute__((noinline, cold)) void ChooseTier() {
    const ETier tier = HaveAvx512() ? ETier::Avx512 : HaveAvx2() ? ETier::Avx2 : HaveAvx() ? ETier::Avx : ETier::Plain;
    chosenTier.store(tier, std::memory_order_relaxed);
}

}  // namespace

// The tiers are tested best first, so the machines that matter most pay one compare; an unset
// choice matches none of them, is made, and the call starts over.
#define ORVEX_DEFINE_DISPATCH(Name, T)                                                            \
    template <bool Exact, bool AlignedOutput>                                                     \
    void Name(const T* src, size_t count, T* dst) {                                               \
        const ETier tier = chosenTier.load(std::memory_order_relaxed);                            \
        if (tier == ETier::Avx512) return Name##Avx512<Exact, AlignedOutput>(src, count, dst);    \
        if (tier == ETier::Avx2) return Name##Avx2<Exact, AlignedOutput>(src, count, dst);        \
        if (tier == ETier::Avx) return Name##Avx<Exact, AlignedOutput>(src, count, dst);          \
        if (tier == ETier::Plain) return Name##Plain(src, count, dst);                            \
        ChooseTier();                                                                             \
        return Name<Exact, AlignedOutput>(src, count, dst);                                       \
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
