#include "reports/report_definition.h"

#include "db/field_catalogue.h"
#include "db/text_file.h"
#include "reports/report_record_layout.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace reports {

namespace {

using namespace record_layout;

constexpr int kNameCapacity = 30;
constexpr int kFontNameCapacity = 50;
constexpr int kItemCapacity = 30;
constexpr int kLabelCapacity = 40;
constexpr int kTitleCapacity = 80;

constexpr double kMaxMargin = 10.0;
constexpr int kMaxFontSize = 200;

// Bounds-checked reads: bytes outside the record read as zero.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint8_t byte(size_t at) const { return at < bytes_.size() ? bytes_[at] : 0; }
    int16_t int16(size_t at) const { return static_cast<int16_t>(byte(at) | byte(at + 1) << 8); }
    int32_t int32(size_t at) const {
        return static_cast<int32_t>(
            static_cast<uint32_t>(byte(at)) | static_cast<uint32_t>(byte(at + 1)) << 8 |
            static_cast<uint32_t>(byte(at + 2)) << 16 | static_cast<uint32_t>(byte(at + 3)) << 24);
    }
    double float64(size_t at) const {
        uint64_t bits = 0;
        for (size_t i = 0; i < 8; ++i)
            bits |= static_cast<uint64_t>(byte(at + i)) << (8 * i);
        return std::bit_cast<double>(bits);
    }
    bool flag(size_t at) const { return byte(at) != 0; }
    // The string slot at `at`; `overlong` is set when its length byte exceeds the capacity.
    QString string(size_t at, int capacity, bool* overlong = nullptr) const {
        int length = byte(at);
        if (length > capacity) {
            if (overlong)
                *overlong = true;
            length = capacity;
        }
        std::string bytes;
        for (int i = 0; i < length; ++i)
            bytes.push_back(static_cast<char>(byte(at + 1 + static_cast<size_t>(i))));
        return db::fromCp1252(bytes);
    }

private:
    std::span<const uint8_t> bytes_;
};

class Writer {
public:
    explicit Writer(std::array<uint8_t, kRecordSize>& bytes) : bytes_(bytes) {}

