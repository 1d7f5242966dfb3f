// The ulp program run as a child process: its option errors, its two report forms, and for every
// kernel a maximum that an independent evaluation at the reported worst input reproduces and that
// no sampled input exceeds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>
#include <utility>
#include <string>
#include <vector>

#include "measure.h"
#include "orvex/orvex.h"
#include "orvex_kernels.h"
#include "support/run_program.h"
#include "ulp_paths.h"

namespace {

using namespace NOrvexUlp;
using NOrvexTest::ProgramRun;

ProgramRun Ulp(const std::vector<std::string>& args, std::vector<std::string> emulator = {}) {
    std::vector<std::string> argv = emulator;
    argv.push_back(emulator.empty() ? "ulp" : ORVEX_ULP_PATH);
    argv.insert(argv.end(), args.begin(), args.end());
    NOrvexTest::RunOptions options;
    options.timeoutSeconds = 60;
    return NOrvexTest::RunProgram(emulator.empty() ? ORVEX_ULP_PATH : emulator[0], argv, options);
}

// ---- Option errors ----

std::string ArchMessage() {
    std::string condition;
    for (const Tier& tier : Tiers()) condition += (condition.empty() ? "" : " || ") + std::string("arch == \"") + tier.arch + "\"";
    return "requirement " + condition + " failed\n";
}
const std::string kFuncMessage =
    "requirement func == \"exp\" || func == \"log\" || func == \"sigm\" || func == \"tanh\" failed\n";
const std::string kThreadsMessage = "requirement threads >= 1 && threads <= 1024 failed\n";

TEST(UlpTool, ValidationMessages) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"--arch", "avx3", "--func", "cosh"}, ArchMessage()},  // arch first
        {{"--arch", "AVX2", "--func", "exp"}, ArchMessage()},
        {{"--arch", "", "--func", "exp", "--json"}, ArchMessage()},
        {{"--arch", "plain", "--func", "sigmoid"}, kFuncMessage},
        {{"--arch", "plain", "--func", "", "--double"}, kFuncMessage},
        {{"--arch", "plain", "--func", "exp", "--threads", "0"}, kThreadsMessage},
        {{"--arch", "plain", "--func", "exp", "--threads", "1025", "--samples", "1"}, kThreadsMessage},
        {{"--arch", "plain", "--func", "exp", "--threads", "18446744073709551615"}, kThreadsMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ProgramRun o = Ulp(c.args);
        EXPECT_TRUE(o.exited) << o;
        EXPECT_EQ(o.status, 1) << o;
        EXPECT_EQ(o.err, c.err) << o;
        EXPECT_EQ(o.out, "") << o;
    }
}

