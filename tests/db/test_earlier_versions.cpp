// Converting the tables of the program's earlier versions into the open book table.

#include "db/earlier_versions.h"

#include "db/book_database.h"
#include "support/scripted_messages.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include <map>

namespace {

using db::MessageAnswer;
using testsupport::ScriptedMessages;
using testsupport::TempDir;
using Values = std::map<std::string, std::string>; // old field name -> text

const std::vector<table::FieldDef> kVersion2Fields = {
    {"RECNO", 'N', 6, 0},       {"TITLE", 'C', 60, 0},      {"AUTHOR", 'C', 40, 0},
    {"YEARPUB", 'N', 4, 0},     {"PUBLISHER", 'C', 40, 0},  {"CATEGORY", 'C', 20, 0},
    {"WHEREPURCH", 'C', 30, 0}, {"COST", 'N', 10, 2},       {"VALUE", 'N', 10, 2},
    {"DESCRIPTIO", 'C', 80, 0}, {"ISBN", 'C', 20, 0},       {"RATING", 'C', 15, 0},
    {"PURCHDATE", 'D', 8, 0},   {"BOOKTYPE", 'C', 15, 0},   {"CATALOGNUM", 'C', 15, 0},
    {"SUB1", 'C', 6, 0},        {"SUB2", 'C', 6, 0},        {"CHECKOUT", 'C', 3, 0},
    {"CHECKDATE", 'D', 8, 0},   {"CHECKPERSO", 'C', 30, 0}, {"VOLUME", 'C', 8, 0},
    {"ISSUE", 'C', 8, 0},       {"EDITION", 'C', 10, 0},    {"KEYWORDS", 'C', 80, 0},
    {"PAGES", 'N', 5, 0},       {"LOCATION", 'C', 30, 0}};

const std::vector<table::FieldDef> kVersion1Fields = {
    {"ID", 'N', 6, 0},          {"TITLE", 'C', 60, 0},     {"AUTHOR", 'C', 40, 0},
    {"YEARPUB", 'N', 4, 0},     {"PUBLISHER", 'C', 40, 0}, {"CATEGORY", 'C', 20, 0},
    {"WHEREPURCH", 'C', 30, 0}, {"COST", 'N', 10, 2},      {"VALUE", 'N', 10, 2},
    {"DESCRIPTIO", 'C', 80, 0}, {"ISBN", 'C', 20, 0},      {"RATING", 'C', 15, 0},
    {"PURCHDAY", 'N', 2, 0},    {"PURCHMONTH", 'C', 4, 0}, {"PURCHYEAR", 'N', 4, 0}};

class EarlierVersionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        table::setCurrentDateFormat({table::DateFormat::Order::DayMonthYear, '.', false});
        ASSERT_TRUE(db::makeNewTable(file("MASTER.DBF"), messages));
        db::pointTableAt(books, file("MASTER.DBF"));
        db::installIndex(books, "Upper(Left(Author,20))");
        books.setOpenMode(table::OpenMode::Shared);
        books.open();
    }
    void TearDown() override {
        books.close();
        table::setCurrentDateFormat({});
    }
    QString file(const char* name) const { return QString::fromStdString(dir.file(name)); }

    // An old table with one record per entry of `records`.
    void makeOldTable(const char* name, std::vector<table::FieldDef> fields,
                      const std::vector<Values>& records) {
        const std::string path = dir.file(name);
        table::Table::create(path, fields);
        table::Table old;
        db::pointTableAt(old, QString::fromStdString(path));
        old.setOpenMode(table::OpenMode::Exclusive);
        old.open();
        for (const Values& values : records) {
            old.append();
            for (const auto& [field, text] : values)
                old.setText(old.fieldIndexOrThrow(field), text);
            old.post();
        }
        old.close();
    }
    // Field values of the book table's records, in physical order.
    std::vector<std::string> column(const char* field) {
        std::vector<std::string> values;
        books.selectTag("");
        books.close();
        books.open();
        const int index = books.fieldIndexOrThrow(field);
        for (books.first(); !books.eof(); books.next())
            values.push_back(books.asText(index));
        return values;
    }
    std::vector<table::Date> purchaseDates() {
        std::vector<table::Date> dates;
        const int index = books.fieldIndexOrThrow("PURCHDATE");
        for (books.first(); !books.eof(); books.next())
            dates.push_back(books.asDate(index));
        return dates;
    }
    void offer() {
        db::ConversionContext context{books, QString::fromStdString(dir.path().string()), messages};
        db::offerConversion(context);
    }

    TempDir dir;
    ScriptedMessages messages;
    table::Table books;
};

