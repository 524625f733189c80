#pragma once

// Small book tables for the search tests.

#include "support/books/book_tables.h"

namespace searchtest {

using testsupport::Book;
using testsupport::column;
using testsupport::createBookTable;
using testsupport::openShared;

} // namespace searchtest
