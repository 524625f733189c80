// The Backup window driven as a user drives it, with the volumes and free space the test chooses.

#include "backup/backup_window.h"
#include "support_backup.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace testsupport;
using backup::BackupKind;

namespace {

class BackupWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(programDirectory()));
        ASSERT_TRUE(QDir().mkpath(destination()));
        main.openBooks("BOOKS.DBF", {"Carroll", "Austen", "Byron", "Adams"});
        main.storageFake.volumes = {{destination(), "STICK (" + destination() + ")", true},
                                    {programDirectory(), "Home folder", false}};
        window = std::make_unique<backup::TMyBackup>(main, s.seams, backup::DialogLook{});
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        window.reset();
        s.messages.verifyAllShown();
    }

    QString programDirectory() const { return QString::fromStdString(dir.file("program")); }
    QString destination() const { return QString::fromStdString(dir.file("stick")); }
    QString programFile(const char* name) const { return programDirectory() + "/" + name; }
    QString copyOf(const char* name) const { return destination() + "/" + name; }

    // Chooses the kind and the destination, then clicks "&Start Back Up".
    void backUp(BackupKind kind, const QString& folder) {
        window->choice(kind)->click();
        window->setDestination(folder);
        window->StartButton()->click();
    }
    void expectSuccess() { s.messages.expect("Notice", backup::kBackupDoneMessage, {}); }

    TempDir dir;
    ScriptedSeams s;
    FakeMain main{s.messages, programDirectory()};
    std::unique_ptr<backup::TMyBackup> window;
};

TEST_F(BackupWindowTest, OpensOnTheDatabaseAndTheVolumeOfTheProgramDirectory) {
    EXPECT_EQ(window->windowTitle(), "Backup");
    EXPECT_TRUE(window->choice(BackupKind::Database)->isChecked());
    EXPECT_EQ(window->DriveBox()->count(), 2);
    EXPECT_EQ(window->DriveBox()->currentIndex(), 1);
    EXPECT_EQ(window->destination(), programDirectory());
    EXPECT_EQ(window->findChild<QLabel*>("DirLabel")->text(), programDirectory());
    EXPECT_EQ(window->CancelButton()->text(), "&Cancel");
    // Choosing the stick moves the folder list to its root.
    window->DriveBox()->setCurrentIndex(0);
    emit window->DriveBox()->activated(0);
    EXPECT_EQ(window->destination(), destination());
}

TEST_F(BackupWindowTest, TheDatabaseIsCopiedWithoutItsIndexAndCancelBecomesClose) {
    main.books.first();
    main.books.next(); // Adams, Austen: on Austen
    const table::Table::Bookmark onAusten = main.books.bookmark();
    expectSuccess();
    backUp(BackupKind::Database, destination());
    EXPECT_EQ(filesIn(destination()), QStringList{"BOOKS.DBF"});
    EXPECT_EQ(readFile(copyOf("BOOKS.DBF")), readFile(programFile("BOOKS.DBF")));
    EXPECT_EQ(authorsIn(copyOf("BOOKS.DBF")),
              (std::vector<std::string>{"Carroll", "Austen", "Byron", "Adams"}));
    EXPECT_EQ(window->CancelButton()->text(), "&Close");
    EXPECT_TRUE(window->CancelButton()->hasFocus());
    ASSERT_TRUE(main.books.isOpen());
    EXPECT_EQ(main.books.openMode(), table::OpenMode::Shared);
    EXPECT_EQ(main.books.bookmark(), onAusten);
    EXPECT_EQ(main.books.selectedTag(), "NewIndex");
    EXPECT_GE(main.viewerOptions, 1);
    EXPECT_EQ(main.busyCalls, (std::vector<bool>{true, false}));
    // The window stays open for the next kind.
    EXPECT_TRUE(window->isVisible());
}

TEST_F(BackupWindowTest, ABackupOverAnEarlierCopyNeedsRoomOnlyForTheGrowth) {
    expectSuccess();
    backUp(BackupKind::Database, destination());
    const qint64 earlier = QFileInfo(copyOf("BOOKS.DBF")).size();
    main.books.append();
    main.books.setText(main.books.fieldIndexOrThrow("AUTHOR"), "Dickens");
    main.books.post();
    const qint64 growth = QFileInfo(programFile("BOOKS.DBF")).size() - earlier;
    ASSERT_GT(growth, 0);

    main.storageFake.freeBytes = growth - 1;
    s.messages.expect("Error", backup::kBackupNoRoomMessage, {});
    backUp(BackupKind::Database, destination());
    EXPECT_EQ(authorsIn(copyOf("BOOKS.DBF")).size(), 4u);
    EXPECT_TRUE(main.books.isOpen());

    main.storageFake.freeBytes = growth;
    expectSuccess();
    backUp(BackupKind::Database, destination());
    EXPECT_EQ(authorsIn(copyOf("BOOKS.DBF")).size(), 5u);
    EXPECT_EQ(main.storageFake.asked.last(), destination());
}

