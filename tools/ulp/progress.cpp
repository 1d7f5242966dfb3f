// The progress bar.
#include "progress.h"

#include <cstdio>
#include <utility>

namespace NOrvexUlp {

ProgressBar::ProgressBar(std::string name) : name_(std::move(name)), start_(std::chrono::steady_clock::now()) {}

void ProgressBar::Update(std::uint64_t done, std::uint64_t total) {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (elapsed < kQuietSeconds || total == 0) return;
    constexpr int kWidth = 40;
    const double fraction = static_cast<double>(done) / static_cast<double>(total);
    const int filled = static_cast<int>(fraction * kWidth);
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '-';
    bar[kWidth] = '\0';
    const long left = fraction > 0 ? static_cast<long>(elapsed * (1 - fraction) / fraction + 0.5) : -1;
    if (left >= 0) {
        std::fprintf(stderr, "\r%s: [%s] %3d%%  %ld:%02ld left ", name_.c_str(), bar, static_cast<int>(fraction * 100),
                     left / 60, left % 60);
    } else {
        std::fprintf(stderr, "\r%s: [%s] %3d%% ", name_.c_str(), bar, static_cast<int>(fraction * 100));
    }
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::Finish() {
    if (!drawn_) return;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(stderr, "\r%s: done in %.0f s%*s\n", name_.c_str(), elapsed, 50, "");
    drawn_ = false;
}

}  // namespace NOrvexUlp
