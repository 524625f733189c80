// Global search and replace: input checks, the run over the whole table under sole use, the
// index built again, the undo file, and a run killed half way.

#include "search/replace.h"

#include "db/book_database.h"
#include "search/replace_undo.h"
#include "support/scripted_messages.h"
#include "support_books.h"
#include "table/date_format.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using search::ReplaceInputError;
using searchtest::Book;
using Values = std::vector<std::string>;

constexpr int kPublisher = 4;
constexpr int kCost = 7;
constexpr int kPurchDate = 12;
constexpr int kCondition = 26;

const search::DateReading kDates{table::DateFormat{}, 2024}; // m/d/yy

search::ReplaceRequest request(int field, const std::string& search, const std::string& replacement,
                               bool confirm = false) {
    const search::ReplaceValidation checked =
        search::validateReplace(field, search, replacement, confirm, kDates);
    EXPECT_EQ(checked.error, ReplaceInputError::None) << search << " -> " << replacement;
    return checked.request;
}

class ReplaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = searchtest::createBookTable(
            dir_, {
                      Book{{"Title", "One"}, {"Publisher", "Penguin"}, {"Cost", "5"}},
                      Book{{"Title", "Two"}, {"Publisher", "Penguin Classics"}, {"Cost", "0"}},
                      Book{{"Title", "Three"}, {"Publisher", "PENGUIN"}, {"PurchDate", "3/4/21"}},
                      Book{{"Title", "Four"}, {"Publisher", "Faber"}, {"PurchDate", "1/2/20"}},
                  });
        searchtest::openShared(books_, path_);
    }

    // Runs the replace through to its end; `answers` answers the confirmation questions.
    search::ReplaceCounters run(const search::ReplaceRequest& wanted,
                                std::vector<bool> answers = {}) {
        search::ReplaceRun replace(context_, wanted, undoPath());
        EXPECT_EQ(replace.start(), search::ExclusiveTableRun::Start::Started);
        while (replace.step(2, [&](const std::string& title) {
            asked_.push_back(title);
            const bool yes = !answers.empty() && answers.front();
            if (!answers.empty())
                answers.erase(answers.begin());
            return yes;
        })) {
        }
        replace.finish();
        return replace.counters();
    }
    Values column(const char* field) { return searchtest::column(books_, field); }
    std::string undoPath() const { return dir_.file("BOOKS.UND"); }

    testsupport::TempDir dir_;
    std::string path_;
    table::Table books_;
    testsupport::ScriptedMessages messages_;
    bool searchOn_ = false;
    int viewerOptionsApplied_ = 0;
    search::ReplaceContext context_{books_,
                                    "",
                                    messages_,
                                    [this] { ++viewerOptionsApplied_; },
                                    [this] { return searchOn_; },
                                    [this] { searchOn_ = false; },
                                    [this] { searchOn_ = true; }};
    Values asked_;
};

TEST_F(ReplaceTest, InputIsCheckedInTheOrderOfTheMessages) {
    struct Case {
        int field;
        const char* search;
        const char* replacement;
        ReplaceInputError expected;
    };
    for (const Case& c : std::vector<Case>{
             {0, "x", "y", ReplaceInputError::NoField},
             {kPublisher, "", "", ReplaceInputError::None}, // empty texts are allowed
             {kCost, "12.5", "-3e2", ReplaceInputError::None},
             {kCost, "", "1", ReplaceInputError::SearchValue},
             {kCost, "1,5", "1", ReplaceInputError::SearchValue},
             {kCost, " 1 ", "abc", ReplaceInputError::ReplacementValue},
             {kPurchDate, " /  /", "1/1/20", ReplaceInputError::SearchDate},
             {kPurchDate, "13/45/20", "1/1/20", ReplaceInputError::SearchDate},
             {kPurchDate, "1/2/20", "  /  /    ", ReplaceInputError::ReplacementDate},
             {kPurchDate, "1/2/20", "2/30/20", ReplaceInputError::ReplacementDate},
             {kPurchDate, "1 /2 /2020", "12/31/1999", ReplaceInputError::None},
         }) {
        SCOPED_TRACE(std::to_string(c.field) + " " + c.search + " -> " + c.replacement);
        EXPECT_EQ(search::validateReplace(c.field, c.search, c.replacement, false, kDates).error,
                  c.expected);
    }
    EXPECT_EQ(std::string(search::replaceInputMessage(ReplaceInputError::ReplacementDate)),
              "Invalid replacement date entered.  Please correct.");
}

