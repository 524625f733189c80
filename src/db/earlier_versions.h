#pragma once

// Tables of the program's earlier versions, kept in a fixed file in the program directory:
// version 2.x in B2LOG.DBF, version 1.x in BLOG.DBF. At every start the program offers to copy
// their records into the open book table and then delete the old file; a user who declines is
// asked again at the next start.

#include "db/user_messages.h"
#include "table/table.h"

#include <QString>

namespace db {

inline constexpr const char* kVersion2File = "B2LOG.DBF";
inline constexpr const char* kVersion1File = "BLOG.DBF";

// "A database from a previous version (2.X) has been detected. ..." for version 2 or 1.
std::string conversionQuestion(int version);

// True when the file exists and has the version's layout: 26 fields (version 2) or 15 (version
// 1) whose names from the second on are the expected ones, in any letter case. The first field
// is not looked at. A file that cannot be read does not have the layout. Clears the header's
// index flag first when the file's .MDX is missing, as every check of a table does.
bool hasVersion2Layout(const QString& path);
bool hasVersion1Layout(const QString& path);

// Appends every record of the old file to `books` (open), field by field. Version 1 builds the
// purchase date from its day, month (a number or "Jan" ... "Dec") and year with the pattern
// "m/d/y", and puts the date format in force back afterwards whatever happens. A value that does
// not convert throws table::TableError naming it; records posted before it stay.
void convertVersion2(const QString& path, table::Table& books);
void convertVersion1(const QString& path, table::Table& books);

struct ConversionContext {
    table::Table& books; // the book table opened at start-up
    QString programDirectory;
    UserMessages& messages;
};

// Looks for B2LOG.DBF, then BLOG.DBF, in the program directory and offers to convert each that
// has its layout (caption "Convert", Yes/No). After a complete conversion the old .DBF file
// (only that file) is deleted; a conversion that stops is reported with the engine's message
// and leaves the old file in place.
void offerConversion(ConversionContext& context);

} // namespace db
