// Export and import timings: every field of the book table out to delimited text (with the
// header line) and to a new dBASE table, and that text back into an empty book table.

#include "db/field_catalogue.h"
#include "table/table.h"
#include "table_bench_ops.h"
#include "transfer/export_core.h"
#include "transfer/import_core.h"

#include <filesystem>
#include <numeric>
#include <stdexcept>

namespace benchfixture {

namespace fs = std::filesystem;

namespace {

void openShared(table::Table& books, const fs::path& dbf) {
    books.setDirectory(dbf.parent_path().string());
    books.setTableName(dbf.filename().string());
    books.setOpenMode(table::OpenMode::Shared);
    books.selectTag("NewIndex");
    books.open();
}

std::vector<int> allFields() {
    std::vector<int> numbers(db::kFieldCount);
    std::iota(numbers.begin(), numbers.end(), 1);
    return numbers;
}

uint64_t exportText(table::Table& books, const fs::path& out) {
    const auto fields = transfer::exportList(allFields(), books);
    const auto formats = transfer::currentValueFormats();
    transfer::TextExportFile file(out.string());
    std::vector<std::string> titles;
    for (const auto& field : fields)
        titles.emplace_back(db::fieldByNumber(field.number)->label);
    file.writeHeader(titles);
    transfer::RecordWalk walk(books);
    while (!walk.step([&](const table::Table& t) { file.writeRecord(t, fields, formats); }, 4096)) {
    }
    file.close();
    return walk.done();
}

uint64_t exportDbf(table::Table& books, const fs::path& out) {
    transfer::DbfExportFile file(out.string(), transfer::exportList(allFields(), books));
    transfer::RecordWalk walk(books);
    while (!walk.step([&](const table::Table& t) { file.writeRecord(t); }, 4096)) {
    }
    file.close();
    return walk.done();
}

// Into a new, empty book table with the tag NewIndex over the author key, maintained on every
// post as the program's import does it.
uint64_t importText(const fs::path& text, const fs::path& dbf) {
    table::Table::create(dbf.string(), db::bookTableFieldDefs());
    table::Table books;
    books.setDirectory(dbf.parent_path().string());
    books.setTableName(dbf.filename().string());
    books.setOpenMode(table::OpenMode::Exclusive);
    books.open();
    books.addTag("NewIndex", "Upper(Left(Author,20))");
    books.selectTag("NewIndex");
    auto run = transfer::startTextImport(books, text.string(), allFields(), true,
                                         transfer::currentImportFormats());
    while (!run->step(4096)) {
    }
    books.close();
    return run->count();
}

} // namespace

void runTransferBenchmark(const std::string& dbfPath, const std::string& outputDirectory) {
    if (!fs::exists(dbfPath))
        throw std::runtime_error("no such table: " + dbfPath);
    const fs::path out = fs::absolute(outputDirectory);
    fs::create_directories(out);
    table::Table books;
    openShared(books, fs::absolute(dbfPath));
    timed("export_text", [&] { return exportText(books, out / "BOOKS.TXT"); });
    timed("export_dbf", [&] { return exportDbf(books, out / "EXPORT.DBF"); });
    books.close();
    runImportBenchmark((out / "BOOKS.TXT").string(), out.string());
}

void runImportBenchmark(const std::string& textPath, const std::string& outputDirectory) {
    if (!fs::exists(textPath))
        throw std::runtime_error("no such file: " + textPath);
    const fs::path out = fs::absolute(outputDirectory);
    fs::create_directories(out);
    fs::remove(out / "IMPORT.DBF");
    fs::remove(out / "IMPORT.MDX");
    timed("import_text", [&] { return importText(textPath, out / "IMPORT.DBF"); });
}

} // namespace benchfixture