TEST_F(ReplaceTest, WholeValuesMatchWithoutRegardToCase) {
    books_.goToRecord(3);
    const search::ReplaceCounters counts = run(request(kPublisher, " penguin ", "Penguin Books"));
    EXPECT_EQ(books_.recordNumber(), 3u); // the record shown before
    EXPECT_EQ(column("Publisher"),
              (Values{"Penguin Books", "Penguin Classics", "Penguin Books", "Faber"}));
    EXPECT_EQ(counts.processed, 4u);
    EXPECT_EQ(counts.found, 2u);
    EXPECT_EQ(counts.changed, 2u);
    EXPECT_TRUE(asked_.empty());
    EXPECT_EQ(books_.openMode(), table::OpenMode::Shared);
    EXPECT_GT(viewerOptionsApplied_, 0);
}

TEST_F(ReplaceTest, ConfirmationAsksWithTheTitleAndNoLeavesTheRecord) {
    const search::ReplaceCounters counts =
        run(request(kPublisher, "penguin", "Puffin", true), {false, true});
    EXPECT_EQ(asked_, (Values{"One", "Three"}));
    EXPECT_EQ(counts.found, 2u);
    EXPECT_EQ(counts.changed, 1u);
    EXPECT_EQ(column("Publisher"), (Values{"Penguin", "Penguin Classics", "Puffin", "Faber"}));
    asked_.clear();
    const search::ReplaceCounters none = run(request(kCondition, "", "Good", true), {});
    EXPECT_EQ(none.found, 4u); // every condition is empty
    EXPECT_EQ(none.changed, 0u);
}

TEST_F(ReplaceTest, EmptyTextZeroAndDatesMatchAsTheirKindsSay) {
    run(request(kCondition, "", "Good"));
    EXPECT_EQ(column("Condition"), (Values{"Good", "Good", "Good", "Good"}));
    const search::ReplaceCounters costs = run(request(kCost, "0", "1.25"));
    EXPECT_EQ(costs.changed, 3u); // 0 and the two blank costs
    EXPECT_EQ(column("Cost"), (Values{"5", "1.25", "1.25", "1.25"}));
    run(request(kPurchDate, "3/4/21", "12/25/1999"));
    EXPECT_EQ(column("PurchDate"), (Values{"", "", "12/25/99", "1/2/20"}));
}

TEST_F(ReplaceTest, RunVisitsEveryRecordUnderASearchAndPutsTheSearchBack) {
    books_.setFilter([](const table::RecordView& record) { return record.text(0) == "One"; });
    books_.refresh();
    searchOn_ = true;
    context_.endSearch = [this] {
        searchOn_ = false;
        books_.setFilter({});
        books_.close();
        books_.open();
    };
    const search::ReplaceCounters counts = run(request(kPublisher, "faber", "Faber & Faber"));
    EXPECT_EQ(counts.processed, 4u);
    EXPECT_EQ(counts.changed, 1u);
    EXPECT_TRUE(searchOn_);
}

TEST_F(ReplaceTest, AnotherProgramHoldingTheTableLeavesItUntouched) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        table::Table held;
        searchtest::openShared(held, path_);
        (void)!::write(ready[1], "r", 1);
        for (;;)
            ::pause();
    }
    char byte = 0;
    (void)!::read(ready[0], &byte, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    } reaper{holder};
    search::ReplaceRun replace(context_, request(kPublisher, "penguin", "X"), undoPath());
    EXPECT_EQ(replace.start(), search::ExclusiveTableRun::Start::InUse);
    EXPECT_EQ(messages_.texts(), Values{search::kReplaceInUseMessage});
    EXPECT_TRUE(books_.isOpen());
    EXPECT_EQ(books_.openMode(), table::OpenMode::Shared);
    EXPECT_EQ(column("Publisher")[0], "Penguin");
}

