// The measuring pass: chunks of inputs taken by worker threads in turn, one reference per input,
// every kernel folded against it, the workers' stats merged at the end.
#include "measure.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

namespace NOrvexUlp {

namespace {

// The buffers of one worker: a chunk of inputs and each kernel's results for it. Allocated before
// any thread starts, so that a failed allocation is reported where it can be.
template <class T> struct Workspace {
    std::vector<T> src;
    std::vector<std::vector<T>> dst;
    std::vector<UlpStats> stats;

    explicit Workspace(std::size_t kernels) : src(kChunk), dst(kernels, std::vector<T>(kChunk)), stats(kernels) {}
};

void FoldChunk(EFunction f, std::size_t n, Workspace<float>& w) {
    for (std::size_t j = 0; j < n; ++j) {
        const float x = w.src[j];
        std::uint32_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        const FloatPoint point = Prepare(bits, FloatReference(f, x));
        for (std::size_t k = 0; k < w.stats.size(); ++k) Fold(w.stats[k], w.dst[k][j], point);
    }
}

// MPFR's variables and its caches are per thread: everything is set up and released in the thread.
void FoldChunk(EFunction f, std::size_t n, Workspace<double>& w) {
    mpfr_t r, scratch;
    mpfr_init2(r, kReferencePrecision);
    mpfr_init2(scratch, kReferencePrecision);
    for (std::size_t j = 0; j < n; ++j) {
        const double x = w.src[j];
        std::uint64_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        DoubleReference(f, x, r, scratch);
        for (std::size_t k = 0; k < w.stats.size(); ++k) Fold(w.stats[k], bits, w.dst[k][j], r, scratch);
    }
    mpfr_clear(scratch);
    mpfr_clear(r);
}

template <class T>
void Work(EFunction f, const InputSet<T>& inputs, const std::vector<TKernel<T>>& kernels, Workspace<T>& w,
          std::atomic<std::uint64_t>& nextChunk, std::atomic<std::uint64_t>& done, const std::atomic<bool>& stop) {
    const std::uint64_t chunks = (inputs.count + kChunk - 1) / kChunk;
    for (std::uint64_t c = nextChunk++; c < chunks && !stop; c = nextChunk++) {
        const std::uint64_t first = c * kChunk;
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, inputs.count - first));
        inputs.fill(first, n, w.src.data());
        for (std::size_t k = 0; k < kernels.size(); ++k) kernels[k](w.src.data(), n, w.dst[k].data());
        FoldChunk(f, n, w);
        done += n;
    }
    if constexpr (std::is_same_v<T, double>) mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE);
}

}  // namespace

template <class T>
std::vector<UlpStats> Measure(EFunction f, const InputSet<T>& inputs, const std::vector<TKernel<T>>& kernels,
                              unsigned threads, const ProgressFn& progress) {
    if (threads == 0) threads = 1;
    std::vector<std::unique_ptr<Workspace<T>>> spaces;
    for (unsigned t = 0; t < threads; ++t) spaces.push_back(std::make_unique<Workspace<T>>(kernels.size()));

    std::atomic<std::uint64_t> nextChunk{0};
    std::atomic<std::uint64_t> done{0};
    std::atomic<bool> stop{false};
    std::atomic<unsigned> finished{0};
    std::vector<std::thread> workers;
    try {
        for (unsigned t = 0; t < threads; ++t) {
            workers.emplace_back([&, t] {
                Work(f, inputs, kernels, *spaces[t], nextChunk, done, stop);
                ++finished;
            });
        }
    } catch (...) {
        stop = true;
        for (std::thread& w : workers) w.join();
        throw;
    }
    if (progress) {
        while (finished < threads) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            progress(done, inputs.count);
        }
    }
    for (std::thread& w : workers) w.join();

    std::vector<UlpStats> stats(kernels.size());
    for (const auto& space : spaces) {
        for (std::size_t k = 0; k < kernels.size(); ++k) Merge(stats[k], space->stats[k]);
    }
    return stats;
}

template std::vector<UlpStats> Measure<float>(EFunction, const InputSet<float>&, const std::vector<TKernel<float>>&,
                                              unsigned, const ProgressFn&);
template std::vector<UlpStats> Measure<double>(EFunction, const InputSet<double>&,
                                               const std::vector<TKernel<double>>&, unsigned, const ProgressFn&);

}  // namespace NOrvexUlp
