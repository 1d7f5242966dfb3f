// Every one of the 2^32 float inputs through every float vector kernel this processor can run,
// compared bit for bit: the AVX and AVX2 kernels with the scalar model, the AVX-512 kernels with
// their AVX2 twins, the aligned variants with their unaligned twins.
//
//   orvex_exhaustive [name-filter]      e.g. "LogAvx2" to check only the matching kernels
//
// Prints one line per kernel and the first mismatches; exits 1 on any mismatch.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "support/kernels.h"
#include "support/model.h"

namespace {

using namespace NOrvexTest;

constexpr std::uint64_t kChunk = 1 << 16;

// Mismatches in [begin, end) of the input space; the first few are printed.
std::uint64_t CheckRange(const KernelRow& row, std::uint64_t begin, std::uint64_t end) {
    const bool avx512 = row.level == Level::Avx512 && !row.aligned;
    const KernelRow& twin = FindKernel(row.fn, avx512 ? Level::Avx2 : row.level, row.exact, false);
    const bool againstTwin = row.aligned || avx512;
    const Tier tier = ModelTier(row.level);
    alignas(64) static thread_local float in[kChunk], out[kChunk], ref[kChunk];
    std::uint64_t mismatches = 0;
    for (std::uint64_t base = begin; base < end; base += kChunk) {
        for (std::uint64_t j = 0; j < kChunk; ++j) {
            const std::uint32_t bits = static_cast<std::uint32_t>(base + j);
            std::memcpy(&in[j], &bits, sizeof bits);
        }
        row.f32(in, kChunk, out);
        if (againstTwin) {
            twin.f32(in, kChunk, ref);
        }
        for (std::uint64_t j = 0; j < kChunk; ++j) {
            const float want = againstTwin ? ref[j] : ModelEval(row.fn, tier, row.exact, in[j]);
            if (Bits(out[j]) != Bits(want)) {
                if (++mismatches <= 5) {
                    std::printf("  %s(%s) = %s, expected %s\n", row.name.c_str(), Hex(Bits(in[j])).c_str(),
                                Hex(Bits(out[j])).c_str(), Hex(Bits(want)).c_str());
                }
            }
        }
    }
    return mismatches;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string filter = argc > 1 ? argv[1] : "";
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::uint64_t total = 0;
    for (const KernelRow& row : VectorKernels()) {
        if (row.name.find(filter) == std::string::npos) continue;
        if (!Runnable(row)) {
            std::printf("%-28s skipped: this processor lacks its instruction set\n", row.name.c_str());
            continue;
        }
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::uint64_t> found(threads);
        std::vector<std::thread> pool;
        const std::uint64_t span = (std::uint64_t{1} << 32) / threads;
        for (unsigned t = 0; t < threads; ++t) {
            const std::uint64_t begin = t * span;
            const std::uint64_t end = t + 1 == threads ? (std::uint64_t{1} << 32) : begin + span;
            pool.emplace_back([&, t, begin, end] { found[t] = CheckRange(row, begin, end); });
        }
        std::uint64_t mismatches = 0;
        for (unsigned t = 0; t < threads; ++t) {
            pool[t].join();
            mismatches += found[t];
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-28s %s: %llu mismatches in 2^32 inputs (%.0f s)\n", row.name.c_str(),
                    mismatches == 0 ? "ok" : "FAILED", static_cast<unsigned long long>(mismatches), seconds);
        std::fflush(stdout);
        total += mismatches;
    }
    std::printf("%s\n", total == 0 ? "all float kernels match the model on every input" : "MISMATCHES FOUND");
    return total == 0 ? 0 : 1;
}
