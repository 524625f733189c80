#include "search/locate.h"

#include "db/field_catalogue.h"
#include "table/codepage.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace search {

namespace {

// a-z to A-Z; every other byte (accented letters, UTF-8 sequences) as it is.
char upperAsciiChar(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

void upperAscii(std::string& text) {
    for (char& c : text)
        c = upperAsciiChar(c);
}

std::string_view cut(std::string_view text) {
    return text.substr(0, std::min(text.size(), kLocateTextLimit));
}

// Digits and points only, or a leading "-" followed by more of them; converted with the point
// as decimal separator. Empty text, a lone "-" or several points give nothing.
bool numberOfLocateValue(const std::string& text, double& value) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '-')
        digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789.") != std::string_view::npos)
        return false;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

std::string withBlanksForTildes(std::string label) {
    std::replace(label.begin(), label.end(), '~', ' ');
    return label;
}

} // namespace

bool isFloatingPointField(const table::FieldDescriptor& field) {
    return field.type == 'F' || (field.type == 'N' && field.decimals > 0);
}

bool isLocatableField(const table::FieldDescriptor& field) {
    switch (field.type) {
    case 'M': // memo
    case 'G': // picture
    case 'P': // picture
    case 'B': // binary
    case 'Q': // byte array
    case 'W': // blob
    case '0': // null flags
        return false;
    default:
        return !field.hidden;
    }
}

LocateTest::LocateTest(LocateCriteria criteria) : criteria_(std::move(criteria)) {
    preparedValue_ = std::string(cut(criteria_.value));
    if (!criteria_.caseSensitive)
        upperAscii(preparedValue_);
    numericValueValid_ = numberOfLocateValue(criteria_.value, numericValue_);
}

void LocateTest::bind(const table::DbfHeader& header) const {
    boundHeader_ = &header;
    boundRecordLength_ = header.recordLength;
    fieldIndex_ = -1;
    for (size_t index = 0; index < header.fields.size(); ++index) {
        const table::FieldDescriptor& field = header.fields[index];
        if (!field.hidden && field.offset + field.length <= header.recordLength &&
            db::sameFieldName(field.name, criteria_.fieldName)) {
            fieldIndex_ = static_cast<int>(index);
            field_ = field;
            break;
        }
    }
    byNumber_ =
        fieldIndex_ >= 0 && criteria_.match == MatchType::Exact && isFloatingPointField(field_);
    rawText_ = fieldIndex_ >= 0 && field_.type == 'C';
    encodable_ = true;
    encodedValue_.clear();
    if (rawText_) {
        std::optional<std::string> encoded = table::encodeFromUtf8(preparedValue_, header.codepage);
        encodable_ = encoded.has_value();
        if (encoded)
            encodedValue_ = std::string(cut(*encoded));
    }
}

bool LocateTest::textMatches(std::string_view text, std::string_view value) const {
    switch (criteria_.match) {
    case MatchType::Exact:
        return text == value;
    case MatchType::PartialAtBeginning:
        return !value.empty() && text.substr(0, value.size()) == value;
    case MatchType::PartialAnywhere:
        return !value.empty() && value.size() <= text.size() &&
               ::memmem(text.data(), text.size(), value.data(), value.size()) != nullptr;
    }
    return false;
}

bool LocateTest::matches(const table::RecordView& record) const {
    const table::DbfHeader& header = record.header();
    if (boundHeader_ != &header || boundRecordLength_ != header.recordLength)
        bind(header);
    if (fieldIndex_ < 0)
        return false;
    if (byNumber_)
        return numericValueValid_ && record.number(fieldIndex_) == numericValue_;
    if (rawText_) {
        if (!encodable_)
            return false;
        // The field's bytes without trailing blanks, cut to the limit, upper-cased in place.
        const uint8_t* bytes = record.bytes() + field_.offset;
        size_t length = std::min<size_t>(field_.length, kLocateTextLimit);
        while (length > 0 && bytes[length - 1] == ' ')
            --length;
        char buffer[kLocateTextLimit];
        for (size_t at = 0; at < length; ++at) {
            const uint8_t byte = bytes[at];
            buffer[at] = static_cast<char>(
                !criteria_.caseSensitive && byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte);
        }
        return textMatches({buffer, length}, encodedValue_);
    }
    std::string text(cut(record.text(fieldIndex_)));
    if (!criteria_.caseSensitive)
        upperAscii(text);
    return textMatches(text, preparedValue_);
}

std::vector<LocateField> locateFields(const table::Table& table, bool sorted, bool gridFieldsOnly) {
    std::vector<LocateField> fields;
    for (int index = 0; index < table.fieldCount(); ++index) {
        const table::FieldDescriptor& field = table.fieldDescriptor(index);
        const table::FieldDisplay& display = table.display(index);
        if (!isLocatableField(field) || (gridFieldsOnly && !display.visible))
            continue;
        fields.push_back({field.name, withBlanksForTildes(display.label)});
    }
    // Alphabetical as a sorted list box orders it: without regard to letter case.
    if (sorted)
        std::stable_sort(
            fields.begin(), fields.end(), [](const LocateField& a, const LocateField& b) {
                return std::lexicographical_compare(
                    a.label.begin(), a.label.end(), b.label.begin(), b.label.end(),
                    [](char x, char y) { return upperAsciiChar(x) < upperAsciiChar(y); });
            });
    return fields;
}

std::string fieldNameForLabel(const table::Table& table, const std::string& label) {
    for (const LocateField& field : locateFields(table, false, false))
        if (field.label == label)
            return field.name;
    return {};
}

LocateScan prepareLocateScan(const table::Table& viewed, table::RecordFilter viewFilter,
                             LocateCriteria criteria, bool fromFirst) {
    LocateScan scan;
    scan.directory = viewed.directory();
    scan.tableName = viewed.tableName();
    scan.tag = viewed.selectedTag();
    scan.mode = viewed.openMode() == table::OpenMode::ReadOnly ? table::OpenMode::ReadOnly
                                                               : table::OpenMode::Shared;
    scan.viewFilter = std::move(viewFilter);
    scan.criteria = std::move(criteria);
    scan.after = fromFirst ? 0 : viewed.recordNumber();
    return scan;
}

uint32_t runLocateScan(const LocateScan& scan) {
    table::Table handle;
    handle.setDirectory(scan.directory);
    handle.setTableName(scan.tableName);
    handle.setOpenMode(scan.mode);
    handle.setFilter([test = LocateTest(scan.criteria),
                      view = scan.viewFilter](const table::RecordView& record) {
        return test.matches(record) && (!view || view(record));
    });
    // Opened in file order the handle stands on the first match in the file, found in one pass
    // front to back; a value no record holds costs no more than that pass.
    handle.selectTag("");
    handle.open();
    if (handle.recordNumber() == 0)
        return 0;
    if (!scan.tag.empty()) {
        // The viewed order: a walk along the tag, which goes over the records that pass in one
        // pass through the file when the next match is far.
        handle.selectTag(scan.tag);
        if (scan.after == 0) {
            handle.first();
            return handle.recordNumber();
        }
    } else if (scan.after == 0) {
        return handle.recordNumber();
    }
    return handle.goToNextAfter(scan.after) ? handle.recordNumber() : 0;
}

} // namespace search
