// The Restore window driven as a user drives it: the file chosen in the open dialog is restored
// into the program directory.

#include "backup/restore_window.h"
#include "db/book_database.h"
#include "support_backup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace testsupport;
using backup::RestoreKind;
using db::MessageAnswer;

namespace {

using Authors = std::vector<std::string>;

class RestoreWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(programDirectory()));
        ASSERT_TRUE(QDir().mkpath(folder()));
        main.openBooks("BOOKS.DBF", {"Carroll", "Austen", "Byron", "Adams"});
        window = std::make_unique<backup::TMyRestore>(main, s.seams, backup::DialogLook{});
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        window.reset();
        s.messages.verifyAllShown();
    }

    QString programDirectory() const { return QString::fromStdString(dir.file("program")); }
    QString folder() const { return QString::fromStdString(dir.file("backups")); }
    QString programFile(const char* name) const { return programDirectory() + "/" + name; }
    QString backupFile(const char* name) const { return folder() + "/" + name; }

    // Chooses the kind, answers the open dialog with `chosen` and clicks "&Start Restore".
    void restore(RestoreKind kind, const QString& chosen) {
        window->choice(kind)->click();
        s.files.answer(chosen);
        window->StartButton()->click();
    }
    void expectDone() { s.messages.expect("Notice", backup::kRestoreDoneMessage, {}); }
    // The authors of the open table in the order of its index.
    Authors shownAuthors() {
        Authors authors;
        const int author = main.books.fieldIndexOrThrow("AUTHOR");
        for (main.books.first(); !main.books.eof(); main.books.next())
            authors.push_back(main.books.asText(author));
        return authors;
    }

    TempDir dir;
    ScriptedSeams s;
    FakeMain main{s.messages, programDirectory()};
    std::unique_ptr<backup::TMyRestore> window;
};

TEST_F(RestoreWindowTest, EachKindAsksForItsOwnFile) {
    EXPECT_EQ(window->windowTitle(), "Restore");
    EXPECT_TRUE(window->choice(RestoreKind::Database)->isChecked());
    struct Case {
        RestoreKind kind;
        const char* title;
        const char* filter;
        const char* suffix;
        const char* fileName;
    };
    const Case cases[] = {
        {RestoreKind::Database, "Restore DBF File", "DBase Files (*.DBF)", "DBF", ""},
        {RestoreKind::Lists, "Restore LST Files", "List Files (*.LST)", "LST", ""},
        {RestoreKind::ReportDefinitions, "Restore URP File", "Reports Files (*.URP)", "URP",
         "VLMBOOK.URP"},
    };
    for (const Case& c : cases) {
        restore(c.kind, ""); // cancelled: nothing happens
        const widgets::FileDialogRequest& request = s.files.calls.back().request;
        EXPECT_EQ(request.title, c.title);
        EXPECT_EQ(request.filters, QStringList{c.filter});
        EXPECT_EQ(request.defaultSuffix, c.suffix);
        EXPECT_EQ(request.fileName, c.fileName);
    }
    EXPECT_EQ(window->CancelButton()->text(), "&Cancel");
    EXPECT_TRUE(main.books.isOpen());
}

TEST_F(RestoreWindowTest, ABackupOfTheOpenTableReplacesItInPlaceAndEndsTheSearch) {
    makeBooks(backupFile("BOOKS.DBF"), {"Woolf", "Eliot"});
    main.startSearch();
    expectDone();
    restore(RestoreKind::Database, backupFile("BOOKS.DBF"));
    EXPECT_FALSE(main.search);
    EXPECT_EQ(authorsIn(programFile("BOOKS.DBF")), (Authors{"Woolf", "Eliot"}));
    EXPECT_EQ(main.currentPath, programFile("BOOKS.DBF"));
    EXPECT_EQ(main.lastDatabase, programFile("BOOKS.DBF"));
    EXPECT_EQ(main.caption, "Volumara Books 95 (BOOKS)");
    EXPECT_EQ(main.indexFile, programFile("BOOKS.MDX"));
    ASSERT_TRUE(main.books.isOpen());
    EXPECT_EQ(main.books.openMode(), table::OpenMode::Shared);
    EXPECT_EQ(main.books.selectedTag(), "NewIndex");
    EXPECT_EQ(shownAuthors(), (Authors{"Eliot", "Woolf"}));
    EXPECT_EQ(window->CancelButton()->text(), "&Close");
    EXPECT_TRUE(window->CancelButton()->hasFocus());
    EXPECT_EQ(main.busyCalls, (std::vector<bool>{true, false}));
}

