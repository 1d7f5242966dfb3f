// The built bench and accuracy programs fed bad command lines: negative numbers, numbers beyond
// 64 bits, non-numbers, empty values, repeated and unknown options, sizes that cannot exist, and
// the valid extremes next to them. Every run must end by itself within the time limit, by a
// normal exit and never a signal, with the status of its case: 0 for a run, 1 with TCLAP's parse
// error, or 1 with the program's own one-line message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "orvex/orvex.h"
#include "support/run_program.h"

namespace {

constexpr int kTimeLimitSeconds = 20;
// A sanitizer report ends the child with this status instead of its default 1, which would pass
// for the programs' own error status.
constexpr int kSanitizerStatus = 99;

using NOrvexTest::ProgramRun;

// The sanitizers' options of this process with their exit status set.
std::vector<std::string> SanitizerStatus() {
    std::vector<std::string> env;
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        const char* options = std::getenv(name);
        const std::string kept = options != nullptr && *options != '\0' ? std::string(options) + ":" : "";
        env.push_back(std::string(name) + "=" + kept + "exitcode=" + std::to_string(kSanitizerStatus));
    }
    return env;
}

// Runs the program with the time limit and the sanitizers' status.
ProgramRun RunLimited(const char* program, const std::vector<std::string>& args) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    NOrvexTest::RunOptions options;
    options.extraEnv = SanitizerStatus();
    options.timeoutSeconds = kTimeLimitSeconds;
    const ProgramRun run = NOrvexTest::RunProgram(program, argv, options);
    if (!run.started) {
        ADD_FAILURE() << run;
    }
    return run;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

enum class Expect {
    Run,    // status 0
    Tclap,  // status 1, TCLAP's parse error on stderr, nothing on stdout
    Own,    // status 1, the program's own message as the last and only line after its data line
};

struct Case {
    std::vector<std::string> args;
    Expect expect;
    std::string message;  // Own: how the line begins
};

// What every case must show, whatever its kind: an end of its own, by exit.
void ExpectCleanEnd(const ProgramRun& o) {
    ASSERT_FALSE(o.timedOut) << "hang: still running after " << kTimeLimitSeconds << " s\n" << o.err;
    ASSERT_TRUE(o.exited) << "killed by signal " << o.signal << "\n" << o.err;
    ASSERT_NE(o.status, kSanitizerStatus) << "sanitizer report\n" << o.err;
}

// The lines of bench's stderr after its AVX2 notice (printed first on a processor without AVX2).
std::vector<std::string> BenchErrLines(const ProgramRun& o) {
    std::vector<std::string> lines = Lines(o.err);
    if (!lines.empty() && lines[0] == "AVX2 versions won't run: no HW support") lines.erase(lines.begin());
    return lines;
}

const std::string kOverflow = "99999999999999999999999";
const std::string kTwoTo64 = "18446744073709551616";
const std::string kLargest = "18446744073709551615";

