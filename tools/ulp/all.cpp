// ulp_all: the ulp figures of every orvex kernel this processor runs and of every peer library
// built in (tools/peers), for one function and precision, over one pass of the same inputs as
// `ulp`, one line of JSON per implementation. The figures script runs it; the reference is
// evaluated once per input for all of them.
#include <tclap/CmdLine.h>

#include <cstdint>
#include <exception>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "measure.h"
#include "option_values.h"
#include "orvex/orvex.h"
#include "orvex_kernels.h"
#include "progress.h"
#include "report.h"
#ifdef ORVEX_ULP_PEERS
#include "peers.h"
#endif

namespace {

using namespace NOrvexUlp;
using NOrvexTools::CountValue;

constexpr std::uint64_t kDefaultDoubleSamples = 4000000;  // as ulp's
constexpr std::uint64_t kMaxThreads = 1024;

// One implementation: its name in the peer benchmark, the instruction set it is built for, and
// its array function per function and precision (null where it has none).
struct Implementation {
    std::string impl;
    std::string arch;
    bool exact;
    bool (*supported)();
    FunctionKernels<float> f;
    FunctionKernels<double> d;
};

std::vector<Implementation> Implementations() {
    std::vector<Implementation> rows;
    for (const Tier& tier : Tiers()) {
        const std::string arch = tier.arch;
        if (!tier.hasVariants) {
            rows.push_back({"orvex_" + arch, arch, false, tier.supported, tier.floatFast, tier.doubleFast});
            continue;
        }
        rows.push_back({"orvex_" + arch + "_fast", arch, false, tier.supported, tier.floatFast, tier.doubleFast});
        rows.push_back({"orvex_" + arch + "_exact", arch, true, tier.supported, tier.floatExact, tier.doubleExact});
    }
#ifdef ORVEX_ULP_PEERS
    using namespace NPeers;
    const auto Always = [] { return true; };
    using NOrvex::HaveAvx2;
    using NOrvex::HaveAvx512;
    rows.push_back({"glibc_scalar", "plain", false, +Always, {GlibcExp, GlibcLog, GlibcSigmoid, GlibcTanh},
                    {GlibcExp, GlibcLog, GlibcSigmoid, GlibcTanh}});
#ifdef ORVEX_PEERS_HWY
    rows.push_back({"hwy", "avx2", false, HaveAvx2, {HwyExp, HwyLog, HwySigmoid, HwyTanh},
                    {HwyExp, HwyLog, HwySigmoid, HwyTanh}});
#endif
#ifdef ORVEX_PEERS_HWY_AVX512
    rows.push_back({"hwy_avx512", "avx512", false, HaveAvx512,
                    {HwyAvx512Exp, HwyAvx512Log, HwyAvx512Sigmoid, HwyAvx512Tanh},
                    {HwyAvx512Exp, HwyAvx512Log, HwyAvx512Sigmoid, HwyAvx512Tanh}});
#endif
#ifdef ORVEX_PEERS_EIGEN
    rows.push_back({"eigen", "avx2", false, HaveAvx2, {EigenExp, EigenLog, EigenSigmoid, EigenTanh},
                    {EigenExp, EigenLog, EigenSigmoid, EigenTanh}});
#endif
#ifdef ORVEX_PEERS_EIGEN_AVX512
    rows.push_back({"eigen_avx512", "avx512", false, HaveAvx512,
                    {EigenAvx512Exp, EigenAvx512Log, EigenAvx512Sigmoid, EigenAvx512Tanh},
                    {EigenAvx512Exp, EigenAvx512Log, EigenAvx512Sigmoid, EigenAvx512Tanh}});
#endif
#ifdef ORVEX_PEERS_MVEC
    rows.push_back({"libmvec_avx2", "avx2", false, HaveAvx2, {MvecExp, MvecLog, MvecSigmoid, nullptr},
                    {MvecExp, MvecLog, MvecSigmoid, nullptr}});
#ifdef ORVEX_PEERS_MVEC_TANH
    rows.back().f.tanh = MvecTanh;
    rows.back().d.tanh = MvecTanh;
#endif
#endif
#ifdef ORVEX_PEERS_MVEC_AVX512
    rows.push_back({"libmvec_avx512", "avx512", false, HaveAvx512,
                    {MvecAvx512Exp, MvecAvx512Log, MvecAvx512Sigmoid, nullptr},
                    {MvecAvx512Exp, MvecAvx512Log, MvecAvx512Sigmoid, nullptr}});
#ifdef ORVEX_PEERS_MVEC_TANH
    rows.back().f.tanh = MvecAvx512Tanh;
    rows.back().d.tanh = MvecAvx512Tanh;
#endif
#endif
#ifdef ORVEX_PEERS_SLEEF
    rows.push_back({"sleef_u10", "avx2", false, HaveAvx2, {SleefExp, SleefLog, SleefSigmoid, SleefTanh},
                    {SleefExp, SleefLog, SleefSigmoid, SleefTanh}});
    rows.push_back({"sleef_u35", "avx2", false, HaveAvx2, {nullptr, SleefU35Log, nullptr, SleefU35Tanh},
                    {nullptr, SleefU35Log, nullptr, SleefU35Tanh}});
#endif
#ifdef ORVEX_PEERS_SLEEF_AVX512
    rows.push_back({"sleef_u10_avx512", "avx512", false, HaveAvx512,
                    {SleefAvx512Exp, SleefAvx512Log, SleefAvx512Sigmoid, SleefAvx512Tanh},
                    {SleefAvx512Exp, SleefAvx512Log, SleefAvx512Sigmoid, SleefAvx512Tanh}});
    rows.push_back({"sleef_u35_avx512", "avx512", false, HaveAvx512, {nullptr, SleefU35Avx512Log, nullptr, SleefU35Avx512Tanh},
                    {nullptr, SleefU35Avx512Log, nullptr, SleefU35Avx512Tanh}});
#endif
#endif
    return rows;
}

int Fail(const std::string& condition) {
    std::cerr << "requirement " << condition << " failed" << std::endl;
    return 1;
}

template <class T>
void Run(EFunction f, bool sampled, std::uint64_t samples, unsigned threads, bool orvexOnly) {
    constexpr bool isDouble = std::is_same_v<T, double>;
    std::vector<const Implementation*> measured;
    std::vector<TKernel<T>> kernels;
    static const std::vector<Implementation> rows = Implementations();
    for (const Implementation& row : rows) {
        TKernel<T> kernel;
        if constexpr (isDouble) {
            kernel = row.d.Of(f);
        } else {
            kernel = row.f.Of(f);
        }
        if (kernel == nullptr || !row.supported()) continue;
        if (orvexOnly && row.impl.rfind("orvex_", 0) != 0) continue;
        measured.push_back(&row);
        kernels.push_back(kernel);
    }
    InputSet<T> inputs;
    if constexpr (isDouble) {
        inputs = Samples<double>(f, sampled ? samples : kDefaultDoubleSamples);
    } else {
        inputs = sampled ? Samples<float>(f, samples) : AllFloats();
    }
    ProgressBar bar(std::string("ulp_all ") + FunctionName(f) + (isDouble ? " double" : " float"));
    const std::vector<UlpStats> stats = Measure<T>(
        f, inputs, kernels, threads, [&bar](std::uint64_t done, std::uint64_t total) { bar.Update(done, total); });
    bar.Finish();
    for (std::size_t k = 0; k < measured.size(); ++k) {
        RunLabel label;
        label.impl = measured[k]->impl;
        label.func = FunctionName(f);
        label.isDouble = isDouble;
        label.arch = measured[k]->arch;
        label.exact = measured[k]->exact;
        std::cout << JsonLine(label, stats[k]);
    }
    std::cout << std::flush;
}

}  // namespace

