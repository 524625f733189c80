#include "db/field_catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ExpectedField {
    const char* name;
    int kind;
    int size;
    const char* label;
    const char* listFile;
};

// The book table's layout as documented for users of the file format. Every table ever written
// by the program depends on it, so each row is checked rather than sampled.
const ExpectedField kExpected[36] = {
    {"Title", 1, 90, "Title", ""},
    {"Author", 1, 90, "Author", "AUTHOR.LST"},
    {"YearPub", 2, 4, "Year Pub", ""},
    {"Publisher", 1, 60, "Publisher", "PUBLISH.LST"},
    {"Category", 1, 20, "Category", "CATEGORY.LST"},
    {"WherePurch", 1, 30, "Where Purchased", "BOUGHT.LST"},
    {"Cost", 3, 12, "Cost", ""},
    {"Value", 3, 12, "Value", ""},
    {"Descriptio", 1, 110, "Description", ""},
    {"ISBN", 1, 20, "ISBN", ""},
    {"Rating", 1, 15, "Rating", "RATING.LST"},
    {"PurchDate", 4, 10, "Purchase Date", ""},
    {"BookType", 1, 15, "Book Type", "BOOKTYPE.LST"},
    {"CatalogNum", 1, 15, "Cat Num", ""},
    {"Sub1", 1, 6, "Sub Cat1", ""},
    {"Sub2", 1, 6, "Sub Cat2", ""},
    {"CheckOut", 1, 3, "Checked Out", ""},
    {"CheckDate", 4, 10, "Check Out Date", ""},
    {"CheckName", 1, 30, "Check Out Person", "CHECKOUT.LST"},
    {"Volume", 1, 8, "Volume", ""},
    {"Issue", 1, 8, "Issue", ""},
    {"Edition", 1, 10, "Edition", ""},
    {"KeyWords", 1, 80, "Key Words", ""},
    {"Pages", 2, 5, "Pages", ""},
    {"Location", 1, 30, "Location", "LOCATION.LST"},
    {"Condition", 1, 20, "Condition", "CONDITION.LST"},
    {"Editor", 1, 30, "Editor", ""},
    {"Dewey", 1, 20, "Dewey Decimal", ""},
    {"LowMarket", 3, 12, "Low Market", ""},
    {"HighMarket", 3, 12, "High Market", ""},
    {"UserDef1", 1, 40, "User Defined 1", ""},
    {"UserDef2", 1, 40, "User Defined 2", ""},
    {"UserDef3", 1, 40, "User Defined 3", ""},
    {"UserDef4", 1, 40, "User Defined 4", ""},
    {"UserDef5", 1, 40, "User Defined 5", ""},
    {"UserDef6", 1, 40, "User Defined 6", ""},
};

TEST(FieldCatalogue, EveryRowMatchesTheDocumentedLayout) {
    for (int number = 1; number <= db::kFieldCount; ++number) {
        SCOPED_TRACE(number);
        const ExpectedField& expected = kExpected[number - 1];
        const db::FieldInfo* field = db::fieldByNumber(number);
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->number, number);
        EXPECT_EQ(field->name, expected.name);
        EXPECT_EQ(static_cast<int>(field->kind), expected.kind);
        EXPECT_EQ(field->size, expected.size);
        EXPECT_EQ(field->label, expected.label);
        EXPECT_EQ(field->listFile, expected.listFile);
        EXPECT_LE(field->name.size(), 10u);
        EXPECT_LE(field->label.size(), 20u);
    }
    EXPECT_EQ(db::pickListFields().size(), 9u);
}

TEST(FieldCatalogue, LookupsIgnoreLetterCaseAndRejectUnknowns) {
    EXPECT_EQ(db::fieldNumberByName("TITLE"), 1);
    EXPECT_EQ(db::fieldNumberByName("title"), 1);
    EXPECT_EQ(db::fieldNumberByName("descriptio"), 9);
    EXPECT_EQ(db::fieldNumberByName("Description"), 0);
    EXPECT_EQ(db::fieldNumberByName(""), 0);
    EXPECT_EQ(db::fieldNumberByName("UserDef"), 0);
    EXPECT_EQ(db::fieldByNumber(0), nullptr);
    EXPECT_EQ(db::fieldByNumber(37), nullptr);
    EXPECT_EQ(db::fieldByNumber(-1), nullptr);
}

TEST(FieldCatalogue, NewTableColumnsFollowTheFieldKinds) {
    std::vector<table::FieldDef> defs = db::bookTableFieldDefs();
    ASSERT_EQ(defs.size(), 36u);
    for (size_t i = 0; i < defs.size(); ++i) {
        SCOPED_TRACE(defs[i].name);
        std::string upper;
        for (char c : std::string(kExpected[i].name))
            upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        EXPECT_EQ(defs[i].name, upper);
    }
    // Title (text), YearPub (whole number), Cost (decimal), PurchDate (date).
    EXPECT_EQ(defs[0].type, 'C');
    EXPECT_EQ(defs[0].length, 90u);
    EXPECT_EQ(defs[2].type, 'N');
    EXPECT_EQ(defs[2].length, 11u);
    EXPECT_EQ(defs[2].decimals, 0);
    EXPECT_EQ(defs[6].type, 'F');
    EXPECT_EQ(defs[6].length, 20u);
    EXPECT_EQ(defs[6].decimals, 4);
    EXPECT_EQ(defs[11].type, 'D');
    EXPECT_EQ(defs[11].length, 8u);
}

} // namespace
