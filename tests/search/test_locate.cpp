// Locating a record: the test of one field's value and the scan in the viewed order, through the
// viewed filter, on a handle of its own.

#include "search/locate.h"

#include "search/record_test.h"
#include "search/search_items.h"
#include "support_books.h"
#include "table/date_format.h"

#include <gtest/gtest.h>

namespace {

using search::LocateCriteria;
using search::MatchType;
using searchtest::Book;

constexpr MatchType kExact = MatchType::Exact;
constexpr MatchType kBeginning = MatchType::PartialAtBeginning;
constexpr MatchType kAnywhere = MatchType::PartialAnywhere;

class LocateTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = searchtest::createBookTable(
            dir_, {
                      Book{{"Title", "Gathering the Clans"},
                           {"Author", "Munro"},
                           {"Cost", "12.5"},
                           {"YearPub", "1990"},
                           {"PurchDate", "3/4/2001"}},
                      Book{{"Title", "The Hobbit"}, {"Author", "Tolkien"}, {"Cost", "7"}},
                      Book{{"Title", "the hobbit"}, {"Author", "tolkien"}, {"Cost", "0.25"}},
                      Book{{"Title", ""}, {"Author", "Anon"}},
                  });
        searchtest::openShared(books_, path_);
    }

    // The physical numbers of the records the test accepts, in physical order.
    std::vector<uint32_t> matching(const LocateCriteria& criteria) {
        search::LocateTest test(criteria);
        std::vector<uint32_t> found;
        for (books_.first(); !books_.eof(); books_.next())
            if (test.matches(books_.currentRecord()))
                found.push_back(books_.recordNumber());
        return found;
    }

    uint32_t scan(const LocateCriteria& criteria, bool fromFirst,
                  table::RecordFilter viewFilter = {}) {
        return search::runLocateScan(
            search::prepareLocateScan(books_, std::move(viewFilter), criteria, fromFirst));
    }

    testsupport::TempDir dir_;
    std::string path_;
    table::Table books_;
};

TEST_F(LocateTest, MatchTypesCaseAndNumbersCompareAsThePartSays) {
    struct Case {
        const char* field;
        const char* value;
        MatchType match;
        bool caseSensitive;
        std::vector<uint32_t> expected;
    };
    const std::vector<Case> cases{
        {"Title", "the", kBeginning, false, {2, 3}}, // not "Gathering the Clans"
        {"Title", "the", kAnywhere, false, {1, 2, 3}},
        {"Title", "the", kBeginning, true, {3}},
        {"Title", "The Hobbit", kExact, false, {2, 3}},
        {"Title", "The Hob", kExact, false, {}}, // exact is the whole value
        {"Title", "", kExact, false, {4}},       // an empty value matches an empty field
        {"Title", "", kBeginning, false, {}},    // and nothing when partial
        {"Title", "", kAnywhere, false, {}},
        {"Author", "TOLKIEN", kExact, true, {}},
        {"Cost", "12.5", kExact, false, {1}}, // by number: 12.5000 on file
        {"Cost", "12.50", kExact, false, {1}},
        {"Cost", "12,50", kExact, false, {}}, // not digits and points: no record
        {"Cost", "0", kExact, false, {4}},    // a blank cost reads as 0
        {"Cost", "-0", kExact, false, {4}},
        {"Cost", "1.2.3", kExact, false, {}}, // does not convert: no record, no error
        {"Cost", "", kExact, false, {}},
        {"Cost", "-", kExact, false, {}},
        {"Cost", "12", kBeginning, false, {1}}, // partial: the plain decimal text "12.5"
        {"Cost", ".25", kAnywhere, false, {3}},
        {"YearPub", "1990", kExact, false, {1}}, // a whole number compares as text
        {"YearPub", "199", kExact, false, {}},
        {"PurchDate", "3/4/", kBeginning, false, {1}}, // the date format in force
        {"NoSuch", "x", kAnywhere, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " \"" + c.value + "\"");
        EXPECT_EQ(matching({c.field, c.value, c.match, c.caseSensitive}), c.expected);
    }
}

