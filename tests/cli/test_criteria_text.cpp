// Criteria written as text compile to exactly the items the search window's grid gives for the
// same rows, and text that does not follow the grammar is refused before any table is read.

#include "cli/cli_arguments.h"
#include "cli/criteria_text.h"
#include "support/scripted_messages.h"

#include <gtest/gtest.h>

namespace {

using search::CriteriaTexts;
using search::RowOperator;
using search::RowOperators;

const search::DateReading kDates{table::DateFormat{}, 2026};

// The items the search window compiles from one level of grid rows.
std::vector<search::SearchItem>
gridItems(const std::vector<std::vector<std::tuple<int, std::string, RowOperator>>>& levels) {
    search::SearchLevels compiled;
    for (size_t level = 0; level < levels.size(); ++level) {
        if (level > 0)
            compiled.startNextLevel();
        CriteriaTexts texts;
        RowOperators operators = search::initialRowOperators();
        for (const auto& [row, text, op] : levels[level]) {
            texts[size_t(row - 1)] = text;
            operators[size_t(row - 1)] = op;
        }
        EXPECT_EQ(compiled.compileLevel(texts, operators, kDates).status,
                  search::CompileStatus::Compiled);
    }
    return compiled.items();
}

std::vector<search::SearchItem> compiled(const std::string& criteria) {
    app::Settings settings;
    testsupport::ScriptedMessages messages;
    auto items = cli::compileCriteria(criteria, settings, kDates, messages);
    EXPECT_TRUE(items.has_value()) << criteria;
    return items.value_or(std::vector<search::SearchItem>{});
}

TEST(CriteriaText, MeansWhatTheSearchGridMeans) {
    const int author = db::fieldNumberByName("AUTHOR");
    const int year = db::fieldNumberByName("YEARPUB");
    const int publisher = db::fieldNumberByName("PUBLISHER");
    const int purchased = db::fieldNumberByName("PURCHDATE");
    const int keywords = db::fieldNumberByName("KEYWORDS");
    EXPECT_EQ(
        compiled("Author contains smith AND YearPub > 1990 OR Publisher contains PENGUIN"),
        gridItems({{{author, "smith", RowOperator::Equal}, {year, "> 1990", RowOperator::Greater}},
                   {{publisher, "PENGUIN", RowOperator::Equal}}}));
    EXPECT_EQ(compiled("yearpub>1900<1950"),
              gridItems({{{year, "> 1900 AND < 1950", RowOperator::Between}}}));
    EXPECT_EQ(compiled("PURCHDATE < 3/15/1994"),
              gridItems({{{purchased, "< 3/15/1994", RowOperator::Less}}}));
    EXPECT_EQ(compiled("KEYWORDS contains cat dog"),
              gridItems({{{keywords, "cat dog", RowOperator::Equal}}}));
}

TEST(CriteriaText, FieldsGoByTheUsersLabelOrTheCatalogueName) {
    app::Settings settings;
    settings.field(db::fieldNumberByName("AUTHOR")).label = QStringLiteral("Writer");
    EXPECT_EQ(cli::fieldNumberNamed("writer", settings), db::fieldNumberByName("AUTHOR"));
    EXPECT_EQ(cli::fieldNumberNamed("Author", settings), db::fieldNumberByName("AUTHOR"));
    EXPECT_EQ(cli::fieldNumberNamed("Nobody", settings), 0);
}

TEST(CriteriaText, TextOffTheGrammarIsAUsageError) {
    const char* refused[] = {
        "Author",                                  // no operator
        "Nobody contains x",                       // no such field
        "Author > 3",                              // a text field takes contains
        "YearPub contains 19",                     // a number field does not
        "Author contains",                         // nothing to look for
        "YearPub =",                               // no value
        "Author contains a AND Author contains b", // one field twice in a level
        "Author contains a AND ",                  // an empty item
    };
    app::Settings settings;
    testsupport::ScriptedMessages messages;
    for (const char* criteria : refused)
        EXPECT_THROW(cli::compileCriteria(criteria, settings, kDates, messages), cli::UsageError)
            << criteria;
}

TEST(CriteriaText, AValueThatDoesNotConvertShowsTheSearchWindowsMessage) {
    app::Settings settings;
    testsupport::ScriptedMessages messages;
    EXPECT_FALSE(cli::compileCriteria("YearPub = 19x5", settings, kDates, messages));
    EXPECT_FALSE(cli::compileCriteria("PURCHDATE = 2/30/1994", settings, kDates, messages));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{search::kInvalidCriteriaMessage,
                                                          search::kInvalidCriteriaMessage}));
}

} // namespace
