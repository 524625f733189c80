#include "table/table.h"
#include "table_bench_data.h"
#include "table_bench_fields.h"
#include "table_bench_ops.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/resource.h>

namespace benchfixture {
namespace {

std::string isoDate(const table::Date& date) {
    if (date.isNull())
        return "";
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buffer;
}

std::string quoted(const std::string& text, char quote) {
    std::string result(1, quote);
    for (char c : text) {
        if (c == quote)
            result += quote;
        result += c;
    }
    return result + quote;
}

std::ofstream openForWriting(const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot create " + path);
    return out;
}

// One CSV line with the current record, dates in ISO form so that SQLite compares them as text.
void writeCsvRecord(std::ostream& out, const table::Table& books) {
    for (int i = 0; i < books.fieldCount(); ++i) {
        if (i > 0)
            out << ',';
        char type = books.fieldDescriptor(i).type;
        if (type == 'D')
            out << isoDate(books.asDate(i));
        else if (type == 'C')
            out << quoted(books.asText(i), '"');
        else
            out << books.asText(i);
    }
    out << '\n';
}

std::string sqlValue(const FieldValue& value) {
    char buffer[32];
    switch (value.kind) {
    case FieldValue::Kind::Blank:
        return "NULL";
    case FieldValue::Kind::Text:
        return quoted(value.text, '\'');
    case FieldValue::Kind::Number:
        std::snprintf(buffer, sizeof buffer, "%.2f", value.number);
        return buffer;
    case FieldValue::Kind::Date:
        return quoted(isoDate(value.date), '\'');
    }
    return "NULL";
}

void writeAppendSql(const std::string& path) {
    std::ofstream out = openForWriting(path);
    out << "BEGIN;\n";
    SyntheticBooks generator(kAppendSeed);
    for (int n = 0; n < kAppendCount; ++n) {
        Book book = generator.next();
        out << "INSERT INTO books VALUES(";
        for (size_t i = 0; i < book.size(); ++i)
            out << (i > 0 ? "," : "") << sqlValue(book[i]);
        out << ");\n";
    }
    out << "COMMIT;\n";
}

} // namespace

void reportTiming(const std::string& op, uint64_t records, double seconds, double cpuSeconds) {
    std::printf("{\"op\": \"%s\", \"records\": %llu, \"seconds\": %.6f, \"cpu_seconds\": %.6f}\n",
                op.c_str(), static_cast<unsigned long long>(records), seconds, cpuSeconds);
    std::fflush(stdout);
}

double processorSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

uint64_t readRecordAsText(const table::Table& books) {
    uint64_t bytes = 0;
    for (int i = 0; i < books.fieldCount(); ++i)
        bytes += books.asText(i).size();
    return bytes;
}

void generateCollection(uint64_t count, const std::string& dbfPath) {
    table::Table::create(dbfPath, bookFields());
    table::Table books;
    std::filesystem::path path = std::filesystem::absolute(dbfPath);
    books.setDirectory(path.parent_path().string());
    books.setTableName(path.filename().string());
    books.setOpenMode(table::OpenMode::Exclusive);
    books.open();
    SyntheticBooks generator;
    timed("generate", [&] {
        for (uint64_t n = 0; n < count; ++n) {
            books.append();
            setBookFields(books, generator.next());
            books.post();
        }
        return count;
    });
    timed("generate_index", [&] {
        books.addTag("NewIndex", kAuthorKey);
        return count;
    });
    books.close();
}

void writeSqliteInputs(const std::string& dbfPath, const std::string& outputDirectory) {
    std::filesystem::create_directories(outputDirectory);
    table::Table books;
    std::filesystem::path path = std::filesystem::absolute(dbfPath);
    books.setDirectory(path.parent_path().string());
    books.setTableName(path.filename().string());
    books.setOpenMode(table::OpenMode::ReadOnly);
    books.selectTag("");
    books.open();
    std::ofstream csv = openForWriting(outputDirectory + "/books.csv");
    for (int i = 0; i < books.fieldCount(); ++i)
        csv << (i > 0 ? "," : "") << books.fieldDescriptor(i).name;
    csv << '\n';
    for (books.first(); !books.eof(); books.next())
        writeCsvRecord(csv, books);
    books.close();
    writeAppendSql(outputDirectory + "/append.sql");
}

} // namespace benchfixture
