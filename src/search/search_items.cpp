#include "search/search_items.h"

#include "db/field_catalogue.h"

#include <charconv>

namespace search {

namespace {

void eraseFirst(std::string& text, char mark) {
    if (auto at = text.find(mark); at != std::string::npos)
        text.erase(at, 1);
}

// Cuts UTF-8 text to at most `limit` characters without splitting one.
std::string cutCharacters(std::string text, int limit) {
    int characters = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
            continue;
        if (++characters > limit) {
            text.resize(at);
            break;
        }
    }
    return text;
}

// A date cell whose mask was left untouched holds only separators and blanks.
bool isBlankDate(std::string_view text) {
    return text.find_first_not_of(" /-.") == std::string_view::npos;
}

// The typed value of one side of a criterion: nothing when it is empty, an error when it does
// not convert.
struct SideValue {
    bool empty = true;
    bool valid = true;
    double value = 0;
};

SideValue convertSide(std::string_view text, RowKind kind, const DateReading& dates) {
    text = trimBlanks(text);
    if (kind == RowKind::Date) {
        if (isBlankDate(text))
            return {};
        // A date typed into the mask keeps the blanks of the places left empty ("3 /15/2020").
        std::string packed(text);
        std::erase(packed, ' ');
        std::optional<table::Date> date = dates.format.parse(packed, dates.currentYear);
        if (date && date->isNull())
            return {};
        if (!date)
            return {false, false, 0};
        return {false, true, static_cast<double>(table::julianDay(*date))};
    }
    if (text.empty())
        return {};
    std::optional<double> number = parsePlainNumber(text);
    return {false, number.has_value(), number.value_or(0)};
}

// Builds one level's items, row by row; stops at the first failure.
class LevelCompiler {
public:
    LevelCompiler(std::vector<SearchItem>& items, const DateReading& dates)
        : items_(items), dates_(dates) {}

    CompileStatus compileRow(int row, const std::string& cell, RowOperator rowOperator) {
        RowKind kind = rowKind(row);
        if (kind == RowKind::Text)
            return compileTextRow(row, cell);
        std::string text(trimBlanks(cell));
        if (rowOperator == RowOperator::Between)
            return compileRangeRow(row, std::move(text), kind);
        const char mark = rowOperator == RowOperator::Equal     ? '='
                          : rowOperator == RowOperator::Greater ? '>'
                                                                : '<';
        eraseFirst(text, mark);
        SideValue side = convertSide(text, kind, dates_);
        if (side.empty)
            return CompileStatus::Compiled;
        if (!side.valid)
            return CompileStatus::Invalid;
        return add(valueItem(row, static_cast<ItemOperator>(rowOperator), side.value, kind));
    }

private:
    CompileStatus compileTextRow(int row, const std::string& cell) {
        std::string text = upperAscii(trimBlanks(cell));
        if (text.empty())
            return CompileStatus::Compiled;
        SearchItem item;
        item.text = cutCharacters(std::move(text), kMaxItemTextLength);
        item.field = row;
        item.op = row == kKeywordsRow ? ItemOperator::AnyWord : ItemOperator::Contains;
        return add(std::move(item));
    }

    CompileStatus compileRangeRow(int row, std::string text, RowKind kind) {
        eraseFirst(text, '<');
        eraseFirst(text, '>');
        std::string_view whole = trimBlanks(text);
        size_t andAt = whole.find("AND");
        std::string_view low = andAt == std::string_view::npos ? whole : whole.substr(0, andAt);
        std::string_view high =
            andAt == std::string_view::npos ? std::string_view{} : whole.substr(andAt + 3);
        SideValue lowSide = convertSide(low, kind, dates_);
        SideValue highSide = convertSide(high, kind, dates_);
        if (lowSide.empty && highSide.empty)
            return CompileStatus::Compiled;
        if (lowSide.empty || highSide.empty || !lowSide.valid || !highSide.valid)
            return CompileStatus::Invalid;
        CompileStatus status = add(valueItem(row, ItemOperator::Greater, lowSide.value, kind));
        if (status != CompileStatus::Compiled)
            return status;
        return add(valueItem(row, ItemOperator::Less, highSide.value, kind));
    }