TEST_F(RestoreWindowTest, ATableOfAnotherNameIsCopiedBesideTheOpenOneAndOpened) {
    makeBooks(backupFile("OTHER.DBF"), {"Woolf", "Eliot"});
    expectDone();
    restore(RestoreKind::Database, backupFile("OTHER.DBF"));
    EXPECT_EQ(main.currentPath, programFile("OTHER.DBF"));
    EXPECT_EQ(main.caption, "Volumara Books 95 (OTHER)");
    EXPECT_EQ(authorsIn(programFile("BOOKS.DBF")),
              (Authors{"Carroll", "Austen", "Byron", "Adams"}));
    EXPECT_EQ(shownAuthors(), (Authors{"Eliot", "Woolf"}));
}

TEST_F(RestoreWindowTest, TheRestoredTableOpensInTheCurrentSortOrderWithOrWithoutAnIndexBeside) {
    main.expression = "Upper(Left(Title,20))";
    // A backup of a table that had its index: the header says so, but no .MDX comes with it.
    makeBooks(backupFile("OTHER.DBF"), {"Woolf", "Eliot", "Austen"});
    {
        table::Table handle;
        db::pointTableAt(handle, backupFile("OTHER.DBF"));
        db::installIndex(handle, "Upper(Left(Author,20))");
    }
    QFile::remove(backupFile("OTHER.MDX"));
    expectDone();
    restore(RestoreKind::Database, backupFile("OTHER.DBF"));
    EXPECT_FALSE(QFileInfo::exists(backupFile("OTHER.MDX")));
    ASSERT_TRUE(QFileInfo::exists(programFile("OTHER.MDX")));
    ASSERT_TRUE(main.books.isOpen());
    EXPECT_EQ(main.books.selectedTag(), "NewIndex");
    EXPECT_EQ(main.books.tags().front().expression, "Upper(Left(Title,20))");

    // Restored again over itself with an .MDX in the program directory: the tag is rebuilt.
    main.expression = "Upper(Left(Author,20))";
    s.messages.expect("Warning", backup::replaceTableQuestion(programFile("OTHER.DBF")),
                      MessageAnswer::Yes);
    main.openBooks("BOOKS.DBF", {"Carroll"}); // another table open meanwhile
    expectDone();
    restore(RestoreKind::Database, backupFile("OTHER.DBF"));
    EXPECT_EQ(main.books.tags().size(), 1u);
    EXPECT_EQ(main.books.tags().front().expression, "Upper(Left(Author,20))");
    EXPECT_EQ(shownAuthors(), (Authors{"Austen", "Eliot", "Woolf"}));
}

TEST_F(RestoreWindowTest, AnotherTableOfTheSameNameIsReplacedOnlyWhenTheUserAgrees) {
    makeBooks(programFile("OTHER.DBF"), {"Kept"});
    makeBooks(backupFile("OTHER.DBF"), {"Restored"});
    const std::string question = backup::replaceTableQuestion(programFile("OTHER.DBF"));
    s.messages.expect("Warning", question, MessageAnswer::No);
    restore(RestoreKind::Database, backupFile("OTHER.DBF"));
    EXPECT_EQ(authorsIn(programFile("OTHER.DBF")), Authors{"Kept"});
    EXPECT_EQ(main.currentPath, programFile("BOOKS.DBF"));
    EXPECT_TRUE(main.books.isOpen());
    EXPECT_EQ(s.messages.shown.back().defaultAnswer, MessageAnswer::No);

    s.messages.expect("Warning", question, MessageAnswer::Yes);
    expectDone();
    restore(RestoreKind::Database, backupFile("OTHER.DBF"));
    EXPECT_EQ(authorsIn(programFile("OTHER.DBF")), Authors{"Restored"});
    EXPECT_EQ(main.currentPath, programFile("OTHER.DBF"));
}

TEST_F(RestoreWindowTest, TheOpenTableHeldByAnotherProgramIsNotReplaced) {
    makeBooks(backupFile("BOOKS.DBF"), {"Woolf"});
    main.startSearch();
    TableHolder holder(main.currentPath);
    ASSERT_TRUE(holder.ready());
    s.messages.expect("Restore", backup::kRestoreInUseMessage, MessageAnswer::Ok);
    restore(RestoreKind::Database, backupFile("BOOKS.DBF"));
    EXPECT_FALSE(main.search); // ended also when the restore is refused
    EXPECT_EQ(authorsIn(programFile("BOOKS.DBF")).size(), 4u);
    EXPECT_TRUE(main.books.isOpen());
    EXPECT_EQ(main.books.openMode(), table::OpenMode::Shared);
    EXPECT_EQ(window->CancelButton()->text(), "&Cancel");
}

