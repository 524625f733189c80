#include "db/field_catalogue.h"

#include <algorithm>
#include <cctype>

namespace db {

namespace {

using enum FieldKind;

constexpr std::array<FieldInfo, kFieldCount> kCatalogue{{
    {1, "Title", Text, 90, "Title", ""},
    {2, "Author", Text, 90, "Author", "AUTHOR.LST"},
    {3, "YearPub", WholeNumber, 4, "Year Pub", ""},
    {4, "Publisher", Text, 60, "Publisher", "PUBLISH.LST"},
    {5, "Category", Text, 20, "Category", "CATEGORY.LST"},
    {6, "WherePurch", Text, 30, "Where Purchased", "BOUGHT.LST"},
    {7, "Cost", DecimalNumber, 12, "Cost", ""},
    {8, "Value", DecimalNumber, 12, "Value", ""},
    {9, "Descriptio", Text, 110, "Description", ""},
    {10, "ISBN", Text, 20, "ISBN", ""},
    {11, "Rating", Text, 15, "Rating", "RATING.LST"},
    {12, "PurchDate", Date, 10, "Purchase Date", ""},
    {13, "BookType", Text, 15, "Book Type", "BOOKTYPE.LST"},
    {14, "CatalogNum", Text, 15, "Cat Num", ""},
    {15, "Sub1", Text, 6, "Sub Cat1", ""},
    {16, "Sub2", Text, 6, "Sub Cat2", ""},
    {17, "CheckOut", Text, 3, "Checked Out", ""},
    {18, "CheckDate", Date, 10, "Check Out Date", ""},
    {19, "CheckName", Text, 30, "Check Out Person", "CHECKOUT.LST"},
    {20, "Volume", Text, 8, "Volume", ""},
    {21, "Issue", Text, 8, "Issue", ""},
    {22, "Edition", Text, 10, "Edition", ""},
    {23, "KeyWords", Text, 80, "Key Words", ""},
    {24, "Pages", WholeNumber, 5, "Pages", ""},
    {25, "Location", Text, 30, "Location", "LOCATION.LST"},
    {26, "Condition", Text, 20, "Condition", "CONDITION.LST"},
    {27, "Editor", Text, 30, "Editor", ""},
    {28, "Dewey", Text, 20, "Dewey Decimal", ""},
    {29, "LowMarket", DecimalNumber, 12, "Low Market", ""},
    {30, "HighMarket", DecimalNumber, 12, "High Market", ""},
    {31, "UserDef1", Text, 40, "User Defined 1", ""},
    {32, "UserDef2", Text, 40, "User Defined 2", ""},
    {33, "UserDef3", Text, 40, "User Defined 3", ""},
    {34, "UserDef4", Text, 40, "User Defined 4", ""},
    {35, "UserDef5", Text, 40, "User Defined 5", ""},
    {36, "UserDef6", Text, 40, "User Defined 6", ""},
}};

char asciiUpper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

} // namespace

const std::array<FieldInfo, kFieldCount>& fieldCatalogue() {
    return kCatalogue;
}

const FieldInfo* fieldByNumber(int number) {
    if (number < 1 || number > kFieldCount)
        return nullptr;
    return &kCatalogue[static_cast<size_t>(number - 1)];
}

bool sameFieldName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return asciiUpper(x) == asciiUpper(y); });
}

const FieldInfo* fieldByName(std::string_view name) {
    for (const FieldInfo& field : kCatalogue)
        if (sameFieldName(field.name, name))
            return &field;
    return nullptr;
}

int fieldNumberByName(std::string_view name) {
    const FieldInfo* field = fieldByName(name);
    return field ? field->number : 0;
}

std::vector<const FieldInfo*> pickListFields() {
    std::vector<const FieldInfo*> fields;
    for (const FieldInfo& field : kCatalogue)
        if (field.hasPickList())
            fields.push_back(&field);
    return fields;
}

table::FieldDef fieldDefFor(const FieldInfo& field) {
    table::FieldDef def;
    def.name.reserve(field.name.size());
    for (char c : field.name)
        def.name.push_back(asciiUpper(c));
    switch (field.kind) {
    case Text:
        def.type = 'C';
        def.length = static_cast<uint32_t>(field.size);
        break;
    case WholeNumber:
        def.type = 'N';
        def.length = 11;
        break;
    case DecimalNumber:
        def.type = 'F';
        def.length = 20;
        def.decimals = 4;
        break;
    case Date:
        def.type = 'D';
        def.length = 8;
        break;
    }
    return def;
}

std::vector<table::FieldDef> bookTableFieldDefs() {
    std::vector<table::FieldDef> defs;
    defs.reserve(kFieldCount);
    for (const FieldInfo& field : kCatalogue)
        defs.push_back(fieldDefFor(field));
    return defs;
}

} // namespace db
