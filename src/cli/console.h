#pragma once

// How the command-line program talks to its user: the program's messages go to standard error
// (there is nobody to answer a question, so the command's own confirmations are taken as given),
// and long work shows a progress bar there when it is a terminal.

#include "db/user_messages.h"

#include <cstdint>
#include <string>

namespace cli {

class ConsoleMessages : public db::UserMessages {
public:
    // `confirm`: questions are answered Yes (the user asked for the work by running the
    // command); otherwise they get their default answer, No for the program's warnings.
    explicit ConsoleMessages(bool confirm = false) : confirm_(confirm) {}

    db::MessageAnswer show(const std::string& caption, const std::string& text,
                           db::MessageIcon icon, db::MessageButtons buttons,
                           db::MessageAnswer defaultAnswer) override;
    void beep(db::BeepKind) override {}

    // Whether an error was shown: the command then fails.
    bool errorShown() const { return errorShown_; }

private:
    bool confirm_;
    bool errorShown_ = false;
};

class ProgressBar {
public:
    // Draws nothing unless standard error is a terminal and `quiet` is false.
    ProgressBar(std::string label, bool quiet);
    ~ProgressBar(); // clears the line it drew
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(double fraction);  // 0..1; redraws only when the shown percentage changes
    void showCount(uint32_t done); // for work of unknown length: how much is done

private:
    std::string label_;
    bool shown_;
    int lastPercent_ = -1;
};

} // namespace cli
