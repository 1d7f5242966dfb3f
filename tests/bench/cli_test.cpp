// Runs the built bench program and checks its exact standard error and exit status: the data
// line, "Running", every row label in order (times by pattern), the rows left out by their
// conditions, the validation and allocation messages, and TCLAP's own answers. The emulated
// cases run it under qemu as an AVX-only and as a baseline processor.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "orvex/orvex.h"
#include "support/run_program.h"
#include "text_match.h"

namespace {

// ---- running the program ----

using NOrvexTest::ProgramRun;

std::vector<std::string> Words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

// Runs wrapper + bench + args.
ProgramRun RunBench(const std::vector<std::string>& wrapper, const std::vector<std::string>& args, int timeoutSeconds = 120) {
    std::vector<std::string> command = wrapper;
    command.push_back(ORVEX_BENCH_PATH);
    command.insert(command.end(), args.begin(), args.end());
    NOrvexTest::RunOptions options;
    options.timeoutSeconds = timeoutSeconds;
    const ProgramRun run = NOrvexTest::RunProgram(command[0], command, options);
    if (!run.started) {
        ADD_FAILURE() << run;
    }
    return run;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));  // an unterminated last line
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// ---- what the report must hold ----

enum class ECond { Always, FmathExp, FmathLog, Avx2 };

struct RowSpec {
    const char* label;
    ECond cond;
};

const std::map<std::string, std::vector<RowSpec>>& RowTables() {
    static const std::map<std::string, std::vector<RowSpec>> tables = {
        {"exp",
         {{"slow exp", ECond::Always},
          {"plain fast exp", ECond::Always},
          {"fmath exp", ECond::FmathExp},
          {"avx fast exp", ECond::Always},
          {"avx fast exact exp", ECond::Always},
          {"dispatched fast exp", ECond::Always},
          {"avx2 fast exp", ECond::Avx2},
          {"avx2 fast exact exp", ECond::Avx2}}},
        {"log",
         {{"slow log", ECond::Always},
          {"plain fast log", ECond::Always},
          {"fmath log", ECond::FmathLog},
          {"avx fast log", ECond::Always},
          {"dispatched fast log", ECond::Always},
          {"avx fast exact log", ECond::Always},
          {"avx2 fast log", ECond::Avx2},
          {"avx2 fast exact log", ECond::Avx2}}},
        {"sigm",
         {{"slow sigmoid", ECond::Always},
          {"plain fast sigmoid", ECond::Always},
          {"avx fast sigmoid", ECond::Always},
          {"avx fast exact sigmoid", ECond::Always},
          {"dispatched fast sigmoid", ECond::Always},
          {"avx2 fast sigmoid", ECond::Avx2},
          {"avx2 fast exact sigmoid", ECond::Avx2}}},
        {"tanh",
         {{"slow tanh", ECond::Always},
          {"plain fast tanh", ECond::Always},
          {"avx fast tanh", ECond::Always},
          {"avx fast exact tanh", ECond::Always},
          {"dispatched fast tanh", ECond::Always},
          {"avx2 fast tanh", ECond::Avx2},
          {"avx2 fast exact tanh", ECond::Avx2}}},
    };
    return tables;
}

struct Request {
    std::string func = "exp";
    bool isDouble = false;
    std::uint64_t vecs = 3;
    std::uint64_t iters = 2;
    std::uint64_t size = 160;
    std::uint64_t alignment = 0;
    std::vector<std::string> extra;

