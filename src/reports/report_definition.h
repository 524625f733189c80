#pragma once

// One report definition: what to print for each book, what to total, fonts, titles, margins,
// width and options. On disk it is a fixed record of 20,622 bytes (little-endian integers, IEEE
// doubles, length-prefixed Windows-1252 strings); in memory it is this plain struct, decoded
// with every value brought within the range the rest of the program relies on.

#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace reports {

inline constexpr size_t kRecordSize = 20622;
inline constexpr int kPartsPerLine = 20;
inline constexpr int kBodyLineCount = 12;
inline constexpr int kTotalCount = 4; // 1 Cost, 2 Value, 3 Low Market, 4 High Market
inline constexpr int kMaxPartWidth = 150;

inline constexpr const char* kFillerItem = "<FILLER>";
inline constexpr const char* kLabelItem = "<LABEL>";

// The totals a totals line can show, by total number 1..4.
inline constexpr std::array<const char*, kTotalCount> kTotalItems{"Cost", "Value", "Low Market",
                                                                  "High Market"};

// Font slots by their number in the record.
enum class FontSlotId { Title = 1, ColumnHeader = 2, Body = 3, Spare = 4, Footnote = 5 };

struct FontSlot {
    QString name = QStringLiteral("Arial");
    int size = 8; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int32_t color = 0; // Windows colour value, 0 = black
    bool operator==(const FontSlot&) const = default;
};

// One cell of a body line or of the totals line.
struct ReportPart {
    QString item = QString::fromLatin1(kFillerItem);
    int fieldNo = 0; // body: field number 1..36; totals: total number 1..4; 0 otherwise
    int width = 0;   // characters; below 1 ends the line
    QString labelText;

    bool isFiller() const { return item == QLatin1String(kFillerItem); }
    bool isLabel() const { return item == QLatin1String(kLabelItem); }
    bool isField() const { return !isFiller() && !isLabel(); }
    bool operator==(const ReportPart&) const = default;
};

using ReportLine = std::array<ReportPart, kPartsPerLine>;

// One "<FILLER>" of width 150, then nineteen of width 0: a line that prints nothing.
ReportLine emptyLine();
// The parts of a line that print: those before the first whose width is below 1.
int usedPartCount(const ReportLine& line);

struct ReportDefinition {
    QString reportName;
    int width = 120; // characters per line: 90, 120 or 150
    std::array<FontSlot, 5> fonts{};
    bool columnHeaders = true;
    bool pageNumbers = true;
    bool landscape = false;
    bool dateOnPage = true;
    bool useTotals = true;
    int numLines = 1; // 0..12
    ReportLine totalsLine = emptyLine();
    double topMargin = 0.5; // inches
    double bottomMargin = 0.5;
    double leftMargin = 0.5;
    double rightMargin = 0.5;
    bool vertLines = false;
    bool horzLines = false;
    std::array<QString, 3> titles{};
    std::array<ReportLine, kBodyLineCount> lines{
        emptyLine(), emptyLine(), emptyLine(), emptyLine(), emptyLine(), emptyLine(),
        emptyLine(), emptyLine(), emptyLine(), emptyLine(), emptyLine(), emptyLine()};
    bool groupLevel1 = true;
    bool groupLevel2 = false;

    FontSlot& font(FontSlotId id) { return fonts[static_cast<size_t>(id) - 1]; }
    const FontSlot& font(FontSlotId id) const { return fonts[static_cast<size_t>(id) - 1]; }
    // Line 1..12.
    ReportLine& line(int number) { return lines[static_cast<size_t>(number - 1)]; }
    const ReportLine& line(int number) const { return lines[static_cast<size_t>(number - 1)]; }
    bool operator==(const ReportDefinition&) const = default;
};

// The record's bytes. Strings longer than their slot are cut, characters outside Windows-1252
// become '?', and the reserved tail is zero.
std::array<uint8_t, kRecordSize> encodeReport(const ReportDefinition& definition);

// Reads one record of exactly kRecordSize bytes (a shorter span decodes as far as it goes and
// the rest keeps the defaults). Nothing is read outside the span. Values that would mislead the
// report run are repaired and each repair is described in `repairs` when given: a length byte
// above its slot's capacity, a width that is not 90, 120 or 150, a part width outside 0..150,
// NumLines outside 0..12, a field part whose number is outside 1..36 (1..4 in the totals line),
// margins that are not numbers or lie outside 0..10 inches, font sizes outside 1..200.
ReportDefinition decodeReport(std::span<const uint8_t> record, QStringList* repairs = nullptr);

// The ReportName of a record (or of its first bytes), as the report list shows it.
QString decodeReportName(std::span<const uint8_t> record);

// A field part's number from its Item: the catalogue field of that name (body lines) or the
// total of that name (totals line); 0 when there is none.
int bodyFieldNumberFor(const QString& item);
int totalNumberFor(const QString& item);

} // namespace reports
