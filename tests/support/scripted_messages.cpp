#include "support/scripted_messages.h"

namespace testsupport {

void ScriptedMessages::script(std::initializer_list<db::MessageAnswer> answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

db::MessageAnswer ScriptedMessages::show(const std::string& caption, const std::string& text,
                                         db::MessageIcon icon, db::MessageButtons buttons,
                                         db::MessageAnswer defaultAnswer) {
    messages.push_back({caption, text, icon, buttons, defaultAnswer});
    if (buttons == db::MessageButtons::Ok)
        return db::MessageAnswer::Ok;
    if (answers_.empty())
        return defaultAnswer;
    db::MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<std::string> ScriptedMessages::texts() const {
    std::vector<std::string> result;
    for (const RecordedMessage& message : messages)
        result.push_back(message.text);
    return result;
}

void ScriptedMessages::clearRecord() {
    messages.clear();
    beeps.clear();
}

} // namespace testsupport
