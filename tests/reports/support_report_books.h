#pragma once

// Book tables for the report tests, sorted by an index as the program sorts them, and runs of a
// report to a text file or to a page store through the real engines.

#include "reports/report_generator.h"
#include "support/temp_dir.h"
#include "table/table.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <string>
#include <vector>

namespace reporttest {

// Field name -> typed text; fields not named stay blank.
using Book = std::map<std::string, std::string>;

// Creates BOOKS.DBF in `dir` holding `books`, with the tag NewIndex for `levels`, and opens it
// shared in `books` with that tag selected.
void openBookTable(table::Table& handle, const testsupport::TempDir& dir,
                   const std::vector<Book>& books, const db::SortLevels& levels);

// Default field labels and U.S. formats, the given sort levels, 7 March 2026 as today.
reports::ReportContext testContext(const db::SortLevels& levels);

struct TextRun {
    QString text;      // the whole file
    QStringList pages; // the text of each page, up to and including its form feed
    QStringList lines; // every line without its CR LF
};

// Runs in text-file mode; the file's bytes must end in CR LF and use no bare LF.
TextRun runText(const reports::ReportDefinition& definition, table::Table& books,
                const reports::ReportContext& context, const testsupport::TempDir& dir);

// Runs in preview mode into a page store; returns the store's page count.
int runToStore(const reports::ReportDefinition& definition, table::Table& books,
               const reports::ReportContext& context, QByteArray* store = nullptr);

} // namespace reporttest
