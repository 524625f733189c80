#pragma once

// Book tables for the grid tests: a fresh table in a temporary folder with generated records,
// indexed by author like the program's default sort order.

#include "support/temp_dir.h"
#include "table/table.h"

#include <functional>
#include <string>

namespace testsupport {

struct BookRow {
    std::string title;
    std::string author;
    std::string yearPub;
    std::string checkOut;
};

// Author "Author 00042"-style names in an order scrambled against the record order, so that the
// index order differs from the physical one.
BookRow generatedBook(int index, int count);

// Creates BOOKS.DBF in `dir` with `count` records from `make`, adds the tag NewIndex over the
// author and leaves `table` open on it with the tag selected.
void makeBookTable(table::Table& table, const TempDir& dir, int count,
                   const std::function<BookRow(int index, int count)>& make = generatedBook);

// Field indexes of the book table (0-based).
inline constexpr int kTitleField = 0;
inline constexpr int kAuthorField = 1;
inline constexpr int kYearPubField = 2;
inline constexpr int kCheckOutField = 16;

} // namespace testsupport
