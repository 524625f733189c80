#pragma once

// A UserMessages that records every message and beep and answers questions from a script, so
// tests can check both what the user was told and what happens after each answer.

#include "db/user_messages.h"

#include <deque>
#include <string>
#include <vector>

namespace testsupport {

struct RecordedMessage {
    std::string caption;
    std::string text;
    db::MessageIcon icon;
    db::MessageButtons buttons;
    db::MessageAnswer defaultAnswer;
};

class ScriptedMessages : public db::UserMessages {
public:
    // Answers given to the next messages, in order. When the script runs out, a box with only an
    // OK button is answered Ok and any other box with its default answer.
    void script(std::initializer_list<db::MessageAnswer> answers);

    db::MessageAnswer show(const std::string& caption, const std::string& text,
                           db::MessageIcon icon, db::MessageButtons buttons,
                           db::MessageAnswer defaultAnswer) override;
    void beep(db::BeepKind kind) override { beeps.push_back(kind); }

    // Texts of all messages so far, for compact assertions.
    std::vector<std::string> texts() const;
    void clearRecord();

    std::vector<RecordedMessage> messages;
    std::vector<db::BeepKind> beeps;

private:
    std::deque<db::MessageAnswer> answers_;
};

} // namespace testsupport
