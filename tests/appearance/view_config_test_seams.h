#pragma once

// Seams for driving the viewer configuration window in tests: font and colour dialogs answered
// from a script, help requests recorded, a fixed screen, and every other seam failing the test
// when the window touches it.

#include "support/scripted_messages.h"
#include "widgets/seams.h"

#include <deque>
#include <optional>
#include <vector>

namespace viewconfigtest {

class ScriptedFonts : public widgets::FontChooser {
public:
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    std::deque<std::optional<QFont>> answers;
    std::vector<QFont> offered;
};

class ScriptedColours : public widgets::ColourChooser {
public:
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override;
    std::deque<std::optional<QColor>> answers;
    std::vector<QColor> offered;
};

class RecordedHelp : public widgets::HelpViewer {
public:
    void showContents() override { contents += 1; }
    void showKeyword(const QString& keyword) override { keywords.push_back(keyword); }
    int contents = 0;
    std::vector<QString> keywords;
};

class FixedScreen : public widgets::Screen {
public:
    QSize size() override { return screenSize; }
    QSize screenSize{1280, 1024};
};

class UnusedFiles : public widgets::FileDialogs {
public:
    QString openFileName(QWidget*, const widgets::FileDialogRequest&) override;
    QString saveFileName(QWidget*, const widgets::FileDialogRequest&) override;
    QString directory(QWidget*, const QString&, const QString&) override;
};

class UnusedPrinters : public widgets::Printers {
public:
    QStringList printerNames() override;
    QString defaultPrinterName() override;
    bool setUpPrinter(QWidget*, QPrinter&) override;
};

class UnusedClock : public widgets::Clock {
public:
    QDate today() override;
    QDateTime now() override;
};

class UnusedRandom : public widgets::RandomSource {
public:
    int bounded(int upper) override;
};

struct TestSeams {
    testsupport::ScriptedMessages messages;
    UnusedFiles files;
    ScriptedFonts fonts;
    ScriptedColours colours;
    UnusedPrinters printers;
    RecordedHelp help;
    FixedScreen screen;
    UnusedClock clock;
    UnusedRandom random;
    widgets::Seams seams{messages, files, fonts, colours, printers, help, screen, clock, random};
};

} // namespace viewconfigtest
