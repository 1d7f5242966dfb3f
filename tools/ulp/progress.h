// A progress bar on standard error for passes that take more than a few seconds.
#ifndef ORVEX_TOOLS_ULP_PROGRESS_H
#define ORVEX_TOOLS_ULP_PROGRESS_H

#include <chrono>
#include <cstdint>
#include <string>

namespace NOrvexUlp {

class ProgressBar {
public:
    // `name` starts the line, e.g. the program's name.
    explicit ProgressBar(std::string name);

    // Redraws the bar in place when its text changes, at most once a second; nothing until the
    // pass has run for kQuietSeconds.
    void Update(std::uint64_t done, std::uint64_t total);
    // Ends the bar's line, if one was drawn.
    void Finish();

    static constexpr double kQuietSeconds = 3.0;

private:
    std::string name_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
    std::string lastText_;
    bool drawn_ = false;
};

}  // namespace NOrvexUlp

#endif  // ORVEX_TOOLS_ULP_PROGRESS_H
