#include "search/record_test.h"

#include "support_books.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using search::RowOperator;
using searchtest::Book;

// One search: the levels as the grid hands them over (row -> text, operator).
struct Criterion {
    int row;
    std::string text;
    RowOperator op = RowOperator::Equal;
};
using Levels = std::vector<std::vector<Criterion>>;

class RecordTestOnTable : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = searchtest::createBookTable(dir_, {
                                                      Book{{"Title", "A"},
                                                           {"Author", "Smithson, Ann"},
                                                           {"YearPub", "1995"},
                                                           {"Cost", "15"},
                                                           {"KeyWords", "dog house"},
                                                           {"CheckOut", "Yes"},
                                                           {"PurchDate", "3/15/2020"},
                                                           {"Publisher", "Penguin"}},
                                                      Book{{"Title", "B"},
                                                           {"Author", "goldsmith"},
                                                           {"YearPub", "1985"},
                                                           {"Cost", "10"},
                                                           {"KeyWords", "cat"},
                                                           {"CheckOut", "No"}},
                                                      Book{{"Title", "C"},
                                                           {"Author", "Jones"},
                                                           {"YearPub", "2000"},
                                                           {"Cost", "20"},
                                                           {"PurchDate", "1/2/2021"},
                                                           {"Publisher", "Penguin Books"}},
                                                      Book{{"Title", "D"},
                                                           {"Author", "Müller"},
                                                           {"YearPub", "1980"},
                                                           {"KeyWords", "catalogue"}},
                                                  });
        searchtest::openShared(books_, path_);
    }

    std::vector<std::string> titlesFound(const Levels& levels) {
        search::SearchLevels compiled;
        for (const auto& level : levels) {
            search::CriteriaTexts texts{};
            search::RowOperators operators = search::initialRowOperators();
            for (const Criterion& criterion : level) {
                texts[static_cast<size_t>(criterion.row - 1)] = criterion.text;
                operators[static_cast<size_t>(criterion.row - 1)] = criterion.op;
            }
            const search::DateReading dates{table::DateFormat{}, 2024};
            EXPECT_EQ(compiled.compileLevel(texts, operators, dates).status,
                      search::CompileStatus::Compiled);
            compiled.startNextLevel();
        }
        books_.setFilter(
            search::makeRecordFilter(std::make_shared<const search::RecordTest>(compiled.items())));
        books_.refresh();
        return searchtest::column(books_);
    }

    testsupport::TempDir dir_;
    std::string path_;
    table::Table books_;
};

using Titles = std::vector<std::string>;

TEST_F(RecordTestOnTable, ItemsOfALevelAllHoldAndAnyLevelSuffices) {
    struct Case {
        const char* name;
        Levels levels;
        Titles titles;
    };
    const std::vector<Case> cases = {
        {"substring, any letter case", {{{2, "smith"}}}, {"A", "B"}},
        {"two rows on one level", {{{2, "smith"}, {3, "> 1990", RowOperator::Greater}}}, {"A"}},
        {"the same rows on two levels",
         {{{2, "smith"}}, {{3, "> 1990", RowOperator::Greater}}},
         {"A", "B", "C"}},
        {"a later item failing fails the level",
         {{{3, "> 1990", RowOperator::Greater}, {2, "smith"}}},
         {"A"}},
        {"key words: any word", {{{23, "bird dog"}}}, {"A"}},
        {"key words: a word is a substring too", {{{23, "cat"}}}, {"B", "D"}},
        {"doubled blanks name no empty word", {{{23, "bird  fish"}}}, {}},
        {"key words: a word the code page lacks leaves the others", {{{23, "☃ dog €☃"}}}, {"A"}},
        {"exclusive range", {{{7, "> 10 AND < 20", RowOperator::Between}}}, {"A"}},
        {"blank number reads as 0", {{{7, "= 0"}}}, {"D"}},
        {"blank date reads as 0", {{{12, "< 01/01/1900", RowOperator::Less}}}, {"B", "D"}},
        {"date equal", {{{12, "= 03/15/2020"}}}, {"A"}},
        {"date after", {{{12, "> 12/31/2020", RowOperator::Greater}}}, {"C"}},
        {"y on check-out", {{{17, "y"}}}, {"A"}},
        {"only a-z are upper-cased", {{{2, "müller"}}}, {"D"}},
        {"non-ASCII letters keep their case", {{{2, "MÜLLER"}}}, {}},
        {"a character the code page lacks matches nothing", {{{2, "smith€€€☃"}}}, {}},
        {"two levels of two items",
         {{{2, "smith"}, {3, "> 1990", RowOperator::Greater}},
          {{4, "penguin"}, {7, "< 50", RowOperator::Less}}},
         {"A", "C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(titlesFound(c.levels), c.titles);
    }
}

TEST_F(RecordTestOnTable, NoItemsPassNoRecordAndTheTestFollowsAnotherLayout) {
    EXPECT_EQ(titlesFound({}), Titles{});

    // A table whose Author sits elsewhere: the test binds to each layout it meets.
    auto test = std::make_shared<const search::RecordTest>(std::vector<search::SearchItem>{
        {"SMITH", 0, 2, search::ItemOperator::Contains, true, false}});
    testsupport::TempDir otherDir;
    const std::string otherPath = otherDir.file("OTHER.DBF");
    table::Table::create(otherPath, {{"NOTES", 'C', 5, 0}, {"AUTHOR", 'C', 30, 0}});
    table::Table other;
    searchtest::openShared(other, otherPath);
    other.append();
    other.setText(1, "Smith");
    other.post();
    for (table::Table* handle : {&books_, &other})
        handle->setFilter(search::makeRecordFilter(test));
    books_.refresh();
    other.refresh();
    EXPECT_EQ(searchtest::column(books_), (Titles{"A", "B"}));
    EXPECT_EQ(searchtest::column(other, "AUTHOR"), Titles{"Smith"});
    EXPECT_EQ(searchtest::column(books_), (Titles{"A", "B"}));
}

} // namespace
