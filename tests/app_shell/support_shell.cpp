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

#include <memory>

namespace shelltest {

namespace {

// The application object lives from before the first test to after the last, and goes before
// the program's exit handlers run Qt's own clean-up.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "app_shell_tests";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { application_.reset(); }

private:
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

void ensureApplication() {
    if (QApplication::instance() == nullptr)
        ADD_FAILURE() << "no application object";
}

} // namespace shelltest