    std::vector<std::string> Args() const {
        std::vector<std::string> args = {"--func", func, "--vecs", std::to_string(vecs), "--iters",
                                         std::to_string(iters), "--size", std::to_string(size), "--alignment",
                                         std::to_string(alignment)};
        if (isDouble) {
            args.push_back("--double");
        }
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
};

std::string DataLine(std::uint64_t size, std::uint64_t vecs, std::uint64_t iters) {
    return "Preparing data. Vector size: " + std::to_string(size) + "\tnumber of vectors: " + std::to_string(vecs) +
           "\tnumber of tries: " + std::to_string(iters);
}

struct ExpectedRow {
    std::string label;
    bool timed;  // false: "no tries"
};

std::vector<ExpectedRow> ExpectedRows(const Request& r, bool avx2) {
    std::vector<ExpectedRow> rows;
    for (const RowSpec& wanted : RowTables().at(r.func)) {
        const bool shown = wanted.cond == ECond::Always ||
                           (wanted.cond == ECond::FmathExp && r.size % 4 == 0 && (r.alignment == 0 || r.alignment == 16)) ||
                           (wanted.cond == ECond::FmathLog && r.size % 4 == 0) || (wanted.cond == ECond::Avx2 && avx2);
        if (!shown) {
            continue;
        }
        const bool reference = rows.empty();
        rows.push_back({wanted.label, reference || r.iters > 0});
    }
    return rows;
}

// Checks the whole standard error of a completed run: the head lines exactly, then one line
// per row with its label and a time or "no tries".
void ExpectReport(const ProgramRun& outcome, const std::vector<std::string>& head, const std::vector<ExpectedRow>& rows) {
    ASSERT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    ASSERT_FALSE(outcome.err.empty());
    EXPECT_EQ(outcome.err.back(), '\n');
    const std::vector<std::string> lines = Lines(outcome.err);
    ASSERT_EQ(lines.size(), head.size() + rows.size()) << outcome.err;
    for (size_t i = 0; i < head.size(); ++i) {
        EXPECT_EQ(lines[i], head[i]) << "line " << i;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string& line = lines[head.size() + i];
        const std::string prefix = rows[i].label + ": ";
        ASSERT_EQ(line.substr(0, prefix.size()), prefix) << outcome.err;
        const std::string rest = line.substr(prefix.size());
        if (rows[i].timed) {
            EXPECT_TRUE(NOrvexBenchTest::IsTimeText(rest)) << line;
        } else {
            EXPECT_EQ(rest, "no tries") << line;
        }
    }
}

const char kAvx2Message[] = "AVX2 versions won't run: no HW support";
const char kAvxMessage[] = "At least AVX support is required to run this code. Exiting.";

// The lines the program prints on this processor before anything else.
std::vector<std::string> NativeHead() {
    std::vector<std::string> head;
    if (!NOrvex::HaveAvx2()) {
        head.push_back(kAvx2Message);
    }
    return head;
}

void ExpectRun(const std::vector<std::string>& wrapper, bool avx2, const Request& r) {
    SCOPED_TRACE(::testing::PrintToString(r.Args()));
    std::vector<std::string> head = avx2 ? std::vector<std::string>{} : std::vector<std::string>{kAvx2Message};
    head.push_back(DataLine(r.size, r.vecs, r.iters));
    head.push_back("Running");
    ExpectReport(RunBench(wrapper, r.Args()), head, ExpectedRows(r, avx2));
}

class BenchProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (!NOrvex::HaveAvx()) {
            GTEST_SKIP() << "this processor cannot run bench";
        }
    }
    static bool Avx2() { return NOrvex::HaveAvx2(); }
};

// ---- reports ----

TEST_F(BenchProgram, EveryFunctionInBothPrecisions) {
    for (const char* func : {"exp", "log", "sigm", "tanh"}) {
        for (bool isDouble : {false, true}) {
            Request r;
            r.func = func;
            r.isDouble = isDouble;
            ExpectRun({}, Avx2(), r);
        }
    }
}

TEST_F(BenchProgram, DefaultsAreSinglePrecisionExp) {
    std::vector<std::string> head = NativeHead();
    head.push_back(DataLine(160, 2, 5));
    head.push_back("Running");
    Request r;
    r.iters = 5;
    ExpectReport(RunBench({}, {"--vecs", "2"}), head, ExpectedRows(r, Avx2()));
    ExpectReport(RunBench({}, {"--vecs", "2", "--nodenorm"}), head, ExpectedRows(r, Avx2()));
}

TEST_F(BenchProgram, RowsLeftOutByTheirConditions) {
    // fmath exp needs a size that is a multiple of 4 and an offset of 0 or 16; fmath log only
    // the size.
    const struct {
        const char* func;
        bool isDouble;
        std::uint64_t size;
        std::uint64_t alignment;
    } cases[] = {
        {"exp", false, 160, 4},  {"exp", false, 8, 16},  {"exp", false, 160, 8},  {"exp", false, 162, 0},
        {"exp", true, 160, 16},  {"exp", true, 160, 8},  {"exp", true, 6, 0},     {"log", false, 162, 0},
        {"log", false, 160, 4},  {"log", true, 6, 24},   {"log", true, 12, 8},    {"sigm", false, 5, 12},
        {"tanh", true, 7, 16},
    };
    for (const auto& c : cases) {
        Request r;
        r.func = c.func;
        r.isDouble = c.isDouble;
        r.size = c.size;
        r.alignment = c.alignment;
        ExpectRun({}, Avx2(), r);
    }
}

