#pragma once

// Deterministic synthetic book records: the same seed gives the same collection on every
// machine, so figures from different runs compare.

#include "table/date_format.h"

#include <cstdint>
#include <string>
#include <vector>

namespace table {
class Table;
}

namespace benchfixture {

struct FieldValue {
    enum class Kind { Blank, Text, Number, Date };
    Kind kind = Kind::Blank;
    std::string text; // UTF-8
    double number = 0;
    table::Date date;
};

using Book = std::vector<FieldValue>; // one value per book field, in table order

// splitmix64: tiny, fast and identical everywhere (std distributions are not).
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next();
    int below(int bound); // 0..bound-1
    bool chance(int percent) { return below(100) < percent; }

private:
    uint64_t state_;
};

class SyntheticBooks {
public:
    explicit SyntheticBooks(uint64_t seed = 20240229) : random_(seed) {}
    Book next();

private:
    std::string author();
    std::string title();
    table::Date date(int firstYear, int lastYear);
    Random random_;
    uint64_t serial_ = 0;
};

// Puts every value of `book` into the table's edit buffer (the caller appends and posts).
void setBookFields(table::Table& books, const Book& book);

} // namespace benchfixture
