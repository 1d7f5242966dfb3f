// bench: times every implementation of one library function on the same random vectors.
// Everything it reports goes to stderr; only TCLAP's help and version texts go to stdout.
#include <xmmintrin.h>

#include <iostream>

#include "driver.h"
#include "options.h"
#include "orvex/orvex.h"

namespace {

// Flush-to-zero (bit 15), then denormals-are-zero (bit 6), each read, or-ed in and written back.
// Set before any input is drawn, so it governs the data, every implementation and the references.
void FlushDenormals() {
    _mm_setcsr(_mm_getcsr() | 0x8000);
    _mm_setcsr(_mm_getcsr() | 0x0040);
}

}  // namespace

int main(int argc, char** argv) {
    // Before the command line is looked at: without AVX not even --help is served.
    if (!NOrvex::HaveAvx()) {
        std::cerr << "At least AVX support is required to run this code. Exiting." << std::endl;
        return -1;
    }
    if (!NOrvex::HaveAvx2()) {
        std::cerr << "AVX2 versions won't run: no HW support" << std::endl;
    }
    return NOrvexBench::RunGuarded([argc, argv] {
        const NOrvexBench::BenchOptions options = NOrvexBench::ParseOptions(argc, argv);
        if (options.nodenorm) {
            FlushDenormals();
        }
        return options.useDouble ? NOrvexBench::RunBenchmarks<double>(options)
                                 : NOrvexBench::RunBenchmarks<float>(options);
    });
}
