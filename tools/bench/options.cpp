#include "options.h"

#include <tclap/CmdLine.h>

#include <cstdint>
#include <string>
#include <vector>

#include "option_values.h"

namespace NOrvexBench {

using NOrvexTools::CountValue;

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
