// The progress bar.
#include "progress.h"

#include <cstdio>
#include <utility>

namespace NOrvexUlp {

ProgressBar::ProgressBar(std::string name) : name_(std::move(name)), start_(std::chrono::steady_clock::now()) {}

void ProgressBar::Update(std::uint64_t done, std::uint64_t total) {
    const auto now = std::chrono::steady_clock::now();
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    if (elapsed < kQuietSeconds || total == 0) return;
    if (drawn_ && now - lastDraw_ < std::chrono::seconds(1)) return;
    constexpr int kWidth = 40;
    const double fraction = static_cast<double>(done) / static_cast<double>(total);
    std::string text = name_ + ": [";
    for (int i = 0; i < kWidth; ++i) text += i < static_cast<int>(fraction * kWidth) ? '#' : '-';
    char tail[48];
    const long left = fraction > 0 ? static_cast<long>(elapsed * (1 - fraction) / fraction + 0.5) : -1;
    if (left >= 0) {
        std::snprintf(tail, sizeof tail, "] %3d%%  %ld:%02ld left ", static_cast<int>(fraction * 100), left / 60,
                      left % 60);
    } else {
        std::snprintf(tail, sizeof tail, "] %3d%% ", static_cast<int>(fraction * 100));
    }
    text += tail;
    if (text == lastText_) return;
    std::fprintf(stderr, "\r%s", text.c_str());
    std::fflush(stderr);
    lastText_ = text;
    lastDraw_ = now;
    drawn_ = true;
}

void ProgressBar::Finish() {
    if (!drawn_) return;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(stderr, "\r%s: done in %.0f s%*s\n", name_.c_str(), elapsed, 50, "");
    drawn_ = false;
}

}  // namespace NOrvexUlp
