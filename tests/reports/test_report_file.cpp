// The report definitions file: its record layout, the built-in reports, list/load/replace/
// append/delete, damaged and hostile files, interrupted writes and the previous version's file.

#include "reports/report_builtins.h"
#include "reports/report_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace reports;

const QStringList kBuiltInNames{
    "Short Narrow Report", "2 Line 120 Column Report", "4 Line Report", "Full Report",
    "Location Report",     "Library Checkout Report",  "Value Report",  "Statistic/Summary Report"};

std::string fileBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const QString& path, const std::string& bytes) {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int16_t int16At(const std::array<uint8_t, kRecordSize>& r, size_t at) {
    return static_cast<int16_t>(r[at] | r[at + 1] << 8);
}

double doubleAt(const std::array<uint8_t, kRecordSize>& r, size_t at) {
    uint64_t bits = 0;
    for (size_t i = 0; i < 8; ++i)
        bits |= static_cast<uint64_t>(r[at + i]) << (8 * i);
    return std::bit_cast<double>(bits);
}

std::string stringAt(const std::array<uint8_t, kRecordSize>& r, size_t at) {
    return std::string(reinterpret_cast<const char*>(&r[at + 1]), r[at]);
}

ReportDefinition named(const char* name) {
    ReportDefinition d = newReportDefaults();
    d.reportName = QString::fromLatin1(name);
    return d;
}

struct ReportDir {
    testsupport::TempDir dir;
    QString programDir = QString::fromStdString(dir.path().string());
    QString path = reportFilePath(programDir);
    ReportFile file{path};
};

TEST(ReportRecord, FieldsSitAtTheirOffsets) {
    const auto builtIns = builtInReports();
    const auto narrow = encodeReport(builtIns[0]);
    EXPECT_EQ(stringAt(narrow, 0), "Short Narrow Report");
    EXPECT_EQ(int16At(narrow, 31), 90);
    EXPECT_EQ(stringAt(narrow, 33), "Arial");       // TitleFont name
    EXPECT_EQ(int16At(narrow, 33 + 51), 10);        // TitleFont size
    EXPECT_EQ(stringAt(narrow, 277), "Arial");      // FootnoteFont
    EXPECT_EQ(narrow[338], 1);                      // ColumnHeaders
    EXPECT_EQ(int16At(narrow, 343), 1);             // NumLines
    EXPECT_EQ(stringAt(narrow, 345 + 34), "Cost:"); // totals line part 1 label
    EXPECT_EQ(narrow[345 + 75 * 2 + 31], 1);        // totals part 3: Cost is total 1
    EXPECT_DOUBLE_EQ(doubleAt(narrow, 1845), 0.5);
    EXPECT_DOUBLE_EQ(doubleAt(narrow, 1869), 0.5);
    EXPECT_EQ(narrow[1877], 1);       // VertLines
    const size_t yearPub = 2122 + 75; // line 1, part 2
    EXPECT_EQ(stringAt(narrow, yearPub), "YearPub");
    EXPECT_EQ(narrow[yearPub + 31], 3);
    EXPECT_EQ(int16At(narrow, yearPub + 32), 5);
    EXPECT_EQ(int16At(narrow, 2122 + 1500 + 32), 150); // line 2: one filler of 150
    EXPECT_EQ(narrow[20122], 1);
    EXPECT_EQ(narrow[20123], 0);
    for (size_t i = 20124; i < kRecordSize; ++i)
        ASSERT_EQ(narrow[i], 0) << i;

    const auto full = encodeReport(builtIns[3]);
    const size_t desc = 2122 + 1500 * 8 + 75 * 2; // line 9, part 3
    EXPECT_EQ(stringAt(full, desc), "Descriptio");
    EXPECT_EQ(full[desc + 31], 9);
    EXPECT_EQ(int16At(full, desc + 32), 110);
    EXPECT_EQ(stringAt(full, 216), "Courier"); // SpareFont
}

TEST(ReportRecord, EveryBuiltInReadsBackAsWritten) {
    for (const ReportDefinition& d : builtInReports()) {
        QStringList repairs;
        EXPECT_EQ(decodeReport(encodeReport(d), &repairs), d) << d.reportName.toStdString();
        EXPECT_TRUE(repairs.isEmpty()) << repairs.join('\n').toStdString();
    }
}

TEST(ReportRecord, DamagedValuesAreRepairedAndNamed) {
    auto setInt16 = [](auto& r, size_t at, int v) {
        r[at] = static_cast<uint8_t>(v & 0xFF);
        r[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    };
    auto setDouble = [](auto& r, size_t at, double v) {
        const auto bits = std::bit_cast<uint64_t>(v);
        for (size_t i = 0; i < 8; ++i)
            r[at + i] = static_cast<uint8_t>(bits >> (8 * i));
    };
    auto setString = [](auto& r, size_t at, const char* text) {
        r[at] = static_cast<uint8_t>(std::strlen(text));
        std::memcpy(&r[at + 1], text, std::strlen(text));
    };
    const size_t line1Part1 = 2122;
    struct Case {
        const char* what;
        std::function<void(std::array<uint8_t, kRecordSize>&)> damage;
        std::function<bool(const ReportDefinition&)> repaired;
    };
    const Case cases[] = {
        {"name length above capacity", [](auto& r) { r[0] = 255; },
         [](const auto& d) { return d.reportName.size() == 30; }},
        {"negative width", [&](auto& r) { setInt16(r, 31, -5); },
         [](const auto& d) { return d.width == 90; }},
        {"huge width", [&](auto& r) { setInt16(r, 31, 32000); },
         [](const auto& d) { return d.width == 150; }},
        {"NumLines 40", [&](auto& r) { setInt16(r, 343, 40); },
         [](const auto& d) { return d.numLines == 12; }},
        {"negative NumLines", [&](auto& r) { setInt16(r, 343, -1); },
         [](const auto& d) { return d.numLines == 0; }},
        {"huge part width", [&](auto& r) { setInt16(r, line1Part1 + 32, 30000); },
         [](const auto& d) { return d.line(1)[0].width == 150; }},
        {"field number 99 with a known name", [&](auto& r) { r[line1Part1 + 31] = 99; },
         [](const auto& d) { return d.line(1)[0].fieldNo == 1; }},
        {"unknown field name",
         [&](auto& r) {
             setString(r, line1Part1, "Bogus");
             r[line1Part1 + 31] = 0;
         },
         [](const auto& d) { return d.line(1)[0].isFiller() && d.line(1)[0].width == 59; }},
        {"totals number 7", [&](auto& r) { r[345 + 75 * 5 + 31] = 7; }, // part 6 is Value
         [](const auto& d) { return d.totalsLine[5].fieldNo == 2; }},
        {"NaN margin",
         [&](auto& r) { setDouble(r, 1845, std::numeric_limits<double>::quiet_NaN()); },
         [](const auto& d) { return d.topMargin == 0.5; }},
        {"negative margin", [&](auto& r) { setDouble(r, 1861, -2.0); },
         [](const auto& d) { return d.leftMargin == 0.0; }},
        {"huge margin", [&](auto& r) { setDouble(r, 1853, 1e300); },
         [](const auto& d) { return d.bottomMargin == 10.0; }},
        {"font size 0", [&](auto& r) { setInt16(r, 155 + 51, 0); },
         [](const auto& d) { return d.font(FontSlotId::Body).size == 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = encodeReport(builtInReports()[0]);
        c.damage(record);
        QStringList repairs;
        const ReportDefinition d = decodeReport(record, &repairs);
        EXPECT_TRUE(c.repaired(d));
        EXPECT_FALSE(repairs.isEmpty());
        // What was repaired is stored as repaired.
        QStringList again;
        EXPECT_EQ(decodeReport(encodeReport(d), &again), d);
        EXPECT_TRUE(again.isEmpty()) << again.join('\n').toStdString();
    }
}

TEST(ReportRecord, TruncatedRecordReadsWithinItsBytes) {
    const auto record = encodeReport(builtInReports()[3]);
    for (size_t length :
         {size_t{0}, size_t{1}, size_t{30}, size_t{400}, size_t{2200}, kRecordSize - 1}) {
        // A copy exactly as long as the span, so that the sanitizer sees any read past it.
        std::vector<uint8_t> prefix(record.begin(), record.begin() + static_cast<long>(length));
        const ReportDefinition d = decodeReport(prefix);
        EXPECT_GE(d.numLines, 0);
        EXPECT_LE(d.numLines, 12);
    }
}

TEST(ReportFileStartup, MissingFileGetsTheEightBuiltIns) {
    ReportDir r;
    EXPECT_TRUE(createReportFileIfMissing(r.programDir));
    EXPECT_EQ(QFile(r.path).size(), 8 * 20622);
    EXPECT_EQ(r.file.list(), kBuiltInNames);
    const auto summary = r.file.load(7);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->numLines, 0);
    EXPECT_EQ(*summary, builtInReports()[7]);
}

TEST(ReportFileStartup, ExistingFileIsNeverOverwritten) {
    for (const std::string& contents : {std::string(), std::string(100, 'x')}) {
        ReportDir r;
        writeBytes(r.path, contents);
        EXPECT_FALSE(createReportFileIfMissing(r.programDir));
        EXPECT_EQ(fileBytes(r.path), contents);
    }
}

TEST(ReportFileOperations, AppendReplaceDeleteKeepOrder) {
    ReportDir r;
    EXPECT_TRUE(r.file.list().isEmpty()); // no file: an empty list
    EXPECT_FALSE(r.file.load(0));
    EXPECT_EQ(r.file.append(named("A")), 0);
    EXPECT_EQ(r.file.append(named("B")), 1);
    EXPECT_EQ(r.file.append(named("C")), 2);
    ASSERT_TRUE(r.file.replace(1, named("B2")));
    EXPECT_EQ(r.file.list(), (QStringList{"A", "B2", "C"}));
    EXPECT_EQ(r.file.load(1)->reportName, "B2");
    ASSERT_TRUE(r.file.remove(0));
    EXPECT_EQ(r.file.list(), (QStringList{"B2", "C"}));
    ASSERT_TRUE(r.file.remove(1)); // the last one
    EXPECT_EQ(r.file.list(), (QStringList{"B2"}));
    EXPECT_FALSE(r.file.remove(1));
    EXPECT_FALSE(r.file.lastError().isEmpty());
    ASSERT_TRUE(r.file.remove(0)); // the only one: an empty file
    EXPECT_TRUE(QFile::exists(r.path));
    EXPECT_EQ(QFile(r.path).size(), 0);
    EXPECT_TRUE(r.file.list().isEmpty());
}

TEST(ReportFileOperations, SavingRecreatesADeletedFile) {
    ReportDir r;
    ASSERT_TRUE(r.file.replace(4, named("Kept")));
    EXPECT_EQ(r.file.list(), QStringList{"Kept"});
}

TEST(ReportFileOperations, DamagedTailIsNoReport) {
    ReportDir r;
    ASSERT_TRUE(r.file.append(builtInReports()));
    std::string bytes = fileBytes(r.path);
    bytes += std::string(500, '\x7f');
    writeBytes(r.path, bytes);
    EXPECT_EQ(r.file.list().size(), 8);
    EXPECT_FALSE(r.file.load(8));
    EXPECT_EQ(r.file.append(named("New")), 8);
    EXPECT_EQ(QFile(r.path).size(), 9 * 20622);
    EXPECT_EQ(r.file.list().last(), "New");
}

// Writing in a child process whose file size limit stops the new file part way, as a full disk
// would; the file must still hold every report it held before.
TEST(ReportFileOperations, InterruptedWriteLosesNothing) {
    ReportDir r;
    ASSERT_TRUE(r.file.append(builtInReports()));
    const std::string before = fileBytes(r.path);
    for (int operation = 0; operation < 3; ++operation) {
        SCOPED_TRACE(operation);
        const pid_t child = ::fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{50000, 50000};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ReportFile file(r.path);
            bool ok = operation == 0   ? file.remove(0)
                      : operation == 1 ? file.replace(0, named("X"))
                                       : file.append(named("Y")).has_value();
            ::_exit(ok ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1); // the failure is reported
        EXPECT_EQ(fileBytes(r.path), before);
    }
}

// ---- The previous version's BOOK.URP --------------------------------------------------------

struct OldRecord {
    std::string bytes = std::string(kPreviousRecordSize, '\0');
    void setString(size_t at, const std::string& text) {
        bytes[at] = static_cast<char>(text.size());
        bytes.replace(at + 1, text.size(), text);
    }
    void setInt16(size_t at, int value) {
        bytes[at] = static_cast<char>(value & 0xFF);
        bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    }
    // Line 1..12, or 0 for the totals line; part 1..20.
    void setPart(int line, int part, const std::string& item, int width,
                 const std::string& label = {}) {
        const size_t at = (line == 0 ? 102 : 1885 + 1540 * static_cast<size_t>(line - 1)) +
                          77 * static_cast<size_t>(part - 1);
        setString(at, item);
        setInt16(at + 32, width);
        setString(at + 36, label);
    }
};

OldRecord oldReport(const std::string& name, int width) {
    OldRecord r;
    r.setString(0, name);
    r.setInt16(31, width);
    r.bytes[95] = 1; // column headers
    r.bytes[97] = 1; // totals
    r.setInt16(98, 1);
    r.setString(1642, "My Books");
    for (int line = 0; line <= 12; ++line)
        r.setPart(line, 1, "<FILLER>", 150);
    return r;
}

TEST(PreviousReportFile, UserReportsAreAppendedAndTheFileDeleted) {
    ReportDir r;
    ASSERT_TRUE(createReportFileIfMissing(r.programDir));
    OldRecord mine = oldReport("My List", 90);
    mine.setPart(1, 1, "Title", 50);
    mine.setPart(1, 2, "<LABEL>", 6, "Year:");
    mine.setPart(1, 3, "YEARPUB", 5);
    mine.setPart(1, 4, "OldField", 12); // the catalogue has no such field
    mine.setPart(1, 5, "Author", 0);
    mine.setPart(0, 1, "Value", 12);
    std::string old;
    for (const char* builtIn :
         {"1 Line 90 Column Report", "2 Line 120 Column Report", "Full Report",
          "Statistic/Summary Report", "1 Line Location Report", "120 Column 4 Line Report"})
        old += oldReport(builtIn, 120).bytes;
    old.insert(kPreviousRecordSize * 2, mine.bytes);
    writeBytes(r.programDir + "/BOOK.URP", old);

    EXPECT_EQ(convertPreviousReportFile(r.programDir), 1);
    EXPECT_FALSE(QFile::exists(r.programDir + "/BOOK.URP"));
    ASSERT_EQ(r.file.list().size(), 9);
    const ReportDefinition d = *r.file.load(8);
    EXPECT_EQ(d.reportName, "My List");
    EXPECT_EQ(d.width, 90);
    EXPECT_EQ(d.titles[0], "My Books");
    EXPECT_EQ(d.line(1)[0].fieldNo, 1);
    EXPECT_EQ(d.line(1)[1].labelText, "Year:");
    EXPECT_EQ(d.line(1)[2].fieldNo, 3);
    EXPECT_TRUE(d.line(1)[3].isFiller());
    EXPECT_EQ(d.line(1)[3].width, 12);
    EXPECT_EQ(usedPartCount(d.line(1)), 4);
    EXPECT_EQ(d.totalsLine[0].fieldNo, 2);
    EXPECT_EQ(d.font(FontSlotId::Body).name, "Courier New");
    EXPECT_EQ(d.font(FontSlotId::Body).size, 10);
    EXPECT_TRUE(d.font(FontSlotId::Title).bold);
    EXPECT_FALSE(d.font(FontSlotId::Body).bold);
    EXPECT_FALSE(d.vertLines);
    EXPECT_TRUE(d.groupLevel1);
}

TEST(PreviousReportFile, DamagedTailKeepsTheCompleteReports) {
    ReportDir r;
    const std::string old = oldReport("First", 120).bytes + oldReport("Second", 150).bytes;
    writeBytes(r.programDir + "/BOOK.URP", old.substr(0, old.size() - 10));
    EXPECT_EQ(convertPreviousReportFile(r.programDir), 1);
    EXPECT_EQ(r.file.list(), QStringList{"First"});
    EXPECT_EQ(r.file.load(0)->font(FontSlotId::Title).size, 8);
    EXPECT_FALSE(QFile::exists(r.programDir + "/BOOK.URP"));
}

TEST(PreviousReportFile, KeptWhenTheNewFileCannotBeWritten) {
    ReportDir r;
    writeBytes(r.programDir + "/BOOK.URP", oldReport("Mine", 90).bytes);
    QFile::remove(r.path);
    ASSERT_TRUE(QDir().mkpath(r.path)); // a directory where the file should be
    EXPECT_EQ(convertPreviousReportFile(r.programDir), 0);
    EXPECT_TRUE(QFile::exists(r.programDir + "/BOOK.URP"));
}

} // namespace
