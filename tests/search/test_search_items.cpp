#include "search/search_items.h"

#include "support/scripted_messages.h"

#include <gtest/gtest.h>

namespace {

using search::CompileStatus;
using search::ItemOperator;
using search::RowOperator;
using search::SearchItem;

constexpr int kTitle = 1;
constexpr int kAuthor = 2;
constexpr int kYearPub = 3;
constexpr int kCost = 7;
constexpr int kPurchDate = 12;
constexpr int kCheckOut = 17;
constexpr int kKeyWords = 23;

const search::DateReading kDates{table::DateFormat{}, 2024};

// One level of criteria as the grid hands them over.
struct Level {
    search::CriteriaTexts texts{};
    search::RowOperators operators = search::initialRowOperators();
    Level& row(int number, std::string text, RowOperator op = RowOperator::Equal) {
        texts[static_cast<size_t>(number - 1)] = std::move(text);
        operators[static_cast<size_t>(number - 1)] = op;
        return *this;
    }
};

search::CompileOutcome compile(search::SearchLevels& levels, const Level& level) {
    return levels.compileLevel(level.texts, level.operators, kDates);
}

SearchItem textItem(int field, std::string text, ItemOperator op = ItemOperator::Contains) {
    SearchItem item;
    item.field = field;
    item.text = std::move(text);
    item.op = op;
    return item;
}

SearchItem valueItem(int field, ItemOperator op, double value, bool isDate = false) {
    SearchItem item;
    item.field = field;
    item.op = op;
    item.value = value;
    item.isDate = isDate;
    return item;
}

SearchItem ending(SearchItem item) {
    item.levelEnd = true;
    return item;
}

double day(int year, int month, int dayOfMonth) {
    return static_cast<double>(table::julianDay({year, month, dayOfMonth}));
}

TEST(CompileLevel, EachRowKindAndOperatorGivesItsItems) {
    struct Case {
        const char* name;
        Level level;
        std::vector<SearchItem> items;
    };
    const std::vector<Case> cases = {
        {"text rows: trimmed, upper-cased a-z only, row order",
         Level().row(kAuthor, "  smith é ").row(kTitle, "the Cat"),
         {textItem(kTitle, "THE CAT"), ending(textItem(kAuthor, "SMITH é"))}},
        {"key words match any word",
         Level().row(kKeyWords, "cat dog"),
         {ending(textItem(kKeyWords, "CAT DOG", ItemOperator::AnyWord))}},
        {"check-out is a text row",
         Level().row(kCheckOut, "y"),
         {ending(textItem(kCheckOut, "Y"))}},
        {"number equal",
         Level().row(kCost, "= 12.50"),
         {ending(valueItem(kCost, ItemOperator::Equal, 12.5))}},
        {"number greater, sign and exponent",
         Level().row(kYearPub, "> +1.99e3", RowOperator::Greater),
         {ending(valueItem(kYearPub, ItemOperator::Greater, 1990))}},
        {"number less",
         Level().row(kCost, "<  -5", RowOperator::Less),
         {ending(valueItem(kCost, ItemOperator::Less, -5))}},
        {"number range gives two items",
         Level().row(kCost, "> 10        AND < 20", RowOperator::Between),
         {valueItem(kCost, ItemOperator::Greater, 10),
          ending(valueItem(kCost, ItemOperator::Less, 20))}},
        {"date equal in the format in force",
         Level().row(kPurchDate, "= 3 /15/2020"),
         {ending(valueItem(kPurchDate, ItemOperator::Equal, day(2020, 3, 15), true))}},
        {"date range",
         Level().row(kPurchDate, "> 1/1/2020 AND < 12/31/2020", RowOperator::Between),
         {valueItem(kPurchDate, ItemOperator::Greater, day(2020, 1, 1), true),
          ending(valueItem(kPurchDate, ItemOperator::Less, day(2020, 12, 31), true))}},
        {"empty masks are skipped",
         Level()
             .row(kCost, "=")
             .row(kYearPub, "> AND <", RowOperator::Between)
             .row(kPurchDate, "= /  /")
             .row(18, "> //  AND <  //", RowOperator::Between)
             .row(kTitle, "x"),
         {ending(textItem(kTitle, "X"))}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        search::SearchLevels levels;
        EXPECT_EQ(compile(levels, c.level).status, CompileStatus::Compiled);
        EXPECT_EQ(levels.items(), c.items);
    }
}

TEST(CompileLevel, BadRowDropsOnlyTheCurrentLevelAndNamesTheRow) {
    const std::vector<std::pair<Level, int>> badLevels = {
        {Level().row(kAuthor, "smith").row(kCost, "= 12,50"), kCost},
        {Level().row(kYearPub, "> 1990 AND <", RowOperator::Between), kYearPub},
        {Level().row(kYearPub, "> AND < 2000", RowOperator::Between), kYearPub},
        {Level().row(kCost, "> 10 < 20", RowOperator::Between), kCost}, // no AND
        {Level().row(kPurchDate, "= 02/30/2020"), kPurchDate},
        {Level().row(kCost, "= 1e999"), kCost},
        {Level().row(kCost, "= ."), kCost},
    };
    for (const auto& [level, row] : badLevels) {
        search::SearchLevels levels;
        ASSERT_EQ(compile(levels, Level().row(kTitle, "first")).status, CompileStatus::Compiled);
        levels.startNextLevel();
        const search::CompileOutcome outcome = compile(levels, level);
        EXPECT_EQ(outcome.status, CompileStatus::Invalid);
        EXPECT_EQ(outcome.row, row);
        EXPECT_EQ(levels.items(), std::vector<SearchItem>{ending(textItem(kTitle, "FIRST"))});
        EXPECT_EQ(levels.level(), 2);
    }
}

TEST(CompileLevel, EmptyLevelKeepsEarlierLevels) {
    search::SearchLevels levels;
    ASSERT_EQ(compile(levels, Level().row(kAuthor, "smith")).status, CompileStatus::Compiled);
    ASSERT_TRUE(levels.startNextLevel());
    EXPECT_EQ(compile(levels, Level().row(kAuthor, "   ")).status, CompileStatus::Empty);
    EXPECT_EQ(levels.items().size(), 1u);
    EXPECT_EQ(levels.level(), 2);
}

TEST(CompileLevel, MoreThan75ItemsClearEveryLevel) {
    search::SearchLevels levels;
    Level thirtySix;
    for (int row = 1; row <= search::kCriteriaRows; ++row)
        thirtySix.row(row, search::rowKind(row) == search::RowKind::Text ? "a" : "");
    ASSERT_EQ(compile(levels, thirtySix).status, CompileStatus::Compiled);
    levels.startNextLevel();
    ASSERT_EQ(compile(levels, thirtySix).status, CompileStatus::Compiled);
    levels.startNextLevel();
    // Fill up to exactly 75; the range row's first item would be the 76th.
    Level exact;
    const int room = search::kMaxSearchItems - static_cast<int>(levels.items().size());
    for (int row = 1, added = 0; row <= search::kCriteriaRows && added < room; ++row)
        if (search::rowKind(row) == search::RowKind::Text) {
            exact.row(row, "b");
            ++added;
        }
    ASSERT_EQ(compile(levels, exact).status, CompileStatus::Compiled);
    ASSERT_EQ(levels.items().size(), 75u);
    levels.startNextLevel();
    const search::CompileOutcome outcome =
        compile(levels, Level().row(kCost, "> 1 AND < 2", RowOperator::Between));
    EXPECT_EQ(outcome.status, CompileStatus::Overflow);
    EXPECT_TRUE(levels.items().empty());
    EXPECT_EQ(levels.level(), 1);

    testsupport::ScriptedMessages messages;
    search::reportCompileOutcome(outcome, messages);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Error");
    EXPECT_EQ(messages.messages[0].text,
              "More than 75 search items have been entered.  This exceeds the maximum "
              "allowable.  Search criteria will be cleared.");
}

TEST(CompileLevel, LevelsStopAtTen) {
    search::SearchLevels levels;
    for (int level = 1; level < search::kMaxLevels; ++level) {
        EXPECT_TRUE(levels.canFindMore());
        ASSERT_EQ(compile(levels, Level().row(kAuthor, "x")).status, CompileStatus::Compiled);
        EXPECT_TRUE(levels.startNextLevel());
    }
    EXPECT_EQ(levels.level(), 10);
    EXPECT_FALSE(levels.canFindMore());
    EXPECT_FALSE(levels.startNextLevel());
    levels.clear();
    EXPECT_EQ(levels.level(), 1);
    EXPECT_TRUE(levels.items().empty());
}

TEST(PlainNumber, AcceptsDecimalNotationOnly) {
    for (auto [text, value] : std::vector<std::pair<const char*, double>>{{"0", 0},
                                                                          {"-12", -12},
                                                                          {"+3.5", 3.5},
                                                                          {".5", 0.5},
                                                                          {"5.", 5},
                                                                          {"1E2", 100},
                                                                          {"2.5e-1", 0.25}})
        EXPECT_EQ(search::parsePlainNumber(text), value) << text;
    for (const char* text :
         {"", "-", ".", "1,5", "1.2.3", "e5", "1e", "0x10", "12 3", "inf", "nan", " 1"})
        EXPECT_FALSE(search::parsePlainNumber(text).has_value()) << text;
}

} // namespace
