// The lines of a report: cells, body lines, the column header row, group headings, captions
// and totals lines, on the engine's page or as lines of the text file; and the values shown.

#include "reports/report_generator.h"

#include "db/text_file.h"
#include "report_engine/base_report.h"

#include <QColor>

#include <algorithm>
#include <tuple>

namespace reports {

namespace {

using report_engine::BoxLines;
using report_engine::Justify;

constexpr int kCellMarginHundredths = 2;
constexpr double kHeadingPadding = 0.2;
constexpr int kMaxTextLine = 255;
constexpr int kYearPubField = 3;
constexpr double kKerningMargin = 1.1;
// Room for a whole line's cells at once: lines are built for every record.
constexpr qsizetype kLineReserve = 256;

// A Windows colour value: red in the low byte. System colours (negative) print black.
QColor windowsColour(int32_t value) {
    if (value < 0)
        return Qt::black;
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QString spaces(int count) {
    return QString(std::max(count, 0), QLatin1Char(' '));
}

// Indented to stand in the middle of `reportWidth` characters, at most 255 characters long.
QString centredTextLine(const QString& text, int reportWidth) {
    const qsizetype indent = text.size() < reportWidth ? (reportWidth - text.size()) / 2 : 0;
    return (spaces(static_cast<int>(indent)) + text).left(kMaxTextLine);
}

constexpr size_t kTextBufferBytes = size_t{1} << 16;

// The Windows-1252 byte of each UTF-16 code unit, 0 for those the code page lacks.
const std::array<uint8_t, 0x10000>& cp1252Bytes() {
    static const std::array<uint8_t, 0x10000> kBytes = [] {
        std::array<uint8_t, 0x10000> bytes{};
        for (int b = 1; b < 256; ++b) {
            const QString character = db::fromCp1252(std::string(1, static_cast<char>(b)));
            if (character.size() == 1)
                bytes[character[0].unicode()] = static_cast<uint8_t>(b);
        }
        return bytes;
    }();
    return kBytes;
}

// Windows-1252 bytes of `text` appended to `out`, as db::toCp1252 writes them ('?' for a
// character the code page lacks), by table lookup: report files run to many megabytes.
void appendCp1252(std::string& out, const QString& text) {
    const auto& bytes = cp1252Bytes();
    out.reserve(out.size() + static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const uint8_t byte = bytes[unit];
        if (byte != 0 || unit == 0) {
            out += static_cast<char>(byte);
            continue;
        }
        out += '?';
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one character, one '?'
    }
}

bool allInCp1252(const QString& text) {
    const auto& bytes = cp1252Bytes();
    return std::all_of(text.begin(), text.end(), [&](QChar c) { return bytes[c.unicode()] != 0; });
}

} // namespace

void ReportGenerator::applyFont(FontSlotId slot) {
    const FontSlot& font = definition_.font(slot);
    engine_->SetFont(font.name, font.size);
    engine_->SetBold(font.bold);
    engine_->SetItalic(font.italic);
    engine_->SetUnderline(font.underline);
    engine_->SetStrikeOut(font.strikeOut);
    engine_->SetFontColor(windowsColour(font.color));
    const auto key = std::make_tuple(font.name, font.size, font.bold, font.italic);
    auto known = widestCharacter_.find(key);
    if (known == widestCharacter_.end()) {
        double widest = 0;
        for (int b = 0x20; b < 256; ++b) {
            const QString character = db::fromCp1252(std::string(1, static_cast<char>(b)));
            widest = std::max(widest, engine_->TextWidth(character));
        }
        known = widestCharacter_.emplace(key, widest).first;
    }
    widestInForce_ = known->second;
}

ReportGenerator::LinePlan ReportGenerator::planLine(const ReportLine& line, int reportWidth,
                                                    bool totalsLine) {
    LinePlan plan;
    for (const ReportPart& part : clipLine(line, reportWidth)) {
        if (part.width < 1)
            break;
        Cell cell;
        cell.width = part.width;
        const int limit = totalsLine ? kTotalCount : db::kFieldCount;
        if (part.isLabel()) {
            cell.kind = Cell::Kind::Label;
            cell.label = part.labelText;
        } else if (part.isField() && part.fieldNo >= 1 && part.fieldNo <= limit) {
            cell.kind = totalsLine ? Cell::Kind::Total : Cell::Kind::Field;
            cell.fieldNo = part.fieldNo;
        }
        plan.push_back(std::move(cell));
    }
    return plan;
}

void ReportGenerator::setCells(const LinePlan& line, CellText justification, int boxLines) {
    engine_->ClearTabs();
    for (const Cell& cell : line) {
        Justify justify = Justify::Left;
        if (justification == CellText::Centred)
            justify = Justify::Center;
        else if (justification == CellText::LabelsRight && cell.kind == Cell::Kind::Label)
            justify = Justify::Right;
        const double width = cell.width / static_cast<double>(definition_.width) * usableWidth_;
        engine_->SetTab(report_engine::kTabContinue, justify, width, kCellMarginHundredths,
                        boxLines, 0);
    }
}

int ReportGenerator::bodyBoxLines() const {
    int boxLines = BoxLines::BoxNone;
    if (definition_.vertLines)
        boxLines |= BoxLines::BoxLeft | BoxLines::BoxRight;
    if (definition_.horzLines)
        boxLines |= BoxLines::BoxTop | BoxLines::BoxBottom;
    return boxLines;
}

void ReportGenerator::setBodyCells() {
    if (!textMode())
        setCells(lines_[0], CellText::Left, bodyBoxLines());
}

QString ReportGenerator::cellText(const Cell& cell, Content content, const Totals* totals) {
    switch (cell.kind) {
    case Cell::Kind::Filler:
        return {};
    case Cell::Kind::Label:
        return content == Content::ColumnHeaders ? QString() : cell.label;
    case Cell::Kind::Field:
        return content == Content::ColumnHeaders
                   ? context_.fieldLabels[static_cast<size_t>(cell.fieldNo - 1)]
                   : fieldText(cell.fieldNo);
    case Cell::Kind::Total:
        return totals == nullptr
                   ? QString()
                   : context_.numbers
                         .formatCurrency((*totals)[static_cast<size_t>(cell.fieldNo - 1)], 0)
                         .trimmed();
    }
    return {};
}

void ReportGenerator::printCells(const LinePlan& line, Content content, const Totals* totals) {
    QString out;
    out.reserve(kLineReserve);
    int cellNumber = 0;
    for (const Cell& cell : line) {
        ++cellNumber;
        const QString value = cellText(cell, content, totals);
        if (!textMode()) {
            out += QLatin1Char('\t');
            out += shortened(value, cellNumber);
            continue;
        }
        // Labels stand at the right of their width, everything else at the left; longer text
        // is cut to the width.
        const qsizetype used = std::min<qsizetype>(value.size(), cell.width);
        const qsizetype padding = cell.width - used;
        const bool right = cell.kind == Cell::Kind::Label && content != Content::ColumnHeaders;
        if (right)
            out.resize(out.size() + padding, QLatin1Char(' '));
        out.append(value.constData(), used);
        if (!right)
            out.resize(out.size() + padding, QLatin1Char(' '));
    }
    if (textMode())
        writeTextLine(out);
    else
        engine_->Print(out);
}

void ReportGenerator::printColumnHeaders() {
    if (!textMode())
        setCells(lines_[0], CellText::Centred, bodyBoxLines());
    printCells(lines_[0], Content::ColumnHeaders);
}

void ReportGenerator::printBodyLine(const LinePlan& line) {
    printCells(line, Content::Body);
    engine_->NewLine();
}

void ReportGenerator::printTotalsLine(const Totals& totals) {
    if (!textMode())
        setCells(totalsLine_, CellText::LabelsRight, BoxLines::BoxNone);
    printCells(totalsLine_, Content::Totals, &totals);
    engine_->NewLine();
}

bool ReportGenerator::printGroupHeading() {
    if (engine_->LinesLeft() < definition_.numLines + 2) {
        headingPending_ = true;
        return true;
    }
    QString text = lastGroup1_;
    if (group2Field_ != 0)
        text += QStringLiteral(", ") + lastGroup2_;
    if (textMode()) {
        // Four lines of text stand for the two lines of the printed heading, so that the text
        // breaks its pages where the printed report does.
        const QString dashes(text.size(), QLatin1Char('-'));
        writeTextLine(QString());
        writeTextLine(centredTextLine(dashes, definition_.width));
        writeTextLine(centredTextLine(text, definition_.width));
        writeTextLine(centredTextLine(dashes, definition_.width));
        engine_->NewLine();
        engine_->NewLine();
    } else {
        const double room = usableWidth_ - kHeadingPadding;
        double width = engine_->TextWidth(text);
        if (width > room) {
            while (!text.isEmpty() && engine_->TextWidth(text) > room)
                text.chop(1);
            width = room; // the box then spans the usable width exactly
        }
        engine_->NewLine();
        engine_->ClearTabs();
        engine_->SetTab(definition_.leftMargin + (usableWidth_ - width - kHeadingPadding) / 2,
                        Justify::Center, width + kHeadingPadding, kCellMarginHundredths,
                        BoxLines::BoxAll, 0);
        engine_->Print(QLatin1Char('\t') + text);
        engine_->NewLine();
        if (definition_.numLines == 1)
            setBodyCells();
    }
    headingPending_ = false;
    progress_ = true;
    return false;
}

void ReportGenerator::printCaption(const QString& text) {
    if (textMode()) {
        writeTextLine(centredTextLine(text, definition_.width));
    } else {
        const double width = engine_->TextWidth(text);
        engine_->ClearTabs();
        engine_->SetTab(definition_.leftMargin + (usableWidth_ - width - kHeadingPadding) / 2,
                        Justify::Center, width + kHeadingPadding, kCellMarginHundredths,
                        BoxLines::BoxBottom, 0);
        engine_->Print(QLatin1Char('\t') + text);
    }
    engine_->NewLine();
}

// Only the file: the caller moves the engine's cursor as the printed report would.
void ReportGenerator::writeTextLine(const QString& line) {
    appendCp1252(textBuffer_, line);
    textBuffer_ += "\r\n";
    if (textBuffer_.size() >= kTextBufferBytes && !flushText())
        throw ReportError(QStringLiteral("The text file %1 could not be written: %2")
                              .arg(textFilePath_, textFile_->errorString()));
}

bool ReportGenerator::flushText() {
    const auto length = static_cast<qint64>(textBuffer_.size());
    const bool written = textFile_->write(textBuffer_.data(), length) == length;
    textBuffer_.clear();
    return written;
}

// ---- Values ----------------------------------------------------------------------------------

int ReportGenerator::fieldIndex(int fieldNo) {
    int& index = fieldIndexes_[static_cast<size_t>(fieldNo)];
    if (index < 0) // the table layer's error when the table lacks the field
        index = table_.fieldIndexOrThrow(db::fieldByNumber(fieldNo)->name);
    return index;
}

QString ReportGenerator::fieldText(int fieldNo) {
    const db::FieldInfo* field = db::fieldByNumber(fieldNo);
    if (field == nullptr)
        return {};
    const int index = fieldIndex(fieldNo);
    if (field->kind == db::FieldKind::Text || field->kind == db::FieldKind::Date)
        return QString::fromStdString(table_.asText(index));
    if (table_.isBlank(index))
        return {};
    const double value = table_.asNumber(index);
    if (field->kind == db::FieldKind::DecimalNumber)
        return context_.numbers.formatCurrency(value, 0).trimmed();
    if (fieldNo == kYearPubField)
        return context_.numbers.formatNumber(value, 0, 0).trimmed();
    return context_.numbers.formatGrouped(value, 0, 0).trimmed();
}

// A value that is blank or no number counts as nothing.
double ReportGenerator::totalValue(int fieldNo) {
    const int index = fieldIndex(fieldNo);
    return table_.isBlank(index) ? 0.0 : table_.asNumber(index);
}

QString ReportGenerator::shortened(const QString& text, int cell) const {
    const double room = engine_->TabRoom(cell);
    // Most texts are far narrower than their cell: no character is wider than the widest one
    // (with a margin for kerning), so those need no measuring.
    if (text.isEmpty() ||
        (static_cast<double>(text.size()) * widestInForce_ * kKerningMargin <= room &&
         allInCp1252(text)) ||
        engine_->TextWidth(text) <= room)
        return text;
    // The longest beginning that fits: what dropping the last character until it fits leaves.
    qsizetype low = 0;
    qsizetype high = text.size() - 1;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (engine_->TextWidth(text.left(middle)) <= room)
            low = middle;
        else
            high = middle - 1;
    }
    return text.left(low);
}

} // namespace reports
