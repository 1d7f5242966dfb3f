// One pass over a set of inputs: every kernel of a list evaluated on the same inputs against one
// reference per input, in chunks spread over threads, folded into one UlpStats per kernel.
#ifndef ORVEX_TOOLS_ULP_MEASURE_H
#define ORVEX_TOOLS_ULP_MEASURE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "reference.h"
#include "ulp_error.h"

namespace NOrvexUlp {

template <class T> using TKernel = void (*)(const T* src, std::size_t count, T* dst);

// A set of inputs read in chunks: fill(first, n, out) writes inputs first .. first + n - 1. Each
// input depends on its index only, so chunks may be filled in any order and on any thread.
template <class T> struct InputSet {
    std::uint64_t count = 0;
    std::function<void(std::uint64_t first, std::size_t n, T* out)> fill;
};

// All 2^32 floats in increasing bit-pattern order.
InputSet<float> AllFloats();

// n inputs of function f: first its special and boundary values (as many as n allows), then
// uniform bit patterns and uniform values across the function's useful range, alternately. The
// same n gives the same inputs on every run.
template <class T> InputSet<T> Samples(EFunction f, std::uint64_t n);

// The special and boundary inputs of f that Samples starts with.
template <class T> std::vector<T> SpecialInputs(EFunction f);

// The given inputs in their order.
template <class T> InputSet<T> Listed(std::vector<T> inputs);

// Called on the calling thread every few tenths of a second while a pass runs, with the number of
// inputs done so far and the total.
using ProgressFn = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Inputs per chunk: the unit of work a thread takes at a time.
constexpr std::size_t kChunk = 16384;

// Evaluates every kernel on every input with `threads` threads (at least 1) and returns the
// stats of each kernel in the order given. The result does not depend on the number of threads.
// Throws std::system_error when a thread cannot be started, std::bad_alloc when the buffers
// cannot be allocated; nothing is left running then.
template <class T>
std::vector<UlpStats> Measure(EFunction f, const InputSet<T>& inputs, const std::vector<TKernel<T>>& kernels,
                              unsigned threads, const ProgressFn& progress = {});

}  // namespace NOrvexUlp

#endif  // ORVEX_TOOLS_ULP_MEASURE_H
