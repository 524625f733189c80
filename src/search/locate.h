#pragma once

// Locating a record by the value of one field: the test of one record, the fields that can be
// searched, and the scan that finds the first match in the viewed order. The scan runs on a
// table handle of its own, so that the handle the grid shows never moves record by record and
// the scan can run on another thread while the window keeps painting.

#include "table/table.h"

#include <cstdint>
#include <string>
#include <vector>

namespace search {

enum class MatchType { Exact = 0, PartialAtBeginning = 1, PartialAnywhere = 2 };

// Texts are compared up to this many characters.
inline constexpr size_t kLocateTextLimit = 255;

struct LocateCriteria {
    std::string fieldName; // the table's field name
    std::string value;     // UTF-8, as typed
    MatchType match = MatchType::PartialAtBeginning;
    bool caseSensitive = false;
};

// Floating-point fields are matched exactly by number rather than by text.
bool isFloatingPointField(const table::FieldDescriptor& field);
// Fields whose value has a text to compare: not memo, picture or binary fields, nor the system
// fields a table hides.
bool isLocatableField(const table::FieldDescriptor& field);

// The test of one record. The field is found in the record's layout on first use and again for a
// record of another layout; one object serves one thread.
class LocateTest {
public:
    explicit LocateTest(LocateCriteria criteria);

    bool matches(const table::RecordView& record) const;
    const LocateCriteria& criteria() const { return criteria_; }

private:
    void bind(const table::DbfHeader& header) const;
    bool textMatches(std::string_view text, std::string_view value) const;

    LocateCriteria criteria_;
    std::string preparedValue_; // upper-cased unless case sensitive, cut to the limit
    // Exact match on a floating-point field: the number, when the value has a number's form.
    bool numericValueValid_ = false;
    double numericValue_ = 0;

    mutable const table::DbfHeader* boundHeader_ = nullptr;
    mutable uint32_t boundRecordLength_ = 0;
    mutable int fieldIndex_ = -1;
    mutable table::FieldDescriptor field_;
    mutable bool rawText_ = false;     // a character field read straight from its bytes
    mutable bool byNumber_ = false;    // exact match on a floating-point field
    mutable std::string encodedValue_; // preparedValue_ in the table's code page
    mutable bool encodable_ = true;
};

// One entry of the dialog's field list: the field's name and its display label, with every "~"
// shown as a blank.
struct LocateField {
    std::string name;
    std::string label;
};
// The locatable fields of an open table, each by its display label, in the table's field order
// or sorted by label; with `gridFieldsOnly` only those the grid shows.
std::vector<LocateField> locateFields(const table::Table& table, bool sorted, bool gridFieldsOnly);
// The field whose label (as locateFields gives it) is `label`; empty when none.
std::string fieldNameForLabel(const table::Table& table, const std::string& label);

// Everything a scan needs, copied from the viewed handle so that it can run on any thread.
struct LocateScan {
    std::string directory;
    std::string tableName;
    std::string tag; // the viewed order; empty for physical order
    table::OpenMode mode = table::OpenMode::Shared;
    table::RecordFilter viewFilter; // the viewed handle's record filter, a copy of its own
    LocateCriteria criteria;
    uint32_t after = 0; // 0: from the first record; else from the record after this one
};

// The scan of `viewed` (open) from its first record or from the record after its current one.
// `viewFilter` must be a copy that shares no state with the filter the handle runs.
LocateScan prepareLocateScan(const table::Table& viewed, table::RecordFilter viewFilter,
                             LocateCriteria criteria, bool fromFirst);

// The physical number of the first record that matches, in the viewed order and through the
// viewed filter; 0 when none does. Opens its own handle on the table (shared) and closes it
// again. Throws TableError.
uint32_t runLocateScan(const LocateScan& scan);

} // namespace search
