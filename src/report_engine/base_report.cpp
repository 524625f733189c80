#include "report_engine/base_report.h"

#include "report_engine/font_metrics.h"
#include "report_engine/print_device.h"

#include <QCoreApplication>
#include <QPageLayout>

#include <algorithm>
#include <cmath>

namespace report_engine {

namespace {

// Lines that end exactly on the section bottom still fit, despite rounding in unit conversion.
constexpr double kFitTolerance = 1e-9;

} // namespace

TBaseReport::TBaseReport() = default;
TBaseReport::~TBaseReport() = default;

void TBaseReport::RequireNotPrinting() const {
    if (printing_)
        throw EReportPrinter(QString::fromLatin1(messages::kAlreadyPrinting));
}

void TBaseReport::RequirePrinting() const {
    if (!printing_)
        throw EReportPrinter(QString::fromLatin1(messages::kNotPrinting));
}

// ---- Properties ------------------------------------------------------------------------------

void TBaseReport::SetPrinter(PrintDevice* printer) {
    RequireNotPrinting();
    printer_ = printer;
}

void TBaseReport::SetUnits(Units units) {
    units_ = units;
    switch (units) {
    case Units::unInch:
        unitsFactor_ = 1.0;
        break;
    case Units::unMM:
        unitsFactor_ = 25.4;
        break;
    case Units::unCM:
        unitsFactor_ = 2.54;
        break;
    case Units::unPoint:
        unitsFactor_ = 72.0;
        break;
    case Units::unUser:
        break;
    }
}

void TBaseReport::SetUnitsFactor(double factor) {
    if (factor > 0) {
        unitsFactor_ = factor;
        units_ = Units::unUser;
    }
}

void TBaseReport::SetMarginLeft(double value) {
    margins_.left = ToInches(value);
}
void TBaseReport::SetMarginRight(double value) {
    margins_.right = ToInches(value);
}
void TBaseReport::SetMarginTop(double value) {
    margins_.top = ToInches(value);
}
void TBaseReport::SetMarginBottom(double value) {
    margins_.bottom = ToInches(value);
}

void TBaseReport::SetLinesPerInch(int lines) {
    linesPerInch_ = std::max(1, lines);
}

void TBaseReport::SetOrientation(Orientation orientation) {
    RequireNotPrinting();
    orientation_ = orientation;
}

void TBaseReport::SetCopies(int copies) {
    RequireNotPrinting();
    copies_ = std::max(1, copies);
}

void TBaseReport::SetScaleX(double percent) {
    if (percent > 0)
        scaleX_ = percent;
}

void TBaseReport::SetScaleY(double percent) {
    if (percent > 0)
        scaleY_ = percent;
}

void TBaseReport::SetTabShade(int percent) {
    tabShade_ = std::clamp(percent, 0, 100);
}

void TBaseReport::SetColumns(int columns) {
    columns_ = std::max(1, columns);
}

// ---- Running ---------------------------------------------------------------------------------

bool TBaseReport::CanStart() {
    return true;
}

void TBaseReport::OutCell(const CellEdges& edges, int boxLines, const QColor& shade) {
    class Forward : public PageOutput {
    public:
        explicit Forward(TBaseReport& engine) : engine_(engine) {}
        void text(const QPointF& baseline, const QString& text, const ReportFont& font,
                  bool opaque) override {
            engine_.OutText(baseline, text, font, opaque);
        }
        void line(const QPointF& from, const QPointF& to, const QColor& colour) override {
            engine_.OutLine(from, to, colour);
        }
        void fillRect(const QRectF& rect, const QColor& colour) override {
            engine_.OutFillRect(rect, colour);
        }

    private:
        TBaseReport& engine_;
    };
    Forward forward(*this);
    forward.cell(edges, boxLines, shade);
}

void TBaseReport::Execute() {
    RequireNotPrinting();
    if (!CanStart())
        return;
    page_ = 0;
    aborted_ = false;
    outputSuppressed_ = false;
    bool opened = false;
    try {
        if (OnBeforePrint)
            OnBeforePrint(*this);
        if (OnPrint || OnPrintPage) {
            OpenOutput();
            opened = true;
            printing_ = true;
            outputPages_ = 0;
            ResetPageState();
            page_ = 1;
            BeginPageOutput();
            UpdateStatus();
            if (OnNewPage)
                OnNewPage(*this);
            if (OnPrintHeader)
                OnPrintHeader(*this);
            if (OnPrint) {
                OnPrint(*this);
            } else {
                while (OnPrintPage(*this, page_) && !aborted_)
                    StartNextPage();
            }
            if (OnPrintFooter)
                OnPrintFooter(*this);
            printing_ = false;
            opened = false;
            CloseOutput(aborted_);
        }
    } catch (...) {
        printing_ = false;
        if (opened) {
            try {
                CloseOutput(true);
            } catch (...) { // the first error is the one to report
            }
        }
        if (OnAfterPrint) {
            try {
                OnAfterPrint(*this);
            } catch (...) {
            }
        }
        throw;
    }
    if (OnAfterPrint)
        OnAfterPrint(*this);
}

void TBaseReport::StartNextPage() {
    if (OnPrintFooter)
        OnPrintFooter(*this);
    ++page_;
    UpdateStatus();
    BeginPageOutput();
    ResetPageState();
    if (OnNewPage)
        OnNewPage(*this);
    if (OnPrintHeader)
        OnPrintHeader(*this);
}

void TBaseReport::BeginPageOutput() {
    // A page begun after an abort (a Cancel handled by the status display) stays unwritten.
    if (!PageInRange() || outputSuppressed_)
        return;
    BeginOutputPage(outputPages_ == 0);
    ++outputPages_;
}

void TBaseReport::Abort() {
    aborted_ = true;
    // What is still drawn on the current page does not reach the output.
    outputSuppressed_ = printing_;
}

bool TBaseReport::PageInRange() const {
    return page_ >= firstPage_ && page_ <= lastPage_;
}

void TBaseReport::ResetPageState() {
    font_ = ReportFont{};
    tabs_.clear();
    currentTab_ = 0;
    ResetSection();
    lineTop_ = section_.top;
    lineNum_ = 1;
    columnNum_ = 1;
    x_ = ColumnLeftInches();
}

// ---- Page model ------------------------------------------------------------------------------

QSizeF TBaseReport::PaperInches() const {
    QSizeF paper(8.5, 11.0);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    if (printer_ != nullptr) {
        const QPageLayout layout = printer_->pageLayout();
        paper = layout.pageSize().size(QPageSize::Inch);
        orientation = layout.orientation();
    }
    if (orientation_ == Orientation::poLandScape)
        orientation = QPageLayout::Landscape;
    else if (orientation_ == Orientation::poPortrait)
        orientation = QPageLayout::Portrait;
    if (orientation == QPageLayout::Landscape)
        paper.transpose();
    return paper;
}

double TBaseReport::PageWidth() const {
    return PaperInches().width() * unitsFactor_;
}

double TBaseReport::PageHeight() const {
    return PaperInches().height() * unitsFactor_;
}

void TBaseReport::ResetSection() {
    const QSizeF paper = PaperInches();
    section_.left = margins_.left;
    section_.top = margins_.top;
    section_.right = paper.width() - margins_.right;
    section_.bottom = paper.height() - margins_.bottom;
}

void TBaseReport::SetSectionTop(double value) {
    section_.top = ToInches(value);
    if (lineTop_ < section_.top) {
        lineTop_ = section_.top;
        lineNum_ = 1;
    }
}

void TBaseReport::SetSectionBottom(double value) {
    section_.bottom = ToInches(value);
}

void TBaseReport::SetSectionLeft(double value) {
    section_.left = ToInches(value);
}

void TBaseReport::SetSectionRight(double value) {
    section_.right = ToInches(value);
}

double TBaseReport::ColumnWidthInches() const {
    return (section_.right - section_.left) / columns_;
}

double TBaseReport::ColumnLeftInches() const {
    return section_.left + (columnNum_ - 1) * ColumnWidthInches();
}

void TBaseReport::Home() {
    lineTop_ = section_.top;
    lineNum_ = 1;
    columnNum_ = 1;
    x_ = ColumnLeftInches();
    currentTab_ = 0;
}

void TBaseReport::NewLine() {
    lineTop_ += LineHeightInches();
    ++lineNum_;
    currentTab_ = 0;
    if (columns_ > 1 && LinesLeft() == 0 && columnNum_ < columns_) {
        ++columnNum_;
        lineTop_ = section_.top;
        lineNum_ = 1;
        x_ = ColumnLeftInches();
        if (OnNewColumn)
            OnNewColumn(*this);
        return;
    }
    x_ = ColumnLeftInches();
}

double TBaseReport::LineHeightInches() const {
    if (lineHeightMethod_ == LineHeightMethod::lhmFont)
        return lastFontSize_ / 60.0;
    return 1.0 / linesPerInch_;
}

double TBaseReport::LineHeight() const {
    return LineHeightInches() * unitsFactor_;
}

double TBaseReport::BaselineOffset() const {
    const TextMetrics metrics = fontMetrics(font_);
    const double height = LineHeightInches();
    const double text = metrics.ascent + metrics.descent;
    if (text <= 0)
        return height;
    if (text > height)
        return height * metrics.ascent / text;
    return metrics.ascent + (height - text) / 2;
}

int TBaseReport::LinesLeft() const {
    const double height = LineHeightInches();
    const double baseline = lineTop_ + BaselineOffset();
    if (baseline > section_.bottom + kFitTolerance)
        return 0;
    return 1 + static_cast<int>(std::floor((section_.bottom - baseline) / height + kFitTolerance));
}

void TBaseReport::SetXPos(double value) {
    x_ = ToInches(value);
}

double TBaseReport::YPos() const {
    return (lineTop_ + BaselineOffset()) * unitsFactor_;
}

void TBaseReport::GotoXY(double x, double y) {
    x_ = ToInches(x);
    lineTop_ = ToInches(y);
}

// ---- Fonts -----------------------------------------------------------------------------------

void TBaseReport::SetFont(const QString& name, double size) {
    font_ = ReportFont{};
    font_.name = name;
    font_.size = size > 0 ? size : font_.size;
    lastFontSize_ = font_.size;
}

void TBaseReport::SetBold(bool on) {
    font_.bold = on;
}
void TBaseReport::SetItalic(bool on) {
    font_.italic = on;
}
void TBaseReport::SetUnderline(bool on) {
    font_.underline = on;
}
void TBaseReport::SetStrikeOut(bool on) {
    font_.strikeOut = on;
}
void TBaseReport::SetFontColor(const QColor& colour) {
    font_.colour = colour.isValid() ? colour : QColor(Qt::black);
}

double TBaseReport::TextWidth(const QString& text) const {
    return textWidthInches(font_, text) * unitsFactor_;
}

// ---- Tabs ------------------------------------------------------------------------------------

void TBaseReport::ClearTabs() {
    tabs_.clear();
    currentTab_ = 0;
}

void TBaseReport::SetTab(double position, Justify justify, double width, int marginHundredths,
                         int boxLines, int shade) {
    TabCell cell;
    if (position == kTabContinue)
        cell.left = tabs_.empty() ? margins_.left : tabs_.back().left + tabs_.back().width;
    else
        cell.left = ToInches(position);
    cell.justify = justify;
    cell.width = std::max(0.0, ToInches(width));
    cell.margin = std::max(0.0, ToInches(marginHundredths / 100.0));
    cell.boxLines = boxLines & BoxAll;
    cell.shade = std::clamp(shade, 0, 100);
    tabs_.push_back(cell);
}

TabCell TBaseReport::Tab(int n) const {
    if (n < 1 || n > TabCount())
        return {};
    TabCell cell = tabs_[static_cast<size_t>(n - 1)];
    cell.left *= unitsFactor_;
    cell.width *= unitsFactor_;
    cell.margin *= unitsFactor_;
    return cell;
}

double TBaseReport::TabRoom(int n) const {
    if (n < 1 || n > TabCount())
        return 0.0;
    const TabCell& cell = tabs_[static_cast<size_t>(n - 1)];
    return (cell.width - 2 * cell.margin) * unitsFactor_;
}

} // namespace report_engine
