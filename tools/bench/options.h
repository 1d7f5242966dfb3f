// The command line of bench, parsed once into a read-only record.
#ifndef ORVEX_TOOLS_BENCH_OPTIONS_H
#define ORVEX_TOOLS_BENCH_OPTIONS_H

#include <cstdint>
#include <string>

namespace NOrvexBench {

struct BenchOptions {
    std::string func;         // "exp", "log", "sigm" or "tanh"; checked by the driver
    std::uint64_t vecs;       // number of vectors
    std::uint64_t iters;      // tries per implementation
    std::uint64_t size;       // elements per vector
    std::uint64_t alignment;  // byte offset of every vector from a 32-byte boundary; checked by the driver
    bool nodenorm;            // flush denormals (FTZ and DAZ) for the whole run
    bool useDouble;           // double precision instead of single
};

// Parses argv with TCLAP. Syntax errors, --help and --version are answered by TCLAP, which then
// ends the process itself.
BenchOptions ParseOptions(int argc, const char* const* argv);

}  // namespace NOrvexBench

#endif  // ORVEX_TOOLS_BENCH_OPTIONS_H