int main(int argc, char** argv) {
    TCLAP::CmdLine cmd("ulp figures of every orvex kernel and every peer built in, one JSON line each", ' ', "none");
    TCLAP::ValueArg<std::string> func("", "func", "exp or log or sigm or tanh", true, "exp", "exp|log|sigm|tanh", cmd);
    TCLAP::SwitchArg isDouble("", "double", "Double precision (sampled inputs); single precision by default", cmd,
                              false);
    TCLAP::ValueArg<CountValue> samples("", "samples", "Number of inputs as ulp takes them; default every float",
                                        false, 0, "N", cmd);
    const unsigned hardware = std::thread::hardware_concurrency();
    TCLAP::ValueArg<CountValue> threads("", "threads", "Worker threads; default the number of hardware threads",
                                        false, hardware == 0 ? 1 : hardware, "T", cmd);
    TCLAP::SwitchArg orvexOnly("", "orvex", "orvex's kernels only, no peers", cmd, false);
    cmd.parse(argc, argv);

    EFunction f;
    if (!FunctionOf(func.getValue(), f)) {
        return Fail("func == \"exp\" || func == \"log\" || func == \"sigm\" || func == \"tanh\"");
    }
    const std::uint64_t t = threads.getValue().value;
    if (t < 1 || t > kMaxThreads) return Fail("threads >= 1 && threads <= " + std::to_string(kMaxThreads));
    try {
        if (isDouble.getValue()) {
            Run<double>(f, samples.isSet(), samples.getValue().value, static_cast<unsigned>(t), orvexOnly.getValue());
        } else {
            Run<float>(f, samples.isSet(), samples.getValue().value, static_cast<unsigned>(t), orvexOnly.getValue());
        }
    } catch (const std::exception& e) {
        std::cerr << "ulp_all: cannot run the measurement: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
