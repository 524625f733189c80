#include "support_colour_seams.h"

#include <gtest/gtest.h>

namespace colourtest {

std::optional<QColor> ScriptedColourChooser::chooseColour(QWidget*, const QColor& initial) {
    initialColours.push_back(initial);
    if (answers_.empty()) {
        ADD_FAILURE() << "colour dialog opened without a scripted answer";
        return std::nullopt;
    }
    const auto answer = answers_.front();
    answers_.pop_front();
    return answer;
}

namespace {

class NoFiles : public widgets::FileDialogs {
public:
    QString openFileName(QWidget*, const widgets::FileDialogRequest&) override { return fail(); }
    QString saveFileName(QWidget*, const widgets::FileDialogRequest&) override { return fail(); }
    QString directory(QWidget*, const QString&, const QString&) override { return fail(); }

private:
    static QString fail() {
        ADD_FAILURE() << "unexpected file dialog";
        return {};
    }
};

class NoFonts : public widgets::FontChooser {
public:
    std::optional<QFont> chooseFont(QWidget*, const QFont&) override {
        ADD_FAILURE() << "unexpected font dialog";
        return std::nullopt;
    }
};

class NoPrinters : public widgets::Printers {
public:
    QStringList printerNames() override { return {}; }
    QString defaultPrinterName() override { return {}; }
    bool setUpPrinter(QWidget*, QPrinter&) override {
        ADD_FAILURE() << "unexpected printer dialog";
        return false;
    }
};

class NoHelp : public widgets::HelpViewer {
public:
    void showContents() override { ADD_FAILURE() << "unexpected help"; }
    void showKeyword(const QString& keyword) override {
        ADD_FAILURE() << "unexpected help for " << keyword.toStdString();
    }
};

class FixedScreen : public widgets::Screen {
public:
    QSize size() override { return {1024, 768}; }
};

class FixedClock : public widgets::Clock {
public:
    QDate today() override { return {2026, 12, 8}; }
    QDateTime now() override { return QDateTime(today(), QTime(12, 0)); }
};

class FirstRandom : public widgets::RandomSource {
public:
    int bounded(int) override { return 0; }
};

} // namespace

struct ColourSeams::Unexpected {
    NoFiles files;
    NoFonts fonts;
    NoPrinters printers;
    NoHelp help;
    FixedScreen screen;
    FixedClock clock;
    FirstRandom random;
};

ColourSeams::ColourSeams() : unexpected_(std::make_unique<Unexpected>()) {}
ColourSeams::~ColourSeams() = default;

widgets::Seams ColourSeams::seams() {
    return {messages,
            unexpected_->files,
            unexpected_->fonts,
            colours,
            unexpected_->printers,
            unexpected_->help,
            unexpected_->screen,
            unexpected_->clock,
            unexpected_->random};
}

} // namespace colourtest
