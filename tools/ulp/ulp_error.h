// The error of one result in units in the last place (ulp) of the exact value, and the fold of
// the largest errors over many inputs.
//
// The error of a result y for the exact value r is |y - r| / ulp(r), where
// ulp(r) = 2^(max(e, emin) - p + 1), e = floor(log2 |r|), p the precision (24 for float, 53 for
// double) and emin the smallest normal exponent (-126, -1022); ulp(0) is the smallest subnormal.
// Left out of every maximum: NaN inputs, inputs whose exact result is undefined (the logarithm of
// a negative number) or rounds to an infinity, and inputs where the result is not finite although
// the exact result is; the last kind is counted on its own.
#ifndef ORVEX_TOOLS_ULP_ULP_ERROR_H
#define ORVEX_TOOLS_ULP_ULP_ERROR_H

#include <mpfr.h>

#include <cstdint>

namespace NOrvexUlp {

// The maxima over a set of inputs, each input known by its bit pattern. Of two inputs with the
// same error the smaller bit pattern is kept, so any order of folding and merging gives the same
// worst inputs: the first in increasing bit-pattern order.
struct UlpStats {
    std::uint64_t inputs = 0;        // every input folded, the left-out ones included
    double maxUlp = 0.0;             // over every counted input
    bool hasWorst = false;           // false while no input was counted
    std::uint64_t worstInput = 0;    // bit pattern of the first input with maxUlp
    double maxUlpNormal = 0.0;       // the same over exact results in the normal range
    bool hasWorstNormal = false;
    std::uint64_t worstInputNormal = 0;
    double maxAbs = 0.0;             // largest |y - r| over every counted input
    std::uint64_t nonfiniteMismatches = 0;  // a non-finite result for a finite exact result
};

// Folds `other` into `into`.
void Merge(UlpStats& into, const UlpStats& other);

// The error in float ulps of y against r, where r stands for the exact value: a double close
// enough to it that the difference is far below anything reported (the callers' references are
// within a few double ulps, about 2^-28 float ulp). r must be finite.
double UlpError(float y, double r);

// The error in double ulps of y against the exact value r held in high precision (finite).
double UlpError(double y, const mpfr_t r);

// Folds one float input (bit pattern `bits`), its result y and the reference r (NaN where the
// exact result is undefined, an infinity where it is infinite).
void Fold(UlpStats& stats, std::uint32_t bits, float y, double r);

// The same in two steps, for many results of one input: what depends on the input and its
// reference only, then each result.
struct FloatPoint {
    std::uint32_t bits;
    double r;
    double scale;   // 1 / ulp(r)
    bool counted;   // not left out by the input or its exact result
    bool normal;    // the exact result rounded to float is a normal number
};
FloatPoint Prepare(std::uint32_t bits, double r);
void Fold(UlpStats& stats, float y, const FloatPoint& point);

// The same for a double input, with the exact value r in high precision (a NaN or an infinity as
// above). `scratch` is a high-precision temporary of the caller's, so that no call allocates.
void Fold(UlpStats& stats, std::uint64_t bits, double y, const mpfr_t r, mpfr_t scratch);

}  // namespace NOrvexUlp

#endif  // ORVEX_TOOLS_ULP_ULP_ERROR_H
