#pragma once

// Small book tables for the search tests, written through the engine as the program writes them.

#include "support/temp_dir.h"
#include "table/table.h"

#include <map>
#include <string>
#include <vector>

namespace searchtest {

// Field name -> typed text; fields not named stay blank.
using Book = std::map<std::string, std::string>;

// Creates a book table BOOKS.DBF in `dir` holding `books` in that order; returns its path.
std::string createBookTable(const testsupport::TempDir& dir, const std::vector<Book>& books);
void openShared(table::Table& books, const std::string& path);
// One field of every record the view shows, from first to last.
std::vector<std::string> column(table::Table& books, const std::string& fieldName = "Title");

} // namespace searchtest
