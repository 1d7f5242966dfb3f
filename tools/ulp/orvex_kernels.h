// The orvex kernels the tools can measure, one row per instruction-set tier.
#ifndef ORVEX_TOOLS_ULP_ORVEX_KERNELS_H
#define ORVEX_TOOLS_ULP_ORVEX_KERNELS_H

#include <string>
#include <type_traits>
#include <vector>

#include "measure.h"
#include "reference.h"

namespace NOrvexUlp {

template <class T> struct FunctionKernels {
    TKernel<T> exp, log, sigmoid, tanh;

    TKernel<T> Of(EFunction f) const {
        switch (f) {
            case EFunction::Exp: return exp;
            case EFunction::Log: return log;
            case EFunction::Sigmoid: return sigmoid;
            case EFunction::Tanh: break;
        }
        return tanh;
    }
};

struct Tier {
    const char* arch;         // the --arch value
    bool (*supported)();      // whether this processor runs the tier
    const char* requirement;  // what the processor lacks when it does not, for the message
    bool hasVariants;         // false: the exact and fast kernels are one and the same
    FunctionKernels<float> floatFast, floatExact;
    FunctionKernels<double> doubleFast, doubleExact;

    template <class T> TKernel<T> Kernel(EFunction f, bool exact) const {
        if constexpr (std::is_same_v<T, float>) return (exact ? floatExact : floatFast).Of(f);
        else return (exact ? doubleExact : doubleFast).Of(f);
    }
};

// From the lowest tier to the highest.
const std::vector<Tier>& Tiers();

// The tier of an --arch value, or nullptr.
const Tier* FindTier(const std::string& arch);

}  // namespace NOrvexUlp

#endif  // ORVEX_TOOLS_ULP_ORVEX_KERNELS_H
