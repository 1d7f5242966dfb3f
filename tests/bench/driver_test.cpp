// The driver's pieces that the report does not show: the try-count rule, the input draws, the
// buffer arithmetic, the runner and the top-level failure guard.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver.h"
#include "support/test_util.h"
#include "text_match.h"

namespace {

using namespace NOrvexBench;
using NOrvexTest::Bits;
using NOrvexTest::Hex;

constexpr std::uint64_t kMax64 = std::numeric_limits<std::uint64_t>::max();

TEST(BenchTries, HalfRoundsHalvesAwayFromZeroWithoutOverflow) {
    const struct {
        std::uint64_t iters;
        std::uint64_t half;
    } cases[] = {
        {0, 0},
        {1, 1},  // 0.5 rounds up
        {2, 1},
        {3, 2},
        {4, 2},
        {5, 3},
        {0x7FFFFFFF, 0x40000000},
        {0xFFFFFFFF, 0x80000000},  // the half no longer fits a signed 32-bit count
        {0x100000000, 0x80000000},
        {(std::uint64_t{1} << 53) + 1, (std::uint64_t{1} << 52) + 1},  // iters * 0.5 is no longer exact in double
        {kMax64, std::uint64_t{1} << 63},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HalfTries(c.iters), c.half) << "iters " << c.iters;
    }
}

TEST(BenchInputs, UniformConversionOfADraw) {
    const struct {
        std::uint64_t draw;
        std::uint64_t u;  // bit pattern
    } cases[] = {
        {0, Bits(0.0)},
        {1, Bits(0x1p-64)},
        {std::uint64_t{1} << 63, Bits(0.5)},
        {kMax64 - 2047, Bits(0x1.fffffffffffffp-1)},  // exactly 2^64 - 2048
        {kMax64 - 1024, Bits(0x1.fffffffffffffp-1)},  // rounds down to 2^64 - 2048
        {kMax64 - 1023, Bits(0x1.fffffffffffffp-1)},  // a tie, rounds to even 2^64: replaced
        {kMax64, Bits(0x1.fffffffffffffp-1)},         // rounds to 2^64: replaced
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Hex(Bits(UniformOf(c.draw))), Hex(c.u)) << "draw " << c.draw;
    }
}

// The first inputs of a run with seed 15, worked out here from the generator's raw outputs.
template <class T> std::vector<T> ExpectedInputs(EFunction function, size_t count) {
    std::mt19937_64 generator(15);
    std::vector<T> values;
    for (size_t i = 0; i < count; ++i) {
        double u = std::ldexp(static_cast<double>(generator()), -64);
        if (u >= 1.0) {
            u = std::nextafter(1.0, 0.0);
        }
        const T v = static_cast<T>(u * 100.0 - 50.0);
        switch (function) {
        case EFunction::Exp:
            values.push_back(v);
            break;
        case EFunction::Log:
            values.push_back(static_cast<T>(std::exp(static_cast<double>(v))));
            break;
        case EFunction::Sigm:
        case EFunction::Tanh:
            values.push_back(v / T(10));
            break;
        }
    }
    return values;
}

template <class T> void ExpectFirstInputs() {
    // Two vectors of 5 and 7 elements draw from one stream.
    const EFunction functions[] = {EFunction::Exp, EFunction::Log, EFunction::Sigm, EFunction::Tanh};
    for (EFunction function : functions) {
        SCOPED_TRACE(static_cast<int>(function));
        const std::vector<T> expected = ExpectedInputs<T>(function, 12);
        std::mt19937_64 generator(15);
        std::vector<T> got(12);
        FillInputs<T>(generator, function, got.data(), 5);
        FillInputs<T>(generator, function, got.data() + 5, 7);
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(Hex(Bits(got[i])), Hex(Bits(expected[i]))) << "element " << i;
        }
        for (T x : got) {
            const double v = function == EFunction::Log ? std::log(static_cast<double>(x)) : static_cast<double>(x);
            const double range = (function == EFunction::Sigm || function == EFunction::Tanh) ? 5.0 : 50.0;
            EXPECT_LE(std::fabs(v), range * (1 + 1e-6));
        }
    }
}

TEST(BenchInputs, FirstDrawsOfSeed15Float) { ExpectFirstInputs<float>(); }
TEST(BenchInputs, FirstDrawsOfSeed15Double) { ExpectFirstInputs<double>(); }

