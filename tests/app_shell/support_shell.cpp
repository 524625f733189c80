#include "support_shell.h"

#include "widgets/window_geometry.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace shelltest {

QString NoFileDialogs::openFileName(QWidget*, const widgets::FileDialogRequest& request) {
    ADD_FAILURE() << "unexpected open dialog " << request.title.toStdString();
    return {};
}

QString NoFileDialogs::saveFileName(QWidget*, const widgets::FileDialogRequest& request) {
    ADD_FAILURE() << "unexpected save dialog " << request.title.toStdString();
    return {};
}

QString NoFileDialogs::directory(QWidget*, const QString& title, const QString&) {
    ADD_FAILURE() << "unexpected folder dialog " << title.toStdString();
    return {};
}

std::optional<QFont> NoFontChooser::chooseFont(QWidget*, const QFont&) {
    ADD_FAILURE() << "unexpected font dialog";
    return std::nullopt;
}

std::optional<QColor> NoColourChooser::chooseColour(QWidget*, const QColor&) {
    ADD_FAILURE() << "unexpected colour dialog";
    return std::nullopt;
}

bool NoPrinters::setUpPrinter(QWidget*, QPrinter&) {
    ADD_FAILURE() << "unexpected printer dialog";
    return false;
}

int ScriptedRandom::bounded(int upper) {
    uppers.push_back(upper);
    if (numbers_.empty()) {
        ADD_FAILURE() << "unscripted random number";
        return 0;
    }
    int number = numbers_.front();
    numbers_.pop_front();
    return number;
}

} // namespace shelltest

// Until the shared window-geometry code provides them, plain versions keep these tests linking;
// the library's definitions win as soon as they exist.
namespace widgets {

[[gnu::weak]] void scaleAndCentre(QWidget& window, double factor, QSize screen) {
    QSize size = window.size() * factor;
    window.resize(size);
    window.move((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2);
}

[[gnu::weak]] void applyUserFonts(QWidget&, const UserFonts&) {}

} // namespace widgets

#include <QApplication>

namespace shelltest {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "app_shell_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

} // namespace shelltest
