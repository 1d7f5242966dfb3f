// The two forms of a result: one line of JSON, or a short report for people.
#ifndef ORVEX_TOOLS_ULP_REPORT_H
#define ORVEX_TOOLS_ULP_REPORT_H

#include <string>

#include "ulp_error.h"

namespace NOrvexUlp {

// What was measured.
struct RunLabel {
    std::string func;  // "exp", "log", "sigm", "tanh"
    bool isDouble = false;
    std::string arch;  // the --arch value, or the instruction set of a peer
    bool exact = false;
    std::string impl;  // the implementation's name where several are measured at once, else empty
};

// {"func":"exp","type":"float","arch":"avx2","exact":false,"inputs":4294967296,"max_ulp":...,
// "worst_input":"0x...","max_ulp_normal":...,"worst_input_normal":"0x...","max_abs":...,
// "nonfinite_mismatches":0} and a newline; "impl" first where the label has one. Numbers are the
// shortest text that reads back to the same double; a worst input is null when no input counted.
std::string JsonLine(const RunLabel& label, const UlpStats& stats);

// A few lines for people: the maxima with their inputs as values and bit patterns.
std::string Readable(const RunLabel& label, const UlpStats& stats);

// "0x" and the bit pattern in lower-case hex, 8 digits for float, 16 for double.
std::string Hex(std::uint64_t bits, bool isDouble);

}  // namespace NOrvexUlp

#endif  // ORVEX_TOOLS_ULP_REPORT_H
