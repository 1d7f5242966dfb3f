// First uses of the library's lazily built state from several threads at once. Run alone (the
// "threads" ctest entry) so that the calls here really are the first of the process, and under
// ThreadSanitizer in the tsan build.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "orvex/orvex.h"
#include "support/test_util.h"

namespace {

TEST(Concurrency, FirstPlainExponentialsFromManyThreads) {
    constexpr int kThreads = 8;
    constexpr size_t kCount = 257;
    std::vector<double> src(kCount);
    for (size_t i = 0; i < kCount; ++i) {
        src[i] = -30.0 + 0.23 * static_cast<double>(i);
    }
    std::vector<std::vector<double>> results(kThreads, std::vector<double>(kCount));
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < kThreads) {
            }
            switch (t % 3) {
                case 0: NOrvex::ExpPlain(src.data(), kCount, results[t].data()); break;
                case 1: NOrvex::SigmoidPlain(src.data(), kCount, results[t].data()); break;
                default: NOrvex::TanhPlain(src.data(), kCount, results[t].data()); break;
            }
        });
    }
    for (std::thread& th : threads) th.join();
    for (int t = 3; t < kThreads; ++t) {
        for (size_t i = 0; i < kCount; ++i) {
            ASSERT_EQ(NOrvexTest::Bits(results[t][i]), NOrvexTest::Bits(results[t % 3][i]));
        }
    }
}

}  // namespace
