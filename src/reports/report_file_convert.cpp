// Bringing the reports of the previous program version (BOOK.URP, records of 20,365 bytes with
// 77-byte parts and no fonts, margins or field numbers) into VLMBOOK.URP.

#include "reports/report_file.h"
#include "reports/report_record_layout.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace reports {

namespace {

// Previous-version offsets.
constexpr size_t kOldWidthAt = 31;
constexpr size_t kOldColumnHeadersAt = 95;
constexpr size_t kOldPageNumbersAt = 96;
constexpr size_t kOldUseTotalsAt = 97;
constexpr size_t kOldNumLinesAt = 98;
constexpr size_t kOldTotalsLineAt = 102;
constexpr size_t kOldTitlesAt = 1642;
constexpr size_t kOldLinesAt = 1885;
constexpr size_t kOldPartSize = 77;
constexpr size_t kOldLineSize = kOldPartSize * kPartsPerLine;

constexpr std::array<std::string_view, 6> kPreviousBuiltInNames{
    "1 Line 90 Column Report",  "2 Line 120 Column Report", "Full Report",
    "Statistic/Summary Report", "1 Line Location Report",   "120 Column 4 Line Report"};

// Copies a string slot, its length byte capped at the capacity.
void copyString(const uint8_t* from, uint8_t* to, size_t capacity) {
    const size_t length = std::min<size_t>(from[0], capacity);
    to[0] = static_cast<uint8_t>(length);
    std::memcpy(to + 1, from + 1, length);
}

void copyLine(const uint8_t* oldLine, uint8_t* newLine) {
    for (size_t j = 0; j < kPartsPerLine; ++j) {
        const uint8_t* from = oldLine + kOldPartSize * j;
        uint8_t* to = newLine + record_layout::kPartSize * j;
        copyString(from, to, 30);           // Item
        to[31] = 0;                         // FieldNo: found by name when decoded
        std::memcpy(to + 32, from + 32, 2); // PartWidth
        copyString(from + 36, to + 34, 40); // LabelText
    }
}

bool isPreviousBuiltIn(std::span<const uint8_t> record) {
    const size_t length = record[0];
    const std::string_view name(reinterpret_cast<const char*>(record.data() + 1),
                                std::min<size_t>(length, 30));
    return length <= 30 &&
           std::ranges::find(kPreviousBuiltInNames, name) != kPreviousBuiltInNames.end();
}

void setConvertedFonts(ReportDefinition& d) {
    for (FontSlot& font : d.fonts) {
        font = FontSlot{};
        font.name = QStringLiteral("Courier New");
        font.size = d.width == 90 ? 10 : 8;
    }
    d.font(FontSlotId::Title).bold = true;
    d.font(FontSlotId::ColumnHeader).bold = true;
    d.font(FontSlotId::Footnote).bold = true;
}

} // namespace

std::optional<ReportDefinition> convertPreviousRecord(std::span<const uint8_t> record) {
    if (record.size() < kPreviousRecordSize || isPreviousBuiltIn(record))
        return std::nullopt;
    // Laid out as a current record, the usual reading repairs what needs repair and finds each
    // field part's number from its name.
    std::array<uint8_t, kRecordSize> bytes{};
    const uint8_t* old = record.data();
    copyString(old, bytes.data(), 30);
    std::memcpy(bytes.data() + record_layout::kWidthAt, old + kOldWidthAt, 2);
    bytes[record_layout::kColumnHeadersAt] = old[kOldColumnHeadersAt];
    bytes[record_layout::kPageNumbersAt] = old[kOldPageNumbersAt];
    bytes[record_layout::kUseTotalsAt] = old[kOldUseTotalsAt];
    std::memcpy(bytes.data() + record_layout::kNumLinesAt, old + kOldNumLinesAt, 2);
    copyLine(old + kOldTotalsLineAt, bytes.data() + record_layout::kTotalsLineAt);
    for (size_t t = 0; t < 3; ++t)
        copyString(old + kOldTitlesAt + 81 * t, bytes.data() + record_layout::kTitlesAt + 81 * t,
                   80);
    for (size_t l = 0; l < kBodyLineCount; ++l)
        copyLine(old + kOldLinesAt + kOldLineSize * l,
                 bytes.data() + record_layout::kLinesAt + record_layout::kLineSize * l);

    ReportDefinition d = decodeReport(bytes);
    d.landscape = false;
    d.dateOnPage = true;
    d.topMargin = d.bottomMargin = d.leftMargin = d.rightMargin = 0.5;
    d.vertLines = d.horzLines = false;
    d.groupLevel1 = true;
    d.groupLevel2 = false;
    setConvertedFonts(d);
    return d;
}

int convertPreviousReportFile(const QString& programDirectory) {
    const QString oldPath =
        QDir(programDirectory).filePath(QString::fromLatin1(kPreviousReportFileName));
    QFile old(oldPath);
    if (!old.exists() || !old.open(QIODevice::ReadOnly))
        return 0;
    std::vector<ReportDefinition> converted;
    while (!old.atEnd()) {
        const QByteArray record = old.read(static_cast<qint64>(kPreviousRecordSize));
        if (record.size() != static_cast<qsizetype>(kPreviousRecordSize))
            break; // a damaged tail ends the conversion; what came before is kept
        if (auto definition = convertPreviousRecord(
                {reinterpret_cast<const uint8_t*>(record.constData()), kPreviousRecordSize}))
            converted.push_back(std::move(*definition));
    }
    old.close();
    if (!converted.empty()) {
        ReportFile file(reportFilePath(programDirectory));
        if (!file.append(converted))
            return 0; // BOOK.URP stays, to be converted at the next start
    }
    QFile::remove(oldPath);
    return static_cast<int>(converted.size());
}

} // namespace reports
