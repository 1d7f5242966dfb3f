// The accuracy program run as a child process: its exact standard output, standard error and
// exit status. Expected tables are built here from literal points, the system library and the
// kernels called directly.
#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "accuracy_paths.h"
#include "orvex/orvex.h"
#include "support/run_program.h"

namespace {

using namespace NOrvex;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

// ---- Running a program ----

using NOrvexTest::ProgramRun;

// The program as "accuracy" (TCLAP names it by argv[0]), or under an emulator command.
ProgramRun Accuracy(const std::vector<std::string>& args, std::vector<std::string> emulator = {}) {
    std::vector<std::string> argv = emulator;
    argv.push_back(emulator.empty() ? "accuracy" : ORVEX_ACCURACY_PATH);
    argv.insert(argv.end(), args.begin(), args.end());
    return NOrvexTest::RunProgram(emulator.empty() ? ORVEX_ACCURACY_PATH : emulator[0], argv);
}

// ---- Predicting the output ----

template <class T> using Kernel = void (*)(const T*, std::size_t, T*);

template <class T> struct Kernels {
    Kernel<T> exp, log, sigm, tanh;
};

struct Tier {
    const char* arch;
    bool exact;
    bool available;
    Kernels<float> f;
    Kernels<double> d;
};

template <bool E> Tier Avx2Tier() {
    return {"avx2", E, HaveAvx2(), {ExpAvx2<E, false>, LogAvx2<E, false>, SigmoidAvx2<E, false>, TanhAvx2<E, false>},
            {ExpAvx2<E, false>, LogAvx2<E, false>, SigmoidAvx2<E, false>, TanhAvx2<E, false>}};
}
template <bool E> Tier AvxTier() {
    return {"avx", E, HaveAvx(), {ExpAvx<E, false>, LogAvx<E, false>, SigmoidAvx<E, false>, TanhAvx<E, false>},
            {ExpAvx<E, false>, LogAvx<E, false>, SigmoidAvx<E, false>, TanhAvx<E, false>}};
}
Tier PlainTier(bool exact) {
    return {"plain", exact, true, {ExpPlain, LogPlain, SigmoidPlain, TanhPlain},
            {ExpPlain, LogPlain, SigmoidPlain, TanhPlain}};
}

std::vector<Tier> AllTiers() {
    return {PlainTier(false), PlainTier(true), AvxTier<false>(), AvxTier<true>(), Avx2Tier<false>(), Avx2Tier<true>()};
}

std::vector<std::string> TierArgs(const Tier& tier) {
    std::vector<std::string> args{"--arch", tier.arch};
    if (tier.exact) args.push_back("--exact");
    return args;
}

template <class T> Kernel<T> KernelOf(const Kernels<T>& k, const std::string& func) {
    if (func == "exp") return k.exp;
    if (func == "log") return k.log;
    if (func == "sigm") return k.sigm;
    return k.tanh;
}

std::string Text(double v) {
    std::ostringstream os;
    os << v;
    return os.str();
}

std::string Row(double x, double t, double a) {
    const double r = std::fabs(a - t) / (std::fabs(t) + 1e-100);
    return Text(x) + "\t" + Text(t) + "\t" + Text(a) + "\t" + Text(r) + "\n";
}

// The header, one row per point and the final line, for points given literally (they are exact
// in the interval the caller passes to the program).
template <class T>
__attribute__((noinline)) std::string Table(const std::string& func, Kernel<T> kernel,
                                            const std::vector<double>& points) {
    std::string table = "input\ttrue\tapprox\n";
    double maxError = 0.0;
    for (double p : points) {
        const T x = func == "log" ? static_cast<T>(std::exp(static_cast<double>(static_cast<T>(p)))) : static_cast<T>(p);
        const double wide = x;
        const double ref = func == "exp"    ? std::exp(wide)
                           : func == "log"  ? std::log(wide)
                           : func == "sigm" ? 1.0 / (std::exp(-wide) + 1.0)
                                            : std::tanh(wide);
        const T t = static_cast<T>(ref);
        T a;
        kernel(&x, 1, &a);
        table += Row(x, t, a);
        const double r = std::fabs(double(a) - double(t)) / (std::fabs(double(t)) + 1e-100);
        if (r > maxError) maxError = r;
    }
    return table + "Maximum relative error: " + Text(maxError) + "\n";
}

// The same with flush-to-zero and denormals-are-zero in force, as --nodenorm sets them.
template <class T>
std::string FlushedTable(const std::string& func, Kernel<T> kernel, const std::vector<double>& points) {
    const unsigned saved = _mm_getcsr();
    _mm_setcsr(saved | 0x8040);
    std::string table = Table<T>(func, kernel, points);
    _mm_setcsr(saved);
    return table;
}

std::string FinalLine(const std::string& table) {
    const std::size_t last = table.rfind('\n', table.size() - 2);
    return table.substr(last + 1);
}

// Line n (from 0) of a text, without its newline.
std::string LineOf(const std::string& text, int n) {
    std::istringstream lines(text);
    std::string line;
    for (int k = 0; k <= n; ++k) std::getline(lines, line);
    return line;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const char* const kFuncs[] = {"exp", "log", "sigm", "tanh"};

// ---- Validation ----

const std::string kArchMessage = "requirement arch == \"plain\" || arch == \"avx2\" || arch == \"avx\" failed\n";
const std::string kFuncMessage =
    "requirement func == \"exp\" || func == \"log\" || func == \"sigm\" || func == \"tanh\" failed\n";
const std::string kNoAvx2Message = "requirement AVX2 and FMA3 supported by this processor failed\n";
const std::string kNoAvxMessage = "requirement AVX supported by this processor failed\n";

TEST(AccuracyTool, ValidatesArchThenFunc) {
    struct Case {
        std::vector<std::string> args;
        const std::string& err;
    };
    const Case cases[] = {
        {{"--arch", "avx3", "--func", "cosh", "--print"}, kArchMessage},
        {{"--arch", "avx3", "--func", "exp", "--print"}, kArchMessage},
        {{"--arch", "AVX2", "--func", "exp"}, kArchMessage},
        {{"--arch", "", "--func", "exp"}, kArchMessage},
        {{"--func", "cosh", "--print"}, kFuncMessage},  // default arch avx2 is valid
        {{"--arch", "plain", "--func", "cosh", "--nodenorm"}, kFuncMessage},
        {{"--arch", "avx", "--func", "sigmoid"}, kFuncMessage},
    };
    for (const Case& c : cases) {
        const ProgramRun o = Accuracy(c.args);
        EXPECT_EQ(o.status, 1) << o;
        EXPECT_EQ(o.err, c.err) << o;
        EXPECT_EQ(o.out, "") << o;
    }
}

TEST(AccuracyTool, CommandLineSyntaxIsTclaps) {
    struct Case {
        std::vector<std::string> args;
        const char* errPart;
    };
    const Case cases[] = {
        {{}, "Required argument missing: func"},
        {{"--arch", "plain"}, "Required argument missing: func"},
        {{"--func", "exp", "--count", "many"}, "count"},
        {{"--func", "exp", "--min", "low"}, "min"},
        {{"--func", "exp", "--bogus"}, "--bogus"},
    };
    for (const Case& c : cases) {
        const ProgramRun o = Accuracy(c.args);
        EXPECT_NE(o.status, 0) << o;
        EXPECT_LT(o.status, 128) << o;  // a reported error, not a crash
        EXPECT_NE(o.err.find("PARSE ERROR"), std::string::npos) << o;
        EXPECT_NE(o.err.find(c.errPart), std::string::npos) << o;
        EXPECT_EQ(o.out, "") << o;
    }
}

TEST(AccuracyTool, HelpAndVersion) {
    const ProgramRun help = Accuracy({"--help"});
    EXPECT_EQ(help.status, 0) << help;
    EXPECT_EQ(help.err, "");
    for (const char* part : {"Compute <count> values of a <func> in [<min>, <max>] interval",
                             "--func <exp|log|sigm|tanh>", "exp or log or sigm or tanh", "--min <FLOAT>",
                             "Lower boundary of an interval, default is -100.0", "--max <FLOAT>",
                             "Upper boundary of an interval, default is 100.0", "-c <N>,  --count <N>",
                             "Number of values to compute, default is 1000", "--arch <plain|avx|avx2>",
                             "Target archicture: plain or avx or avx2, default is avx2", "--exact",
                             "Use exact version (slower)", "--nodenorm", "Don't honor denormals", "--double",
                             "Use double precision, single precision is used by default", "[--print]"}) {
        EXPECT_NE(help.out.find(part), std::string::npos) << part << "\n" << help;
    }

    const ProgramRun version = Accuracy({"--version"});
    EXPECT_EQ(version.status, 0) << version;
    EXPECT_EQ(version.out, "\naccuracy  version: none\n\n") << version;
    EXPECT_EQ(version.err, "");
}

// ---- Tables ----

// [-1, 1] in four steps: the points are exact, so every row is known in advance; without
// --print the final line is the whole output.
TEST(AccuracyTool, FivePointTableForEveryKernel) {
    const std::vector<double> points{-1.0, -0.5, 0.0, 0.5, 1.0};
    const std::vector<std::string> grid{"--min", "-1", "--max", "1", "--count", "4"};
    for (const Tier& tier : AllTiers()) {
        if (!tier.available) continue;
        for (const char* func : kFuncs) {
            for (bool dbl : {false, true}) {
                SCOPED_TRACE(std::string(func) + " " + tier.arch + (tier.exact ? " exact" : "") +
                             (dbl ? " double" : " float"));
                const std::string expected = dbl ? Table<double>(func, KernelOf(tier.d, func), points)
                                                 : Table<float>(func, KernelOf(tier.f, func), points);
                std::vector<std::string> args = Join(Join({"--func", func}, TierArgs(tier)), grid);
                if (dbl) args.push_back("--double");

                const ProgramRun quiet = Accuracy(args);
                EXPECT_EQ(quiet.status, 0) << quiet;
                EXPECT_EQ(quiet.out, FinalLine(expected)) << quiet;
                EXPECT_EQ(quiet.err, "");

                args.push_back("--print");
                const ProgramRun table = Accuracy(args);
                EXPECT_EQ(table.status, 0) << table;
                EXPECT_EQ(table.out, expected) << table;
                EXPECT_EQ(table.err, "");
            }
        }
    }
}

// The final line repeats the largest error of the rows, and the NaN error of the last row (exp at
// 800 is +inf in both, inf - inf) never takes its place.
TEST(AccuracyTool, MaximumIsTheLargestPrintedError) {
    const ProgramRun o =
        Accuracy({"--func", "exp", "--arch", "plain", "--double", "--max", "800", "-c", "9", "--print"});
    ASSERT_EQ(o.status, 0) << o;
    std::istringstream lines(o.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "input\ttrue\tapprox");
    double largest = 0.0;
    int rows = 0;
    bool sawNan = false;
    while (std::getline(lines, line) && line.rfind("Maximum", 0) != 0) {
        ++rows;
        const double r = std::stod(line.substr(line.rfind('\t') + 1));
        sawNan |= std::isnan(r);
        if (r > largest) largest = r;
    }
    EXPECT_EQ(rows, 10);
    EXPECT_TRUE(sawNan);
    EXPECT_GT(largest, 0.0);
    EXPECT_EQ(line, "Maximum relative error: " + Text(largest));
    EXPECT_FALSE(std::getline(lines, line));
}

// The points of [0.1, 60.7] in 7 steps, as the program forms them: the step i * (max - min) is
// rounded to float before the division by count, and p is a double that single mode rounds to
// float before anything else (log included: its input is exp(float(p))).
TEST(AccuracyTool, PointsRoundTheStepToFloat) {
    const float min = 0.1f;
    const float max = 60.7f;
    const float d = max - min;
    std::vector<double> points;
    std::vector<double> wideSteps;  // the step kept in double, for contrast
    for (int i = 0; i <= 7; ++i) {
        points.push_back(static_cast<double>(static_cast<float>(i) * d) / 7.0 + static_cast<double>(min));
        wideSteps.push_back(static_cast<double>(i) * (static_cast<double>(max) - static_cast<double>(min)) / 7.0 +
                            static_cast<double>(min));
    }
    ASSERT_NE(Table<double>("exp", ExpPlain, points), Table<double>("exp", ExpPlain, wideSteps))
        << "the interval cannot tell the two steps apart";
    const std::vector<std::string> grid{"--arch", "plain", "--min", "0.1", "--max", "60.7", "-c", "7", "--print"};
    for (const char* func : kFuncs) {
        SCOPED_TRACE(func);
        const ProgramRun f = Accuracy(Join({"--func", func}, grid));
        EXPECT_EQ(f.out, Table<float>(func, KernelOf(PlainTier(false).f, func), points)) << f;
        const ProgramRun d = Accuracy(Join({"--func", func, "--double"}, grid));
        EXPECT_EQ(d.out, Table<double>(func, KernelOf(PlainTier(false).d, func), points)) << d;
    }
}

TEST(AccuracyTool, CountZeroIsOneNanPoint) {
    // 0 * d / 0 is NaN: input, reference, result and error are all NaN, the maximum stays 0.
    for (const char* func : kFuncs) {
        for (const std::vector<std::string>& mode :
             {std::vector<std::string>{}, std::vector<std::string>{"--double"}}) {
            SCOPED_TRACE(func);
            const ProgramRun o = Accuracy(Join({"--func", func, "--arch", "plain", "--count", "0", "--print"}, mode));
            EXPECT_EQ(o.status, 0) << o;
            const std::string nan = Text(kNan);
            const std::string negNan = Text(-kNan);
            std::istringstream lines(o.out);
            std::string header, row, last, extra;
            std::getline(lines, header);
            std::getline(lines, row);
            std::getline(lines, last);
            EXPECT_EQ(header, "input\ttrue\tapprox") << o;
            std::istringstream fields(row);
            int nanFields = 0;
            for (std::string field; std::getline(fields, field, '\t');) {
                nanFields += field == nan || field == negNan;
            }
            EXPECT_EQ(nanFields, 4) << o;
            EXPECT_EQ(last, "Maximum relative error: 0") << o;
            EXPECT_FALSE(std::getline(lines, extra)) << o;
        }
    }
    const ProgramRun quiet = Accuracy({"--func", "exp", "--count", "0"});
    EXPECT_EQ(quiet.out, "Maximum relative error: 0\n") << quiet;
}

TEST(AccuracyTool, LargestCountEvaluatesNothing) {
    // count + 1 wraps to 0 in 64 bits.
    const ProgramRun o = Accuracy({"--func", "exp", "--arch", "plain", "--count", "18446744073709551615", "--print"});
    EXPECT_EQ(o.status, 0) << o;
    EXPECT_EQ(o.out, "input\ttrue\tapprox\nMaximum relative error: 0\n") << o;
}

TEST(AccuracyTool, MinEqualToMaxRepeatsThePoint) {
    for (const char* func : kFuncs) {
        SCOPED_TRACE(func);
        const ProgramRun f = Accuracy({"--func", func, "--arch", "plain", "--min", "0.3", "--max", "0.3", "-c", "3",
                                    "--print"});
        EXPECT_EQ(f.out, Table<float>(func, KernelOf(PlainTier(false).f, func), {0.3f, 0.3f, 0.3f, 0.3f})) << f;
        const ProgramRun d = Accuracy({"--func", func, "--arch", "plain", "--min", "0.3", "--max", "0.3", "-c", "3",
                                    "--print", "--double"});
        // p is the float 0.3 widened, not the double 0.3.
        const double p = 0.3f;
        EXPECT_EQ(d.out, Table<double>(func, KernelOf(PlainTier(false).d, func), {p, p, p, p})) << d;
    }
}

// With the default interval exp(p) leaves the float range at both ends: exp(-100) is a float
// subnormal (0 once denormals are flushed) and exp(100) is +inf; in double [-800, 800] does the
// same. The kernel sees those inputs as they are.
TEST(AccuracyTool, LogInputsLeaveTheRange) {
    const std::vector<double> floatPoints{-100.0, -50.0, 0.0, 50.0, 100.0};
    const std::vector<double> doublePoints{-800.0, -400.0, 0.0, 400.0, 800.0};
    for (const Tier& tier : AllTiers()) {
        if (!tier.available) continue;
        SCOPED_TRACE(std::string(tier.arch) + (tier.exact ? " exact" : ""));
        const std::vector<std::string> args = Join({"--func", "log", "-c", "4", "--print"}, TierArgs(tier));

        const ProgramRun f = Accuracy(args);
        EXPECT_EQ(f.status, 0) << f;
        EXPECT_EQ(f.out, Table<float>("log", tier.f.log, floatPoints)) << f;
        EXPECT_EQ(LineOf(f.out, 1).rfind("3.78351e-44\t", 0), 0u) << f;
        EXPECT_NE(f.out.find("\ninf\tinf\tinf\t"), std::string::npos) << f;

        const ProgramRun flushed = Accuracy(Join(args, {"--nodenorm"}));
        EXPECT_EQ(flushed.out, FlushedTable<float>("log", tier.f.log, floatPoints)) << flushed;
        EXPECT_EQ(LineOf(flushed.out, 1), "0\t-inf\t-inf\tnan") << flushed;

        const ProgramRun d = Accuracy(Join(args, {"--double", "--min", "-800", "--max", "800"}));
        EXPECT_EQ(d.out, Table<double>("log", tier.d.log, doublePoints)) << d;
        EXPECT_EQ(LineOf(d.out, 1), "0\t-inf\t-inf\tnan") << d;
    }
}

// --nodenorm flushes the tool's own arithmetic as well as the kernels': the float reference
// exp(-100) = 3.78e-44 becomes 0.
TEST(AccuracyTool, NodenormFlushesTheToolsArithmetic) {
    const std::vector<double> minus100{-100.0, -100.0};
    for (const Tier& tier : AllTiers()) {
        if (!tier.available || !tier.exact) continue;
        SCOPED_TRACE(tier.arch);
        const std::vector<std::string> args =
            Join({"--func", "exp", "--min", "-100", "--max", "-100", "-c", "1", "--print"}, TierArgs(tier));
        const ProgramRun subnormal = Accuracy(args);
        EXPECT_EQ(subnormal.out, Table<float>("exp", tier.f.exp, minus100)) << subnormal;
        EXPECT_EQ(LineOf(subnormal.out, 1).rfind("-100\t3.78351e-44\t", 0), 0u) << subnormal;
        const ProgramRun flushed = Accuracy(Join(args, {"--nodenorm"}));
        EXPECT_EQ(flushed.out, "input\ttrue\tapprox\n-100\t0\t0\t0\n-100\t0\t0\t0\nMaximum relative error: 0\n")
            << flushed;
    }

    // In double the reference exp(-730) is a subnormal that only flush-to-zero removes: the table
    // prints it from its bits, while denormals-are-zero alone would already zero the error.
    const std::vector<std::string> deep{"--func", "exp", "--arch", "plain", "--double", "--min", "-730",
                                        "--max", "-730", "-c", "1", "--print"};
    const ProgramRun deepKept = Accuracy(deep);
    EXPECT_EQ(deepKept.out, Table<double>("exp", ExpPlain, {-730.0, -730.0})) << deepKept;
    EXPECT_EQ(LineOf(deepKept.out, 1).rfind("-730\t9.22632e-318\t0\t", 0), 0u) << deepKept;
    const ProgramRun deepFlushed = Accuracy(Join(deep, {"--nodenorm"}));
    EXPECT_EQ(deepFlushed.out, "input\ttrue\tapprox\n-730\t0\t0\t0\n-730\t0\t0\t0\nMaximum relative error: 0\n")
        << deepFlushed;

    // Denormals-are-zero in the point formula: the subnormal float --min widens to 0.
    const std::vector<std::string> tiny{"--func", "tanh", "--arch", "plain", "--double", "--min", "1e-40",
                                        "--max", "1e-40", "-c", "1", "--print"};
    const double p = 1e-40f;
    const ProgramRun kept = Accuracy(tiny);
    EXPECT_EQ(kept.out, Table<double>("tanh", TanhPlain, {p, p})) << kept;
    const ProgramRun flushed = Accuracy(Join(tiny, {"--nodenorm"}));
    EXPECT_EQ(flushed.out, "input\ttrue\tapprox\n0\t0\t0\t0\n0\t0\t0\t0\nMaximum relative error: 0\n") << flushed;
}

// ---- Emulated processors ----

#if defined(ORVEX_QEMU_SANDYBRIDGE_ARGV) || defined(ORVEX_QEMU_NEHALEM_ARGV)

// The tiers a processor lacks are refused after the two validations; the others run and give the
// same table as here.
void CheckEmulated(const std::vector<std::string>& qemu, bool hasAvx) {
    const std::vector<std::string> grid{"--func", "tanh", "--min", "-1", "--max", "1", "-c", "4", "--print"};
    const std::vector<double> points{-1.0, -0.5, 0.0, 0.5, 1.0};

    const ProgramRun avx2 = Accuracy(Join(grid, {"--arch", "avx2"}), qemu);
    EXPECT_EQ(avx2.status, 1) << avx2;
    EXPECT_EQ(avx2.err, kNoAvx2Message) << avx2;
    EXPECT_EQ(avx2.out, "") << avx2;

    const ProgramRun badFunc = Accuracy({"--func", "cosh", "--arch", "avx2"}, qemu);
    EXPECT_EQ(badFunc.status, 1) << badFunc;
    EXPECT_EQ(badFunc.err, kFuncMessage) << badFunc;

    const ProgramRun avx = Accuracy(Join(grid, {"--arch", "avx", "--exact"}), qemu);
    if (hasAvx) {
        EXPECT_EQ(avx.status, 0) << avx;
        EXPECT_EQ(avx.out, Table<float>("tanh", TanhAvx<true, false>, points)) << avx;
        EXPECT_EQ(avx.err, "") << avx;
    } else {
        EXPECT_EQ(avx.status, 1) << avx;
        EXPECT_EQ(avx.err, kNoAvxMessage) << avx;
        EXPECT_EQ(avx.out, "") << avx;
    }

    const ProgramRun plain = Accuracy(Join(grid, {"--arch", "plain", "--double"}), qemu);
    EXPECT_EQ(plain.status, 0) << plain;
    EXPECT_EQ(plain.out, Table<double>("tanh", TanhPlain, points)) << plain;
    EXPECT_EQ(plain.err, "") << plain;
}

#ifdef ORVEX_QEMU_SANDYBRIDGE_ARGV
TEST(AccuracyEmulated, SandyBridge) {
    if (!HaveAvx()) GTEST_SKIP() << "this host cannot predict the AVX kernel";
    CheckEmulated({ORVEX_QEMU_SANDYBRIDGE_ARGV}, true);
}
#endif

#ifdef ORVEX_QEMU_NEHALEM_ARGV
TEST(AccuracyEmulated, Nehalem) {
    CheckEmulated({ORVEX_QEMU_NEHALEM_ARGV}, false);
}
#endif

#endif

}  // namespace