TEST_F(BackupWindowTest, ABackupDuringASearchLeavesTheSearchOn) {
    main.startSearch();
    ASSERT_EQ(main.books.recordCount(), 2u);
    expectSuccess();
    backUp(BackupKind::Database, destination());
    EXPECT_TRUE(main.search);
    EXPECT_EQ(main.books.recordCount(), 2u);
    EXPECT_EQ(authorsIn(copyOf("BOOKS.DBF")).size(), 4u); // the copy holds every record
}

TEST_F(BackupWindowTest, AFailedCopyKeepsTheEarlierBackupAndReopensTheTable) {
    writeFile(copyOf("BOOKS.DBF"), "the earlier backup");
    main.startSearch();
    s.messages.expect("Error", backup::kBackupFailedMessage, {});
    {
        FileSizeLimit fullDevice(1000); // the table is larger
        backUp(BackupKind::Database, destination());
    }
    EXPECT_EQ(readFile(copyOf("BOOKS.DBF")), "the earlier backup");
    EXPECT_EQ(filesIn(destination()), QStringList{"BOOKS.DBF"});
    EXPECT_EQ(window->CancelButton()->text(), "&Cancel");
    EXPECT_TRUE(main.books.isOpen());
    EXPECT_TRUE(main.search);
    EXPECT_EQ(main.busyCalls, (std::vector<bool>{true, false}));
}

TEST_F(BackupWindowTest, ATableHeldByAnotherProgramIsNotCopied) {
    main.startSearch();
    TableHolder holder(main.currentPath);
    ASSERT_TRUE(holder.ready());
    s.messages.expect("Error", backup::kBackupInUseMessage, {});
    backUp(BackupKind::Database, destination());
    EXPECT_TRUE(filesIn(destination()).isEmpty());
    EXPECT_TRUE(main.books.isOpen());
    EXPECT_EQ(main.books.openMode(), table::OpenMode::Shared);
    EXPECT_TRUE(main.search);
    EXPECT_EQ(main.books.recordCount(), 2u);
}

TEST_F(BackupWindowTest, TheListsAreWrittenBeforeTheyAreCopied) {
    main.lists.forField(2)->setEntries({"Woolf", "Austen"});
    expectSuccess();
    backUp(BackupKind::Lists, destination());
    EXPECT_EQ(main.listSaves, 1);
    EXPECT_EQ(filesIn(destination()).size(), 9);
    EXPECT_EQ(readFile(copyOf("AUTHOR.LST")), "Woolf\r\nAusten\r\n");
    EXPECT_EQ(window->CancelButton()->text(), "&Close");
}

TEST_F(BackupWindowTest, AListFileThatDoesNotExistIsPassedOver) {
    main.listsSaveToFiles = false;
    for (const char* name : backup::kListFiles)
        writeFile(programFile(name), std::string(name) + "\r\n");
    QFile::remove(programFile("RATING.LST"));
    expectSuccess();
    backUp(BackupKind::Lists, destination());
    QStringList expected;
    for (const char* name : backup::kListFiles)
        if (std::string(name) != "RATING.LST")
            expected << name;
    expected.sort();
    EXPECT_EQ(filesIn(destination()), expected);
    EXPECT_EQ(readFile(copyOf("CONDITION.LST")), "CONDITION.LST\r\n");
}

TEST_F(BackupWindowTest, ReportDefinitionsAreCopiedWhenThereIsRoom) {
    writeFile(programFile("VLMBOOK.URP"), std::string(5000, 'r'));
    main.storageFake.freeBytes = 4999;
    s.messages.expect("Error", backup::kBackupReportsNoRoomMessage, {});
    backUp(BackupKind::ReportDefinitions, destination());
    EXPECT_TRUE(filesIn(destination()).isEmpty());

    main.storageFake.freeBytes = 5000;
    expectSuccess();
    backUp(BackupKind::ReportDefinitions, destination());
    EXPECT_EQ(filesIn(destination()), QStringList{"VLMBOOK.URP"});

    QFile::remove(programFile("VLMBOOK.URP"));
    s.messages.expect("Error", backup::kBackupFailedMessage, {});
    backUp(BackupKind::ReportDefinitions, destination());
}

TEST_F(BackupWindowTest, HelpAndF1OpenAtBackupAndRestore) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == "&Help")
            button->click();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == window.get(); }));
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(s.help.calls, (QStringList{"Backup and Restore", "Backup and Restore"}));
}

} // namespace
