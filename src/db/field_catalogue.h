#pragma once

// The fixed layout of a book table: 36 fields in file order. Everything that names a field,
// creates or checks a table, builds an index expression or labels a column goes through here.

#include "table/dbf_format.h"

#include <array>
#include <string_view>
#include <vector>

namespace db {

// The numeric values are stored in report definitions and compared by other modules.
enum class FieldKind { Text = 1, WholeNumber = 2, DecimalNumber = 3, Date = 4 };

struct FieldInfo {
    int number;            // 1..36, the position in the table
    std::string_view name; // as written in the catalogue; dBASE stores it in capitals
    FieldKind kind;
    int size;                  // Text: field width; others: longest typed text accepted
    std::string_view label;    // default field label
    std::string_view listFile; // pick-list file name, empty when the field has no list
    bool hasPickList() const { return !listFile.empty(); }
};

constexpr int kFieldCount = 36;
constexpr int kPickListCount = 9;

const std::array<FieldInfo, kFieldCount>& fieldCatalogue();

// Null when the number is outside 1..36.
const FieldInfo* fieldByNumber(int number);
// Compares without regard to letter case; null when no field has that name.
const FieldInfo* fieldByName(std::string_view name);
// 0 when no field has that name.
int fieldNumberByName(std::string_view name);

// The nine pick-list fields in catalogue order.
std::vector<const FieldInfo*> pickListFields();

// Physical column layout of a new book table. Whole and decimal numbers get widths that hold
// every value the edit form accepts, with room to spare for the index's STR() keys.
table::FieldDef fieldDefFor(const FieldInfo& field);
std::vector<table::FieldDef> bookTableFieldDefs();

// ASCII letter-case-insensitive comparison, the way dBASE matches field names.
bool sameFieldName(std::string_view a, std::string_view b);

} // namespace db
