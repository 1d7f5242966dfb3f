#include "options.h"

#include <tclap/CmdLine.h>

#include <cstdint>
#include <string>
#include <vector>

namespace NOrvexBench {

namespace {

// An unsigned 64-bit option value, read strictly: one or more decimal digits and nothing else,
// at most 2^64 - 1. Read by a stream into a plain unsigned integer, "-1" would become 2^64 - 1
// (--iters -1 then runs practically forever) and an empty value would leave the default in
// place; both are refused here, as TCLAP's own parse error.
struct CountValue {
    using ValueCategory = TCLAP::StringLike;  // TCLAP hands over the text as it stands

    std::uint64_t value = 0;

    CountValue(std::uint64_t v) : value(v) {}
    CountValue& operator=(const std::string& text) {
        std::uint64_t v = 0;
        bool valid = !text.empty();
        for (const char c : text) {
            valid = valid && c >= '0' && c <= '9' && !__builtin_mul_overflow(v, std::uint64_t{10}, &v) &&
                    !__builtin_add_overflow(v, static_cast<std::uint64_t>(c - '0'), &v);
        }
        if (!valid) {
            throw TCLAP::ArgParseException("Couldn't read argument value from string '" + text +
                                           "': expected a whole number from 0 to 18446744073709551615");
        }
        value = v;
        return *this;
    }
};

}  // namespace

BenchOptions ParseOptions(int argc, const char* const* argv) {
    TCLAP::CmdLine cmd("orvex library benchmark: compare various implementations of a <func>", ' ', "none");
    TCLAP::ValueArg<std::string> func("", "func", "The function to test, default is exp", false, "exp",
                                      "exp|log|sigm|tanh", cmd);
    TCLAP::ValueArg<CountValue> vecs("", "vecs", "Number of vectors in the test, default 500000", false, 500000,
                                     "N", cmd);
    TCLAP::ValueArg<CountValue> iters("", "iters", "Number of iterations to run benchmark, default 5", false, 5,
                                      "N", cmd);
    TCLAP::ValueArg<CountValue> size("", "size", "Vector size in elements, default 160", false, 160, "N", cmd);
    TCLAP::ValueArg<CountValue> alignment(
        "", "alignment",
        "Misalign values by Offset from 32 byte boundary (natural alignment required), default 0", false, 0,
        "Offset", cmd);
    TCLAP::SwitchArg nodenorm("", "nodenorm", "Do not honor denormals (faster)", cmd);
    TCLAP::SwitchArg useDouble("", "double", "Use double precision, dafault is single precision", cmd);

    std::vector<std::string> args(argv, argv + argc);
    cmd.parse(args);

    BenchOptions options;
    options.func = func.getValue();
    options.vecs = vecs.getValue().value;
    options.iters = iters.getValue().value;
    options.size = size.getValue().value;
    options.alignment = alignment.getValue().value;
    options.nodenorm = nodenorm.getValue();
    options.useDouble = useDouble.getValue();
    return options;
}

}  // namespace NOrvexBench