TEST(UlpTool, CommandLineSyntaxIsTclaps) {
    struct Case {
        std::vector<std::string> args;
        const char* errPart;
    };
    const Case cases[] = {
        {{}, "Required arguments missing: arch, func"},
        {{"--arch", "plain"}, "Required argument missing: func"},
        {{"--func", "exp"}, "Required argument missing: arch"},
        {{"--func", "exp", "--arch", "plain", "--samples", "-1"}, "samples"},
        {{"--func", "exp", "--arch", "plain", "--samples", ""}, "samples"},
        {{"--func", "exp", "--arch", "plain", "--samples", "1e6"}, "samples"},
        {{"--func", "exp", "--arch", "plain", "--samples", "99999999999999999999"}, "samples"},
        {{"--func", "exp", "--arch", "plain", "--threads", "two"}, "threads"},
        {{"--func", "exp", "--arch", "plain", "--threads", "-2"}, "threads"},
        {{"--func", "exp", "--arch", "plain", "--json", "--json"}, "json"},
        {{"--func", "exp", "--func", "log", "--arch", "plain"}, "func"},
        {{"--func", "exp", "--arch", "plain", "--bogus"}, "--bogus"},
        {{"--func", "exp", "--arch", "plain", "stray"}, "stray"},
        {{"--func", "exp", "--arch"}, "arch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ProgramRun o = Ulp(c.args);
        EXPECT_TRUE(o.exited) << o;
        EXPECT_EQ(o.status, 1) << o;
        EXPECT_NE(o.err.find("PARSE ERROR"), std::string::npos) << o;
        EXPECT_NE(o.err.find(c.errPart), std::string::npos) << o;
        EXPECT_EQ(o.out, "") << o;
    }
}

TEST(UlpTool, Help) {
    const ProgramRun help = Ulp({"--help"});
    EXPECT_EQ(help.status, 0) << help;
    for (const char* part : {"--func <exp|log|sigm|tanh>", "--arch <plain|avx|avx2", "--exact", "--double",
                             "--samples <N>", "--threads <T>", "--json"}) {
        EXPECT_NE(help.out.find(part), std::string::npos) << part << "\n" << help;
    }
}

// ---- The reports ----

// The keys and values of the one-line JSON object, in order, values as their text (the tool's
// strings hold no commas).
std::vector<std::pair<std::string, std::string>> JsonFields(const std::string& line) {
    std::vector<std::pair<std::string, std::string>> fields;
    if (line.size() < 3 || line.front() != '{' || line.substr(line.size() - 2) != "}\n") return fields;
    std::istringstream in(line.substr(1, line.size() - 3));
    for (std::string field; std::getline(in, field, ',');) {
        const std::size_t colon = field.find(':');
        if (colon == std::string::npos || field.size() < 2 || field[0] != '"' || field[colon - 1] != '"') return {};
        fields.emplace_back(field.substr(1, colon - 2), field.substr(colon + 1));
    }
    return fields;
}

std::string JsonValue(const std::string& line, const std::string& key) {
    for (const auto& [k, v] : JsonFields(line)) {
        if (k == key) return v;
    }
    return "<missing>";
}

bool IsHexPattern(const std::string& v, std::size_t digits) {
    if (v.size() != digits + 4 || v.compare(0, 3, "\"0x") != 0 || v.back() != '"') return false;
    return v.find_first_not_of("0123456789abcdef", 3) == v.size() - 1;
}

bool IsNumber(const std::string& v) {
    char* end = nullptr;
    std::strtod(v.c_str(), &end);
    return !v.empty() && end == v.c_str() + v.size();
}

TEST(UlpTool, JsonKeysInOrder) {
    const std::vector<std::string> keys = {"func", "type", "arch", "exact", "inputs", "max_ulp", "worst_input",
                                           "max_ulp_normal", "worst_input_normal", "max_abs", "nonfinite_mismatches"};
    for (bool isDouble : {false, true}) {
        std::vector<std::string> args = {"--func", "log", "--arch", "plain", "--samples", "1000", "--json"};
        if (isDouble) args.push_back("--double");
        const ProgramRun o = Ulp(args);
        ASSERT_EQ(o.status, 0) << o;
        EXPECT_EQ(o.err, "");
        const auto fields = JsonFields(o.out);
        std::vector<std::string> seen;
        for (const auto& field : fields) seen.push_back(field.first);
        EXPECT_EQ(seen, keys) << o;
        EXPECT_EQ(JsonValue(o.out, "func"), "\"log\"");
        EXPECT_EQ(JsonValue(o.out, "type"), isDouble ? "\"double\"" : "\"float\"");
        EXPECT_EQ(JsonValue(o.out, "arch"), "\"plain\"");
        EXPECT_EQ(JsonValue(o.out, "exact"), "false");
        EXPECT_EQ(JsonValue(o.out, "inputs"), "1000");
        for (const char* key : {"max_ulp", "max_ulp_normal", "max_abs", "nonfinite_mismatches"}) {
            EXPECT_TRUE(IsNumber(JsonValue(o.out, key))) << key << "\n" << o;
        }
        for (const char* key : {"worst_input", "worst_input_normal"}) {
            EXPECT_TRUE(IsHexPattern(JsonValue(o.out, key), isDouble ? 16 : 8)) << key << "\n" << o;
        }
    }

    const ProgramRun exact = Ulp({"--func", "sigm", "--arch", "plain", "--exact", "--samples", "10", "--json"});
    EXPECT_EQ(JsonValue(exact.out, "exact"), "true") << exact;

    // No input counted: the worst inputs are null.
    const ProgramRun none = Ulp({"--func", "exp", "--arch", "plain", "--samples", "0", "--json"});
    EXPECT_EQ(none.out,
              "{\"func\":\"exp\",\"type\":\"float\",\"arch\":\"plain\",\"exact\":false,\"inputs\":0,\"max_ulp\":0,"
              "\"worst_input\":null,\"max_ulp_normal\":0,\"worst_input_normal\":null,\"max_abs\":0,"
              "\"nonfinite_mismatches\":0}\n")
        << none;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The report for people carries the same figures: each maximum with its input's bit pattern.
TEST(UlpTool, ReadableReport) {
    const std::vector<std::string> args = {"--func", "exp", "--arch", "plain", "--samples", "5000"};
    const ProgramRun text = Ulp(args);
    std::vector<std::string> withJson = args;
    withJson.push_back("--json");
    const ProgramRun json = Ulp(withJson);
    ASSERT_EQ(text.status, 0) << text;
    EXPECT_EQ(text.err, "");
    const std::vector<std::string> lines = Lines(text.out);
    ASSERT_EQ(lines.size(), 5u) << text;
    EXPECT_EQ(lines[0], "exp float plain fast, 5000 inputs");
    const auto unquote = [](const std::string& v) { return v.substr(1, v.size() - 2); };
    const std::pair<const char*, const char*> maxima[] = {{"maximum error:", "worst_input"},
                                                          {"normal results:", "worst_input_normal"}};
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string& line = lines[1 + i];
        EXPECT_EQ(line.rfind(maxima[i].first, 0), 0u) << line;
        const double value = std::strtod(line.c_str() + std::strlen(maxima[i].first), nullptr);
        const double reported = std::strtod(JsonValue(json.out, i == 0 ? "max_ulp" : "max_ulp_normal").c_str(), nullptr);
        EXPECT_NEAR(value, reported, 1e-6 * reported) << line;
        const std::string tail = " ulp at x = ";
        EXPECT_NE(line.find(tail), std::string::npos) << line;
        EXPECT_EQ(line.substr(line.size() - 12), "(" + unquote(JsonValue(json.out, maxima[i].second)) + ")") << line;
    }
    EXPECT_EQ(lines[3].rfind("largest abs. error:  ", 0), 0u);
    EXPECT_EQ(lines[4], "non-finite results where the exact one is finite: " +
                            JsonValue(json.out, "nonfinite_mismatches"));
}

TEST(UlpTool, SameAnswerWithAnyNumberOfThreads) {
    const std::vector<std::string> args = {"--func", "tanh", "--arch", "plain", "--samples", "70000", "--json"};
    std::vector<std::string> one = args, five = args;
    one.insert(one.end(), {"--threads", "1"});
    five.insert(five.end(), {"--threads", "5"});
    const ProgramRun a = Ulp(one);
    const ProgramRun b = Ulp(five);
    EXPECT_EQ(a.status, 0) << a;
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(a.err, "");  // a short run draws no progress bar
}

// ---- Every kernel, checked independently ----

// The exact value in long double (64-bit significand): 2^-40 of a float ulp, 2^-11 of a double ulp
// away at most, computed apart from the tool's references.
long double Exact(EFunction f, long double x) {
    switch (f) {
        case EFunction::Exp: return std::exp(x);
        case EFunction::Log: return std::log(x);
        case EFunction::Sigmoid: return 1.0L / (1.0L + std::exp(-x));
        case EFunction::Tanh: break;
    }
    return std::tanh(x);
}

// The error by the definition, or NaN where the input is left out or is a non-finite mismatch.
template <class T> double IndependentError(EFunction f, T x, T y) {
    const long double r = Exact(f, x);
    if (std::isnan(x) || std::isnan(r) || std::isinf(static_cast<T>(r)) || !std::isfinite(y)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const int p = std::numeric_limits<T>::digits;
    const int emin = std::numeric_limits<T>::min_exponent - 1;
    int e = emin;
    if (r != 0) {
        int exponent;
        std::frexp(r, &exponent);
        e = std::max(exponent - 1, emin);
    }
    return static_cast<double>(std::fabs(static_cast<long double>(y) - r) / std::ldexp(1.0L, e - p + 1));
}

template <class T> T FromHex(const std::string& quoted) {
    const unsigned long long bits = std::strtoull(quoted.substr(1, quoted.size() - 2).c_str(), nullptr, 16);
    T x;
    if constexpr (sizeof(T) == 4) {
        const auto narrow = static_cast<std::uint32_t>(bits);
        std::memcpy(&x, &narrow, sizeof x);
    } else {
        std::memcpy(&x, &bits, sizeof x);
    }
    return x;
}

bool Close(double a, double b, bool isDouble) {
    // The long double reference is itself 2^-11 double ulp from the exact value.
    const double slack = isDouble ? 2e-3 : 1e-6;
    return std::fabs(a - b) <= slack + 1e-9 * std::fabs(b);
}

template <class T> void CheckKernel(const Tier& tier, EFunction f, bool exact, std::uint64_t samples) {
    const bool isDouble = sizeof(T) == 8;
    std::vector<std::string> args = {"--func", FunctionName(f), "--arch", tier.arch, "--samples",
                                     std::to_string(samples), "--json"};
    if (exact) args.push_back("--exact");
    if (isDouble) args.push_back("--double");
    const ProgramRun o = Ulp(args);
    ASSERT_EQ(o.status, 0) << o;
    const double maxUlp = std::strtod(JsonValue(o.out, "max_ulp").c_str(), nullptr);
    const T worst = FromHex<T>(JsonValue(o.out, "worst_input"));
    const TKernel<T> kernel = tier.Kernel<T>(f, exact);

    // The worst input, evaluated on its own, has the reported error.
    T y;
    kernel(&worst, 1, &y);
    EXPECT_TRUE(Close(IndependentError(f, worst, y), maxUlp, isDouble))
        << IndependentError(f, worst, y) << " at the worst input, reported " << o.out;

    // No sampled input has a larger one, and the first with an error as large is the worst.
    std::vector<T> inputs(samples), results(samples);
    Samples<T>(f, samples).fill(0, samples, inputs.data());
    kernel(inputs.data(), samples, results.data());
    std::uint64_t mismatches = 0;
    for (std::size_t i = 0; i < samples; ++i) {
        const double e = IndependentError(f, inputs[i], results[i]);
        if (std::isnan(e)) {
            const long double r = Exact(f, inputs[i]);
            mismatches += !std::isnan(inputs[i]) && !std::isnan(r) && !std::isinf(static_cast<T>(r));
            continue;
        }
        ASSERT_TRUE(e <= maxUlp || Close(e, maxUlp, isDouble))
            << e << " at x = " << inputs[i] << ", reported " << o.out;
    }
    EXPECT_EQ(JsonValue(o.out, "nonfinite_mismatches"), std::to_string(mismatches)) << o.out;
}

TEST(UlpTool, EveryKernelsMaximumIsReproduced) {
    for (const Tier& tier : Tiers()) {
        if (!tier.supported()) continue;
        for (EFunction f : {EFunction::Exp, EFunction::Log, EFunction::Sigmoid, EFunction::Tanh}) {
            for (bool exact : {false, true}) {
                if (exact && !tier.hasVariants) continue;
                SCOPED_TRACE(std::string(tier.arch) + " " + FunctionName(f) + (exact ? " exact" : " fast"));
                CheckKernel<float>(tier, f, exact, 10000);
                CheckKernel<double>(tier, f, exact, 3000);
            }
        }
    }
}

// ---- Emulated processors ----

#if defined(ORVEX_QEMU_SANDYBRIDGE_ARGV) || defined(ORVEX_QEMU_NEHALEM_ARGV)

// A tier the processor lacks is refused after the validations; the plain tier runs.
void CheckEmulated(const std::vector<std::string>& qemu, bool hasAvx) {
    const ProgramRun avx2 = Ulp({"--func", "exp", "--arch", "avx2", "--samples", "10"}, qemu);
    EXPECT_EQ(avx2.status, 1) << avx2;
    EXPECT_EQ(avx2.err, "requirement AVX2 and FMA3 supported by this processor failed\n") << avx2;
    EXPECT_EQ(avx2.out, "") << avx2;

    const ProgramRun avx = Ulp({"--func", "exp", "--arch", "avx", "--samples", "10", "--json"}, qemu);
    if (hasAvx) {
        EXPECT_EQ(avx.status, 0) << avx;
        EXPECT_EQ(avx.out, Ulp({"--func", "exp", "--arch", "avx", "--samples", "10", "--json"}).out);
    } else {
        EXPECT_EQ(avx.status, 1) << avx;
        EXPECT_EQ(avx.err, "requirement AVX supported by this processor failed\n") << avx;
    }

    const std::vector<std::string> plain = {"--func", "tanh", "--arch", "plain", "--double", "--samples", "50", "--json"};
    const ProgramRun emulated = Ulp(plain, qemu);
    EXPECT_EQ(emulated.status, 0) << emulated;
    EXPECT_EQ(emulated.out, Ulp(plain).out);
}

#ifdef ORVEX_QEMU_SANDYBRIDGE_ARGV
TEST(UlpEmulated, SandyBridge) {
    if (!NOrvex::HaveAvx()) GTEST_SKIP() << "this host cannot predict the AVX kernel";
    CheckEmulated({ORVEX_QEMU_SANDYBRIDGE_ARGV}, true);
}
#endif

#ifdef ORVEX_QEMU_NEHALEM_ARGV
TEST(UlpEmulated, Nehalem) { CheckEmulated({ORVEX_QEMU_NEHALEM_ARGV}, false); }
#endif

#endif

}  // namespace
