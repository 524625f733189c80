#pragma once

// The 36 fields of a book table as the program creates it, kept here as a fixture so that the
// benchmark and the interoperability test build their tables without the database layer.

#include "table/dbf_format.h"

#include <vector>

namespace benchfixture {

inline table::FieldDef textField(const char* name, uint32_t width) {
    return {name, 'C', width, 0};
}
inline table::FieldDef wholeField(const char* name) {
    return {name, 'N', 11, 0};
}
inline table::FieldDef decimalField(const char* name) {
    return {name, 'F', 20, 4};
}
inline table::FieldDef dateField(const char* name) {
    return {name, 'D', 8, 0};
}

inline const std::vector<table::FieldDef>& bookFields() {
    static const std::vector<table::FieldDef> fields = {
        textField("Title", 90),     textField("Author", 90),     wholeField("YearPub"),
        textField("Publisher", 60), textField("Category", 20),   textField("WherePurch", 30),
        decimalField("Cost"),       decimalField("Value"),       textField("Descriptio", 110),
        textField("ISBN", 20),      textField("Rating", 15),     dateField("PurchDate"),
        textField("BookType", 15),  textField("CatalogNum", 15), textField("Sub1", 6),
        textField("Sub2", 6),       textField("CheckOut", 3),    dateField("CheckDate"),
        textField("CheckName", 30), textField("Volume", 8),      textField("Issue", 8),
        textField("Edition", 10),   textField("KeyWords", 80),   wholeField("Pages"),
        textField("Location", 30),  textField("Condition", 20),  textField("Editor", 30),
        textField("Dewey", 20),     decimalField("LowMarket"),   decimalField("HighMarket"),
        textField("UserDef1", 40),  textField("UserDef2", 40),   textField("UserDef3", 40),
        textField("UserDef4", 40),  textField("UserDef5", 40),   textField("UserDef6", 40),
    };
    return fields;
}

// Field positions (0-based) the benchmark and its index expressions refer to.
constexpr int kTitle = 0;
constexpr int kAuthor = 1;
constexpr int kYearPub = 2;
constexpr int kPurchDate = 11;

inline const char* const kAuthorKey = "Upper(Left(Author,20))";
inline const char* const kThreeLevelKey = "Upper(Left(Author,20))+STR(YearPub,8,0)+DTOS(PurchDate)";

} // namespace benchfixture