TEST(BadInput, Bench) {
    if (!NOrvex::HaveAvx()) GTEST_SKIP() << "bench only ever answers that it needs AVX here";
    const std::string func = "requirement isExp || isLog || isSigm || isTanh failed";
    const std::string alloc = "cannot allocate the buffers: ";
    const std::vector<Case> cases = {
        // Negative numbers: a stream would wrap them to nearly 2^64 (--iters -3 then never ends).
        {{"--vecs", "-5"}, Expect::Tclap, ""},
        {{"--vecs", "-1"}, Expect::Tclap, ""},
        {{"--iters", "-3", "--vecs", "1", "--size", "1"}, Expect::Tclap, ""},
        {{"--size", "-1", "--vecs", "1"}, Expect::Tclap, ""},
        {{"--alignment", "-4", "--vecs", "1"}, Expect::Tclap, ""},
        // Beyond 64 bits, and not numbers at all.
        {{"--vecs", kOverflow}, Expect::Tclap, ""},
        {{"--size", kTwoTo64, "--vecs", "1"}, Expect::Tclap, ""},
        {{"--iters", "abc"}, Expect::Tclap, ""},
        {{"--size", "1e3"}, Expect::Tclap, ""},
        {{"--vecs", "0x10"}, Expect::Tclap, ""},
        {{"--iters", "5x"}, Expect::Tclap, ""},
        {{"--alignment", "4.0"}, Expect::Tclap, ""},
        // Empty values: a stream leaves the default in place (--vecs "" ran all 500000 vectors).
        {{"--vecs", ""}, Expect::Tclap, ""},
        {{"--iters", "", "--vecs", "1"}, Expect::Tclap, ""},
        {{"--size", "", "--vecs", "1"}, Expect::Tclap, ""},
        {{"--alignment", "", "--vecs", "1"}, Expect::Tclap, ""},
        {{"--func", ""}, Expect::Own, func},
        // Repeated, unknown, incomplete and stray arguments.
        {{"--func", "exp", "--func", "log"}, Expect::Tclap, ""},
        {{"--vecs", "1", "--vecs", "2"}, Expect::Tclap, ""},
        {{"--double", "--double", "--vecs", "1"}, Expect::Tclap, ""},
        {{"--bogus"}, Expect::Tclap, ""},
        {{"--vecs"}, Expect::Tclap, ""},
        {{"-x"}, Expect::Tclap, ""},
        {{"extra"}, Expect::Tclap, ""},
        // Sizes that cannot exist are refused before any allocation.
        {{"--size", "4611686018427387904", "--vecs", "1"}, Expect::Own, alloc},
        {{"--vecs", "1099511627776"}, Expect::Own, alloc},
        {{"--vecs", kLargest}, Expect::Own, alloc},
        {{"--size", kLargest, "--vecs", "1", "--double"}, Expect::Own, alloc},
        {{"--size", kLargest, "--vecs", "0"}, Expect::Own, alloc},
        {{"--vecs", "4294967296", "--size", "4294967296", "--func", "tanh"}, Expect::Own, alloc},
        {{"--alignment", kLargest}, Expect::Own, "requirement alignment < 32 failed"},
        {{"--alignment", "33", "--func", "cosh"}, Expect::Own, func},
        {{"--alignment", "12", "--double", "--vecs", "1"}, Expect::Own, "requirement on natural alignment failed"},
        // The valid extremes next to them run and end.
        {{"--vecs", "0"}, Expect::Run, ""},
        {{"--vecs", "2", "--size", "0", "--iters", "0", "--func", "log"}, Expect::Run, ""},
        {{"--vecs", "3", "--size", "7", "--iters", "1", "--alignment", "24", "--double", "--nodenorm"}, Expect::Run, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ProgramRun o = RunLimited(ORVEX_BENCH_PATH, c.args);
        ExpectCleanEnd(o);
        const std::vector<std::string> lines = BenchErrLines(o);
        EXPECT_EQ(o.out, "") << o;  // bench reports on stderr only
        switch (c.expect) {
            case Expect::Run:
                EXPECT_EQ(o.status, 0) << o;
                EXPECT_NE(o.err.find("\nRunning\n"), std::string::npos) << o;
                break;
            case Expect::Tclap:
                EXPECT_EQ(o.status, 1) << o;
                ASSERT_FALSE(lines.empty()) << o;
                EXPECT_TRUE(StartsWith(lines[0], "PARSE ERROR:")) << o;
                EXPECT_EQ(o.err.find("Preparing data"), std::string::npos) << o;
                break;
            case Expect::Own:
                EXPECT_EQ(o.status, 1) << o;
                // At most the data line before the message, which is the last line.
                ASSERT_FALSE(lines.empty()) << o;
                EXPECT_LE(lines.size(), 2u) << o;
                if (lines.size() == 2) {
                    EXPECT_TRUE(StartsWith(lines[0], "Preparing data. ")) << o;
                }
                EXPECT_TRUE(StartsWith(lines.back(), c.message)) << o;
                break;
        }
    }
}

TEST(BadInput, Accuracy) {
    const std::string arch = "requirement arch == \"plain\" || arch == \"avx2\" || arch == \"avx\" failed";
    const std::string func = "requirement func == \"exp\" || func == \"log\" || func == \"sigm\" || func == \"tanh\" failed";
    const std::vector<Case> cases = {
        // Negative counts: a stream would wrap -1 to 2^64 - 1 and report an error of 0 for no point.
        {{"--func", "exp", "--count", "-1"}, Expect::Tclap, ""},
        {{"--func", "exp", "-c", "-5"}, Expect::Tclap, ""},
        // Beyond 64 bits or beyond float, and not numbers at all.
        {{"--func", "exp", "--count", kOverflow}, Expect::Tclap, ""},
        {{"--func", "exp", "--count", kTwoTo64}, Expect::Tclap, ""},
        {{"--func", "exp", "--min", "-1e39"}, Expect::Tclap, ""},
        {{"--func", "exp", "--count", "abc"}, Expect::Tclap, ""},
        {{"--func", "exp", "--count", "2.5"}, Expect::Tclap, ""},
        {{"--func", "exp", "--min", "-x"}, Expect::Tclap, ""},
        {{"--func", "exp", "--min", "nanx"}, Expect::Tclap, ""},
        {{"--func", "exp", "--min", "nan"}, Expect::Tclap, ""},
        {{"--func", "exp", "--max", "inf"}, Expect::Tclap, ""},
        {{"--func", "exp", "--max", "1.5.2"}, Expect::Tclap, ""},
        // Empty values: a stream leaves the default in place.
        {{"--func", "exp", "--count", ""}, Expect::Tclap, ""},
        {{"--func", "exp", "--min", ""}, Expect::Tclap, ""},
        {{"--func", "exp", "--max", ""}, Expect::Tclap, ""},
        {{"--func", ""}, Expect::Own, func},
        {{"--func", "exp", "--arch", ""}, Expect::Own, arch},
        // Repeated, unknown, missing and incomplete arguments.
        {{"--func", "exp", "--func", "log"}, Expect::Tclap, ""},
        {{"--func", "exp", "-c", "1", "--count", "2"}, Expect::Tclap, ""},
        {{"--func", "exp", "--print", "--print"}, Expect::Tclap, ""},
        {{"--func", "exp", "--bogus"}, Expect::Tclap, ""},
        {{}, Expect::Tclap, ""},
        {{"--func"}, Expect::Tclap, ""},
        {{"--func", "exp", "stray"}, Expect::Tclap, ""},
        {{"--func", "cosh", "--arch", "avx3"}, Expect::Own, arch},
        // The valid extremes end at once: the largest count evaluates no point at all.
        {{"--func", "exp", "--arch", "plain", "--count", kLargest, "--print"}, Expect::Run, ""},
        {{"--func", "log", "--arch", "plain", "--count", "0", "--print"}, Expect::Run, ""},
        {{"--func", "tanh", "--arch", "plain", "--min", "-3.4e38", "--max", "3.4e38", "--count", "4", "--print"},
         Expect::Run, ""},
        {{"--func", "sigm", "--arch", "plain", "--min", "5", "--max", "-5", "--count", "3", "--double"}, Expect::Run, ""},
        {{"--func", "exp", "--arch", "plain", "--min", "1e-50", "--max", "1e-50", "--count", "2", "--nodenorm"},
         Expect::Run, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ProgramRun o = RunLimited(ORVEX_ACCURACY_PATH, c.args);
        ExpectCleanEnd(o);
        const std::vector<std::string> err = Lines(o.err);
        switch (c.expect) {
            case Expect::Run: {
                EXPECT_EQ(o.status, 0) << o;
                EXPECT_EQ(o.err, "") << o;
                const std::vector<std::string> out = Lines(o.out);
                ASSERT_FALSE(out.empty()) << o;
                EXPECT_TRUE(StartsWith(out.back(), "Maximum relative error: ")) << o;
                break;
            }
            case Expect::Tclap:
                EXPECT_EQ(o.status, 1) << o;
                EXPECT_EQ(o.out, "") << o;
                ASSERT_FALSE(err.empty()) << o;
                EXPECT_TRUE(StartsWith(err[0], "PARSE ERROR:")) << o;
                break;
            case Expect::Own:
                EXPECT_EQ(o.status, 1) << o;
                EXPECT_EQ(o.out, "") << o;
                EXPECT_EQ(err, std::vector<std::string>{c.message}) << o;
                break;
        }
    }
}

}  // namespace
