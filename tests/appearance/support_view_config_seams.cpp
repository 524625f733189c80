#include "view_config_test_seams.h"

#include <gtest/gtest.h>

namespace viewconfigtest {

std::optional<QFont> ScriptedFonts::chooseFont(QWidget*, const QFont& initial) {
    offered.push_back(initial);
    if (answers.empty()) {
        ADD_FAILURE() << "font dialog opened without a scripted answer";
        return std::nullopt;
    }
    std::optional<QFont> answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QColor> ScriptedColours::chooseColour(QWidget*, const QColor& initial) {
    offered.push_back(initial);
    if (answers.empty()) {
        ADD_FAILURE() << "colour dialog opened without a scripted answer";
        return std::nullopt;
    }
    std::optional<QColor> answer = answers.front();
    answers.pop_front();
    return answer;
}

QString UnusedFiles::openFileName(QWidget*, const widgets::FileDialogRequest&) {
    ADD_FAILURE() << "unexpected file dialog";
    return {};
}
QString UnusedFiles::saveFileName(QWidget*, const widgets::FileDialogRequest&) {
    ADD_FAILURE() << "unexpected file dialog";
    return {};
}
QString UnusedFiles::directory(QWidget*, const QString&, const QString&) {
    ADD_FAILURE() << "unexpected folder dialog";
    return {};
}

QStringList UnusedPrinters::printerNames() {
    ADD_FAILURE() << "unexpected printer query";
    return {};
}
QString UnusedPrinters::defaultPrinterName() {
    ADD_FAILURE() << "unexpected printer query";
    return {};
}
bool UnusedPrinters::setUpPrinter(QWidget*, QPrinter&) {
    ADD_FAILURE() << "unexpected printer dialog";
    return false;
}

QDate UnusedClock::today() {
    ADD_FAILURE() << "unexpected clock query";
    return {};
}
QDateTime UnusedClock::now() {
    ADD_FAILURE() << "unexpected clock query";
    return {};
}

int UnusedRandom::bounded(int) {
    ADD_FAILURE() << "unexpected random number";
    return 0;
}

} // namespace viewconfigtest
