// Scalar model of one lane of the vector kernels, the oracle the SIMD kernels are compared with
// bit for bit.
//
// ModelEval(f, tier, exact, x) is the value that lane gets in `<F><Tier><exact, any>` for the
// element type of x: every step rounded where the kernel rounds, std::fma exactly where the AVX2
// form fuses, a separately rounded product and sum where the AVX form does not. Vector-wide
// shortcuts (the exact exp fix-up branch, the log patch skip, the exact log pre-scaling) never
// change a lane's value, so the model decides them per lane. Plain C++, no intrinsics; it must be
// compiled without contraction (-ffp-contract=off), as every unit of the project is.
#ifndef ORVEX_TESTS_MODEL_H
#define ORVEX_TESTS_MODEL_H

namespace NOrvexTest {

enum class Func { Exp, Log, Sigmoid, Tanh };
enum class Tier { Avx, Avx2 };

float ModelEval(Func f, Tier tier, bool exact, float x);
double ModelEval(Func f, Tier tier, bool exact, double x);

// a*b + c rounded once to nearest-even, computed on integers, so that it does not depend on the
// floating-point environment (the C library's software fma does, and emulators get it wrong).
float FusedMulAdd(float a, float b, float c);
double FusedMulAdd(double a, double b, double c);

}  // namespace NOrvexTest

#endif  // ORVEX_TESTS_MODEL_H
