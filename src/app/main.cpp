// Volumara Books: the program starts here.

#include "app/app_paths.h"
#include "app/main_window.h"
#include "widgets/qt_seams.h"

#include <QApplication>

namespace {

// Until the help window joins the program its commands stay disabled on the main window, so
// nothing reaches this viewer.
class NoHelpWindow : public widgets::HelpViewer {
public:
    void showContents() override {}
    void showKeyword(const QString&) override {}
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Volumara Books 95"));
    const QString startDirectory = app::startDirectory();

    NoHelpWindow help;
    widgets::SystemSeams system(help);
    app::MainWindowEnvironment environment{
        system.seams(),
        app::programDirectory(QCoreApplication::applicationDirPath()),
        app::settingsFilePath(),
        startDirectory,
        QCoreApplication::arguments().mid(1),
    };
    app::TMain mainWindow(environment);
    system.messages().setOwner(&mainWindow);
    if (!mainWindow.FormCreate())
        return 1;
    mainWindow.show();
    return QApplication::exec();
}
