#pragma once

// The search criteria as the user leaves them in the search window's grid, turned into search
// items: one or two per filled row, grouped in levels. Everything that can be worked out before
// the records are read happens here (numbers and dates converted, texts upper-cased), so that the
// record test does no parsing. Plain code: the window only hands over the cell texts.

#include "db/user_messages.h"
#include "table/date_format.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace search {

inline constexpr int kCriteriaRows = 36;   // one per field, row r is field r
inline constexpr int kKeywordsRow = 23;    // the key-words field: any word may match
inline constexpr int kMaxSearchItems = 75; // over all levels
inline constexpr int kMaxLevels = 10;
inline constexpr int kMaxItemTextLength = 110;

inline constexpr const char* kInvalidCriteriaMessage =
    "Invalid search criteria entered.  Please correct.";
inline constexpr const char* kNoCriteriaMessage = "No search criteria entered.";
inline constexpr const char* kNoMatchesMessage =
    "No valid matches found.  Search Criteria will be cleared.";

// Number rows (whole and decimal numbers), date rows and text rows (all others).
enum class RowKind { Text, Number, Date };
RowKind rowKind(int row); // 1..36

// The comparison chosen for a number or date row; kept per row for the whole run.
enum class RowOperator : uint8_t { Equal = 1, Greater = 2, Less = 3, Between = 4 };

// The four choices offered for a number or date row, in code order.
const std::array<const char*, 4>& rowOperatorChoices();

enum class ItemOperator : uint8_t { Equal = 1, Greater = 2, Less = 3, Contains = 5, AnyWord = 6 };

struct SearchItem {
    std::string text; // upper-cased criterion of a text row (UTF-8)
    double value = 0; // number, or the Julian day of a date
    int field = 0;    // 1..36
    ItemOperator op = ItemOperator::Contains;
    bool levelEnd = false;
    bool isDate = false;
    bool operator==(const SearchItem&) const = default;
};

using CriteriaTexts = std::array<std::string, kCriteriaRows>; // UTF-8, row 1 at [0]
using RowOperators = std::array<RowOperator, kCriteriaRows>;

RowOperators initialRowOperators(); // every row "="

// The letters a-z to A-Z; every other character as it is.
std::string upperAscii(std::string_view text);
// Leading and trailing space characters (code 32) removed.
std::string_view trimBlanks(std::string_view text);
// A plain decimal number: optional sign, digits with an optional "." and fraction (at least one
// digit in all), optional exponent. Nothing for anything else.
std::optional<double> parsePlainNumber(std::string_view text);

enum class CompileStatus {
    Compiled, // the level's items were added and closed
    Invalid,  // a row did not convert; the level's items were dropped
    Empty,    // no row of the level was filled
    Overflow, // more than kMaxSearchItems over all levels; every item was dropped
};

struct CompileOutcome {
    CompileStatus status = CompileStatus::Empty;
    int row = 0; // the offending row (1..36) when Invalid
};

// How typed dates are read: the date format in force and the year that completes two-digit years.
struct DateReading {
    table::DateFormat format;
    int currentYear = 2000;
};

// The compiled items of every level so far, and the level being filled.
class SearchLevels {
public:
    // Compiles the rows of the current level and appends its items. On failure the items of
    // earlier levels stay (Invalid, Empty) or everything is cleared (Overflow).
    CompileOutcome compileLevel(const CriteriaTexts& texts, const RowOperators& operators,
                                const DateReading& dates);
    // The level after a successful compile; false (and no change) at the last level.
    bool startNextLevel();
    void clear(); // no items, level 1

    const std::vector<SearchItem>& items() const { return items_; }
    int level() const { return level_; }
    bool canFindMore() const { return level_ < kMaxLevels; }

private:
    std::vector<SearchItem> items_;
    int level_ = 1;
};

// The user's side of a compile: shows the message that belongs to the outcome.
void reportCompileOutcome(const CompileOutcome& outcome, db::UserMessages& messages);
std::string overflowMessage();

} // namespace search
