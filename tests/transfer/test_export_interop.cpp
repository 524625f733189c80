// A dBASE export is a real dBASE table: dbfread, the Python dbf package and GDAL read the same
// values from it as our engine reads from the book table it came from. Readers that are not
// installed are skipped. The dump scripts and their normalised form are those of the table
// engine's interoperability test.

#include "support_transfer.h"
#include "transfer/export_core.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace {

using Row = std::vector<std::string>;

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool succeeds(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string pythonWith(const std::string& module) {
    for (const char* candidate : {"/usr/bin/python3", "python3"})
        if (succeeds(std::string(candidate) + " -c " + shellQuoted("import " + module)))
            return candidate;
    return "";
}

std::vector<Row> dump(const std::string& python, const std::string& script,
                      const std::string& path) {
    const std::string command =
        python + " " +
        shellQuoted(std::string(VOLUMARA_SOURCE_DIR) + "/tests/table/interop/" + script) + " " +
        shellQuoted(path);
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    size_t got = 0;
    while (pipe && (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), got);
    const int status = pipe ? pclose(pipe) : -1;
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    std::vector<Row> rows;
    size_t start = 0;
    while (start < output.size()) {
        const size_t end = std::min(output.find('\n', start), output.size());
        Row row(1);
        for (size_t i = start; i < end; ++i) {
            if (output[i] == '\t')
                row.emplace_back();
            else if (output[i] == '\\' && i + 1 < end)
                row.back() += output[++i] == 't' ? '\t' : output[i] == 'n' ? '\n' : output[i];
            else
                row.back() += output[i];
        }
        rows.push_back(row);
        start = end + 1;
    }
    return rows;
}

std::string cutToCharacters(const std::string& utf8, size_t count) {
    size_t characters = 0;
    for (size_t i = 0; i < utf8.size(); ++i)
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && characters++ == count)
            return utf8.substr(0, i);
    return utf8;
}

// Every field of every record in the dump scripts' normalised form.
std::vector<Row> engineRows(table::Table& books) {
    std::vector<Row> rows;
    for (books.first(); !books.eof(); books.next()) {
        Row row;
        for (int f = 0; f < books.fieldCount(); ++f) {
            const char type = books.fieldDescriptor(f).type;
            std::array<char, 64> text{};
            if (type == 'C')
                row.push_back(books.asText(f));
            else if (books.isBlank(f))
                row.emplace_back();
            else if (type == 'D')
                row.push_back(table::toDtos(books.asDate(f)));
            else {
                std::snprintf(text.data(), text.size(),
                              books.fieldDescriptor(f).decimals == 0 ? "%.0f" : "%.4f",
                              books.asNumber(f));
                row.emplace_back(text.data());
            }
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(ExportInterop, OtherReadersSeeTheBookTablesValues) {
    testsupport::TempDir dir;
    std::vector<transfertest::Book> books;
    const std::vector<std::string> texts = {"Brontë, Charlotte", "Œuvres complètes — Tome II",
                                            "O'Brien \"The Quiet\"", "½ price £5 €3", ""};
    for (int i = 0; i < 40; ++i) {
        transfertest::Book book;
        for (const db::FieldInfo& field : db::fieldCatalogue()) {
            const std::string name(field.name);
            if (i % 7 == 6)
                continue; // a record of blanks now and then
            switch (field.kind) {
            case db::FieldKind::Text:
                book[name] =
                    cutToCharacters(texts[static_cast<size_t>(i + field.number) % texts.size()],
                                    static_cast<size_t>(field.size));
                break;
            case db::FieldKind::WholeNumber:
                book[name] = std::to_string((i * 37 + field.number) % 3000 - 500);
                break;
            case db::FieldKind::DecimalNumber:
                book[name] = std::to_string(i * 13) + "." + std::to_string(i % 100);
                break;
            case db::FieldKind::Date:
                book[name] = std::to_string(1 + i % 12) + "/" + std::to_string(1 + i % 28) + "/" +
                             std::to_string(1900 + i * 3);
                break;
            }
        }
        books.push_back(book);
    }
    const std::string path = transfertest::createBookTable(dir, books);
    table::Table source;
    transfertest::openShared(source, path);
    source.selectTag("");
    source.close();
    source.open();
    std::vector<int> all;
    for (int n = 1; n <= db::kFieldCount; ++n)
        all.push_back(n);
    const std::string out = dir.file("EXPORT.DBF");
    {
        transfer::DbfExportFile file(out, transfer::exportList(all, source));
        transfer::RecordWalk walk(source);
        walk.step([&](const table::Table& t) { file.writeRecord(t); }, 1000);
        file.close();
    }
    const std::vector<Row> expected = engineRows(source);
    ASSERT_EQ(expected.size(), 40u);
    table::Table exported;
    transfertest::openShared(exported, out);
    EXPECT_EQ(engineRows(exported), expected);

    bool anyReader = false;
    for (const auto& [module, script] :
         {std::pair{"dbfread", "dump_dbfread.py"}, std::pair{"dbf", "dump_dbf.py"}}) {
        const std::string python = pythonWith(module);
        if (python.empty())
            continue;
        anyReader = true;
        EXPECT_EQ(dump(python, script, out), expected) << module;
    }
    if (succeeds("ogr2ogr --version")) {
        anyReader = true;
        EXPECT_EQ(dump(pythonWith("csv"), "dump_ogr.py", out), expected) << "GDAL";
    }
    if (!anyReader)
        GTEST_SKIP() << "none of dbfread, dbf or GDAL is installed";
}

} // namespace
