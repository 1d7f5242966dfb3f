// The benchmark driver: validates the options, prepares one fixed set of random vectors and
// times every implementation of the chosen function on them, one report line each on stderr.
#ifndef ORVEX_TOOLS_BENCH_DRIVER_H
#define ORVEX_TOOLS_BENCH_DRIVER_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "options.h"

namespace NOrvexBench {

enum class EFunction { Exp, Log, Sigm, Tanh };

template <class T> using Operation = void (*)(const T* src, size_t count, T* dst);

// Tries of the scalar kernel's row: iters / 2 rounded to nearest, halves away from zero, exact
// for every 64-bit count.
std::uint64_t HalfTries(std::uint64_t iters);

// A 64-bit draw as a uniform double in [0, 1): the draw rounded to double times 2^-64, with a
// result of 1 (draws within 1024 of 2^64) replaced by the largest double below 1.
double UniformOf(std::uint64_t draw);
inline double DrawUniform(std::mt19937_64& generator) { return UniformOf(generator()); }

// Fills count input elements of the given function, one draw each: v = u * 100 - 50 (rounded to
// T), then exp(v) for log and v / 10 for sigm and tanh.
template <class T> void FillInputs(std::mt19937_64& generator, EFunction function, T* dst, size_t count);

// Byte counts of the two buffer lists: each buffer holds size * elementSize + 32 bytes. False when
// a count does not fit in 64 bits.
struct BufferPlan {
    std::uint64_t bufferBytes;  // one buffer
    std::uint64_t totalBytes;   // both lists, with the bookkeeping of every buffer
};
bool PlanBuffers(std::uint64_t vecs, std::uint64_t size, std::size_t elementSize, BufferPlan* plan);

// Times tries runs of operation over all vectors and prints "label: <best time in seconds>", or
// "label: no tries" when tries is 0. Throws std::runtime_error when the first output element
// of a vector equals the sentinel 43432432.
template <class T>
void MeasureRun(const std::vector<T*>& inputs, const std::vector<T*>& outputs, size_t count, std::uint64_t tries,
                const std::string& label, Operation<T> operation);

// The whole benchmark for one element type. Returns the process status: 0 after the last row,
// 1 after a validation or allocation message.
template <class T> int RunBenchmarks(const BenchOptions& options);

// Runs body and returns its status; an exception escaping it is reported as its message on one
// line of stderr and gives status 1.
int RunGuarded(const std::function<int()>& body);

}  // namespace NOrvexBench

#endif  // ORVEX_TOOLS_BENCH_DRIVER_H
