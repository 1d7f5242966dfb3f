// Command-line value types of the programs, read strictly: TCLAP's own parse error unless the text
// is exactly one value. Read by a stream into a plain unsigned integer, "-1" would become
// 2^64 - 1 and an empty value would leave the default in place; both are refused here.
#ifndef ORVEX_TOOLS_COMMON_OPTION_VALUES_H
#define ORVEX_TOOLS_COMMON_OPTION_VALUES_H

#include <tclap/CmdLine.h>

#include <cstdint>
#include <sstream>
#include <string>

namespace NOrvexTools {

[[noreturn]] inline void Unreadable(const std::string& text, const char* expected) {
    throw TCLAP::ArgParseException("Couldn't read argument value from string '" + text + "': expected " + expected);
}

// One or more decimal digits and nothing else, at most 2^64 - 1.
struct CountValue {
    using ValueCategory = TCLAP::StringLike;  // TCLAP hands over the text as it stands

    std::uint64_t value = 0;

    CountValue(std::uint64_t v) : value(v) {}
    CountValue& operator=(const std::string& text) {
        std::uint64_t v = 0;
        bool valid = !text.empty();
        for (const char c : text) {
            valid = valid && c >= '0' && c <= '9' && !__builtin_mul_overflow(v, std::uint64_t{10}, &v) &&
                    !__builtin_add_overflow(v, static_cast<std::uint64_t>(c - '0'), &v);
        }
        if (!valid) Unreadable(text, "a whole number from 0 to 18446744073709551615");
        value = v;
        return *this;
    }
};

// A float as the stream reads it (decimal, finite, rounded to float), but never an empty text.
struct FloatValue {
    using ValueCategory = TCLAP::StringLike;

    float value = 0.0f;

    FloatValue(float v) : value(v) {}
    FloatValue& operator=(const std::string& text) {
        std::istringstream in(text);
        float v = 0.0f;
        in >> v;
        if (text.empty() || in.fail() || in.peek() != std::char_traits<char>::eof()) {
            Unreadable(text, "a finite decimal number");
        }
        value = v;
        return *this;
    }
};

}  // namespace NOrvexTools

#endif  // ORVEX_TOOLS_COMMON_OPTION_VALUES_H
