// ulp: the largest error of one orvex kernel in units in the last place, over every float input
// or over sampled double inputs, against a correctly rounded (double: MPFR) or far more precise
// (float: the system library in double precision) reference.
#include <tclap/CmdLine.h>

#include <cstdint>
#include <exception>
#include <iostream>
#include <string>
#include <thread>

#include "measure.h"
#include "option_values.h"
#include "orvex_kernels.h"
#include "progress.h"
#include "report.h"

namespace {

using namespace NOrvexUlp;
using NOrvexTools::CountValue;

// Sampled double inputs unless --samples says otherwise.
constexpr std::uint64_t kDefaultDoubleSamples = 4000000;
constexpr std::uint64_t kMaxThreads = 1024;

struct UlpOptions {
    std::string func;
    std::string arch;
    bool exact = false;
    bool isDouble = false;
    bool sampled = false;        // --samples given
    std::uint64_t samples = 0;
    std::uint64_t threads = 1;
    bool json = false;
};

std::string ArchList(const char* separator) {
    std::string list;
    for (const Tier& tier : Tiers()) list += (list.empty() ? "" : separator) + std::string(tier.arch);
    return list;
}

UlpOptions ParseCommandLine(int argc, char** argv) {
    TCLAP::CmdLine cmd("Largest error in units in the last place of one kernel: every float input, or sampled "
                       "double inputs",
                       ' ', "none");
    TCLAP::ValueArg<std::string> func("", "func", "exp or log or sigm or tanh", true, "exp", "exp|log|sigm|tanh", cmd);
    const std::string archs = ArchList("|");
    TCLAP::ValueArg<std::string> arch("", "arch", "Kernel tier: " + ArchList(" or "), true, "avx2", archs, cmd);
    TCLAP::SwitchArg exact("", "exact", "Use the exact variant", cmd, false);
    TCLAP::SwitchArg isDouble("", "double", "Double precision (sampled inputs); single precision by default", cmd,
                              false);
    TCLAP::ValueArg<CountValue> samples(
        "", "samples",
        "Number of inputs: special and boundary values, then uniform bit patterns and uniform values of the useful "
        "range; default all 2^32 floats, or " + std::to_string(kDefaultDoubleSamples) + " doubles",
        false, 0, "N", cmd);
    const unsigned hardware = std::thread::hardware_concurrency();
    TCLAP::ValueArg<CountValue> threads("", "threads",
                                        "Worker threads, 1 to " + std::to_string(kMaxThreads) +
                                            "; default the number of hardware threads",
                                        false, hardware == 0 ? 1 : hardware, "T", cmd);
    TCLAP::SwitchArg json("", "json", "One line of JSON instead of the report", cmd, false);
    // Syntax errors, --help and --version are reported by TCLAP, which ends the process.
    cmd.parse(argc, argv);

    UlpOptions options;
    options.func = func.getValue();
    options.arch = arch.getValue();
    options.exact = exact.getValue();
    options.isDouble = isDouble.getValue();
    options.sampled = samples.isSet();
    options.samples = samples.getValue().value;
    options.threads = threads.getValue().value;
    options.json = json.getValue();
    return options;
}

// A validation failure: one line on stderr, status 1.
int Fail(const std::string& condition) {
    std::cerr << "requirement " << condition << " failed" << std::endl;
    return 1;
}

template <class T> int Run(const UlpOptions& options, EFunction f, const Tier& tier) {
    InputSet<T> inputs;
    if constexpr (std::is_same_v<T, float>) {
        inputs = options.sampled ? Samples<float>(f, options.samples) : AllFloats();
    } else {
        inputs = Samples<double>(f, options.sampled ? options.samples : kDefaultDoubleSamples);
    }
    ProgressBar bar("ulp");
    const std::vector<UlpStats> stats =
        Measure<T>(f, inputs, {tier.Kernel<T>(f, options.exact)}, static_cast<unsigned>(options.threads),
                   [&bar](std::uint64_t done, std::uint64_t total) { bar.Update(done, total); });
    bar.Finish();
    RunLabel label;
    label.func = options.func;
    label.isDouble = options.isDouble;
    label.arch = options.arch;
    label.exact = options.exact;
    std::cout << (options.json ? JsonLine(label, stats[0]) : Readable(label, stats[0])) << std::flush;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const UlpOptions options = ParseCommandLine(argc, argv);

    const Tier* tier = FindTier(options.arch);
    if (tier == nullptr) {
        std::string condition;
        for (const Tier& t : Tiers()) condition += (condition.empty() ? "" : " || ") + std::string("arch == \"") + t.arch + "\"";
        return Fail(condition);
    }
    EFunction f;
    if (!FunctionOf(options.func, f)) {
        return Fail("func == \"exp\" || func == \"log\" || func == \"sigm\" || func == \"tanh\"");
    }
    if (options.threads < 1 || options.threads > kMaxThreads) {
        return Fail("threads >= 1 && threads <= " + std::to_string(kMaxThreads));
    }
    // A vector kernel on a processor without its instruction set would die of SIGILL.
    if (!tier->supported()) return Fail(tier->requirement);

    try {
        return options.isDouble ? Run<double>(options, f, *tier) : Run<float>(options, f, *tier);
    } catch (const std::exception& e) {
        std::cerr << "ulp: cannot run the measurement: " << e.what() << std::endl;
        return 1;
    }
}
