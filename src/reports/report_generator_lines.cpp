// The lines of a report: cells, body lines, the column header row, group headings, captions
// and totals lines, on the engine's page or as lines of the text file; and the values shown.

#include "reports/report_generator.h"

#include "db/text_file.h"
#include "report_engine/base_report.h"

#include <QColor>

namespace reports {

namespace {

using report_engine::BoxLines;
using report_engine::Justify;

constexpr int kCellMarginHundredths = 2;
constexpr double kHeadingPadding = 0.2;
constexpr int kMaxTextLine = 255;

// A Windows colour value: red in the low byte. System colours (negative) print black.
QColor windowsColour(int32_t value) {
    if (value < 0)
        return Qt::black;
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QString spaces(int count) {
    return QString(std::max(count, 0), QLatin1Char(' '));
}

// Text cut to `width` characters, padded to it on the left or the right.
QString fitted(const QString& text, int width, bool rightAligned) {
    const QString cut = text.left(width);
    return rightAligned ? cut.rightJustified(width) : cut.leftJustified(width);
}

// Indented to stand in the middle of `reportWidth` characters, at most 255 characters long.
QString centredTextLine(const QString& text, int reportWidth) {
    const qsizetype indent = text.size() < reportWidth ? (reportWidth - text.size()) / 2 : 0;
    return (spaces(static_cast<int>(indent)) + text).left(kMaxTextLine);
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
}

void ReportGenerator::setCells(const ReportLine& line, CellText justification, int boxLines) {
    engine_->ClearTabs();
    for (const ReportPart& part : line) {
        if (part.width < 1)
            break;
        Justify justify = Justify::Left;
        if (justification == CellText::Centred)
            justify = Justify::Center;
        else if (justification == CellText::LabelsRight && part.isLabel())
            justify = Justify::Right;
        const double width = part.width / static_cast<double>(definition_.width) * usableWidth_;
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

void ReportGenerator::printCells(const ReportLine& line,
                                 const std::function<QString(const ReportPart&)>& text,
                                 const std::function<bool(const ReportPart&)>& rightAligned) {
    QString out;
    int cell = 0;
    for (const ReportPart& part : line) {
        if (part.width < 1)
            break;
        ++cell;
        const QString value = text(part);
        if (textMode())
            out += fitted(value, part.width, rightAligned(part));
        else
            out += QLatin1Char('\t') + shortened(value, cell);
    }
    if (textMode()) {
        writeTextLine(out);
        return;
    }
    engine_->Print(out);
}

void ReportGenerator::printColumnHeaders() {
    if (!textMode())
        setCells(lines_[0], CellText::Centred, bodyBoxLines());
    printCells(
        lines_[0],
        [this](const ReportPart& part) {
            return part.isField() && part.fieldNo >= 1 && part.fieldNo <= db::kFieldCount
                       ? context_.fieldLabels[static_cast<size_t>(part.fieldNo - 1)]
                       : QString();
        },
        [](const ReportPart&) { return false; });
}

void ReportGenerator::printBodyLine(const ReportLine& line) {
    printCells(
        line,
        [this](const ReportPart& part) {
            if (part.isLabel())
                return part.labelText;
            return part.isField() ? fieldText(part.fieldNo) : QString();
        },
        [](const ReportPart& part) { return part.isLabel(); });
    engine_->NewLine();
}

void ReportGenerator::printTotalsLine(const Totals& totals) {
    if (!textMode())
        setCells(totalsLine_, CellText::LabelsRight, BoxLines::BoxNone);
    printCells(
        totalsLine_,
        [&](const ReportPart& part) {
            if (part.isLabel())
                return part.labelText;
            if (!part.isField() || part.fieldNo < 1 || part.fieldNo > kTotalCount)
                return QString();
            return context_.numbers.formatCurrency(totals[static_cast<size_t>(part.fieldNo - 1)], 0)
                .trimmed();
        },
        [](const ReportPart& part) { return part.isLabel(); });
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
    const std::string bytes = db::toCp1252(line) + "\r\n";
    if (textFile_->write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size()))
        throw ReportError(QStringLiteral("The text file %1 could not be written: %2")
                              .arg(textFilePath_, textFile_->errorString()));
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
    if (field->name == "YearPub")
        return context_.numbers.formatNumber(value, 0, 0).trimmed();
    return context_.numbers.formatGrouped(value, 0, 0).trimmed();
}

double ReportGenerator::totalValue(int fieldNo) {
    const QString text = QString::fromStdString(table_.asText(fieldIndex(fieldNo))).trimmed();
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : 0.0; // a text that is no number counts as nothing
}

QString ReportGenerator::shortened(const QString& text, int cell) const {
    const double room = engine_->TabRoom(cell);
    if (text.isEmpty() || engine_->TextWidth(text) <= room)
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
