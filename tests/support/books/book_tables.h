#pragma once

// Small book tables for the tests of the windows' logic, written through the engine as the
// program writes them.

#include "support/temp_dir.h"
#include "table/table.h"

#include <map>
#include <string>
#include <vector>

namespace testsupport {

// Field name -> typed text (UTF-8); fields not named stay blank.
using Book = std::map<std::string, std::string>;

// Creates an empty book table `name` in `dir` and appends `books` in that order; returns its
// path.
std::string createBookTable(const TempDir& dir, const std::vector<Book>& books,
                            const std::string& name = "BOOKS.DBF");
// (Re)opens `books` on the table at `path`, shared.
void openShared(table::Table& books, const std::string& path);
// One field of every record the view shows, from first to last.
std::vector<std::string> column(table::Table& books, const std::string& fieldName = "Title");

} // namespace testsupport
