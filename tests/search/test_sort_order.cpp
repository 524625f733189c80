#include "search/sort_order_window.h"

#include "search/record_test.h"
#include "support/gui/scripted_seams.h"
#include "support_books.h"

#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using searchtest::Book;
using Titles = std::vector<std::string>;

constexpr const char* kInUseMessage =
    "Creating a new sort order requires exclusive use of the DBase File.  Make sure that the "
    "DBase File is not in use by another program  or that no other users are running the "
    "software or that no other copies of the software are in use.";

// Another process with the table open until the object goes away.
class OtherProgram {
public:
    explicit OtherProgram(const std::string& path) {
        int ready[2];
        if (::pipe(ready) != 0)
            throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            table::Table held;
            searchtest::openShared(held, path);
            (void)!::write(ready[1], "r", 1);
            for (;;)
                ::pause();
        }
        char byte = 0;
        (void)!::read(ready[0], &byte, 1);
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~OtherProgram() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

private:
    pid_t pid_ = -1;
};

class SortOrderWindow : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = searchtest::createBookTable(
            dir_, {Book{{"Title", "A"}, {"Author", "Cole"}, {"YearPub", "2001"}},
                   Book{{"Title", "B"}, {"Author", "abbot"}, {"YearPub", "1999"}},
                   Book{{"Title", "C"}, {"Author", "Baker"}, {"YearPub", "1999"}}});
        table::Table builder;
        db::pointTableAt(builder, QString::fromStdString(path_));
        db::installIndex(builder, expression_);
        books_.selectTag(db::kIndexTag);
        searchtest::openShared(books_, path_);
    }

    // Opens the dialog, chooses the four levels and presses "&Ok"; returns whether it closed.
    bool choose(const db::SortLevels& levels) {
        search::TMySortOrder dialog(nullptr, seams_.seams, settings_, context_, 1.0,
                                    widgets::UserFonts{});
        dialog.show();
        for (int level = 0; level < 4; ++level) {
            EXPECT_EQ(dialog.levelList(level)->count(), 37);
            dialog.levelList(level)->setCurrentIndex(levels[static_cast<size_t>(level)]);
        }
        dialog.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
        return dialog.result() == QDialog::Accepted;
    }

    testsupport::TempDir dir_;
    std::string path_;
    table::Table books_;
    app::Settings settings_;
    std::string expression_ = "Upper(Left(Author,20))";
    int saves_ = 0;
    bool saveWorks_ = true;
    testsupport::ScriptedSeams seams_;
    search::SortOrderContext context_{books_,
                                      settings_.sortLevels,
                                      expression_,
                                      seams_.messages,
                                      [this] {
                                          ++saves_;
                                          return saveWorks_;
                                      },
                                      {}};
};

TEST_F(SortOrderWindow, ListsStartOnTheStoredChoiceAndOkRebuildsTheIndex) {
    {
        search::TMySortOrder dialog(nullptr, seams_.seams, settings_, context_, 1.0,
                                    widgets::UserFonts{});
        dialog.show();
        EXPECT_EQ(dialog.levelList(0)->currentText(), "Author");
        EXPECT_EQ(dialog.levelList(1)->currentText(), "<NONE>");
        EXPECT_EQ(dialog.levelList(0)->itemText(36), "User Defined 6");
    }
    EXPECT_EQ(searchtest::column(books_), (Titles{"B", "C", "A"}));

    // Primary <NONE>, secondary Year Pub, third Author: year first, then author.
    ASSERT_TRUE(choose({0, 3, 2, 0}));
    EXPECT_EQ(settings_.sortLevels, (db::SortLevels{0, 3, 2, 0}));
    EXPECT_EQ(expression_, "STR(YearPub,8,0)+Upper(Left(Author,20))");
    EXPECT_EQ(saves_, 1);
    EXPECT_TRUE(books_.isOpen());
    EXPECT_EQ(books_.openMode(), table::OpenMode::Shared);
    EXPECT_EQ(searchtest::column(books_), (Titles{"B", "C", "A"}));
    ASSERT_TRUE(choose({3, 3, 1, 0})); // a field twice is accepted
    EXPECT_EQ(expression_, "STR(YearPub,8,0)+STR(YearPub,8,0)+Upper(Left(Title,20))");
    EXPECT_EQ(searchtest::column(books_), (Titles{"B", "C", "A"}));
    ASSERT_TRUE(choose({1, 0, 0, 0}));
    EXPECT_EQ(searchtest::column(books_), (Titles{"A", "B", "C"}));
    ASSERT_TRUE(choose({0, 0, 0, 0}));
    EXPECT_EQ(expression_, "");
    EXPECT_EQ(books_.selectedTag(), "");
    ASSERT_EQ(books_.tags().size(), 1u); // NewIndex is left as it was
    EXPECT_EQ(books_.tags()[0].expression, "Upper(Left(Title,20))");
    seams_.messages.verifyAllShown();
}

