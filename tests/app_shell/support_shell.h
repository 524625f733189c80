#pragma once

// Seams for the shell's window tests: every dialog and the help window are recorded, the random
// source gives scripted numbers, and a prompt nobody scripted fails the test.

#include "support/scripted_messages.h"
#include "widgets/seams.h"

#include <QSize>
#include <QStringList>

#include <deque>

namespace shelltest {

class NoFileDialogs : public widgets::FileDialogs {
public:
    QString openFileName(QWidget*, const widgets::FileDialogRequest&) override;
    QString saveFileName(QWidget*, const widgets::FileDialogRequest&) override;
    QString directory(QWidget*, const QString&, const QString&) override;
};

class NoFontChooser : public widgets::FontChooser {
public:
    std::optional<QFont> chooseFont(QWidget*, const QFont&) override;
};

class NoColourChooser : public widgets::ColourChooser {
public:
    std::optional<QColor> chooseColour(QWidget*, const QColor&) override;
};

class NoPrinters : public widgets::Printers {
public:
    QStringList printerNames() override { return {}; }
    QString defaultPrinterName() override { return {}; }
    bool setUpPrinter(QWidget*, QPrinter&) override;
};

class RecordedHelp : public widgets::HelpViewer {
public:
    void showContents() override { requests.push_back(QStringLiteral("<contents>")); }
    void showKeyword(const QString& keyword) override { requests.push_back(keyword); }
    QStringList requests;
};

class FixedScreen : public widgets::Screen {
public:
    QSize size() override { return {1024, 768}; }
};

class FixedClock : public widgets::Clock {
public:
    QDate today() override { return {2026, 12, 8}; }
    QDateTime now() override { return QDateTime(today(), QTime(9, 0)); }
};

// Gives the scripted numbers in turn; fails the test when asked for one more.
class ScriptedRandom : public widgets::RandomSource {
public:
    void script(std::initializer_list<int> numbers) { numbers_.insert(numbers_.end(), numbers); }
    int bounded(int upper) override;
    std::vector<int> uppers; // the bounds asked for

private:
    std::deque<int> numbers_;
};

struct ShellSeams {
    testsupport::ScriptedMessages messages;
    NoFileDialogs files;
    NoFontChooser fonts;
    NoColourChooser colours;
    NoPrinters printers;
    RecordedHelp help;
    FixedScreen screen;
    FixedClock clock;
    ScriptedRandom random;
    widgets::Seams seams{messages, files, fonts, colours, printers, help, screen, clock, random};
};

} // namespace shelltest

namespace shelltest {
// Every test of this folder runs with one application object, made before the first test and
// removed after the last; this fails the test when it is missing.
void ensureApplication();
} // namespace shelltest
