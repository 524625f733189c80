#pragma once

// Scripted seams for GUI tests. Every prompt a window shows must have been expected: a message
// box, file dialog, font or colour dialog or printer set-up that the test did not script fails
// the test (ADD_FAILURE naming the prompt) and is answered as if cancelled. Nothing here opens a
// real window, so the script also answers prompts raised while a real modal dialog is showing.
//
//     testsupport::ScriptedSeams s;
//     s.messages.expect("Delete this record?", db::MessageAnswer::Yes);
//     SomeWindow window(s.seams);
//     ...
//     s.messages.verifyAllShown(); // also done by the destructor

#include "db/user_messages.h"
#include "widgets/seams.h"

#include <QPrinter>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct ShownMessage {
    std::string caption;
    std::string text;
    db::MessageIcon icon;
    db::MessageButtons buttons;
    db::MessageAnswer defaultAnswer;
};

class StrictMessages : public db::UserMessages {
public:
    ~StrictMessages() override;

    // The next box must show `text` (and `caption` when given); it is answered `answer`.
    void expect(const std::string& text, db::MessageAnswer answer = db::MessageAnswer::Ok);
    void expect(const std::string& caption, const std::string& text, db::MessageAnswer answer);
    // The next box must have `caption`; its text may be anything (an engine's error message).
    void expectCaption(const std::string& caption,
                       db::MessageAnswer answer = db::MessageAnswer::Ok);
    // Fails the test for every expected box not shown yet, then forgets them.
    void verifyAllShown();

    db::MessageAnswer show(const std::string& caption, const std::string& text,
                           db::MessageIcon icon, db::MessageButtons buttons,
                           db::MessageAnswer defaultAnswer) override;
    void beep(db::BeepKind kind) override { beeps.push_back(kind); }

    std::vector<std::string> texts() const;
    std::vector<ShownMessage> shown; // every box, expected or not
    std::vector<db::BeepKind> beeps;

private:
    struct Expected {
        std::optional<std::string> caption;
        std::optional<std::string> text;
        db::MessageAnswer answer;
    };
    std::deque<Expected> expected_;
};

enum class FileDialogKind { Open, Save, Directory };

struct FileDialogCall {
    FileDialogKind kind;
    widgets::FileDialogRequest request; // for Directory: title and directory only
};

class ScriptedFileDialogs : public widgets::FileDialogs {
public:
    ~ScriptedFileDialogs() override;
    // Answers in order; an empty string is a cancel.
    void answer(const QString& path) { answers_.push_back(path); }
    QString openFileName(QWidget* parent, const widgets::FileDialogRequest& request) override;
    QString saveFileName(QWidget* parent, const widgets::FileDialogRequest& request) override;
    QString directory(QWidget* parent, const QString& title, const QString& start) override;
    std::vector<FileDialogCall> calls;

private:
    QString next(const char* what, const QString& title);
    std::deque<QString> answers_;
};

class ScriptedFontChooser : public widgets::FontChooser {
public:
    ~ScriptedFontChooser() override;
    void answer(std::optional<QFont> font) { answers_.push_back(std::move(font)); }
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    // Answers for the font dialog with a colour, in order; nothing is a cancel.
    void answerWithColour(std::optional<widgets::FontAndColour> answer) {
        colourAnswers_.push_back(std::move(answer));
    }
    std::optional<widgets::FontAndColour> chooseFontAndColour(QWidget* parent, const QFont& font,
                                                              const QColor& colour) override;
    std::vector<QFont> initialFonts; // of both dialogs
    std::vector<QColor> initialColours;

private:
    std::deque<std::optional<QFont>> answers_;
    std::deque<std::optional<widgets::FontAndColour>> colourAnswers_;
};

class ScriptedColourChooser : public widgets::ColourChooser {
public:
    ~ScriptedColourChooser() override;
    void answer(std::optional<QColor> colour) { answers_.push_back(std::move(colour)); }
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override;
    std::vector<QColor> initialColours;

private:
    std::deque<std::optional<QColor>> answers_;
};

class ScriptedPrinters : public widgets::Printers {
public:
    ~ScriptedPrinters() override;
    QStringList names{QStringLiteral("Test Printer"), QStringLiteral("Second Printer")};
    QString defaultName = QStringLiteral("Test Printer");
    // Each set-up must be scripted: true confirms, false cancels.
    void answerSetUp(bool confirm) { setUpAnswers_.push_back(confirm); }
    QStringList printerNames() override { return names; }
    QString defaultPrinterName() override { return defaultName; }
    bool setUpPrinter(QWidget* parent, QPrinter& printer) override;
    int setUpCount = 0;

private:
    std::deque<bool> setUpAnswers_;
};

class RecordingHelp : public widgets::HelpViewer {
public:
    void showContents() override { calls.push_back(QStringLiteral("contents")); }
    void showKeyword(const QString& keyword) override { calls.push_back(keyword); }
    QStringList calls; // "contents" or the keyword, in order
};

class FixedScreen : public widgets::Screen {
public:
    QSize size() override { return screenSize; }
    QSize screenSize{1024, 768};
};

class FixedClock : public widgets::Clock {
public:
    QDate today() override { return current.date(); }
    QDateTime now() override { return current; }
    QDateTime current{QDate(2024, 3, 15), QTime(10, 30)};
};

class ScriptedRandom : public widgets::RandomSource {
public:
    ~ScriptedRandom() override;
    void script(std::initializer_list<int> values) { values_.insert(values_.end(), values); }
    // The next scripted value; fails the test when the script is empty or the value is not
    // below `upper`.
    int bounded(int upper) override;

private:
    std::deque<int> values_;
};

// All of the above, owned together, with `seams` referring to them.
struct ScriptedSeams {
    StrictMessages messages;
    ScriptedFileDialogs files;
    ScriptedFontChooser fonts;
    ScriptedColourChooser colours;
    ScriptedPrinters printers;
    RecordingHelp help;
    FixedScreen screen;
    FixedClock clock;
    ScriptedRandom random;
    widgets::Seams seams{messages, files, fonts, colours, printers, help, screen, clock, random};
};

} // namespace testsupport