TEST_F(LocateTest, TextsAreComparedUpTo255CharactersAndOnlyAToZIsUpperCased) {
    table::Table handle;
    searchtest::openShared(handle, path_);
    handle.goToRecord(4);
    handle.edit();
    handle.setText(handle.fieldIndexOrThrow("Descriptio"), std::string(110, 'x'));
    handle.setText(handle.fieldIndexOrThrow("Author"), "Émile Zola");
    handle.post();
    books_.refresh();
    const std::string longValue = std::string(110, 'X') + std::string(200, 'y');
    EXPECT_EQ(matching({"Descriptio", longValue.substr(0, 110), kExact, false}),
              std::vector<uint32_t>{4});
    EXPECT_EQ(matching({"Descriptio", std::string(300, 'X'), kBeginning, false}),
              std::vector<uint32_t>{}); // cut to 255, still longer than the field
    EXPECT_EQ(matching({"Author", "émile", kBeginning, false}), std::vector<uint32_t>{});
    EXPECT_EQ(matching({"Author", "Émile z", kBeginning, false}), std::vector<uint32_t>{4});
}

TEST_F(LocateTest, ScanFollowsTheViewedOrderFromFirstOrAfterTheCurrentRecord) {
    books_.addTag("NewIndex", "Upper(Left(Author,20))"); // Anon, Munro, Tolkien, tolkien
    books_.selectTag("NewIndex");
    const LocateCriteria tolkien{"Author", "tolk", kBeginning, false};
    EXPECT_EQ(scan(tolkien, true), 2u);
    books_.goToRecord(2);
    EXPECT_EQ(scan(tolkien, false), 3u);
    books_.goToRecord(3);
    EXPECT_EQ(scan(tolkien, false), 0u); // after the last match
    books_.goToRecord(4);                // Anon: first in key order, last on file
    EXPECT_EQ(scan({"Title", "", kExact, false}, false), 0u);
    EXPECT_EQ(scan({"Title", "", kExact, false}, true), 4u);
    EXPECT_EQ(scan({"Author", "munro", kExact, false}, false), 1u);
    EXPECT_EQ(books_.recordNumber(), 4u); // the viewed handle never moved

    books_.selectTag(""); // physical order
    books_.goToRecord(1);
    EXPECT_EQ(scan({"Author", "n", kAnywhere, false}, false), 2u);
    EXPECT_EQ(scan({"Author", "zzz", kAnywhere, false}, true), 0u);
}

TEST_F(LocateTest, ScanUnderASearchFindsOnlyRecordsThatPassIt) {
    search::SearchLevels levels;
    search::RowOperators operators = search::initialRowOperators();
    search::CriteriaTexts texts{};
    texts[1] = "tolkien"; // row 2: Author contains
    ASSERT_EQ(levels.compileLevel(texts, operators, {table::currentDateFormat(), 2024}).status,
              search::CompileStatus::Compiled);
    const table::RecordFilter searchFilter =
        search::makeRecordFilter(std::make_shared<const search::RecordTest>(levels.items()));
    books_.setFilter(searchFilter);
    books_.refresh();
    ASSERT_EQ(books_.recordNumber(), 2u);
    const LocateCriteria hobbit{"Title", "hobbit", kAnywhere, false};
    EXPECT_EQ(scan(hobbit, true, searchFilter), 2u);
    EXPECT_EQ(scan(hobbit, false, searchFilter), 3u);
    EXPECT_EQ(scan({"Title", "Gathering", kBeginning, false}, true, searchFilter), 0u);
}

TEST_F(LocateTest, FieldListOffersDisplayLabelsWithBlanksForTildes) {
    books_.display(books_.fieldIndexOrThrow("Title")).label = "Book~Title";
    books_.display(books_.fieldIndexOrThrow("Author")).label = "Written By";
    books_.display(books_.fieldIndexOrThrow("Author")).visible = false;
    const auto fields = search::locateFields(books_, false, false);
    ASSERT_EQ(fields.size(), 36u);
    EXPECT_EQ(fields[0].label, "Book Title");
    EXPECT_EQ(fields[1].label, "Written By");
    EXPECT_EQ(fields[2].label, "YEARPUB"); // never shown: its field name
    const auto sorted = search::locateFields(books_, true, true);
    ASSERT_EQ(sorted.size(), 35u);
    EXPECT_EQ(sorted[0].label, "Book Title");
    EXPECT_EQ(sorted[1].label, "BOOKTYPE"); // letter case aside
    EXPECT_EQ(sorted.back().label, "YEARPUB");
    EXPECT_EQ(search::fieldNameForLabel(books_, "Written By"), "AUTHOR");
    EXPECT_EQ(search::fieldNameForLabel(books_, "Book~Title"), "");
}

} // namespace