    static SearchItem valueItem(int row, ItemOperator op, double value, RowKind kind) {
        SearchItem item;
        item.value = value;
        item.field = row;
        item.op = op;
        item.isDate = kind == RowKind::Date;
        return item;
    }

    CompileStatus add(SearchItem item) {
        if (static_cast<int>(items_.size()) + 1 > kMaxSearchItems)
            return CompileStatus::Overflow;
        items_.push_back(std::move(item));
        return CompileStatus::Compiled;
    }

    std::vector<SearchItem>& items_;
    const DateReading& dates_;
};

} // namespace

RowKind rowKind(int row) {
    const db::FieldInfo* field = db::fieldByNumber(row);
    if (!field)
        return RowKind::Text;
    switch (field->kind) {
    case db::FieldKind::WholeNumber:
    case db::FieldKind::DecimalNumber:
        return RowKind::Number;
    case db::FieldKind::Date:
        return RowKind::Date;
    default:
        return RowKind::Text;
    }
}

const std::array<const char*, 4>& rowOperatorChoices() {
    static const std::array<const char*, 4> choices{" = ", " > ", " < ", " > X < "};
    return choices;
}

RowOperators initialRowOperators() {
    RowOperators operators;
    operators.fill(RowOperator::Equal);
    return operators;
}

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::string_view trimBlanks(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::optional<double> parsePlainNumber(std::string_view text) {
    size_t at = 0;
    auto digitsFrom = [&](size_t start) {
        size_t end = start;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
        return end - start;
    };
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    size_t mantissaDigits = digitsFrom(at);
    at += mantissaDigits;
    if (at < text.size() && text[at] == '.') {
        ++at;
        size_t fraction = digitsFrom(at);
        at += fraction;
        mantissaDigits += fraction;
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        size_t exponent = digitsFrom(at);
        if (exponent == 0)
            return std::nullopt;
        at += exponent;
    }
    if (at != text.size())
        return std::nullopt;
    // from_chars takes neither a leading "+" nor, before C++23 libraries, every form of ".5".
    std::string plain(text.front() == '+' ? text.substr(1) : text);
    double value = 0;
    auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc{} || end != plain.data() + plain.size())
        return std::nullopt;
    return value;
}

CompileOutcome SearchLevels::compileLevel(const CriteriaTexts& texts, const RowOperators& operators,
                                          const DateReading& dates) {
    const size_t countAtEntry = items_.size();
    LevelCompiler compiler(items_, dates);
    for (int row = 1; row <= kCriteriaRows; ++row) {
        const size_t slot = static_cast<size_t>(row - 1);
        switch (compiler.compileRow(row, texts[slot], operators[slot])) {
        case CompileStatus::Compiled:
            break;
        case CompileStatus::Invalid:
            items_.resize(countAtEntry);
            return {CompileStatus::Invalid, row};
        case CompileStatus::Overflow:
            clear();
            return {CompileStatus::Overflow, row};
        case CompileStatus::Empty:
            break;
        }
    }
    if (items_.size() == countAtEntry)
        return {CompileStatus::Empty, 0};
    items_.back().levelEnd = true;
    return {CompileStatus::Compiled, 0};
}

bool SearchLevels::startNextLevel() {
    if (!canFindMore())
        return false;
    ++level_;
    return true;
}

void SearchLevels::clear() {
    items_.clear();
    level_ = 1;
}

std::string overflowMessage() {
    return "More than " + std::to_string(kMaxSearchItems) + " search items have been entered.  " +
           "This exceeds the maximum allowable.  Search criteria will be cleared.";
}

void reportCompileOutcome(const CompileOutcome& outcome, db::UserMessages& messages) {
    switch (outcome.status) {
    case CompileStatus::Compiled:
        break;
    case CompileStatus::Invalid:
        messages.error(kInvalidCriteriaMessage);
        break;
    case CompileStatus::Empty:
        messages.error(kNoCriteriaMessage);
        break;
    case CompileStatus::Overflow:
        messages.error(overflowMessage());
        break;
    }
}

} // namespace search
