#include "support/gui/scripted_seams.h"

#include <gtest/gtest.h>

namespace testsupport {

// --- Messages ------------------------------------------------------------------------------------

StrictMessages::~StrictMessages() {
    verifyAllShown();
}

void StrictMessages::expect(const std::string& text, db::MessageAnswer answer) {
    expected_.push_back({std::nullopt, text, answer});
}

void StrictMessages::expect(const std::string& caption, const std::string& text,
                            db::MessageAnswer answer) {
    expected_.push_back({caption, text, answer});
}

void StrictMessages::expectCaption(const std::string& caption, db::MessageAnswer answer) {
    expected_.push_back({caption, std::nullopt, answer});
}

void StrictMessages::verifyAllShown() {
    for (const Expected& missing : expected_)
        ADD_FAILURE() << "Expected message box was not shown: ["
                      << missing.caption.value_or("any caption") << "] \""
                      << missing.text.value_or("any text") << "\"";
    expected_.clear();
}

db::MessageAnswer StrictMessages::show(const std::string& caption, const std::string& text,
                                       db::MessageIcon icon, db::MessageButtons buttons,
                                       db::MessageAnswer defaultAnswer) {
    shown.push_back({caption, text, icon, buttons, defaultAnswer});
    const db::MessageAnswer cancelled = buttons == db::MessageButtons::Ok ? db::MessageAnswer::Ok
                                        : buttons == db::MessageButtons::YesNo
                                            ? db::MessageAnswer::No
                                            : db::MessageAnswer::Cancel;
    if (expected_.empty()) {
        ADD_FAILURE() << "Unexpected message box [" << caption << "]: \"" << text << "\"";
        return cancelled;
    }
    Expected next = expected_.front();
    if ((next.text && *next.text != text) || (next.caption && *next.caption != caption)) {
        ADD_FAILURE() << "Message box [" << caption << "]: \"" << text << "\" shown where ["
                      << next.caption.value_or("any caption") << "]: \""
                      << next.text.value_or("any text") << "\" was expected";
        expected_.pop_front(); // one failure per wrong box, not one more at the end
        return cancelled;
    }
    expected_.pop_front();
    return next.answer;
}

std::vector<std::string> StrictMessages::texts() const {
    std::vector<std::string> result;
    for (const ShownMessage& message : shown)
        result.push_back(message.text);
    return result;
}

// --- File dialogs --------------------------------------------------------------------------------

ScriptedFileDialogs::~ScriptedFileDialogs() {
    for (const QString& unused : answers_)
        ADD_FAILURE() << "Scripted file dialog answer not used: " << unused.toStdString();
}

QString ScriptedFileDialogs::next(const char* what, const QString& title) {
    if (answers_.empty()) {
        ADD_FAILURE() << "Unexpected " << what << " dialog \"" << title.toStdString() << "\"";
        return {};
    }
    QString answer = answers_.front();
    answers_.pop_front();
    return answer;
}

QString ScriptedFileDialogs::openFileName(QWidget*, const widgets::FileDialogRequest& request) {
    calls.push_back({FileDialogKind::Open, request});
    return next("open file", request.title);
}

QString ScriptedFileDialogs::saveFileName(QWidget*, const widgets::FileDialogRequest& request) {
    calls.push_back({FileDialogKind::Save, request});
    return next("save file", request.title);
}

QString ScriptedFileDialogs::directory(QWidget*, const QString& title, const QString& start) {
    widgets::FileDialogRequest request;
    request.title = title;
    request.directory = start;
    calls.push_back({FileDialogKind::Directory, request});
    return next("directory", title);
}

// --- Font, colour, printers, random --------------------------------------------------------------

ScriptedFontChooser::~ScriptedFontChooser() {
    if (!answers_.empty())
        ADD_FAILURE() << answers_.size() << " scripted font dialog answer(s) not used";
    if (!colourAnswers_.empty())
        ADD_FAILURE() << colourAnswers_.size() << " scripted font and colour answer(s) not used";
}

std::optional<widgets::FontAndColour>
ScriptedFontChooser::chooseFontAndColour(QWidget*, const QFont& font, const QColor& colour) {
    initialFonts.push_back(font);
    initialColours.push_back(colour);
    if (colourAnswers_.empty()) {
        ADD_FAILURE() << "Unexpected font and colour dialog";
        return std::nullopt;
    }
    std::optional<widgets::FontAndColour> answer = colourAnswers_.front();
    colourAnswers_.pop_front();
    return answer;
}

std::optional<QFont> ScriptedFontChooser::chooseFont(QWidget*, const QFont& initial) {
    initialFonts.push_back(initial);
    if (answers_.empty()) {
        ADD_FAILURE() << "Unexpected font dialog";
        return std::nullopt;
    }
    std::optional<QFont> answer = answers_.front();
    answers_.pop_front();
    return answer;
}

ScriptedColourChooser::~ScriptedColourChooser() {
    if (!answers_.empty())
        ADD_FAILURE() << answers_.size() << " scripted colour dialog answer(s) not used";
}

std::optional<QColor> ScriptedColourChooser::chooseColour(QWidget*, const QColor& initial) {
    initialColours.push_back(initial);
    if (answers_.empty()) {
        ADD_FAILURE() << "Unexpected colour dialog";
        return std::nullopt;
    }
    std::optional<QColor> answer = answers_.front();
    answers_.pop_front();
    return answer;
}

ScriptedPrinters::~ScriptedPrinters() {
    if (!setUpAnswers_.empty())
        ADD_FAILURE() << setUpAnswers_.size() << " scripted printer set-up answer(s) not used";
}

bool ScriptedPrinters::setUpPrinter(QWidget*, QPrinter&) {
    ++setUpCount;
    if (setUpAnswers_.empty()) {
        ADD_FAILURE() << "Unexpected printer set-up dialog";
        return false;
    }
    bool answer = setUpAnswers_.front();
    setUpAnswers_.pop_front();
    return answer;
}

ScriptedRandom::~ScriptedRandom() {
    if (!values_.empty())
        ADD_FAILURE() << values_.size() << " scripted random value(s) not used";
}

int ScriptedRandom::bounded(int upper) {
    if (values_.empty()) {
        ADD_FAILURE() << "Unexpected random number request (bound " << upper << ")";
        return 0;
    }
    int value = values_.front();
    values_.pop_front();
    if (value < 0 || value >= upper) {
        ADD_FAILURE() << "Scripted random value " << value << " is outside 0.." << upper - 1;
        return 0;
    }
    return value;
}

} // namespace testsupport
