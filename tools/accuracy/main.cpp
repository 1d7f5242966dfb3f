// accuracy: measures the relative error of one kernel against the system mathematics library
// on count + 1 evenly spaced points of [min, max].
#include <tclap/CmdLine.h>
#include <xmmintrin.h>

#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>

#include "accuracy.h"
#include "option_values.h"
#include "orvex/orvex.h"

namespace {

using NOrvexTools::CountValue;
using NOrvexTools::FloatValue;

AccuracyOptions ParseCommandLine(int argc, char** argv) {
    TCLAP::CmdLine cmd("Compute <count> values of a <func> in [<min>, <max>] interval", ' ', "none");
    // Required although it has a default: the default only shows in the usage text.
    TCLAP::ValueArg<std::string> func("", "func", "exp or log or sigm or tanh", true, "exp", "exp|log|sigm|tanh",
                                      cmd);
    TCLAP::ValueArg<FloatValue> min("", "min", "Lower boundary of an interval, default is -100.0", false, -100.0f,
                                    "FLOAT", cmd);
    TCLAP::ValueArg<FloatValue> max("", "max", "Upper boundary of an interval, default is 100.0", false, 100.0f,
                                    "FLOAT", cmd);
    TCLAP::ValueArg<CountValue> count("c", "count", "Number of values to compute, default is 1000", false, 1000,
                                      "N", cmd);
    TCLAP::ValueArg<std::string> arch("", "arch", "Target archicture: plain or avx or avx2, default is avx2", false,
                                      "avx2", "plain|avx|avx2", cmd);
    TCLAP::SwitchArg exact("", "exact", "Use exact version (slower)", cmd, false);
    TCLAP::SwitchArg nodenorm("", "nodenorm", "Don't honor denormals", cmd, false);
    TCLAP::SwitchArg doublePrecision("", "double", "Use double precision, single precision is used by default", cmd,
                                     false);
    TCLAP::SwitchArg print("", "print", "", cmd, false);
    // Syntax errors, --help and --version are reported by TCLAP, which ends the process.
    cmd.parse(argc, argv);

    AccuracyOptions options;
    options.func = func.getValue();
    options.min = min.getValue().value;
    options.max = max.getValue().value;
    options.count = count.getValue().value;
    options.arch = arch.getValue();
    options.exact = exact.getValue();
    options.nodenorm = nodenorm.getValue();
    options.doublePrecision = doublePrecision.getValue();
    options.print = print.getValue();
    return options;
}

void SetMxcsrBit(unsigned bit) {
    _mm_setcsr(_mm_getcsr() | bit);
}

// A validation failure: one line on stderr, status 1.
int Fail(const char* condition) {
    std::cerr << "requirement " << condition << " failed" << std::endl;
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const AccuracyOptions options = ParseCommandLine(argc, argv);
    if (options.nodenorm) {
        SetMxcsrBit(0x8000);  // flush-to-zero
        SetMxcsrBit(0x40);    // denormals-are-zero
    }

    const std::string& arch = options.arch;
    if (!(arch == "plain" || arch == "avx2" || arch == "avx")) {
        return Fail("arch == \"plain\" || arch == \"avx2\" || arch == \"avx\"");
    }
    const std::string& func = options.func;
    if (!(func == "exp" || func == "log" || func == "sigm" || func == "tanh")) {
        return Fail("func == \"exp\" || func == \"log\" || func == \"sigm\" || func == \"tanh\"");
    }
    // A vector kernel on a processor without its instruction set would die of SIGILL.
    if (arch == "avx2" && !NOrvex::HaveAvx2()) {
        return Fail("AVX2 and FMA3 supported by this processor");
    }
    if (arch == "avx" && !NOrvex::HaveAvx()) {
        return Fail("AVX supported by this processor");
    }

    Evaluate(options, std::cout);
    return 0;
}
