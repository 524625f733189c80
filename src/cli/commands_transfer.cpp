// export and import: the delimited text format and dBASE files, with the export and import
// runs of the windows.

#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/criteria_text.h"
#include "db/field_catalogue.h"
#include "transfer/export_core.h"
#include "transfer/import_core.h"

#include <cstdio>

namespace cli {

namespace {

// Catalogue field numbers of `--fields`, or the stored export configuration.
std::vector<int> exportFieldNumbers(const Arguments& arguments, const app::Settings& settings) {
    const auto names = arguments.value("fields");
    if (!names)
        return transfer::exportedFields(settings);
    std::vector<int> numbers;
    for (const std::string& name : splitList(*names)) {
        const int number = db::fieldNumberByName(name);
        if (number == 0)
            throw UsageError("--fields: no book field is named " + name);
        numbers.push_back(number);
    }
    if (numbers.empty())
        throw UsageError("--fields names no field");
    return numbers;
}

// The column titles the grid shows (the field labels), as the export window writes them.
std::vector<std::string> headerTitles(const std::vector<int>& numbers,
                                      const app::Settings& settings) {
    std::vector<std::string> titles;
    for (int number : numbers) {
        QString title = settings.fieldLabel(number);
        if (title.isEmpty())
            title = QString::fromLatin1(db::fieldByNumber(number)->name.data(),
                                        qsizetype(db::fieldByNumber(number)->name.size()))
                        .toUpper();
        titles.push_back(
            transfer::toCp1252(title.toStdString(), "the column title " + title.toStdString()));
    }
    return titles;
}

void walkAll(table::Table& books, const std::function<void(const table::Table&)>& write, bool quiet,
             const char* label) {
    ProgressBar bar(label, quiet);
    transfer::RecordWalk walk(books);
    while (!walk.step(write, 4096))
        bar.update(walk.total() == 0 ? 1.0 : double(walk.done()) / walk.total());
}

// "POS=NAME,…": source position (1-based) to catalogue field.
std::vector<int> importMap(const Arguments& arguments, int sourceFields) {
    std::vector<int> map(size_t(sourceFields), 0);
    const auto text = arguments.value("map");
    if (!text) {
        for (int position = 1; position <= std::min(sourceFields, db::kFieldCount); ++position)
            map[size_t(position - 1)] = position;
        return map;
    }
    for (const std::string& pair : splitList(*text)) {
        const auto equals = pair.find('=');
        if (equals == std::string::npos)
            throw UsageError("--map: \"" + pair + "\" is not POSITION=FIELD");
        int position = 0;
        try {
            size_t used = 0;
            position = std::stoi(pair.substr(0, equals), &used);
            if (used != equals)
                position = 0;
        } catch (const std::exception&) {
            position = 0;
        }
        if (position < 1 || position > sourceFields)
            throw UsageError("--map: \"" + pair + "\": the source has fields 1 to " +
                             std::to_string(sourceFields));
        const int field = db::fieldNumberByName(pair.substr(equals + 1));
        if (field == 0)
            throw UsageError("--map: \"" + pair + "\": no book field is named " +
                             pair.substr(equals + 1));
        map[size_t(position - 1)] = field;
    }
    return map;
}

} // namespace

int runExport(const Words& words) {
    const Arguments arguments(
        words,
        withCommonOptions({{"text"}, {"dbf"}, {"fields", true}, {"no-header"}, {"search", true}}),
        2, 2);
    const std::string kind = arguments.oneOf({"text", "dbf"});
    const Session session = startSession(arguments);
    const std::vector<int> numbers = exportFieldNumbers(arguments, session.settings);
    ConsoleMessages messages;
    BookTable book;
    if (!book.open(arguments.positional(0), session, messages) ||
        !book.applySearch(arguments.value("search"), session, messages))
        return 1;
    table::Table& books = book.table();
    const std::vector<transfer::ExportField> fields = transfer::exportList(numbers, books);
    const std::string& out = arguments.positional(1);
    if (kind == "text") {
        const transfer::ValueFormats formats = transfer::currentValueFormats();
        transfer::TextExportFile file(out);
        if (session.settings.exportFirstRow && !arguments.has("no-header"))
            file.writeHeader(headerTitles(numbers, session.settings));
        walkAll(
            books, [&](const table::Table& record) { file.writeRecord(record, fields, formats); },
            session.quiet, "Exporting");
        file.close();
    } else {
        transfer::DbfExportFile file(out, fields);
        walkAll(
            books, [&](const table::Table& record) { file.writeRecord(record); }, session.quiet,
            "Exporting");
        file.close();
    }
    return 0;
}

int runImport(const Words& words) {
    const Arguments arguments(
        words, withCommonOptions({{"text"}, {"dbf"}, {"skip-first"}, {"map", true}}), 2, 2);
    const std::string kind = arguments.oneOf({"text", "dbf"});
    if (kind == "dbf" && arguments.has("skip-first"))
        throw UsageError("--skip-first is for delimited text only");
    const Session session = startSession(arguments);
    const std::string& source = arguments.positional(1);
    int sourceFields = 0;
    if (kind == "text") {
        const transfer::TextSource text = transfer::inspectTextFile(source);
        if (text.error != transfer::FirstLineError::None) {
            std::fprintf(stderr, "%s\n", transfer::firstLineMessage(text.error).c_str());
            return 1;
        }
        sourceFields = int(text.labels.size());
    } else {
        sourceFields = int(transfer::inspectDbfFile(source).size());
    }
    const std::vector<int> map = importMap(arguments, sourceFields);
    ConsoleMessages messages;
    BookTable book;
    if (!book.open(arguments.positional(0), session, messages))
        return 1;
    const transfer::ImportFormats formats = transfer::currentImportFormats();
    auto run = kind == "text" ? transfer::startTextImport(book.table(), source, map,
                                                          arguments.has("skip-first"), formats)
                              : transfer::startDbfImport(book.table(), source, map, formats);
    try {
        ProgressBar bar("Importing", session.quiet);
        while (!run->step(4096))
            bar.showCount(run->count()); // the source's length in records is not known ahead
    } catch (const transfer::TransferError& error) {
        // The records stored before the failure stay, as in the import window.
        std::fprintf(stderr, "%s\n%u records were imported before it.\n", error.what(),
                     run->count());
        return 1;
    }
    std::printf("%u\n", run->count());
    return 0;
}

} // namespace cli
