// The C interface: each function forwards to the public C++ entry point of its variant, and
// orvex_tier names the tier those entry points choose. Baseline code.
#include "orvex/orvex_c.h"

#include "orvex/orvex.h"
#include "orvex/version.h"

#define ORVEX_DEFINE_C_VARIANTS(func, Func, type, T)                                              \
    void orvex_##func##_##type(const T* src, size_t count, T* dst) {                              \
        NOrvex::Func<false, false>(src, count, dst);                                              \
    }                                                                                             \
    void orvex_##func##_##type##_aligned(const T* src, size_t count, T* dst) {                    \
        NOrvex::Func<false, true>(src, count, dst);                                               \
    }                                                                                             \
    void orvex_##func##_exact_##type(const T* src, size_t count, T* dst) {                        \
        NOrvex::Func<true, false>(src, count, dst);                                               \
    }                                                                                             \
    void orvex_##func##_exact_##type##_aligned(const T* src, size_t count, T* dst) {              \
        NOrvex::Func<true, true>(src, count, dst);                                                \
    }

extern "C" {

ORVEX_DEFINE_C_VARIANTS(exp, Exp, f32, float)
ORVEX_DEFINE_C_VARIANTS(exp, Exp, f64, double)
ORVEX_DEFINE_C_VARIANTS(log, Log, f32, float)
ORVEX_DEFINE_C_VARIANTS(log, Log, f64, double)
ORVEX_DEFINE_C_VARIANTS(sigmoid, Sigmoid, f32, float)
ORVEX_DEFINE_C_VARIANTS(sigmoid, Sigmoid, f64, double)
ORVEX_DEFINE_C_VARIANTS(tanh, Tanh, f32, float)
ORVEX_DEFINE_C_VARIANTS(tanh, Tanh, f64, double)

// The same decision, from the same cached probes, as the dispatch of every public entry point.
const char* orvex_tier(void) {
    if (NOrvex::HaveAvx512()) {
        return "avx512";
    }
    if (NOrvex::HaveAvx2()) {
        return "avx2";
    }
    if (NOrvex::HaveAvx()) {
        return "avx";
    }
    return "plain";
}

const char* orvex_version(void) {
    return ORVEX_VERSION_STRING;
}

}  // extern "C"

#undef ORVEX_DEFINE_C_VARIANTS
