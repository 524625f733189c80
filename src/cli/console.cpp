#include "cli/console.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace cli {

db::MessageAnswer ConsoleMessages::show(const std::string& caption, const std::string& text,
                                        db::MessageIcon, db::MessageButtons buttons,
                                        db::MessageAnswer defaultAnswer) {
    if (buttons == db::MessageButtons::Ok) {
        std::fprintf(stderr, "%s\n", text.c_str());
        if (caption == "Error")
            errorShown_ = true;
        return db::MessageAnswer::Ok;
    }
    if (confirm_)
        return buttons == db::MessageButtons::OkCancel ? db::MessageAnswer::Ok
                                                       : db::MessageAnswer::Yes;
    std::fprintf(stderr, "%s\n", text.c_str());
    return defaultAnswer;
}

ProgressBar::ProgressBar(std::string label, bool quiet)
    : label_(std::move(label)), shown_(!quiet && ::isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() {
    if (shown_ && lastPercent_ >= 0)
        std::fprintf(stderr, "\r\033[K");
}

void ProgressBar::update(double fraction) {
    if (!shown_)
        return;
    const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0);
    if (percent == lastPercent_)
        return;
    lastPercent_ = percent;
    constexpr int kWidth = 30;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", label_.c_str(), std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, ' ').c_str(), percent);
    std::fflush(stderr);
}

} // namespace cli

namespace cli {

void ProgressBar::showCount(uint32_t done) {
    if (!shown_)
        return;
    lastPercent_ = 0; // the destructor clears the line
    std::fprintf(stderr, "\r%s %u", label_.c_str(), done);
    std::fflush(stderr);
}

} // namespace cli
