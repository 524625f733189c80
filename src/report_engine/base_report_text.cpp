// Printing text, cells and lines, and the status display.

#include "report_engine/base_report.h"

#include "report_engine/font_metrics.h"
#include "report_engine/print_device.h"

#include <QCoreApplication>

namespace report_engine {

// ---- Text ------------------------------------------------------------------------------------

void TBaseReport::DrawText(double xInches, QStringView text) {
    RequirePrinting();
    if (text.isEmpty() || !Output())
        return;
    OutText(QPointF(xInches, lineTop_ + BaselineOffset()), text, font_,
            textBKMode_ == TextBKMode::bkOpaque);
}

void TBaseReport::PrintRun(QStringView text) {
    DrawText(x_, text);
    x_ += textWidthInches(font_, text);
}

void TBaseReport::PrintInCell(QStringView text, int cell) {
    const TabCell& tab = tabs_[static_cast<size_t>(cell - 1)];
    const double offset = ColumnLeftInches() - section_.left;
    const double left = tab.left + offset;
    const double right = left + tab.width;
    if (Output()) {
        const int shade = tab.shade > 0 ? tab.shade : tabShade_;
        QColor fill;
        if (shade > 0) {
            const int level = 255 - shade * 255 / 100;
            fill = QColor(level, level, level);
        }
        if (fill.isValid() || tab.boxLines != BoxNone)
            OutCell(CellEdges{left, lineTop_, right, lineTop_ + LineHeightInches()}, tab.boxLines,
                    fill);
    }
    const double width = textWidthInches(font_, text);
    double x = left + tab.margin;
    if (tab.justify == Justify::Center)
        x = left + (tab.width - width) / 2;
    else if (tab.justify == Justify::Right)
        x = right - tab.margin - width;
    DrawText(x, text);
    x_ = right;
}

void TBaseReport::Print(const QString& text) {
    RequirePrinting();
    // Runs between tab characters are measured and stored from the text itself, uncopied.
    const QStringView all(text);
    qsizetype tab = all.indexOf(QLatin1Char('\t'));
    PrintRun(all.left(tab < 0 ? all.size() : tab));
    while (tab >= 0) {
        const qsizetype next = all.indexOf(QLatin1Char('\t'), tab + 1);
        const QStringView part = all.sliced(tab + 1, (next < 0 ? all.size() : next) - tab - 1);
        ++currentTab_;
        if (currentTab_ <= TabCount())
            PrintInCell(part, currentTab_);
        else
            PrintRun(part); // more tab characters than cells: at the cursor
        tab = next;
    }
}

void TBaseReport::PrintLn(const QString& text) {
    Print(text);
    NewLine();
}

void TBaseReport::PrintCenter(const QString& text, double x) {
    DrawText(ToInches(x) - textWidthInches(font_, text) / 2, text);
}

void TBaseReport::PrintLeft(const QString& text, double x) {
    DrawText(ToInches(x), text);
}

void TBaseReport::PrintRight(const QString& text, double x) {
    DrawText(ToInches(x) - textWidthInches(font_, text), text);
}

void TBaseReport::PrintInSection(const QString& text, Justify justify) {
    switch (justify) {
    case Justify::Left:
        DrawText(section_.left, text);
        break;
    case Justify::Center:
        DrawText((section_.left + section_.right - textWidthInches(font_, text)) / 2, text);
        break;
    case Justify::Right:
        DrawText(section_.right - textWidthInches(font_, text), text);
        break;
    }
}

// ---- Graphics --------------------------------------------------------------------------------

void TBaseReport::Line(double x1, double y1, double x2, double y2) {
    RequirePrinting();
    if (Output())
        OutLine(QPointF(ToInches(x1), ToInches(y1)), QPointF(ToInches(x2), ToInches(y2)),
                font_.colour);
}

void TBaseReport::Rectangle(double x1, double y1, double x2, double y2) {
    Line(x1, y1, x2, y1);
    Line(x2, y1, x2, y2);
    Line(x2, y2, x1, y2);
    Line(x1, y2, x1, y1);
}

void TBaseReport::FillRect(double x1, double y1, double x2, double y2, const QColor& colour) {
    RequirePrinting();
    if (Output())
        OutFillRect(QRectF(QPointF(ToInches(x1), ToInches(y1)), QPointF(ToInches(x2), ToInches(y2)))
                        .normalized(),
                    colour);
}

// ---- Status ----------------------------------------------------------------------------------

QString TBaseReport::DeviceName() const {
    if (printer_ == nullptr)
        return QStringLiteral("Preview Only");
    if (printer_->kind() == PrintDevice::Kind::PdfFile)
        return QStringLiteral("PDF");
    return printer_->name();
}

QString TBaseReport::DriverName() const {
    if (printer_ == nullptr)
        return QStringLiteral("Preview Only");
    if (printer_->kind() == PrintDevice::Kind::PdfFile)
        return QStringLiteral("PDF");
    const QString model = printer_->model();
    return model.isEmpty() ? QStringLiteral("CUPS") : model;
}

QString TBaseReport::Port() const {
    if (printer_ == nullptr)
        return QStringLiteral("Preview");
    if (printer_->kind() == PrintDevice::Kind::PdfFile)
        return printer_->name();
    return QStringLiteral("CUPS:") + printer_->name();
}

QString TBaseReport::ExpandStatus(const QString& format) const {
    QString result;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            result += c;
            continue;
        }
        const QChar code = format[++i].toUpper();
        if (code == QLatin1Char('P'))
            result += QString::number(page_);
        else if (code.isDigit() && code.unicode() < 128) {
            const int line = code.digitValue();
            if (line < StatusText.size())
                result += StatusText[line];
        } else if (code == QLatin1Char('D'))
            result += DeviceName();
        else if (code == QLatin1Char('R'))
            result += DriverName();
        else if (code == QLatin1Char('T'))
            result += Port();
        else if (code == QLatin1Char('F'))
            result += QString::number(firstPage_);
        else if (code == QLatin1Char('L'))
            result += QString::number(lastPage_);
        else if (code == QLatin1Char('%'))
            result += QLatin1Char('%');
        else
            result += QStringLiteral("<ERROR-%") + code + QLatin1Char('>');
    }
    return result;
}

void TBaseReport::UpdateStatus() {
    if (StatusLabel)
        StatusLabel(ExpandStatus(StatusFormat));
    // A Cancel button of the caller's window stays alive between pages.
    QCoreApplication::processEvents();
}

} // namespace report_engine