TEST_F(BenchProgram, NoVectorsAndEmptyVectors) {
    // With --size 0 the check reads the first element in the spare bytes, at the largest offsets.
    for (const char* func : {"exp", "log", "sigm", "tanh"}) {
        for (bool isDouble : {false, true}) {
            Request none;
            none.func = func;
            none.isDouble = isDouble;
            none.vecs = 0;
            ExpectRun({}, Avx2(), none);
            Request empty = none;
            empty.vecs = 3;
            empty.size = 0;
            empty.alignment = isDouble ? 24 : 28;
            ExpectRun({}, Avx2(), empty);
        }
    }
}

TEST_F(BenchProgram, ZeroAndOneTries) {
    for (const char* func : {"exp", "log", "sigm", "tanh"}) {
        Request r;
        r.func = func;
        r.iters = 0;
        ExpectRun({}, Avx2(), r);  // only the reference row has a time
        r.iters = 1;
        r.isDouble = true;
        ExpectRun({}, Avx2(), r);
    }
}

// ---- failures ----

struct FailureCase {
    std::vector<std::string> args;
    std::vector<std::string> lines;  // after the processor lines; '#' stands for a number
    int status;
};

void ExpectFailure(const std::vector<std::string>& wrapper, const std::vector<std::string>& head,
                   const FailureCase& c) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const auto start = std::chrono::steady_clock::now();
    const ProgramRun outcome = RunBench(wrapper, c.args, 60);
    ASSERT_FALSE(outcome.timedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << "a failure should be quick";
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.out, "");
    std::vector<std::string> expected = head;
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    const std::vector<std::string> lines = Lines(outcome.err);
    ASSERT_EQ(lines.size(), expected.size()) << outcome.err;
    EXPECT_EQ(outcome.err.back(), '\n');
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(NOrvexBenchTest::MatchesWithNumbers(lines[i], expected[i]))
            << "got      " << lines[i] << "\nexpected " << expected[i];
    }
}

TEST_F(BenchProgram, ValidationMessagesAndStatus) {
    const std::string func = "requirement isExp || isLog || isSigm || isTanh failed";
    const std::string below32 = "requirement alignment < 32 failed";
    const std::string natural = "requirement on natural alignment failed: alignment should be multiple of ";
    const FailureCase cases[] = {
        {{"--func", "cosh"}, {func}, 1},
        {{"--func", "EXP"}, {func}, 1},
        {{"--func", ""}, {func}, 1},
        {{"--func", "cosh", "--alignment", "40"}, {func}, 1},
        {{"--alignment", "40", "--vecs", "2"}, {DataLine(160, 2, 5), below32}, 1},
        {{"--alignment", "32", "--vecs", "2", "--func", "log"}, {DataLine(160, 2, 5), below32}, 1},
        {{"--alignment", "33", "--double", "--vecs", "2"}, {DataLine(160, 2, 5), below32}, 1},
        {{"--alignment", "4", "--double", "--vecs", "2"}, {DataLine(160, 2, 5), natural + "8"}, 1},
        {{"--alignment", "12", "--double", "--func", "tanh"}, {DataLine(160, 500000, 5), natural + "8"}, 1},
        {{"--alignment", "2", "--iters", "7"}, {DataLine(160, 500000, 7), natural + "4"}, 1},
    };
    for (const FailureCase& c : cases) {
        ExpectFailure({}, NativeHead(), c);
    }
}

