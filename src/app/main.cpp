// Volumara Books: the program starts here.

#include "app/help_window.h"
#include "app/main_window.h"
#include "app/window_wiring.h"
#include "settings/app_paths.h"
#include "widgets/error_display.h"
#include "widgets/qt_seams.h"

int main(int argc, char** argv) {
    widgets::GuardedApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Volumara Books 95"));
    const QString startDirectory = app::startDirectory();

    app::HelpWindow help;
    help.setAttribute(Qt::WA_QuitOnClose, false); // closing the main window ends the program
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
    // The edit and search windows live for the whole run, created after the main window and
    // gone before it.
    app::ProgramWindows windows(mainWindow, environment.seams);
    mainWindow.show();
    return QApplication::exec();
}
