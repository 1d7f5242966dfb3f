// Input values for the kernel tests: mostly ordinary values of the function's useful range, mixed
// with the special values that take each kernel's other paths (NaN of both kinds and signs,
// infinities, zeros, subnormals, clamp and saturation edges).
#ifndef ORVEX_TESTS_INPUTS_H
#define ORVEX_TESTS_INPUTS_H

#include <cstdint>
#include <vector>

#include "support/kernels.h"

namespace NOrvexTest {

template <class T> std::vector<T> MixedInputs(Func fn, std::size_t n, std::uint64_t seed, int specialsInEight = 2);
// Uniformly random bit patterns: often negative, NaN, huge or subnormal.
template <class T> std::vector<T> RandomBitPatterns(std::size_t n, std::uint64_t seed);

}  // namespace NOrvexTest

#endif  // ORVEX_TESTS_INPUTS_H
