// Matching of report text whose numbers vary from run to run.
#ifndef ORVEX_TESTS_BENCH_TEXT_MATCH_H
#define ORVEX_TESTS_BENCH_TEXT_MATCH_H

#include <cctype>
#include <string>

namespace NOrvexBenchTest {

inline bool SkipDigits(const std::string& s, size_t* at) {
    const size_t start = *at;
    while (*at < s.size() && std::isdigit(static_cast<unsigned char>(s[*at]))) {
        ++*at;
    }
    return *at > start;
}

// A non-negative double in the default stream format: 0, 12.5, 0.00123, 2e-08, 1.5e+10.
inline bool IsTimeText(const std::string& s) {
    size_t at = 0;
    if (!SkipDigits(s, &at)) {
        return false;
    }
    if (at < s.size() && s[at] == '.') {
        ++at;
        if (!SkipDigits(s, &at)) {
            return false;
        }
    }
    if (at < s.size() && s[at] == 'e') {
        ++at;
        if (at >= s.size() || (s[at] != '-' && s[at] != '+')) {
            return false;
        }
        ++at;
        if (!SkipDigits(s, &at)) {
            return false;
        }
    }
    return at == s.size();
}

// text equals pattern, where each '#' of the pattern stands for one or more digits.
inline bool MatchesWithNumbers(const std::string& text, const std::string& pattern) {
    size_t at = 0;
    for (char p : pattern) {
        if (p == '#') {
            if (!SkipDigits(text, &at)) {
                return false;
            }
        } else if (at >= text.size() || text[at++] != p) {
            return false;
        }
    }
    return at == text.size();
}

}  // namespace NOrvexBenchTest

#endif  // ORVEX_TESTS_BENCH_TEXT_MATCH_H
