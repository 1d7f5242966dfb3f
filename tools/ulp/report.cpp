// JSON and readable reports.
#include "report.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace NOrvexUlp {

namespace {

std::string Number(double v) {
    if (!std::isfinite(v)) return "null";
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    return std::string(text, end);
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string Pattern(bool has, std::uint64_t bits, bool isDouble) { return has ? Quoted(Hex(bits, isDouble)) : "null"; }

// The input as a decimal number that reads back to it.
std::string Value(std::uint64_t bits, bool isDouble) {
    char text[40];
    if (isDouble) {
        double x;
        std::memcpy(&x, &bits, sizeof x);
        std::snprintf(text, sizeof text, "%.17g", x);
    } else {
        const auto narrow = static_cast<std::uint32_t>(bits);
        float x;
        std::memcpy(&x, &narrow, sizeof x);
        std::snprintf(text, sizeof text, "%.9g", static_cast<double>(x));
    }
    return text;
}

std::string Maximum(double max, bool has, std::uint64_t bits, bool isDouble) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g ulp", max);
    if (!has) return std::string(text) + " (no input counted)";
    return std::string(text) + " at x = " + Value(bits, isDouble) + " (" + Hex(bits, isDouble) + ")";
}

}  // namespace

std::string Hex(std::uint64_t bits, bool isDouble) {
    char text[24];
    if (isDouble) {
        std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(bits));
    } else {
        std::snprintf(text, sizeof text, "0x%08llx", static_cast<unsigned long long>(bits));
    }
    return text;
}

std::string JsonLine(const RunLabel& label, const UlpStats& stats) {
    std::string line = "{";
    if (!label.impl.empty()) line += "\"impl\":" + Quoted(label.impl) + ",";
    line += "\"func\":" + Quoted(label.func);
    line += ",\"type\":" + Quoted(label.isDouble ? "double" : "float");
    line += ",\"arch\":" + Quoted(label.arch);
    line += std::string(",\"exact\":") + (label.exact ? "true" : "false");
    line += ",\"inputs\":" + std::to_string(stats.inputs);
    line += ",\"max_ulp\":" + Number(stats.maxUlp);
    line += ",\"worst_input\":" + Pattern(stats.hasWorst, stats.worstInput, label.isDouble);
    line += ",\"max_ulp_normal\":" + Number(stats.maxUlpNormal);
    line += ",\"worst_input_normal\":" + Pattern(stats.hasWorstNormal, stats.worstInputNormal, label.isDouble);
    line += ",\"max_abs\":" + Number(stats.maxAbs);
    line += ",\"nonfinite_mismatches\":" + std::to_string(stats.nonfiniteMismatches);
    return line + "}\n";
}

std::string Readable(const RunLabel& label, const UlpStats& stats) {
    char abs[32];
    std::snprintf(abs, sizeof abs, "%.7g", stats.maxAbs);
    std::string text = (label.impl.empty() ? "" : label.impl + ": ") + label.func +
                       (label.isDouble ? " double " : " float ") + label.arch + (label.exact ? " exact" : " fast") +
                       ", " + std::to_string(stats.inputs) + " inputs\n";
    text += "maximum error:       " + Maximum(stats.maxUlp, stats.hasWorst, stats.worstInput, label.isDouble) + "\n";
    text += "normal results:      " +
            Maximum(stats.maxUlpNormal, stats.hasWorstNormal, stats.worstInputNormal, label.isDouble) + "\n";
    text += "largest abs. error:  " + std::string(abs) + "\n";
    text += "non-finite results where the exact one is finite: " + std::to_string(stats.nonfiniteMismatches) + "\n";
    return text;
}

}  // namespace NOrvexUlp