    void byte(size_t at, uint8_t value) { bytes_[at] = value; }
    void flag(size_t at, bool value) { bytes_[at] = value ? 1 : 0; }
    void int16(size_t at, int value) {
        const auto v = static_cast<uint16_t>(static_cast<int16_t>(value));
        bytes_[at] = static_cast<uint8_t>(v & 0xFF);
        bytes_[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    void int32(size_t at, int32_t value) {
        const auto v = static_cast<uint32_t>(value);
        for (size_t i = 0; i < 4; ++i)
            bytes_[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void float64(size_t at, double value) {
        const auto bits = std::bit_cast<uint64_t>(value);
        for (size_t i = 0; i < 8; ++i)
            bytes_[at + i] = static_cast<uint8_t>(bits >> (8 * i));
    }
    void string(size_t at, int capacity, const QString& text) {
        std::string bytes = db::toCp1252(text);
        if (bytes.size() > static_cast<size_t>(capacity))
            bytes.resize(static_cast<size_t>(capacity));
        bytes_[at] = static_cast<uint8_t>(bytes.size());
        std::memcpy(bytes_.data() + at + 1, bytes.data(), bytes.size());
    }

private:
    std::array<uint8_t, kRecordSize>& bytes_;
};

size_t partOffset(size_t lineAt, int partIndex) {
    return lineAt + kPartSize * static_cast<size_t>(partIndex);
}

void writeLine(Writer& out, size_t lineAt, const ReportLine& line) {
    for (int j = 0; j < kPartsPerLine; ++j) {
        const ReportPart& part = line[static_cast<size_t>(j)];
        const size_t at = partOffset(lineAt, j);
        out.string(at, kItemCapacity, part.item);
        out.byte(at + 31,
                 part.isField() ? static_cast<uint8_t>(std::clamp(part.fieldNo, 0, 255)) : 0);
        out.int16(at + 32, part.width);
        out.string(at + 34, kLabelCapacity, part.labelText);
    }
}

// Collects repairs with the place they were made.
class Repairs {
public:
    explicit Repairs(QStringList* list) : list_(list) {}
    void note(const QString& text) {
        if (list_)
            list_->append(text);
    }

private:
    QStringList* list_;
};

QString lineName(int lineNumber) {
    return lineNumber == 0 ? QStringLiteral("the totals line")
                           : QStringLiteral("line %1").arg(lineNumber);
}

// `lineNumber` 0 is the totals line.
ReportLine readLine(const Reader& in, size_t lineAt, int lineNumber, Repairs& repairs) {
    ReportLine line;
    for (int j = 0; j < kPartsPerLine; ++j) {
        const size_t at = partOffset(lineAt, j);
        const QString where = QStringLiteral("%1, part %2").arg(lineName(lineNumber)).arg(j + 1);
        ReportPart& part = line[static_cast<size_t>(j)];
        bool overlong = false;
        part.item = in.string(at, kItemCapacity, &overlong);
        part.labelText = in.string(at + 34, kLabelCapacity, &overlong);
        if (overlong)
            repairs.note(where + QStringLiteral(": a text longer than its slot was cut."));
        part.width = in.int16(at + 32);
        if (part.width > kMaxPartWidth) {
            repairs.note(
                where +
                QStringLiteral(": width %1 was cut to %2.").arg(part.width).arg(kMaxPartWidth));
            part.width = kMaxPartWidth;
        } else if (part.width < 0) {
            part.width = 0; // ends the line, as any width below 1 does
        }
        if (!part.isField()) {
            part.fieldNo = 0;
            if (!part.isLabel())
                part.labelText.clear();
            continue;
        }
        const int stored = in.byte(at + 31);
        const int limit = lineNumber == 0 ? kTotalCount : db::kFieldCount;
        if (stored >= 1 && stored <= limit) {
            part.fieldNo = stored;
            continue;
        }
        part.fieldNo = lineNumber == 0 ? totalNumberFor(part.item) : bodyFieldNumberFor(part.item);
        if (part.fieldNo != 0 && part.width >= 1)
            repairs.note(where + QStringLiteral(": number %1 was replaced by %2, the number of "
                                                "\"%3\".")
                                     .arg(stored)
                                     .arg(part.fieldNo)
                                     .arg(part.item));
        if (part.fieldNo == 0) {
            if (part.width >= 1)
                repairs.note(where + QStringLiteral(": \"%1\" is not a field that can be shown "
                                                    "here; it prints as empty space.")
                                         .arg(part.item));
            part.item = QString::fromLatin1(kFillerItem);
        }
        part.labelText.clear();
    }
    return line;
}

double readMargin(const Reader& in, size_t at, const char* name, Repairs& repairs) {
    const double value = in.float64(at);
    if (std::isfinite(value) && value >= 0 && value <= kMaxMargin)
        return value;
    const double repaired = !std::isfinite(value) ? 0.5 : std::clamp(value, 0.0, kMaxMargin);
    repairs.note(QStringLiteral("The %1 margin %2 was replaced by %3 inch.")
                     .arg(QLatin1String(name))
                     .arg(value)
                     .arg(repaired));
    return repaired;
}

int repairedWidth(int stored) {
    if (stored <= 105)
        return 90;
    return stored <= 135 ? 120 : 150;
}

} // namespace

ReportLine emptyLine() {
    ReportLine line;
    line[0].width = kMaxPartWidth;
    return line;
}

int usedPartCount(const ReportLine& line) {
    int count = 0;
    while (count < kPartsPerLine && line[static_cast<size_t>(count)].width >= 1)
        ++count;
    return count;
}

int bodyFieldNumberFor(const QString& item) {
    return db::fieldNumberByName(item.toStdString());
}

int totalNumberFor(const QString& item) {
    for (int i = 0; i < kTotalCount; ++i)
        if (item == QLatin1String(kTotalItems[static_cast<size_t>(i)]))
            return i + 1;
    return 0;
}

std::array<uint8_t, kRecordSize> encodeReport(const ReportDefinition& definition) {
    std::array<uint8_t, kRecordSize> bytes{};
    Writer out(bytes);
    out.string(kNameAt, kNameCapacity, definition.reportName);
    out.int16(kWidthAt, definition.width);
    for (size_t i = 0; i < definition.fonts.size(); ++i) {
        const FontSlot& font = definition.fonts[i];
        const size_t at = kFontsAt + kFontSlotSize * i;
        out.string(at, kFontNameCapacity, font.name);
        out.int16(at + 51, font.size);
        out.flag(at + 53, font.bold);
        out.flag(at + 54, font.italic);
        out.flag(at + 55, font.underline);
        out.flag(at + 56, font.strikeOut);
        out.int32(at + 57, font.color);
    }
    out.flag(kColumnHeadersAt, definition.columnHeaders);
    out.flag(kPageNumbersAt, definition.pageNumbers);
    out.flag(kLandscapeAt, definition.landscape);
    out.flag(kDateOnPageAt, definition.dateOnPage);
    out.flag(kUseTotalsAt, definition.useTotals);
    out.int16(kNumLinesAt, definition.numLines);
    writeLine(out, kTotalsLineAt, definition.totalsLine);
    out.float64(kMarginsAt, definition.topMargin);
    out.float64(kMarginsAt + 8, definition.bottomMargin);
    out.float64(kMarginsAt + 16, definition.leftMargin);
    out.float64(kMarginsAt + 24, definition.rightMargin);
    out.flag(kVertLinesAt, definition.vertLines);
    out.flag(kHorzLinesAt, definition.horzLines);
    for (size_t i = 0; i < definition.titles.size(); ++i)
        out.string(kTitlesAt + kTitleSlotSize * i, kTitleCapacity, definition.titles[i]);
    for (size_t l = 0; l < definition.lines.size(); ++l)
        writeLine(out, kLinesAt + kLineSize * l, definition.lines[l]);
    out.flag(kGroupLevel1At, definition.groupLevel1);
    out.flag(kGroupLevel2At, definition.groupLevel1 && definition.groupLevel2);
    return bytes;
}

ReportDefinition decodeReport(std::span<const uint8_t> record, QStringList* repairList) {
    const Reader in(record);
    Repairs repairs(repairList);
    ReportDefinition d;
    bool overlong = false;
    d.reportName = in.string(kNameAt, kNameCapacity, &overlong);
    const int width = in.int16(kWidthAt);
    d.width = repairedWidth(width);
    if (d.width != width)
        repairs.note(
            QStringLiteral("The report width %1 was replaced by %2.").arg(width).arg(d.width));
    for (size_t i = 0; i < d.fonts.size(); ++i) {
        FontSlot& font = d.fonts[i];
        const size_t at = kFontsAt + kFontSlotSize * i;
        font.name = in.string(at, kFontNameCapacity, &overlong);
        const int size = in.int16(at + 51);
        font.size = std::clamp(size, 1, kMaxFontSize);
        if (font.size != size)
            repairs.note(QStringLiteral("Font %1: size %2 was replaced by %3.")
                             .arg(i + 1)
                             .arg(size)
                             .arg(font.size));
        font.bold = in.flag(at + 53);
        font.italic = in.flag(at + 54);
        font.underline = in.flag(at + 55);
        font.strikeOut = in.flag(at + 56);
        font.color = in.int32(at + 57);
    }
    d.columnHeaders = in.flag(kColumnHeadersAt);
    d.pageNumbers = in.flag(kPageNumbersAt);
    d.landscape = in.flag(kLandscapeAt);
    d.dateOnPage = in.flag(kDateOnPageAt);
    d.useTotals = in.flag(kUseTotalsAt);
    const int numLines = in.int16(kNumLinesAt);
    d.numLines = std::clamp(numLines, 0, kBodyLineCount);
    if (d.numLines != numLines)
        repairs.note(QStringLiteral("The number of lines %1 was replaced by %2.")
                         .arg(numLines)
                         .arg(d.numLines));
    d.totalsLine = readLine(in, kTotalsLineAt, 0, repairs);
    d.topMargin = readMargin(in, kMarginsAt, "top", repairs);
    d.bottomMargin = readMargin(in, kMarginsAt + 8, "bottom", repairs);
    d.leftMargin = readMargin(in, kMarginsAt + 16, "left", repairs);
    d.rightMargin = readMargin(in, kMarginsAt + 24, "right", repairs);
    d.vertLines = in.flag(kVertLinesAt);
    d.horzLines = in.flag(kHorzLinesAt);
    for (size_t i = 0; i < d.titles.size(); ++i)
        d.titles[i] = in.string(kTitlesAt + kTitleSlotSize * i, kTitleCapacity, &overlong);
    for (size_t l = 0; l < d.lines.size(); ++l)
        d.lines[l] = readLine(in, kLinesAt + kLineSize * l, static_cast<int>(l) + 1, repairs);
    d.groupLevel1 = in.flag(kGroupLevel1At);
    d.groupLevel2 = d.groupLevel1 && in.flag(kGroupLevel2At);
    if (overlong)
        repairs.note(QStringLiteral("A name, font name or title longer than its slot was cut."));
    return d;
}

QString decodeReportName(std::span<const uint8_t> record) {
    return Reader(record).string(kNameAt, kNameCapacity);
}

} // namespace reports
