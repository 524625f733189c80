// volumara-cli run as scripts run it: outputs, exit statuses and messages, and check/repair on
// tables damaged the ways a crash or another program damages them.

#include "support_cli.h"

#include "db/book_database.h"
#include "db/table_maintenance.h"
#include "reports/report_file.h"
#include "reports/report_generator.h"
#include "settings/settings.h"
#include "table/table.h"
#include "transfer/export_core.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <QFile>

#include <cstdio>
#include <fstream>
#include <functional>

namespace {

using clitest::CliHome;
using clitest::CliRun;
using clitest::makeBookTable;

// The words of a PDF file as pdftotext reads them; null when pdftotext is not installed.
QString pdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

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

namespace {

std::string exportedInProcess(const std::string& dbf, const std::vector<int>& numbers,
                              const std::string& out) {
    table::Table books;
    db::pointTableAt(books, QString::fromStdString(dbf));
    books.selectTag(db::kIndexTag); // the sort order, by author
    books.open();
    const auto fields = transfer::exportList(numbers, books);
    transfer::TextExportFile file(out);
    transfer::RecordWalk walk(books);
    const transfer::ValueFormats formats = transfer::currentValueFormats();
    while (!walk.step(
        [&](const table::Table& record) { file.writeRecord(record, fields, formats); }, 100)) {
    }
    file.close();
    return readAll(out);
}

TEST(CliTransfer, ExportWritesWhatTheExportCodeWritesAndImportReadsItBack) {
    CliHome home;
    const std::string dbf = home.file("BOOKS.DBF");
    makeBookTable(dbf, {"Carroll", "Austen, Jane", "Eliot \"George\""});
    const std::vector<int> numbers{db::fieldNumberByName("TITLE"), db::fieldNumberByName("AUTHOR")};
    const std::string expected = exportedInProcess(dbf, numbers, home.file("EXPECTED.TXT"));

    const QString out = QString::fromStdString(home.file("OUT.TXT"));
    const CliRun run = home.run({"export", QString::fromStdString(dbf), out, "--text", "--fields",
                                 "TITLE,AUTHOR", "--no-header"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readAll(out.toStdString()), expected);

    const std::string copy = home.file("COPY.DBF");
    ASSERT_EQ(home.run({"new", QString::fromStdString(copy)}).status, 0);
    const CliRun imported = home.run(
        {"import", QString::fromStdString(copy), out, "--text", "--map", "1=TITLE,2=AUTHOR"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "3\n");
    EXPECT_EQ(exportedInProcess(copy, numbers, home.file("AGAIN.TXT")), expected);

    // Only what the search shows: the author with a comma.
    const CliRun searched =
        home.run({"export", QString::fromStdString(dbf), out, "--text", "--fields", "AUTHOR",
                  "--no-header", "--search", "Author contains JANE"});
    ASSERT_EQ(searched.status, 0) << searched.err;
    EXPECT_EQ(readAll(out.toStdString()), "\"Austen, Jane\"\r\n");

    for (const QStringList& wrong :
         {QStringList{"import", QString::fromStdString(copy), out, "--text", "--map", "3=TITLE"},
          QStringList{"import", QString::fromStdString(copy), out, "--text", "--map", "1=NOPE"},
          QStringList{"import", QString::fromStdString(copy), out, "--text", "--dbf"},
          QStringList{"export", QString::fromStdString(dbf), out, "--text", "--search", "Bad x"}})
        EXPECT_EQ(home.run(wrong).status, 2) << wrong.join(' ').toStdString();
}

} // namespace

namespace {

TEST(CliReport, TextIsWhatTheGeneratorWritesAndPdfHoldsThePages) {
    CliHome home;
    const std::string dbf = home.file("BOOKS.DBF");
    makeBookTable(dbf, {"Carroll", "Austen", "Eliot"});
    ASSERT_TRUE(reports::createReportFileIfMissing(QString::fromStdString(home.file("program"))));
    const auto definition =
        reports::ReportFile(reports::reportFilePath(QString::fromStdString(home.file("program"))))
            .load(0);
    ASSERT_TRUE(definition);
    {
        table::Table books;
        db::pointTableAt(books, QString::fromStdString(dbf));
        books.selectTag(db::kIndexTag);
        books.open();
        reports::ReportGenerator generator(
            *definition, books, reports::reportContextFrom(app::Settings{}, QDate::currentDate()),
            reports::OutputMode::TextFile, QString::fromStdString(home.file("EXPECTED.TXT")));
        auto engine = reports::createReportEngine(reports::OutputMode::TextFile, nullptr, nullptr,
                                                  definition->landscape);
        generator.attach(*engine);
        engine->Execute();
    }
    const QString text = QString::fromStdString(home.file("OUT.TXT"));
    const CliRun run =
        home.run({"report", QString::fromStdString(dbf), "--number", "1", "--text", text});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readAll(text.toStdString()), readAll(home.file("EXPECTED.TXT")));

    const QString pdf = QString::fromStdString(home.file("OUT.PDF"));
    const CliRun byName =
        home.run({"report", QString::fromStdString(dbf), "--name", definition->reportName.toUpper(),
                  "--pdf", pdf, "--search", "Author contains AUSTEN"});
    ASSERT_EQ(byName.status, 0) << byName.err;
    EXPECT_EQ(readAll(pdf.toStdString()).rfind("%PDF", 0), 0u);
    if (const QString words = pdfText(pdf); !words.isNull()) {
        EXPECT_TRUE(words.contains(QStringLiteral("Austen"))) << words.toStdString();
        EXPECT_FALSE(words.contains(QStringLiteral("Eliot"))) << words.toStdString();
    }

    EXPECT_EQ(home.run({"report", QString::fromStdString(dbf), "--name", "No Such", "--text", text})
                  .status,
              1);
    EXPECT_EQ(home.run({"report", QString::fromStdString(dbf), "--number", "1"}).status, 2);
    const CliRun noQueue = home.run(
        {"report", QString::fromStdString(dbf), "--number", "1", "--print", "NoSuchQueue"});
    EXPECT_EQ(noQueue.status, 2);
    EXPECT_TRUE(has(noQueue.err, "no printer queue is named NoSuchQueue")) << noQueue.err;
}

// The PDF queue that ./test sets up with scripts/pdf-queue.sh; under CI it must be there.
TEST(CliReport, PrintHandsTheReportToTheNamedQueue) {
    const QString queue = qEnvironmentVariable("VOLUMARA_PDF_QUEUE");
    const QString out = qEnvironmentVariable("VOLUMARA_PDF_OUT");
    if (queue.isEmpty() || out.isEmpty()) {
        if (qEnvironmentVariable("CI") == QStringLiteral("true"))
            FAIL() << "printing must be tested under CI: VOLUMARA_PDF_QUEUE is not set";
        GTEST_SKIP() << "no PDF queue to print to";
    }
    CliHome home;
    const std::string dbf = home.file("BOOKS.DBF");
    makeBookTable(dbf, {"Carroll", "Austen", "Eliot"});
    const QStringList pdfs{QStringLiteral("*.pdf")};
    const QStringList before = QDir(out).entryList(pdfs, QDir::Files);
    const CliRun run = home.run(
        {"report", QString::fromStdString(dbf), "--number", "1", "--print", queue, "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    // cups-pdf names the file after the job's title, the generator's "Test Report"; the engine's
    // printing tests may print to the same queue meanwhile.
    QString landed;
    QElapsedTimer timer;
    timer.start();
    while (landed.isEmpty() && timer.elapsed() < 60000) {
        for (const QString& name : QDir(out).entryList(pdfs, QDir::Files))
            if (!before.contains(name) && name.startsWith(QStringLiteral("Test_Report")) &&
                QFileInfo(QDir(out).filePath(name)).size() > 0)
                landed = QDir(out).filePath(name);
        QThread::msleep(200);
    }
    ASSERT_FALSE(landed.isEmpty()) << "no PDF from queue " << queue.toStdString();
    EXPECT_EQ(readAll(landed.toStdString()).rfind("%PDF", 0), 0u);
    QFile::remove(landed);
}

} // namespace

namespace {

TEST(CliBackup, CopiesEachKindAndNeedsTheTableAlone) {
    CliHome home;
    const std::string dbf = home.file("BOOKS.DBF");
    makeBookTable(dbf, {"Carroll", "Austen"});
    const QString folder = QString::fromStdString(home.file("copies"));
    QDir().mkpath(folder);
    writeAll(home.file("copies/BOOKS.DBF"), "an earlier, smaller copy");
    writeAll(home.file("program/AUTHOR.LST"), "Austen\r\n");

    const CliRun table = home.run({"backup", QString::fromStdString(dbf), folder});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(readAll(home.file("copies/BOOKS.DBF")), readAll(dbf));
    EXPECT_FALSE(QFile::exists(folder + "/BOOKS.MDX"));
    EXPECT_EQ(home.run({"backup", "--lists", folder}).status, 0);
    EXPECT_EQ(readAll(home.file("copies/AUTHOR.LST")), "Austen\r\n");
    EXPECT_EQ(home.run({"backup", "--reports", folder, "--quiet"}).status, 0);
    EXPECT_TRUE(QFile::exists(folder + "/VLMBOOK.URP"));

    table::Table held;
    db::pointTableAt(held, QString::fromStdString(dbf));
    held.open();
    const CliRun busy = home.run({"backup", QString::fromStdString(dbf), folder});
    EXPECT_EQ(busy.status, 1);
    EXPECT_TRUE(has(busy.err, "requires exclusive use")) << busy.err;
    EXPECT_EQ(home.run({"backup", "--lists", "--reports", folder}).status, 2);
    EXPECT_EQ(home.run({"backup", folder}).status, 2);
}

} // namespace