TEST(BenchBuffers, ByteCountsAndTheirOverflow) {
    BufferPlan plan;
    ASSERT_TRUE(PlanBuffers(2, 160, 4, &plan));
    EXPECT_EQ(plan.bufferBytes, 160u * 4 + 32);
    EXPECT_GE(plan.totalBytes, 2u * 2 * (160 * 4 + 32));
    ASSERT_TRUE(PlanBuffers(0, 160, 8, &plan));
    EXPECT_EQ(plan.totalBytes, 0u);
    ASSERT_TRUE(PlanBuffers(3, 0, 8, &plan));
    EXPECT_EQ(plan.bufferBytes, 32u);

    const struct {
        const char* what;
        std::uint64_t vecs;
        std::uint64_t size;
        std::size_t elementSize;
    } overflowing[] = {
        {"size * sizeof(T)", 1, std::uint64_t{1} << 62, 4},
        {"+ 32 spare bytes", 1, (kMax64 - 16) / 8, 8},
        {"times the vectors", 4000000000, 4000000000, 4},
        {"two lists", std::uint64_t{1} << 56, 16, 4},
        {"-1 read as an unsigned count", kMax64, 160, 4},
    };
    for (const auto& c : overflowing) {
        EXPECT_FALSE(PlanBuffers(c.vecs, c.size, c.elementSize, &plan)) << c.what;
    }
}

// ---- runner ----

struct RunnerData {
    std::vector<std::vector<float>> storage;
    std::vector<float*> inputs;
    std::vector<float*> outputs;

    RunnerData(size_t vecs, size_t count) : storage(2 * vecs, std::vector<float>(count + 8, 0.0f)) {
        for (size_t i = 0; i < vecs; ++i) {
            inputs.push_back(storage[i].data());
            outputs.push_back(storage[vecs + i].data());
        }
    }
};

int calls = 0;
size_t lastCount = 0;

void Counting(const float* src, size_t count, float* dst) {
    ++calls;
    lastCount = count;
    for (size_t i = 0; i < count; ++i) {
        dst[i] = src[i] + 1.0f;
    }
}

// Writes the sentinel into the first element of the second vector it sees.
void SentinelOnSecondCall(const float*, size_t count, float* dst) {
    ++calls;
    if (count != 0) {
        dst[0] = calls == 2 ? 43432432.0f : 1.0f;
    }
}

void SentinelBehindTheFirstElement(const float*, size_t, float* dst) {
    dst[0] = 1.0f;
    dst[1] = 43432432.0f;
}

TEST(BenchRunner, PrintsTheBestTryAndCallsEveryVector) {
    RunnerData data(3, 16);
    calls = 0;
    testing::internal::CaptureStderr();
    MeasureRun<float>(data.inputs, data.outputs, 16, 4, "avx fast exp", Counting);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(calls, 12);
    EXPECT_EQ(lastCount, 16u);
    const std::string prefix = "avx fast exp: ";
    ASSERT_EQ(err.substr(0, prefix.size()), prefix);
    ASSERT_EQ(err.back(), '\n');
    EXPECT_TRUE(NOrvexBenchTest::IsTimeText(err.substr(prefix.size(), err.size() - prefix.size() - 1))) << err;
}

TEST(BenchRunner, NoTriesGivesATextInsteadOfATime) {
    RunnerData data(2, 4);
    calls = 0;
    testing::internal::CaptureStderr();
    MeasureRun<float>(data.inputs, data.outputs, 4, 0, "plain fast exp", Counting);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "plain fast exp: no tries\n");
    EXPECT_EQ(calls, 0);
}

TEST(BenchRunner, SentinelInAFirstOutputElementIsAnError) {
    RunnerData data(3, 4);
    calls = 0;
    testing::internal::CaptureStderr();
    try {
        MeasureRun<float>(data.inputs, data.outputs, 4, 2, "slow exp", SentinelOnSecondCall);
        ADD_FAILURE() << "no error raised";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "requirement outV[0] != 43432432 failed");
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a line was printed for an abandoned run";
    EXPECT_EQ(calls, 2) << "the check must follow each call";

    // Only the first element is checked.
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(MeasureRun<float>(data.inputs, data.outputs, 4, 1, "slow exp", SentinelBehindTheFirstElement));
    testing::internal::GetCapturedStderr();
}

TEST(BenchGuard, EscapingErrorsBecomeOneLineAndStatusOne) {
    RunnerData data(1, 4);
    calls = 0;
    testing::internal::CaptureStderr();
    const int sentinel = RunGuarded([&data] {
        calls = 1;  // the sentinel is then written on the next call
        MeasureRun<float>(data.inputs, data.outputs, 4, 1, "slow exp", SentinelOnSecondCall);
        return 0;
    });
    EXPECT_EQ(sentinel, 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "requirement outV[0] != 43432432 failed\n");

    testing::internal::CaptureStderr();
    EXPECT_EQ(RunGuarded([]() -> int { throw std::bad_alloc(); }), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "cannot allocate memory\n");

    testing::internal::CaptureStderr();
    EXPECT_EQ(RunGuarded([] { return 0; }), 0);
    EXPECT_EQ(RunGuarded([] { return 1; }), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
