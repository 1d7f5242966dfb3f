// The peer benchmark: elements per nanosecond of every orvex vector kernel and of the libraries a
// user would pick instead, at an L1-resident, an L2-resident and a memory-resident size, all in
// one run so that their ratios are measured under the same conditions. Google Benchmark drives
// it: --benchmark_filter, --benchmark_repetitions, --benchmark_format=json and --benchmark_out
// work as usual. Names read function/type/implementation/count, e.g. exp/f32/orvex_avx2_fast/1024.
#include <benchmark/benchmark.h>
#include <orvex/orvex.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "peers.h"

namespace {

template <class T> using TKernel = void (*)(const T*, size_t, T*);

constexpr size_t kSizes[] = {1024, 32768, 16777216};  // L1, L2, memory
constexpr size_t kMaxSize = 16777216;

enum class EFunction { Exp, Log, Sigmoid, Tanh };
constexpr EFunction kFunctions[] = {EFunction::Exp, EFunction::Log, EFunction::Sigmoid, EFunction::Tanh};

const char* FunctionName(EFunction fn) {
    switch (fn) {
        case EFunction::Exp: return "exp";
        case EFunction::Log: return "log";
        case EFunction::Sigmoid: return "sigmoid";
        case EFunction::Tanh: return "tanh";
    }
    return "?";
}

template <class T> const char* TypeName();
template <> const char* TypeName<float>() { return "f32"; }
template <> const char* TypeName<double>() { return "f64"; }

// The buffers of one function and element type: its inputs, filled once, and a destination
// shared by all functions of the type. Each function keeps its own inputs so that benchmarks may
// run in any order (--benchmark_enable_random_interleaving) without refilling.
template <class T> struct TBuffers {
    const T* Src;
    T* Dst;
};

template <class T> T* AllocateBuffer() {
    void* p = std::aligned_alloc(64, kMaxSize * sizeof(T));
    if (p == nullptr) {
        std::fprintf(stderr, "peers: cannot allocate %zu bytes\n", kMaxSize * sizeof(T));
        std::exit(1);
    }
    return static_cast<T*>(p);
}

template <class T> T* Destination() {
    static T* const dst = [] {
        T* p = AllocateBuffer<T>();
        std::memset(p, 0, kMaxSize * sizeof(T));  // fault the pages in before any timing
        return p;
    }();
    return dst;
}

// Inputs of a realistic range per function, the same for every implementation: exp over the range
// where the result is finite and normal, log over positive normals spread across the exponent
// range, sigmoid and tanh over the range where they are not yet saturated.
template <class T> const T* FillInputs(EFunction fn) {
    T* src = AllocateBuffer<T>();
    const double expLimit = sizeof(T) == sizeof(float) ? 80.0 : 700.0;
    std::mt19937_64 random(20240611u + static_cast<unsigned>(fn));
    std::uniform_real_distribution<double> wide(-expLimit, expLimit);
    std::uniform_real_distribution<double> narrow(-10.0, 10.0);
    for (size_t i = 0; i < kMaxSize; ++i) {
        switch (fn) {
            case EFunction::Exp: src[i] = static_cast<T>(wide(random)); break;
            case EFunction::Log: src[i] = static_cast<T>(std::exp(wide(random))); break;
            case EFunction::Sigmoid:
            case EFunction::Tanh: src[i] = static_cast<T>(narrow(random)); break;
        }
    }
    return src;
}

template <class T> TBuffers<T> Prepare(EFunction fn) {
    static const T* inputs[std::size(kFunctions)] = {};
    const T*& src = inputs[static_cast<size_t>(fn)];
    if (src == nullptr) src = FillInputs<T>(fn);
    return {src, Destination<T>()};
}

void Count(benchmark::State& state, size_t count) {
    const double elements = static_cast<double>(state.iterations()) * static_cast<double>(count);
    state.SetItemsProcessed(static_cast<int64_t>(elements));
    state.counters["elem_per_ns"] = benchmark::Counter(elements * 1e-9, benchmark::Counter::kIsRate);
}

template <class T> void Run(benchmark::State& state, EFunction fn, TKernel<T> kernel, size_t count) {
    const TBuffers<T> buffers = Prepare<T>(fn);
    for (auto _ : state) {
        kernel(buffers.Src, count, buffers.Dst);
        benchmark::ClobberMemory();
    }
    Count(state, count);
}

template <class T> void Memcpy(const T* src, size_t count, T* dst) {
    std::memcpy(dst, src, count * sizeof(T));
}

// Dispatch overhead: the public entry point and the kernel it forwards to, both called directly.
void PublicExp(benchmark::State& state, size_t count) {
    const TBuffers<float> buffers = Prepare<float>(EFunction::Exp);
    for (auto _ : state) {
        NOrvex::Exp<false, false>(buffers.Src, count, buffers.Dst);
        benchmark::ClobberMemory();
    }
    Count(state, count);
}

// The kernel the dispatch picks on this processor (AVX-512 or AVX2), called directly, by name
// like the public entry point above, not through a pointer.
template <void (*Kernel)(const float*, size_t, float*)>
void DirectKernelLoop(benchmark::State& state, size_t count) {
    const TBuffers<float> buffers = Prepare<float>(EFunction::Exp);
    for (auto _ : state) {
        Kernel(buffers.Src, count, buffers.Dst);
        benchmark::ClobberMemory();
    }
    Count(state, count);
}

void DirectExp(benchmark::State& state, size_t count) {
    if (NOrvex::HaveAvx512()) {
        DirectKernelLoop<&NOrvex::ExpAvx512<false, false>>(state, count);
    } else {
        DirectKernelLoop<&NOrvex::ExpAvx2<false, false>>(state, count);
    }
}

enum class ETier { None, Avx, Avx2, Avx512 };

template <class T> struct TImplementation {
    const char* Name;
    TKernel<T> Kernel;
    ETier Needs;
};

// Rows of one function: orvex's kernels and dispatching entry points, then each peer that was
// found at configure time.
#define ORVEX_ROWS(F)                                                       \
    {"orvex_avx512_fast", &NOrvex::F##Avx512<false, false>, ETier::Avx512}, \
    {"orvex_avx512_exact", &NOrvex::F##Avx512<true, false>, ETier::Avx512}, \
    {"orvex_avx2_fast", &NOrvex::F##Avx2<false, false>, ETier::Avx2},   \
    {"orvex_avx2_exact", &NOrvex::F##Avx2<true, false>, ETier::Avx2},   \
    {"orvex_avx_fast", &NOrvex::F##Avx<false, false>, ETier::Avx},      \
    {"orvex_avx_exact", &NOrvex::F##Avx<true, false>, ETier::Avx},      \
    {"orvex_dispatch_fast", &NOrvex::F<false, false>, ETier::None},     \
    {"orvex_dispatch_exact", &NOrvex::F<true, false>, ETier::None},

#define GLIBC_ROW(F) {"glibc_scalar", &NPeers::Glibc##F, ETier::None},
// Each peer's AVX2 row, then its AVX-512 row where it was built.
#ifdef ORVEX_PEERS_HWY_AVX512
#define HWY_AVX512_ROW(F) {"hwy_avx512", &NPeers::HwyAvx512##F, ETier::Avx512},
#else
#define HWY_AVX512_ROW(F)
#endif
#ifdef ORVEX_PEERS_HWY
#define HWY_ROW(F) {"hwy", &NPeers::Hwy##F, ETier::Avx2}, HWY_AVX512_ROW(F)
#else
#define HWY_ROW(F)
#endif
#ifdef ORVEX_PEERS_EIGEN_AVX512
#define EIGEN_AVX512_ROW(F) {"eigen_avx512", &NPeers::EigenAvx512##F, ETier::Avx512},
#else
#define EIGEN_AVX512_ROW(F)
#endif
#ifdef ORVEX_PEERS_EIGEN
#define EIGEN_ROW(F) {"eigen", &NPeers::Eigen##F, ETier::Avx2}, EIGEN_AVX512_ROW(F)
#else
#define EIGEN_ROW(F)
#endif
#ifdef ORVEX_PEERS_MVEC_AVX512
#define MVEC_AVX512_ROW(F) {"libmvec_avx512", &NPeers::MvecAvx512##F, ETier::Avx512},
#else
#define MVEC_AVX512_ROW(F)
#endif
#ifdef ORVEX_PEERS_MVEC
#define MVEC_ROW(F) {"libmvec_avx2", &NPeers::Mvec##F, ETier::Avx2}, MVEC_AVX512_ROW(F)
#else
#define MVEC_ROW(F)
#endif
#if defined(ORVEX_PEERS_MVEC) && defined(ORVEX_PEERS_MVEC_TANH)
#define MVEC_TANH_ROW MVEC_ROW(Tanh)
#else
#define MVEC_TANH_ROW
#endif
#ifdef ORVEX_PEERS_SLEEF_AVX512
#define SLEEF_AVX512_ROW(F) {"sleef_u10_avx512", &NPeers::SleefAvx512##F, ETier::Avx512},
#define SLEEF_U35_AVX512_ROW(F) {"sleef_u35_avx512", &NPeers::SleefU35Avx512##F, ETier::Avx512},
#else
#define SLEEF_AVX512_ROW(F)
#define SLEEF_U35_AVX512_ROW(F)
#endif
#ifdef ORVEX_PEERS_SLEEF
#define SLEEF_ROW(F) {"sleef_u10", &NPeers::Sleef##F, ETier::Avx2}, SLEEF_AVX512_ROW(F)
#define SLEEF_U35_ROW(F) {"sleef_u35", &NPeers::SleefU35##F, ETier::Avx2}, SLEEF_U35_AVX512_ROW(F)
#else
#define SLEEF_ROW(F)
#define SLEEF_U35_ROW(F)
#endif

template <class T> std::vector<TImplementation<T>> Implementations(EFunction fn) {
    switch (fn) {
        case EFunction::Exp:
            return {ORVEX_ROWS(Exp) HWY_ROW(Exp) EIGEN_ROW(Exp) GLIBC_ROW(Exp) MVEC_ROW(Exp) SLEEF_ROW(Exp)};
        case EFunction::Log:
            return {ORVEX_ROWS(Log) HWY_ROW(Log) EIGEN_ROW(Log) GLIBC_ROW(Log) MVEC_ROW(Log) SLEEF_ROW(Log) SLEEF_U35_ROW(Log)};
        case EFunction::Sigmoid:
            return {ORVEX_ROWS(Sigmoid) HWY_ROW(Sigmoid) EIGEN_ROW(Sigmoid) GLIBC_ROW(Sigmoid) MVEC_ROW(Sigmoid)
                        SLEEF_ROW(Sigmoid)};
        case EFunction::Tanh:
            return {ORVEX_ROWS(Tanh) HWY_ROW(Tanh) EIGEN_ROW(Tanh) GLIBC_ROW(Tanh) MVEC_TANH_ROW SLEEF_ROW(Tanh)
                    SLEEF_U35_ROW(Tanh)};
    }
    return {};
}

bool Available(ETier tier) {
    switch (tier) {
        case ETier::None: return true;
        case ETier::Avx: return NOrvex::HaveAvx();
        case ETier::Avx2: return NOrvex::HaveAvx2();
        case ETier::Avx512: return NOrvex::HaveAvx512();
    }
    return false;
}

double Reference(EFunction fn, double x) {
    switch (fn) {
        case EFunction::Exp: return std::exp(x);
        case EFunction::Log: return std::log(x);
        case EFunction::Sigmoid: return 1.0 / (1.0 + std::exp(-x));
        case EFunction::Tanh: return std::tanh(x);
    }
    return 0;
}

// A figure is only worth comparing if the implementation computes the function: each one must
// agree with the double-precision reference on the benchmark's own inputs (loosely: the fast
// variants are meant to be inexact).
template <class T> bool Agrees(EFunction fn, const TImplementation<T>& row) {
    constexpr size_t kCount = 1024;
    const TBuffers<T> buffers = Prepare<T>(fn);
    row.Kernel(buffers.Src, kCount, buffers.Dst);
    for (size_t i = 0; i < kCount; ++i) {
        const double x = buffers.Src[i];
        const double want = Reference(fn, x);
        const double got = buffers.Dst[i];
        if (!(std::fabs(got - want) <= 1e-4 * std::fabs(want) + 1e-6)) {
            std::fprintf(stderr, "peers: %s/%s/%s computes %.9g at x = %.9g where %.9g is expected\n",
                         FunctionName(fn), TypeName<T>(), row.Name, got, x, want);
            return false;
        }
    }
    return true;
}

std::string Name(const char* fn, const char* type, const char* implementation, size_t count) {
    return std::string(fn) + "/" + type + "/" + implementation + "/" + std::to_string(count);
}

void SetUnit(benchmark::internal::Benchmark* b, size_t count) {
    b->Unit(count >= kMaxSize ? benchmark::kMillisecond : benchmark::kMicrosecond);
}

template <class T> bool RegisterFunction(EFunction fn) {
    const std::vector<TImplementation<T>> rows = Implementations<T>(fn);
    bool allAgree = true;
    for (const TImplementation<T>& row : rows) {
        if (Available(row.Needs) && !Agrees(fn, row)) allAgree = false;
    }
    for (size_t count : kSizes) {
        for (const TImplementation<T>& row : rows) {
            if (!Available(row.Needs)) continue;
            SetUnit(benchmark::RegisterBenchmark(Name(FunctionName(fn), TypeName<T>(), row.Name, count).c_str(),
                                                 Run<T>, fn, row.Kernel, count),
                    count);
        }
    }
    return allAgree;
}

template <class T> void RegisterMemcpy() {
    for (size_t count : kSizes) {
        SetUnit(benchmark::RegisterBenchmark(Name("memcpy", TypeName<T>(), "glibc", count).c_str(), Run<T>,
                                             EFunction::Exp, &Memcpy<T>, count),
                count);
    }
}

bool RegisterAll() {
    bool allAgree = true;
    for (EFunction fn : kFunctions) {
        allAgree = RegisterFunction<float>(fn) && allAgree;
        allAgree = RegisterFunction<double>(fn) && allAgree;
    }
    RegisterMemcpy<float>();
    RegisterMemcpy<double>();
    if (NOrvex::HaveAvx2()) {
        // A difference of a nanosecond or less: these get a longer minimum time than the rest.
        constexpr double kDispatchMinTime = 0.3;
        for (size_t count : {1, 8, 160}) {
            benchmark::RegisterBenchmark(Name("dispatch", "f32", "public_exp_fast", count).c_str(), PublicExp, count)
                ->MinTime(kDispatchMinTime);
            benchmark::RegisterBenchmark(Name("dispatch", "f32", "direct_exp_fast", count).c_str(), DirectExp,
                                         count)
                ->MinTime(kDispatchMinTime);
        }
    }
    return allAgree;
}

std::string Peers() {
    std::string peers = "glibc_scalar";
#ifdef ORVEX_PEERS_HWY
    peers += " hwy";
#endif
#ifdef ORVEX_PEERS_HWY_AVX512
    peers += " hwy_avx512";
#endif
#ifdef ORVEX_PEERS_EIGEN
    peers += " eigen";
#endif
#ifdef ORVEX_PEERS_EIGEN_AVX512
    peers += " eigen_avx512";
#endif
#ifdef ORVEX_PEERS_MVEC
    peers += " libmvec_avx2";
#endif
#ifdef ORVEX_PEERS_MVEC_AVX512
    peers += " libmvec_avx512";
#endif
#ifdef ORVEX_PEERS_SLEEF
    peers += " sleef_u10 sleef_u35";
#endif
#ifdef ORVEX_PEERS_SLEEF_AVX512
    peers += " sleef_u10_avx512 sleef_u35_avx512";
#endif
    return peers;
}

}  // namespace

int main(int argc, char** argv) {
    if (!RegisterAll()) return 1;
    benchmark::AddCustomContext("orvex_tier", NOrvex::HaveAvx512() ? "avx512"
                                              : NOrvex::HaveAvx2() ? "avx2"
                                              : NOrvex::HaveAvx()  ? "avx"
                                                                   : "plain");
    benchmark::AddCustomContext("peers", Peers());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