TEST_F(BenchProgram, BuffersThatCannotExistAreRefusedBeforeAnyTiming) {
    const std::string overflow = " elements overflow a 64-bit byte count";
    const std::string tooMuch = "cannot allocate the buffers: # bytes needed, more than the # bytes of memory and swap";
    const FailureCase cases[] = {
        {{"--vecs", "4000000000", "--size", "4000000000"},
         {DataLine(4000000000, 4000000000, 5),
          "cannot allocate the buffers: 2 x 4000000000 buffers of 4000000000" + overflow},
         1},
        {{"--vecs", "1", "--size", "2305843009213693952"},
         {DataLine(2305843009213693952, 1, 5), "cannot allocate the buffers: 2 x 1 buffers of 2305843009213693952" + overflow},
         1},
        {{"--vecs", "1", "--size", "4611686018427387904", "--double"},
         {DataLine(4611686018427387904, 1, 5), "cannot allocate the buffers: 2 x 1 buffers of 4611686018427387904" + overflow},
         1},
        {{"--vecs", "18446744073709551615"},
         {DataLine(160, 18446744073709551615u, 5),
          "cannot allocate the buffers: 2 x 18446744073709551615 buffers of 160" + overflow},
         1},
        {{"--vecs", "1", "--size", "1152921504606846976"}, {DataLine(1152921504606846976, 1, 5), tooMuch}, 1},
        {{"--vecs", "100000000000", "--size", "1", "--func", "log"}, {DataLine(1, 100000000000, 5), tooMuch}, 1},
    };
    for (const FailureCase& c : cases) {
        ExpectFailure({}, NativeHead(), c);
    }
}

TEST_F(BenchProgram, CommandLineAnswersAreTclaps) {
    const ProgramRun help = RunBench({}, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(Lines(help.err), NativeHead());
    for (const char* text :
         {"orvex library benchmark: compare various implementations of a <func>", "--func <exp|log|sigm|tanh>",
          "The function to test, default is exp", "--vecs <N>", "Number of vectors in the test, default 500000",
          "--iters <N>", "--size <N>", "--alignment <Offset>", "--nodenorm", "--double", "dafault is single precision"}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    }
    const ProgramRun version = RunBench({}, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("version: none"), std::string::npos) << version.out;

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--vecs", "abc"}, {"--bogus"}, {"--size"}, {"-x"}, {"extra"}}) {
        SCOPED_TRACE(::testing::PrintToString(bad));
        const ProgramRun outcome = RunBench({}, bad);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        std::string afterHead = outcome.err;
        if (!NOrvex::HaveAvx2()) {
            afterHead = afterHead.substr(std::string(kAvx2Message).size() + 1);
        }
        EXPECT_EQ(afterHead.rfind("PARSE ERROR:", 0), 0u) << outcome.err;
        EXPECT_EQ(outcome.err.find("Running"), std::string::npos);
    }
}

// ---- emulated processors ----

std::vector<std::string> Wrapper(const char* command) { return Words(command); }

TEST(BenchEmulated, AvxOnlyProcessorLeavesOutTheAvx2Rows) {
    const std::vector<std::string> qemu = Wrapper(ORVEX_BENCH_QEMU_SANDYBRIDGE);
    if (qemu.empty()) {
        GTEST_SKIP() << "no qemu-x86_64 in this build";
    }
    for (const char* func : {"exp", "log", "sigm", "tanh"}) {
        for (bool isDouble : {false, true}) {
            Request r;
            r.func = func;
            r.isDouble = isDouble;
            r.vecs = 2;
            r.iters = 1;
            r.size = 20;
            ExpectRun(qemu, false, r);
        }
    }
    ExpectFailure(qemu, {kAvx2Message}, {{"--func", "cosh"}, {"requirement isExp || isLog || isSigm || isTanh failed"}, 1});
    const ProgramRun help = RunBench(qemu, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, std::string(kAvx2Message) + "\n") << "the message comes before TCLAP's text";
    EXPECT_NE(help.out.find("--func <exp|log|sigm|tanh>"), std::string::npos);
}

TEST(BenchEmulated, ProcessorWithoutAvxOnlyGetsTheMessage) {
    const std::vector<std::string> qemu = Wrapper(ORVEX_BENCH_QEMU_NEHALEM);
    if (qemu.empty()) {
        GTEST_SKIP() << "no qemu-x86_64 in this build";
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"--help"}, {"--version"}, {"--func", "log", "--vecs", "2"}, {"--bogus"},
          {"--func", "cosh"}}) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const ProgramRun outcome = RunBench(qemu, args);
        EXPECT_EQ(outcome.status, 255);
        EXPECT_EQ(outcome.err, std::string(kAvxMessage) + "\n");
        EXPECT_EQ(outcome.out, "");
    }
}

}  // namespace