TEST_F(RestoreWindowTest, RefusedRestoresLeaveThePreviousTableOpenAndUnchanged) {
    table::Table::create(QFile::encodeName(backupFile("PRICES.DBF")).toStdString(),
                         {{"NAME", 'C', 20, 0}});
    s.messages.expect("Error", db::kNotABookTableMessage, {});
    restore(RestoreKind::Database, backupFile("PRICES.DBF"));
    EXPECT_FALSE(QFileInfo::exists(programFile("PRICES.DBF")));

    makeBooks(backupFile("BOOKS.DBF"), {"Woolf"});
    main.storageFake.freeBytes = 0;
    main.books.close(); // the restored copy is larger than the table it replaces
    makeBooks(programFile("BOOKS.DBF"), {});
    db::installIndex(main.books, main.expression);
    main.books.open();
    const std::string empty = readFile(programFile("BOOKS.DBF"));
    s.messages.expect("Error", backup::kRestoreNoRoomMessage, {});
    restore(RestoreKind::Database, backupFile("BOOKS.DBF"));
    EXPECT_EQ(readFile(programFile("BOOKS.DBF")), empty);
    EXPECT_TRUE(main.books.isOpen());

    main.storageFake.freeBytes.reset();
    s.messages.expect("Error", backup::kRestoreFailedMessage, {});
    {
        FileSizeLimit fullDevice(100);
        restore(RestoreKind::Database, backupFile("BOOKS.DBF"));
    }
    EXPECT_EQ(readFile(programFile("BOOKS.DBF")), empty);
    EXPECT_TRUE(main.books.isOpen());
    EXPECT_EQ(main.currentPath, programFile("BOOKS.DBF"));
    EXPECT_EQ(filesIn(programDirectory()), (QStringList{"BOOKS.DBF", "BOOKS.MDX"}));
}

TEST_F(RestoreWindowTest, AllNineListsAreRestoredAndReloaded) {
    for (const char* name : backup::kListFiles)
        writeFile(backupFile(name), std::string("From ") + name + "\r\n");
    s.messages.expect("Notice", backup::kListsRestoredMessage, {});
    restore(RestoreKind::Lists, backupFile("CATEGORY.LST"));
    for (const char* name : backup::kListFiles)
        EXPECT_EQ(readFile(programFile(name)), std::string("From ") + name + "\r\n");
    EXPECT_EQ(main.listLoads, 1);
    EXPECT_EQ(main.lists.forField(2)->entries(), QStringList{"From AUTHOR.LST"});
    EXPECT_EQ(window->CancelButton()->text(), "&Close");
}

TEST_F(RestoreWindowTest, AMissingListIsReportedAndTheOthersAreRestored) {
    for (const char* name : backup::kListFiles)
        if (std::string(name) != "BOUGHT.LST")
            writeFile(backupFile(name), "Entry\r\n");
    s.messages.expect("Warning",
                      "The following file \"BOUGHT.LST\" could not be located on the specified "
                      "source drive.",
                      {});
    s.messages.expect("Notice", backup::kListsIncompleteMessage, {});
    restore(RestoreKind::Lists, backupFile("AUTHOR.LST"));
    EXPECT_EQ(filesIn(programDirectory()).filter(".LST").size(), 8);
    EXPECT_EQ(main.listLoads, 1);
}

TEST_F(RestoreWindowTest, ReportDefinitionsComeFromTheFolderOfAnyFilePicked) {
    writeFile(backupFile("VLMBOOK.URP"), std::string(3000, 'u'));
    writeFile(backupFile("AUTHOR.LST"), "Woolf\r\n");
    expectDone();
    restore(RestoreKind::ReportDefinitions, backupFile("AUTHOR.LST"));
    EXPECT_EQ(readFile(programFile("VLMBOOK.URP")), std::string(3000, 'u'));
    EXPECT_EQ(main.reportListReloads, 1);
    EXPECT_FALSE(QFileInfo::exists(programFile("AUTHOR.LST")));

    QFile::remove(backupFile("VLMBOOK.URP"));
    s.messages.expect("Error",
                      "The Report Definitions file \"VLMBOOK.URP\" could not be  located on the "
                      "specified source drive.",
                      {});
    restore(RestoreKind::ReportDefinitions, backupFile("AUTHOR.LST"));
    EXPECT_EQ(main.reportListReloads, 1);
}

} // namespace
