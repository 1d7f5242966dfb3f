// The functions and their exact values: the system library in double precision for float inputs,
// MPFR for double inputs.
#ifndef ORVEX_TOOLS_ULP_REFERENCE_H
#define ORVEX_TOOLS_ULP_REFERENCE_H

#include <mpfr.h>

#include <string>

namespace NOrvexUlp {

enum class EFunction { Exp, Log, Sigmoid, Tanh };

// "exp", "log", "sigm", "tanh"; FunctionOf returns false for any other name.
const char* FunctionName(EFunction f);
bool FunctionOf(const std::string& name, EFunction& f);

// The reference for a float input: exp, log and tanh of the system library in double precision,
// the sigmoid as 1 / (1 + exp(-x)) in double. Each is within a few double ulps of the exact value:
// glibc's published bounds for exp, log and tanh are 1 to 2 ulps, and the sigmoid adds a rounded
// sum and a rounded quotient to the error of exp(-x), which 1 + exp(-x) carries at most in
// proportion. A double ulp is 2^-29 of a float ulp at the same magnitude, and for a float result
// in the subnormal range less still, so the reference moves a reported error by less than about
// 2^-26 float ulp, far below its printed digits. The exact result of
// a NaN input or outside the domain (log of a negative number) is NaN, of log(0) -infinity.
double FloatReference(EFunction f, float x);

// Precision of the double reference, in bits.
constexpr mpfr_prec_t kReferencePrecision = 128;

// The exact value for a double input, correctly rounded to r's precision by MPFR (the sigmoid as
// 1 / (1 + exp(-x)) with each of its three steps rounded to r's precision: a relative error of
// about 2^-126, nothing at the scale of a double ulp). `scratch` is a temporary of the same
// precision.
void DoubleReference(EFunction f, double x, mpfr_t r, mpfr_t scratch);

}  // namespace NOrvexUlp

#endif  // ORVEX_TOOLS_ULP_REFERENCE_H