TEST_F(SortOrderWindow, ARunningSearchStaysOnAcrossTheReopen) {
    auto test = std::make_shared<const search::RecordTest>(std::vector<search::SearchItem>{
        {"1999", 1999, 3, search::ItemOperator::Equal, true, false}});
    books_.setFilter(search::makeRecordFilter(test));
    books_.refresh();
    ASSERT_TRUE(choose({1, 0, 0, 0}));
    EXPECT_EQ(searchtest::column(books_), (Titles{"B", "C"}));
}

TEST_F(SortOrderWindow, TableInUseElsewhereLeavesTheOrderAndTheDialogOpen) {
    OtherProgram other(path_);
    seams_.messages.expect("Error", kInUseMessage, db::MessageAnswer::Ok);
    EXPECT_FALSE(choose({3, 0, 0, 0}));
    seams_.messages.verifyAllShown();
    EXPECT_EQ(settings_.sortLevels, (db::SortLevels{2, 0, 0, 0}));
    EXPECT_EQ(expression_, "Upper(Left(Author,20))");
    EXPECT_EQ(saves_, 0);
    EXPECT_TRUE(books_.isOpen());
    EXPECT_EQ(searchtest::column(books_), (Titles{"B", "C", "A"}));
}

TEST_F(SortOrderWindow, ADamagedIndexIsNoOtherUserAndTheNewOrderReplacesIt) {
    books_.close();
    {
        std::fstream index(books_.mdxPath(), std::ios::in | std::ios::out | std::ios::binary);
        index.write(std::string(600, '\xff').data(), 600);
    }
    books_.open();
    ASSERT_FALSE(books_.indexProblem().empty());
    EXPECT_EQ(searchtest::column(books_), (Titles{"A", "B", "C"})); // in the order added
    ASSERT_TRUE(choose({3, 2, 0, 0}));
    seams_.messages.verifyAllShown(); // no "requires exclusive use"
    EXPECT_EQ(books_.indexProblem(), "");
    EXPECT_EQ(books_.selectedTag(), db::kIndexTag);
    EXPECT_EQ(searchtest::column(books_), (Titles{"B", "C", "A"}));
}

TEST_F(SortOrderWindow, FailureToSaveRestoresTheOldOrder) {
    saveWorks_ = false;
    seams_.messages.expect("Error",
                           "Error in implementing sort order.  New sort order not implemented.",
                           db::MessageAnswer::Ok);
    EXPECT_TRUE(choose({3, 0, 0, 0}));
    seams_.messages.verifyAllShown();
    EXPECT_EQ(settings_.sortLevels, (db::SortLevels{2, 0, 0, 0}));
    EXPECT_EQ(expression_, "Upper(Left(Author,20))");
    EXPECT_TRUE(books_.isOpen());
    EXPECT_EQ(searchtest::column(books_), (Titles{"B", "C", "A"}));
}

} // namespace
