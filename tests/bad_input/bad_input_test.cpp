// The built bench and accuracy programs fed bad command lines: negative numbers, numbers beyond
// 64 bits, non-numbers, empty values, repeated and unknown options, sizes that cannot exist, and
// the valid extremes next to them. Every run must end by itself within the time limit, by a
// normal exit and never a signal, with the status of its case: 0 for a run, 1 with TCLAP's parse
// error, or 1 with the program's own one-line message.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "orvex/orvex.h"

extern char** environ;

namespace {

constexpr int kTimeLimitSeconds = 20;
// A sanitizer report ends the child with this status instead of its default 1, which would pass
// for the programs' own error status.
constexpr int kSanitizerStatus = 99;

struct Outcome {
    bool exited = false;  // a normal exit, not a signal
    int status = -1;      // exit status, or the signal number
    bool hung = false;    // killed at the time limit
    std::string out;
    std::string err;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string TempFile(const char* what) {
    std::string path = ::testing::TempDir() + "bad_input_" + what + "_XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd >= 0) close(fd);
    return path;
}

// This process's environment with the sanitizers' exit status set.
std::vector<std::string> ChildEnvironment() {
    std::vector<std::string> env;
    std::string asan = "ASAN_OPTIONS=";
    std::string ubsan = "UBSAN_OPTIONS=";
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind(asan, 0) == 0) {
            asan = entry + ":";
        } else if (entry.rfind(ubsan, 0) == 0) {
            ubsan = entry + ":";
        } else {
            env.push_back(entry);
        }
    }
    const std::string exitcode = "exitcode=" + std::to_string(kSanitizerStatus);
    env.push_back(asan + exitcode);
    env.push_back(ubsan + exitcode);
    return env;
}

Outcome RunProgram(const char* program, const std::vector<std::string>& args) {
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = ChildEnvironment();
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);

    const std::string outPath = TempFile("out");
    const std::string errPath = TempFile("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_TRUNC, 0);
    pid_t pid;
    Outcome outcome;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(spawned);
        return outcome;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kTimeLimitSeconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            outcome.hung = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    outcome.exited = WIFEXITED(status);
    outcome.status = outcome.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    outcome.out = ReadAll(outPath);
    outcome.err = ReadAll(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return outcome;
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
void ExpectCleanEnd(const Outcome& o) {
    ASSERT_FALSE(o.hung) << "hang: still running after " << kTimeLimitSeconds << " s\n" << o.err;
    ASSERT_TRUE(o.exited) << "killed by signal " << o.status << "\n" << o.err;
    ASSERT_NE(o.status, kSanitizerStatus) << "sanitizer report\n" << o.err;
}

// The lines of bench's stderr after its AVX2 notice (printed first on a processor without AVX2).
std::vector<std::string> BenchErrLines(const Outcome& o) {
    std::vector<std::string> lines = Lines(o.err);
    if (!lines.empty() && lines[0] == "AVX2 versions won't run: no HW support") lines.erase(lines.begin());
    return lines;
}

std::string Show(const Outcome& o) {
    return "status " + std::to_string(o.status) + "\n--- stdout\n" + o.out.substr(0, 2000) + "--- stderr\n" +
           o.err.substr(0, 2000) + "---";
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
        const Outcome o = RunProgram(ORVEX_BENCH_PATH, c.args);
        ExpectCleanEnd(o);
        const std::vector<std::string> lines = BenchErrLines(o);
        EXPECT_EQ(o.out, "") << Show(o);  // bench reports on stderr only
        switch (c.expect) {
            case Expect::Run:
                EXPECT_EQ(o.status, 0) << Show(o);
                EXPECT_NE(o.err.find("\nRunning\n"), std::string::npos) << Show(o);
                break;
            case Expect::Tclap:
                EXPECT_EQ(o.status, 1) << Show(o);
                ASSERT_FALSE(lines.empty()) << Show(o);
                EXPECT_TRUE(StartsWith(lines[0], "PARSE ERROR:")) << Show(o);
                EXPECT_EQ(o.err.find("Preparing data"), std::string::npos) << Show(o);
                break;
            case Expect::Own:
                EXPECT_EQ(o.status, 1) << Show(o);
                // At most the data line before the message, which is the last line.
                ASSERT_FALSE(lines.empty()) << Show(o);
                EXPECT_LE(lines.size(), 2u) << Show(o);
                if (lines.size() == 2) {
                    EXPECT_TRUE(StartsWith(lines[0], "Preparing data. ")) << Show(o);
                }
                EXPECT_TRUE(StartsWith(lines.back(), c.message)) << Show(o);
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
        const Outcome o = RunProgram(ORVEX_ACCURACY_PATH, c.args);
        ExpectCleanEnd(o);
        const std::vector<std::string> err = Lines(o.err);
        switch (c.expect) {
            case Expect::Run: {
                EXPECT_EQ(o.status, 0) << Show(o);
                EXPECT_EQ(o.err, "") << Show(o);
                const std::vector<std::string> out = Lines(o.out);
                ASSERT_FALSE(out.empty()) << Show(o);
                EXPECT_TRUE(StartsWith(out.back(), "Maximum relative error: ")) << Show(o);
                break;
            }
            case Expect::Tclap:
                EXPECT_EQ(o.status, 1) << Show(o);
                EXPECT_EQ(o.out, "") << Show(o);
                ASSERT_FALSE(err.empty()) << Show(o);
                EXPECT_TRUE(StartsWith(err[0], "PARSE ERROR:")) << Show(o);
                break;
            case Expect::Own:
                EXPECT_EQ(o.status, 1) << Show(o);
                EXPECT_EQ(o.out, "") << Show(o);
                EXPECT_EQ(err, std::vector<std::string>{c.message}) << Show(o);
                break;
        }
    }
}

}  // namespace
