#pragma once

// What every subcommand starts from, read as the windowed program reads it: the settings file
// (never written here), the program directory, the date format in force and the regional number
// settings; and the book table opened as File > Open opens it.

#include "cli/cli_arguments.h"
#include "cli/console.h"
#include "search/search_items.h"
#include "settings/settings.h"
#include "table/table.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// The options every subcommand takes besides its own.
std::vector<OptionRule> withCommonOptions(std::vector<OptionRule> options);

struct Session {
    app::Settings settings;
    QString programDirectory;
    bool quiet = false;
    search::DateReading dates;
};

// Reads --settings FILE (default: the user's VLMBOOK.INI) and applies its date format.
Session startSession(const Arguments& arguments);

// A book table opened as File > Open opens it: the file type and format checks with their
// messages, the index NewIndex over the stored sort order, installed when missing.
class BookTable {
public:
    // False (the reason shown through `messages`) when the table could not be opened.
    bool open(const std::string& path, const Session& session, db::UserMessages& messages);
    table::Table& table() { return table_; }
    const QString& path() const { return path_; }

    // Narrows the table to the records that pass `criteria` (the search window's test), when
    // there are criteria; false, with the reason shown, when they do not compile. Throws
    // UsageError for text that does not follow the grammar.
    bool applySearch(const std::optional<std::string>& criteria, const Session& session,
                     db::UserMessages& messages);

private:
    table::Table table_;
    QString path_;
    std::string sortExpression_;
};

// A path as a QString, from the bytes the shell passed.
QString qPath(const std::string& path);

} // namespace cli