TEST_F(EarlierVersionsTest, LayoutsAreRecognisedByTheNamesFromTheSecondFieldOn) {
    auto renamed = [](std::vector<table::FieldDef> fields, size_t position, const char* name) {
        fields[position - 1].name = name;
        return fields;
    };
    auto without = [](std::vector<table::FieldDef> fields) {
        fields.pop_back();
        return fields;
    };
    auto with = [](std::vector<table::FieldDef> fields) {
        fields.push_back({"EXTRA", 'C', 5, 0});
        return fields;
    };
    struct Case {
        const char* name;
        std::vector<table::FieldDef> fields;
        bool version2;
        bool version1;
    };
    const Case cases[] = {
        {"V2.DBF", kVersion2Fields, true, false},
        {"V2ANYFIRST.DBF", renamed(kVersion2Fields, 1, "WHATEVER"), true, false},
        {"V2LOWER.DBF", renamed(kVersion2Fields, 2, "title"), true, false},
        {"V2CHECKNAME.DBF", renamed(kVersion2Fields, 20, "CHECKNAME"), false, false},
        {"V2SHORT.DBF", without(kVersion2Fields), false, false},
        {"V2LONG.DBF", with(kVersion2Fields), false, false},
        {"V1.DBF", kVersion1Fields, false, true},
        {"V1SWAPPED.DBF", renamed(renamed(kVersion1Fields, 13, "PURCHMONTH"), 14, "PURCHDAY"),
         false, false},
    };
    for (const Case& c : cases) {
        makeOldTable(c.name, c.fields, {});
        EXPECT_EQ(db::hasVersion2Layout(file(c.name)), c.version2) << c.name;
        EXPECT_EQ(db::hasVersion1Layout(file(c.name)), c.version1) << c.name;
    }
    EXPECT_FALSE(db::hasVersion2Layout(file("MISSING.DBF")));
    QFile garbage(file("GARBAGE.DBF"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a table at all");
    garbage.close();
    EXPECT_FALSE(db::hasVersion1Layout(file("GARBAGE.DBF")));
}

TEST_F(EarlierVersionsTest, Version2FieldsArriveUnderTheirNamesAndTheRestStayEmpty) {
    makeOldTable("B2LOG.DBF", kVersion2Fields,
                 {{{"TITLE", "Emma"},
                   {"AUTHOR", "Austen"},
                   {"YEARPUB", "1815"},
                   {"COST", "12.50"},
                   {"PURCHDATE", "1.2.10"}, // 1 February 2010 in the format in force
                   {"CHECKOUT", "Yes"},
                   {"CHECKPERSO", "Anna"},
                   {"PAGES", "474"},
                   {"LOCATION", "Shelf 3"}},
                  {{"TITLE", "Persuasion"}}});
    {
        // A date of the early twentieth century, which a two-digit year cannot tell apart.
        table::Table old;
        db::pointTableAt(old, file("B2LOG.DBF"));
        old.setOpenMode(table::OpenMode::Exclusive);
        old.open();
        old.last();
        old.edit();
        old.setDate(old.fieldIndexOrThrow("CHECKDATE"), {1912, 5, 4});
        old.post();
        old.close();
    }
    db::convertVersion2(file("B2LOG.DBF"), books);
    EXPECT_EQ(column("TITLE"), (std::vector<std::string>{"Emma", "Persuasion"}));
    EXPECT_EQ(column("YEARPUB"), (std::vector<std::string>{"1815", ""}));
    books.first();
    EXPECT_DOUBLE_EQ(books.asNumber(books.fieldIndexOrThrow("COST")), 12.5);
    EXPECT_EQ(column("CHECKNAME").front(), "Anna");
    EXPECT_EQ(column("PAGES").front(), "474");
    EXPECT_EQ(column("LOCATION").front(), "Shelf 3");
    EXPECT_EQ(purchaseDates().front(), (table::Date{2010, 2, 1}));
    books.last();
    EXPECT_EQ(books.asDate(books.fieldIndexOrThrow("CHECKDATE")), (table::Date{1912, 5, 4}));
    for (const char* empty : {"CONDITION", "EDITOR", "DEWEY", "LOWMARKET", "USERDEF6"})
        EXPECT_EQ(column(empty), (std::vector<std::string>{"", ""})) << empty;
}

TEST_F(EarlierVersionsTest, Version1DatesAreBuiltFromDayMonthAndYearWhateverTheFormat) {
    makeOldTable(
        "BLOG.DBF", kVersion1Fields,
        {{{"TITLE", "Ulysses"},
          {"WHEREPURCH", "Market"},
          {"PURCHDAY", "7"},
          {"PURCHMONTH", "Mar"},
          {"PURCHYEAR", "1994"}},
         {{"TITLE", "Dubliners"}, {"PURCHDAY", "25"}, {"PURCHMONTH", "12"}, {"PURCHYEAR", "2001"}},
         {{"TITLE", "Exiles"}}});
    const table::DateFormat before = table::currentDateFormat();
    db::convertVersion1(file("BLOG.DBF"), books);
    EXPECT_EQ(table::currentDateFormat().separator, before.separator);
    EXPECT_EQ(table::currentDateFormat().order, before.order);
    EXPECT_EQ(column("TITLE"), (std::vector<std::string>{"Ulysses", "Dubliners", "Exiles"}));
    EXPECT_EQ(column("WHEREPURCH").front(), "Market");
    EXPECT_EQ(purchaseDates(), (std::vector<table::Date>{{1994, 3, 7}, {2001, 12, 25}, {}}));
}

TEST_F(EarlierVersionsTest, AnInvalidVersion1DateStopsAndKeepsWhatWasPostedAndTheOldFile) {
    makeOldTable(
        "BLOG.DBF", kVersion1Fields,
        {{{"TITLE", "First"}, {"PURCHDAY", "7"}, {"PURCHMONTH", "Mar"}, {"PURCHYEAR", "1994"}},
         {{"TITLE", "Second"}, {"PURCHDAY", "7"}, {"PURCHMONTH", "MAR"}, {"PURCHYEAR", "1994"}},
         {{"TITLE", "Third"}}});
    const table::DateFormat before = table::currentDateFormat();
    messages.script({MessageAnswer::Yes});
    offer();
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].caption, "Convert");
    EXPECT_EQ(messages.messages[0].text, db::conversionQuestion(1));
    EXPECT_EQ(messages.messages[1].caption, "Error");
    EXPECT_NE(messages.messages[1].text.find("MAR/7/1994"), std::string::npos);
    EXPECT_EQ(column("TITLE"), std::vector<std::string>{"First"});
    EXPECT_TRUE(QFileInfo::exists(file("BLOG.DBF")));
    EXPECT_EQ(table::currentDateFormat().separator, before.separator);
}

TEST_F(EarlierVersionsTest, YesConvertsAndDeletesTheOldFileNoAsksAgainNextTime) {
    makeOldTable("B2LOG.DBF", kVersion2Fields, {{{"TITLE", "From 2"}}});
    makeOldTable("BLOG.DBF", kVersion1Fields, {{{"TITLE", "From 1"}}});
    messages.script({MessageAnswer::No, MessageAnswer::No});
    offer();
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{db::conversionQuestion(2), db::conversionQuestion(1)}));
    EXPECT_EQ(messages.messages[0].buttons, db::MessageButtons::YesNo);
    EXPECT_TRUE(column("TITLE").empty());

    messages.clearRecord();
    messages.script({MessageAnswer::Yes, MessageAnswer::Yes});
    offer();
    EXPECT_EQ(messages.texts().size(), 2u);
    EXPECT_EQ(column("TITLE"), (std::vector<std::string>{"From 2", "From 1"}));
    EXPECT_FALSE(QFileInfo::exists(file("B2LOG.DBF")));
    EXPECT_FALSE(QFileInfo::exists(file("BLOG.DBF")));

    messages.clearRecord();
    offer();
    EXPECT_TRUE(messages.texts().empty());
}

} // namespace