TEST_F(ReplaceTest, SortIndexIsBuiltAgainInTheCurrentOrder) {
    context_.sortExpression = "UPPER(PUBLISHER)";
    books_.close();
    db::installIndex(books_, context_.sortExpression);
    books_.open();
    run(request(kPublisher, "faber", "Zephyr"));
    EXPECT_EQ(books_.selectedTag(), "NewIndex");
    EXPECT_EQ(column("Publisher"), (Values{"Penguin", "PENGUIN", "Penguin Classics", "Zephyr"}));
    context_.sortExpression.clear(); // no sort order: physical order
    run(request(kPublisher, "zephyr", "Abacus"));
    EXPECT_EQ(books_.selectedTag(), "");
    EXPECT_EQ(column("Publisher")[3], "Abacus");
}

TEST_F(ReplaceTest, UndoPutsOldValuesBackButNotOverLaterChanges) {
    run(request(kPublisher, "penguin", "Puffin"));
    run(request(kCost, "0", "9")); // the last replace: costs of 2, 3, 4
    table::Table other;            // record 3 changed again since
    searchtest::openShared(other, path_);
    other.goToRecord(3);
    other.edit();
    other.setText(0, "Three, revised");
    other.post();
    other.close();
    books_.refresh();
    const search::UndoResult result = search::undoLastReplace(context_, undoPath());
    EXPECT_EQ(result.start, search::ExclusiveTableRun::Start::Started);
    EXPECT_EQ(result.restored, 2u);
    EXPECT_EQ(result.skipped, 1u);
    EXPECT_EQ(column("Cost"), (Values{"5", "0", "9", ""}));
    EXPECT_EQ(column("Publisher")[0], "Puffin"); // an earlier replace stays
    EXPECT_FALSE(std::filesystem::exists(undoPath()));
    EXPECT_NE(search::undoCompleteMessage(result).find("1 record(s) changed"), std::string::npos);
}

// A child process runs a replace and is killed after its second change; the table then opens
// as at start-up with NewIndex in the current order, every record old or new.
TEST_F(ReplaceTest, KillMidRunLeavesATableThatOpensWithItsIndex) {
    const std::string expression = "UPPER(PUBLISHER)";
    db::installIndex(books_, expression);
    books_.close();
    const pid_t child = ::fork();
    if (child == 0) {
        table::Table handle;
        searchtest::openShared(handle, path_);
        testsupport::ScriptedMessages quiet;
        search::ReplaceContext context{handle, expression, quiet, {}, {}, {}, {}};
        search::ReplaceRun replace(context, request(kPublisher, "penguin", "Zebra", true),
                                   undoPath());
        replace.start();
        int asked = 0;
        while (replace.step(1, [&](const std::string&) {
            if (++asked == 2)
                ::kill(::getpid(), SIGKILL); // in the middle of the run, second match
            return true;
        })) {
        }
        ::_exit(3); // not reached
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    std::string sortExpression = expression;
    QString current;
    db::DatabaseContext open{books_, current, sortExpression, messages_, {}, {}, {}};
    ASSERT_TRUE(db::openStartupDatabase(open, QString::fromStdString(path_)).opened());
    EXPECT_EQ(books_.selectedTag(), "NewIndex");
    const Values publishers = column("Publisher");
    EXPECT_EQ(publishers, (Values{"Faber", "PENGUIN", "Penguin Classics", "Zebra"}));
    books_.selectTag("");
    EXPECT_EQ(column("Publisher")[0], "Zebra"); // changed before the kill; record 3 not yet
    search::ReplaceUndoFile undo;
    ASSERT_TRUE(search::readReplaceUndoFile(undoPath(), undo));
    EXPECT_EQ(undo.entries.size(), 1u);
    EXPECT_EQ(undo.entries[0].value, "Penguin");
}

} // namespace
