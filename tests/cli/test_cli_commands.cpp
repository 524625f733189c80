// volumara-cli run as scripts run it: outputs, exit statuses and messages, and check/repair on
// tables damaged the ways a crash or another program damages them.

#include "support_cli.h"

#include "db/book_database.h"
#include "db/table_maintenance.h"
#include "table/table.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstdio>
#include <fstream>
#include <functional>

namespace {

using clitest::CliHome;
using clitest::makeBookTable;
using clitest::CliRun;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

uint32_t headerCount(const std::string& bytes) {
    return uint32_t(uint8_t(bytes[4])) | uint32_t(uint8_t(bytes[5])) << 8 |
           uint32_t(uint8_t(bytes[6])) << 16 | uint32_t(uint8_t(bytes[7])) << 24;
}

void setHeaderCount(std::string& bytes, uint32_t count) {
    for (int i = 0; i < 4; ++i)
        bytes[size_t(4 + i)] = char((count >> (8 * i)) & 0xFF);
}

TEST(CliInfo, DescribesATableAsJson) {
    CliHome home;
    const std::string books = home.file("BOOKS.DBF");
    makeBookTable(books, {"Carroll", "Austen", "Eliot"});
    const CliRun run = home.run({"info", QString::fromStdString(books)});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(has(run.out, "\"records\":3,\"deleted\":0,\"book_table\":true")) << run.out;
    EXPECT_TRUE(has(run.out, "{\"name\":\"AUTHOR\",\"type\":\"C\"")) << run.out;
    EXPECT_TRUE(has(run.out, "\"expression\":\"Upper(Left(Author,20))\"")) << run.out;
}

struct Damage {
    const char* name;
    std::function<void(const std::string& dbf, const std::string& mdx)> apply;
    const char* reported;
    uint32_t recordsAfterRepair;
};

TEST(CliCheck, FindsEachDamageAndRepairKeepsEveryCompleteRecord) {
    const std::vector<Damage> damages{
        {"a crash cut the last record short",
         [](const std::string& dbf, const std::string&) {
             std::string bytes = readAll(dbf);
             bytes.resize(bytes.size() - 40);
             writeAll(dbf, bytes);
         },
         "it was cut short", 3},
        {"a crash left the count behind the records",
         [](const std::string& dbf, const std::string&) {
             std::string bytes = readAll(dbf);
             setHeaderCount(bytes, 2);
             writeAll(dbf, bytes);
         },
         "complete records past the 2 the header counts", 4},
        {"two keys swapped in the index",
         [](const std::string&, const std::string& mdx) {
             std::string bytes = readAll(mdx);
             const std::string austen = "AUSTEN" + std::string(14, ' ');
             const std::string eliot = "ELIOT" + std::string(15, ' ');
             const size_t a = bytes.find(austen);
             const size_t e = bytes.find(eliot);
             ASSERT_NE(a, std::string::npos);
             ASSERT_NE(e, std::string::npos);
             bytes.replace(a, 20, eliot);
             bytes.replace(e, 20, austen);
             writeAll(mdx, bytes);
         },
         "is out of order", 4},
        {"a record added without its index entry",
         [](const std::string& dbf, const std::string&) {
             std::string bytes = readAll(dbf);
             const uint32_t count = headerCount(bytes);
             const size_t headerLength = uint8_t(bytes[8]) | uint8_t(bytes[9]) << 8;
             const size_t recordLength = uint8_t(bytes[10]) | uint8_t(bytes[11]) << 8;
             const std::string first = bytes.substr(headerLength, recordLength);
             bytes.insert(headerLength + count * recordLength, first);
             setHeaderCount(bytes, count + 1);
             writeAll(dbf, bytes);
         },
         "record 5 is missing", 5},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        CliHome home;
        const std::string dbf = home.file("BOOKS.DBF");
        makeBookTable(dbf, {"Carroll", "Austen", "Eliot", "Brontë"});
        damage.apply(dbf, home.file("BOOKS.MDX"));
        const QString path = QString::fromStdString(dbf);

        const std::string untouched = readAll(dbf);
        const CliRun check = home.run({"check", path});
        EXPECT_EQ(check.status, 1);
        EXPECT_TRUE(has(check.out, damage.reported)) << check.out;
        EXPECT_EQ(readAll(dbf), untouched) << "check without --repair changed the table";

        const CliRun repair = home.run({"check", "--repair", path});
        EXPECT_EQ(repair.status, 0) << repair.out << repair.err;
        const CliRun again = home.run({"check", path});
        EXPECT_EQ(again.status, 0) << again.out;

        table::Table books;
        db::pointTableAt(books, path);
        books.open();
        EXPECT_EQ(books.recordCount(), damage.recordsAfterRepair);
    }
}

TEST(CliMaintenance, PackAndReindexWorkAsTheWindowsDo) {
    CliHome home;
    const std::string dbf = home.file("BOOKS.DBF");
    makeBookTable(dbf, {"Carroll", "Austen", "Eliot"});
    {
        table::Table books;
        db::pointTableAt(books, QString::fromStdString(dbf));
        books.open();
        books.first();
        books.deleteRecord();
    }
    EXPECT_EQ(home.run({"pack", "--quiet", QString::fromStdString(dbf)}).status, 0);
    EXPECT_EQ(home.run({"reindex", QString::fromStdString(dbf)}).status, 0);
    const CliRun info = home.run({"info", QString::fromStdString(dbf)});
    EXPECT_TRUE(has(info.out, "\"records\":2,\"deleted\":0")) << info.out;
    EXPECT_EQ(home.run({"check", QString::fromStdString(dbf)}).status, 0);

    const std::string created = home.file("NEW.DBF");
    EXPECT_EQ(home.run({"new", QString::fromStdString(created)}).status, 0);
    EXPECT_TRUE(has(home.run({"info", QString::fromStdString(created)}).out,
                    "\"records\":0,\"deleted\":0,\"book_table\":true"));
}

TEST(CliFailures, ExitStatusesAndTheProgramsMessages) {
    CliHome home;
    const std::string dbf = home.file("BOOKS.DBF");
    makeBookTable(dbf, {"Austen"});
    const QString path = QString::fromStdString(dbf);

    const CliRun missing = home.run({"pack", QString::fromStdString(home.file("NONE.DBF"))});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(missing.err.empty());

    const std::string foreign = home.file("OTHER.DBF");
    table::Table::create(foreign, {{"NAME", 'C', 10, 0}});
    const CliRun notBooks = home.run({"pack", QString::fromStdString(foreign)});
    EXPECT_EQ(notBooks.status, 1);
    EXPECT_TRUE(has(notBooks.err, db::kNotABookTableMessage)) << notBooks.err;

    {
        // This process holds the table: the child cannot have it to itself.
        table::Table held;
        db::pointTableAt(held, path);
        held.open();
        const CliRun busy = home.run({"pack", path});
        EXPECT_EQ(busy.status, 1);
        EXPECT_TRUE(has(busy.err, db::kPackNeedsExclusiveMessage)) << busy.err;
    }

    EXPECT_EQ(home.run({"frobnicate"}).status, 2);
    EXPECT_EQ(home.run({"pack", "--bogus", path}).status, 2);
    EXPECT_EQ(home.run({"pack"}).status, 2);
    const CliRun help = home.run({"check", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(has(help.out, "--repair")) << help.out;
}

} // namespace
