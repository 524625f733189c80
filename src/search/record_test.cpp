#include "search/record_test.h"

#include "db/field_catalogue.h"
#include "table/codepage.h"
#include "table/dbf_format.h"

#include <algorithm>
#include <cstring>

namespace search {

struct RecordTest::BoundItem {
    ItemOperator op = ItemOperator::Contains;
    bool levelEnd = false;
    bool isDate = false;
    double value = 0;
    int fieldIndex = -1; // -1: the table lacks the field, which then reads as blank
    table::FieldDescriptor field;
    // Contains: one needle; any word: one per word. In the table's code page; a criterion with
    // a character the code page lacks can never occur and leaves no needle.
    std::vector<std::string> needles;
    bool unmatchable = false;
};

namespace {

constexpr size_t kMaxFieldBytes = 255;

// Upper-cases (a-z only) the field's bytes into `buffer`, without the trailing blanks.
std::string_view upperFieldBytes(const table::FieldDescriptor& field, const uint8_t* record,
                                 char (&buffer)[kMaxFieldBytes]) {
    size_t length = std::min<size_t>(field.length, kMaxFieldBytes);
    const uint8_t* bytes = record + field.offset;
    while (length > 0 && bytes[length - 1] == ' ')
        --length;
    for (size_t at = 0; at < length; ++at) {
        uint8_t byte = bytes[at];
        buffer[at] = static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte);
    }
    return {buffer, length};
}

bool occursIn(std::string_view haystack, const std::string& needle) {
    if (needle.size() > haystack.size())
        return false;
    return ::memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}

// Words at single blanks; empty words (from doubled blanks) name nothing and are left out.
std::vector<std::string> wordsOf(const std::string& text) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

} // namespace

RecordTest::RecordTest(std::vector<SearchItem> items) : items_(std::move(items)) {}
RecordTest::~RecordTest() = default;
RecordTest::RecordTest(const RecordTest& other) : items_(other.items_) {}

bool RecordTest::bindingFits(const table::DbfHeader& header) const {
    if (boundHeader_ != &header || boundLayout_.first != header.recordLength ||
        boundLayout_.second != header.fields.size())
        return false;
    for (const BoundItem& item : bound_) {
        if (item.fieldIndex < 0)
            continue;
        if (static_cast<size_t>(item.fieldIndex) >= header.fields.size())
            return false;
        const table::FieldDescriptor& field = header.fields[static_cast<size_t>(item.fieldIndex)];
        if (field.offset != item.field.offset || field.length != item.field.length ||
            field.type != item.field.type)
            return false;
    }
    return true;
}

void RecordTest::bind(const table::DbfHeader& header) const {
    bound_.clear();
    for (const SearchItem& item : items_) {
        BoundItem bound;
        bound.op = item.op;
        bound.levelEnd = item.levelEnd;
        bound.isDate = item.isDate;
        bound.value = item.value;
        const db::FieldInfo* info = db::fieldByNumber(item.field);
        for (size_t index = 0; info && index < header.fields.size(); ++index) {
            const table::FieldDescriptor& field = header.fields[index];
            if (!field.hidden && db::sameFieldName(field.name, info->name) &&
                field.offset + field.length <= header.recordLength) {
                bound.fieldIndex = static_cast<int>(index);
                bound.field = field;
                break;
            }
        }
        std::vector<std::string> texts;
        if (item.op == ItemOperator::Contains)
            texts.push_back(item.text);
        else if (item.op == ItemOperator::AnyWord)
            texts = wordsOf(item.text);
        for (const std::string& text : texts) {
            std::optional<std::string> encoded = table::encodeFromUtf8(text, header.codepage);
            if (encoded)
                bound.needles.push_back(std::move(*encoded));
            else
                bound.unmatchable = item.op == ItemOperator::Contains;
        }
        bound_.push_back(std::move(bound));
    }
    boundHeader_ = &header;
    boundLayout_ = {header.recordLength, header.fields.size()};
    // The deletion flag and the start of each field read, one per cache line, a few at most.
    constexpr uint32_t kCacheLine = 64;
    constexpr size_t kMaxPrefetches = 6;
    prefetchOffsets_ = {0};
    for (const BoundItem& item : bound_) {
        const uint32_t line = item.field.offset / kCacheLine * kCacheLine;
        if (item.fieldIndex >= 0 && prefetchOffsets_.size() < kMaxPrefetches &&
            std::find(prefetchOffsets_.begin(), prefetchOffsets_.end(), line) ==
                prefetchOffsets_.end())
            prefetchOffsets_.push_back(line);
    }
}

bool RecordTest::holds(const BoundItem& item, const uint8_t* record) const {
    switch (item.op) {
    case ItemOperator::Equal:
    case ItemOperator::Greater:
    case ItemOperator::Less: {
        double value = 0;
        if (item.fieldIndex >= 0) {
            value =
                item.isDate
                    ? static_cast<double>(table::julianDay(table::fieldDate(item.field, record)))
                    : table::fieldNumber(item.field, record);
        }
        if (item.op == ItemOperator::Equal)
            return value == item.value;
        return item.op == ItemOperator::Greater ? value > item.value : value < item.value;
    }
    case ItemOperator::Contains:
    case ItemOperator::AnyWord: {
        if (item.unmatchable)
            return false;
        char buffer[kMaxFieldBytes];
        std::string_view text;
        if (item.fieldIndex >= 0)
            text = upperFieldBytes(item.field, record, buffer);
        for (const std::string& needle : item.needles)
            if (occursIn(text, needle))
                return true;
        return false;
    }
    }
    return false;
}

// Counting and browsing mostly walk the file in physical order: asking for the fields the items
// read a few records ahead lets memory fetch them while this record is tested. A prefetch of an
// address past the mapped file is ignored by the processor.
void RecordTest::prefetchAhead(const table::RecordView& record) const {
    constexpr size_t kRecordsAhead = 8;
    const uint8_t* ahead = record.bytes() + kRecordsAhead * record.header().recordLength;
    for (uint32_t offset : prefetchOffsets_)
        __builtin_prefetch(ahead + offset);
}

bool RecordTest::matches(const table::RecordView& record) const {
    if (!bindingFits(record.header()))
        bind(record.header());
    prefetchAhead(record);
    bool all = true;
    for (const BoundItem& item : bound_) {
        // Once an item of the level failed the rest of the level cannot change the outcome.
        if (all)
            all = holds(item, record.bytes());
        if (item.levelEnd) {
            if (all)
                return true;
            all = true;
        }
    }
    return false;
}

table::RecordFilter makeRecordFilter(std::shared_ptr<const RecordTest> test) {
    if (!test)
        return [](const table::RecordView&) { return false; };
    return [copy = RecordTest(*test)](const table::RecordView& record) {
        return copy.matches(record);
    };
}

} // namespace search
