// The table of tiers. A new tier is a kernel function below and a row in Tiers().
#include "orvex_kernels.h"

#include "orvex/orvex.h"

namespace NOrvexUlp {

namespace {

using namespace NOrvex;

bool Always() { return true; }

template <class T> FunctionKernels<T> Plain() { return {ExpPlain, LogPlain, SigmoidPlain, TanhPlain}; }

template <class T, bool Exact> FunctionKernels<T> Avx() {
    return {ExpAvx<Exact, false>, LogAvx<Exact, false>, SigmoidAvx<Exact, false>, TanhAvx<Exact, false>};
}

template <class T, bool Exact> FunctionKernels<T> Avx2() {
    return {ExpAvx2<Exact, false>, LogAvx2<Exact, false>, SigmoidAvx2<Exact, false>, TanhAvx2<Exact, false>};
}

template <class T, bool Exact> FunctionKernels<T> Avx512() {
    return {ExpAvx512<Exact, false>, LogAvx512<Exact, false>, SigmoidAvx512<Exact, false>,
            TanhAvx512<Exact, false>};
}

}  // namespace

const std::vector<Tier>& Tiers() {
    static const std::vector<Tier> tiers = {
        {"plain", Always, "", false, Plain<float>(), Plain<float>(), Plain<double>(), Plain<double>()},
        {"avx", HaveAvx, "AVX supported by this processor", true, Avx<float, false>(), Avx<float, true>(),
         Avx<double, false>(), Avx<double, true>()},
        {"avx2", HaveAvx2, "AVX2 and FMA3 supported by this processor", true, Avx2<float, false>(),
         Avx2<float, true>(), Avx2<double, false>(), Avx2<double, true>()},
        {"avx512", HaveAvx512, "AVX-512 F, CD, BW, DQ and VL supported by this processor", true,
         Avx512<float, false>(), Avx512<float, true>(), Avx512<double, false>(), Avx512<double, true>()},
    };
    return tiers;
}

const Tier* FindTier(const std::string& arch) {
    for (const Tier& tier : Tiers()) {
        if (arch == tier.arch) return &tier;
    }
    return nullptr;
}

}  // namespace NOrvexUlp
