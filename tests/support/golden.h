// The bit-exact results the vector kernels are known to give, one row per input.
#ifndef ORVEX_TESTS_GOLDEN_H
#define ORVEX_TESTS_GOLDEN_H

#include <cstdint>
#include <vector>

#include "support/model.h"

namespace NOrvexTest {

struct GoldenCase {
    Func func;
    bool isDouble;
    std::uint64_t input;           // bit pattern; a float in the low 32 bits
    bool known[2][2];              // [exact][tier: 0 = Avx, 1 = Avx2]
    std::uint64_t expected[2][2];  // bit patterns, same indexing
    const char* note;              // what the row checks, e.g. "e^1", "threshold sqrt(1/2)"
};

// Every row has at least one known slot. Rows whose slots differ between the tiers are the ones
// that tell a fused from an unfused sequence.
const std::vector<GoldenCase>& GoldenCases();

}  // namespace NOrvexTest

#endif  // ORVEX_TESTS_GOLDEN_H
