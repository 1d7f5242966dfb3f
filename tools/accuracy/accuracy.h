// The accuracy tool's parsed command line and its evaluation pass.
#ifndef ORVEX_TOOLS_ACCURACY_H
#define ORVEX_TOOLS_ACCURACY_H

#include <cstdint>
#include <ostream>
#include <string>

struct AccuracyOptions {
    std::string func;     // "exp", "log", "sigm" or "tanh"
    float min = -100.0f;  // the interval [min, max]
    float max = 100.0f;
    std::uint64_t count = 1000;  // steps: count + 1 points
    std::string arch;     // "plain", "avx" or "avx2"
    bool exact = false;   // Exact = true variant of the vector kernels
    bool nodenorm = false;
    bool doublePrecision = false;
    bool print = false;   // the table of points
};

// Evaluates the kernel chosen by options (func and arch already validated, the processor
// checked) on every point, writing the optional table and the final line to out. Kept out of
// line, in its own unit, so that none of its floating-point work can be scheduled before the
// MXCSR write of main.
__attribute__((noinline)) void Evaluate(const AccuracyOptions& options, std::ostream& out);

#endif  // ORVEX_TOOLS_ACCURACY_H
