// File > Back Up Data and File > Restore Data from the main window, with the real windows.

#include "app/window_wiring.h"
#include "backup/backup_window.h"
#include "backup/restore_window.h"
#include "support/gui/modal.h"
#include "support_main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace testsupport;

namespace {

class BackupCommandsTest : public MainWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(folder()));
        makeBookTable(file("BOOKS.DBF"), {"Carroll", "Austen", "Brontë"});
        writeSettings("[Misc]\r\nLast Database=" + file("BOOKS.DBF").toStdString() +
                      "\r\nShow Tips=No\r\n");
        window = makeWindow();
        ASSERT_TRUE(window->FormCreate());
        windows = std::make_unique<app::ProgramWindows>(*window, s.seams);
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        windows.reset();
        window.reset();
    }
    QString folder() const { return file("backups"); }
    void run(const char* menuItem, std::function<void(QWidget*)> answer) {
        whenModalAppears(std::move(answer));
        child<QAction>(*window, menuItem)->trigger();
        QApplication::processEvents();
    }
    QString count() { return child<QLabel>(*window, "CountLabel")->text(); }

    std::unique_ptr<app::TMain> window;
    std::unique_ptr<app::ProgramWindows> windows;
};

TEST_F(BackupCommandsTest, BackUpDataCopiesTheOpenTableToTheChosenFolder) {
    EXPECT_TRUE(child<QAction>(*window, "MenuBackup")->isEnabled());
    EXPECT_EQ(child<QAction>(*window, "MenuBackup")->shortcut(), QKeySequence("Ctrl+B"));
    s.messages.expect("Notice", "Backup completed successfully.", db::MessageAnswer::Ok);
    run("MenuBackup", [this](QWidget* dialog) {
        auto* backupWindow = qobject_cast<backup::TMyBackup*>(dialog);
        ASSERT_NE(backupWindow, nullptr);
        backupWindow->setDestination(folder());
        backupWindow->StartButton()->click();
        EXPECT_EQ(backupWindow->CancelButton()->text(), "&Close");
        backupWindow->CancelButton()->click();
    });
    EXPECT_TRUE(QFileInfo::exists(folder() + "/BOOKS.DBF"));
    EXPECT_FALSE(QFileInfo::exists(folder() + "/BOOKS.MDX"));
    EXPECT_TRUE(window->MyTable().isOpen());
    EXPECT_EQ(count(), "3");
}

TEST_F(BackupCommandsTest, RestoreDataOpensTheRestoredTableAndCountsIt) {
    makeBookTable(folder() + "/OTHER.DBF", {"Woolf", "Eliot"});
    EXPECT_EQ(child<QAction>(*window, "MenuRestore")->shortcut(), QKeySequence("Ctrl+Y"));
    s.files.answer(folder() + "/OTHER.DBF");
    s.messages.expect("Notice", "Restore completed successfully.", db::MessageAnswer::Ok);
    run("MenuRestore", [](QWidget* dialog) {
        auto* restoreWindow = qobject_cast<backup::TMyRestore*>(dialog);
        ASSERT_NE(restoreWindow, nullptr);
        restoreWindow->StartButton()->click();
        restoreWindow->CancelButton()->click();
    });
    EXPECT_EQ(window->windowTitle(), "Volumara Books 95 (OTHER)");
    EXPECT_EQ(window->currentDatabasePath(), file("OTHER.DBF"));
    EXPECT_EQ(window->settings().lastDatabase, file("OTHER.DBF"));
    EXPECT_EQ(window->indexFilePath(), file("OTHER.MDX"));
    EXPECT_EQ(count(), "2");
    window->close();
    EXPECT_NE(readSettings().find("Last Database=" + file("OTHER.DBF").toStdString()),
              std::string::npos);
}

} // namespace
