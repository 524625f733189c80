// Volumara Books: the program starts here.

#include "app/about_box.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/session_end.h"
#include "app/window_wiring.h"
#include "settings/app_paths.h"
#include "widgets/qt_seams.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage = "Usage: volumara [/BROWSE] [TABLE.DBF]\n"
                               "  /BROWSE   open the table read-only\n"
                               "  TABLE.DBF open this book table instead of the last one used\n"
                               "  --version print the version and exit\n";

// Answers --version and --help before any window or display is needed; -1 to go on.
int answerInformationRequest(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Volumara Books 95 %s\n", app::kProgramVersion);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (const int answered = answerInformationRequest(argc, argv); answered >= 0)
        return answered;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Volumara Books 95"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.volumara.Books"));
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
    app::SessionEndWatcher sessionEnd([&mainWindow] {
        // A dialog left open would keep the program running after the main window closes.
        while (QWidget* dialog = QApplication::activeModalWidget()) {
            if (!dialog->close())
                return; // it holds something the user must decide: keep running
        }
        mainWindow.close();
    });
    mainWindow.show();
    return QApplication::exec();
}
