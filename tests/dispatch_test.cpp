// The public entry points route to the best tier this processor offers: the AVX-512 kernels where
// it has AVX-512 (this host), the AVX2 kernels where it stops at AVX2 (the emulated Haswell), the
// AVX kernels under the emulated SandyBridge, the plain kernels under the emulated Nehalem, for
// every instantiation.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "orvex/orvex.h"
#include "support/inputs.h"
#include "support/kernels.h"

namespace {

using namespace NOrvexTest;

template <class T> void CheckRoute(const KernelRow& entry) {
    const CpuExpectation cpu = ExpectedCpu();
    // Bit patterns and mixed values: enough inputs where the AVX and AVX2 kernels differ.
    std::vector<T> input = RandomBitPatterns<T>(2000, 3);
    const std::vector<T> mixed = MixedInputs<T>(entry.fn, 4000, 4, 1);
    input.insert(input.end(), mixed.begin(), mixed.end());
    alignas(32) static T got[8000];
    alignas(32) static T want[8000];
    Pick<T>(entry)(input.data(), input.size(), got);
    if (cpu.avx512) {
        Pick<T>(FindKernel(entry.fn, Level::Avx512, entry.exact, entry.aligned))(input.data(), input.size(), want);
    } else if (cpu.avx2) {
        Pick<T>(FindKernel(entry.fn, Level::Avx2, entry.exact, entry.aligned))(input.data(), input.size(), want);
    } else if (cpu.avx) {
        Pick<T>(FindKernel(entry.fn, Level::Avx, entry.exact, entry.aligned))(input.data(), input.size(), want);
    } else {
        PickPlain<T>(entry)(input.data(), input.size(), want);
    }
    for (size_t i = 0; i < input.size(); ++i) {
        ASSERT_EQ(Hex(Bits(got[i])), Hex(Bits(want[i]))) << entry.name << " input " << Hex(Bits(input[i]));
    }
    // count = 0 writes nothing.
    T untouched[4] = {T(7), T(7), T(7), T(7)};
    Pick<T>(entry)(input.data(), 0, untouched);
    for (T v : untouched) ASSERT_EQ(v, T(7));
}

TEST(Dispatch, EveryEntryPointRoutesToThisProcessorsTier) {
    const CpuExpectation cpu = ExpectedCpu();
    ASSERT_EQ(NOrvex::HaveAvx512(), cpu.avx512);
    ASSERT_EQ(NOrvex::HaveAvx2(), cpu.avx2);
    ASSERT_EQ(NOrvex::HaveAvx(), cpu.avx);
    for (const KernelRow& entry : Dispatchers()) {
        CheckRoute<float>(entry);
        CheckRoute<double>(entry);
    }
}

// Many threads make the first calls of different dispatchers at once (run alone in its process
// by the "threads" ctest entry, and under ThreadSanitizer in the tsan build): one probe result,
// the same routing for all.
TEST(Concurrency, FirstDispatchesFromManyThreads) {
    constexpr int kThreads = 8;
    // Plain std::vector buffers: only the entry points without the alignment promise.
    std::vector<KernelRow> entries;
    for (const KernelRow& row : Dispatchers()) {
        if (!row.aligned) entries.push_back(row);
    }
    const std::vector<float> input = MixedInputs<float>(Func::Exp, 300, 9, 1);
    std::vector<std::vector<float>> out(kThreads, std::vector<float>(input.size()));
    std::vector<int> avx512(kThreads), avx2(kThreads), avx(kThreads);
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < kThreads) {
            }
            const KernelRow& entry = entries[(t * 3) % entries.size()];
            Pick<float>(entry)(input.data(), input.size(), out[t].data());
            avx512[t] = NOrvex::HaveAvx512();
            avx2[t] = NOrvex::HaveAvx2();
            avx[t] = NOrvex::HaveAvx();
        });
    }
    for (std::thread& th : threads) th.join();
    const CpuExpectation cpu = ExpectedCpu();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(avx512[t], cpu.avx512);
        EXPECT_EQ(avx2[t], cpu.avx2);
        EXPECT_EQ(avx[t], cpu.avx);
        const KernelRow& entry = entries[(t * 3) % entries.size()];
        std::vector<float> want(input.size());
        const KernelRow& kernel = cpu.avx512 ? FindKernel(entry.fn, Level::Avx512, entry.exact, entry.aligned)
                                  : cpu.avx2 ? FindKernel(entry.fn, Level::Avx2, entry.exact, entry.aligned)
                                  : cpu.avx  ? FindKernel(entry.fn, Level::Avx, entry.exact, entry.aligned)
                                             : entry;
        if (cpu.avx) {
            kernel.f32(input.data(), input.size(), want.data());
        } else {
            entry.plain32(input.data(), input.size(), want.data());
        }
        for (size_t i = 0; i < input.size(); ++i) ASSERT_EQ(Bits(out[t][i]), Bits(want[i]));
    }
}

}  // namespace
