#pragma once

// The base of every report engine: the page model in units from the paper's top-left corner,
// the section (a horizontal band) with its line cursor, fonts, the tab-cell list, printing of
// text, the status display and the running of a report through its event handlers.
//
// A report is driven by Execute, which calls, in this order: OnBeforePrint; for page 1
// OnNewPage and OnPrintHeader; then OnPrint once, or OnPrintPage while it answers that another
// page follows (OnPrintFooter, OnNewPage and OnPrintHeader are called between two pages);
// OnPrintFooter for the last page; OnAfterPrint, which runs on every exit (error or Abort
// included). Pages outside FirstPage..LastPage run every handler but are not output.
//
//     report_engine::TReportPrinter engine;          // or TReportFiler with a stream
//     engine.SetPrinter(printer);                    // nullptr: no printer installed
//     engine.ShowError = [&](const QString& m) { ...message box "Error"... };
//     engine.StatusLabel = [&](const QString& t) { label->setText(t); };
//     engine.SetMarginLeft(0.5);
//     engine.SetLineHeightMethod(report_engine::LineHeightMethod::lhmFont);
//     engine.OnPrintHeader = [](report_engine::TBaseReport& r) {
//         r.SetSectionTop(0.5); r.SetSectionBottom(1.25);
//         r.SetFont("Arial", 14); r.PrintCenter("Title", r.PageWidth() / 2); r.NewLine(); };
//     engine.OnPrintPage = [](report_engine::TBaseReport& r, int page) { ...; return more; };
//     engine.Execute();

#include "report_engine/page_output.h"
#include "report_engine/report_types.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace report_engine {

class PrintDevice;

// One entry of the tab list, in units.
struct TabCell {
    double left = 0;
    double width = 0;
    Justify justify = Justify::Left;
    double margin = 0; // inner margin on each side
    int boxLines = BoxNone;
    int shade = 0; // percent; 0 uses TabShade
};

class TBaseReport {
public:
    using Event = std::function<void(TBaseReport& sender)>;
    // Answers true when another page follows.
    using PageEvent = std::function<bool(TBaseReport& sender, int page)>;

    TBaseReport();
    virtual ~TBaseReport();
    TBaseReport(const TBaseReport&) = delete;
    TBaseReport& operator=(const TBaseReport&) = delete;

    // ---- Events --------------------------------------------------------------------------
    Event OnPrint;
    PageEvent OnPrintPage;
    Event OnBeforePrint;
    Event OnAfterPrint;
    Event OnNewPage;
    Event OnNewColumn;
    Event OnPrintHeader;
    Event OnPrintFooter;

    // ---- Where the engine meets the user ---------------------------------------------------
    // Shows an error in a message box with caption "Error" (the engine has no windows).
    std::function<void(const QString& message)> ShowError;
    // The status label: receives the expanded StatusFormat at every new page.
    std::function<void(const QString& text)> StatusLabel;
    QString StatusFormat = QStringLiteral("Printing page %p");
    QStringList StatusText; // lines 0..9 of the %0..%9 codes
    QString Title = QStringLiteral("Report");

    // ---- Printer ---------------------------------------------------------------------------
    // The printer, borrowed; nullptr when no printer is installed. The page size, orientation
    // and device names come from it. Changing it during a run raises kAlreadyPrinting.
    void SetPrinter(PrintDevice* printer);
    PrintDevice* Printer() const { return printer_; }

    // ---- Properties ------------------------------------------------------------------------
    Units GetUnits() const { return units_; }
    void SetUnits(Units units); // also sets UnitsFactor (unUser keeps it)
    double UnitsFactor() const { return unitsFactor_; }
    void SetUnitsFactor(double factor); // units per inch; also makes Units unUser

    double MarginLeft() const { return margins_.left * unitsFactor_; }
    double MarginRight() const { return margins_.right * unitsFactor_; }
    double MarginTop() const { return margins_.top * unitsFactor_; }
    double MarginBottom() const { return margins_.bottom * unitsFactor_; }
    void SetMarginLeft(double value);
    void SetMarginRight(double value);
    void SetMarginTop(double value);
    void SetMarginBottom(double value);

    LineHeightMethod GetLineHeightMethod() const { return lineHeightMethod_; }
    void SetLineHeightMethod(LineHeightMethod method) { lineHeightMethod_ = method; }
    int LinesPerInch() const { return linesPerInch_; }
    void SetLinesPerInch(int lines); // below 1 counts as 1

    Orientation GetOrientation() const { return orientation_; }
    void SetOrientation(Orientation orientation); // kAlreadyPrinting during a run
    int Copies() const { return copies_; }
    void SetCopies(int copies); // kAlreadyPrinting during a run
    double ScaleX() const { return scaleX_; }
    double ScaleY() const { return scaleY_; }
    void SetScaleX(double percent);
    void SetScaleY(double percent);
    int TabShade() const { return tabShade_; }
    void SetTabShade(int percent); // clamped to 0..100
    TextBKMode GetTextBKMode() const { return textBKMode_; }
    void SetTextBKMode(TextBKMode mode) { textBKMode_ = mode; }
    int FirstPage() const { return firstPage_; }
    int LastPage() const { return lastPage_; }
    void SetFirstPage(int page) { firstPage_ = page; }
    void SetLastPage(int page) { lastPage_ = page; }
    // Columns of a page: the section's width divided evenly; NewLine moves to the next column
    // when a column is full and calls OnNewColumn.
    int Columns() const { return columns_; }
    void SetColumns(int columns); // below 1 counts as 1

    // ---- Running ---------------------------------------------------------------------------
    // Runs the report. EReportPrinter and other exceptions of the handlers propagate after
    // OnAfterPrint; with no printer where one is needed, ShowError gets kNoPrinters and nothing
    // runs.
    void Execute();
    // Ends the run after the current page; what remains of it is not output.
    void Abort();
    bool Aborted() const { return aborted_; }
    bool Printing() const { return printing_; }
    int CurrentPage() const { return page_; }
    // Whether the current page is output (within FirstPage..LastPage).
    bool PageInRange() const;

    // ---- Page model and cursor (units) ----------------------------------------------------
    double PageWidth() const;
    double PageHeight() const;
    double SectionTop() const { return section_.top * unitsFactor_; }
    double SectionBottom() const { return section_.bottom * unitsFactor_; }
    double SectionLeft() const { return section_.left * unitsFactor_; }
    double SectionRight() const { return section_.right * unitsFactor_; }
    // Setting the top moves the cursor there when it is above it.
    void SetSectionTop(double value);
    void SetSectionBottom(double value);
    void SetSectionLeft(double value);
    void SetSectionRight(double value);
    // The section back to the page inside the margins.
    void ResetSection();
    void Home();    // line 1, column 1 of the section
    void NewLine(); // one line height down (next column when a column is full)
    // 0 when the next line's baseline falls below the section bottom, else 1 + the whole
    // number of further line heights that fit.
    int LinesLeft() const;
    int LineNum() const { return lineNum_; }
    int ColumnNum() const { return columnNum_; }
    double LineHeight() const; // units
    double LineTop() const { return lineTop_ * unitsFactor_; }
    double LineBottom() const { return LineTop() + LineHeight(); }
    double XPos() const { return x_ * unitsFactor_; }
    void SetXPos(double value);
    double YPos() const; // baseline of the current line
    // Moves the cursor so that the current line's top is at `y`.
    void GotoXY(double x, double y);

    // ---- Fonts -----------------------------------------------------------------------------
    // Face and size in points; resets style and colour to default (black, plain) and sets the
    // line height of lhmFont (size / 60 inch).
    void SetFont(const QString& name, double size);
    void SetBold(bool on);
    void SetItalic(bool on);
    void SetUnderline(bool on);
    void SetStrikeOut(bool on);
    void SetFontColor(const QColor& colour);
    const ReportFont& Font() const { return font_; }
    // Width of `text` in the current font, in units; the same on every device.
    double TextWidth(const QString& text) const;

    // ---- Tabs ------------------------------------------------------------------------------
    void ClearTabs();
    // Appends a cell: `position` in units, or kTabContinue for directly after the previous
    // cell (the first at the left margin); inner margin in hundredths of a unit; box lines of
    // BoxLines; shade percent (0 uses TabShade).
    void SetTab(double position, Justify justify, double width, int marginHundredths, int boxLines,
                int shade);
    int TabCount() const { return static_cast<int>(tabs_.size()); }
    TabCell Tab(int n) const; // 1-based, in units; a default cell outside the list
    // Width of cell n minus twice its inner margin, in units; 0 outside the list.
    double TabRoom(int n) const;

    // ---- Text ------------------------------------------------------------------------------
    // Prints at the cursor; each tab character (code 9) moves to the next cell, draws its
    // shade and box lines and prints the text that follows in the cell.
    void Print(const QString& text);
    void PrintLn(const QString& text = QString());
    // On the current line, not moving the cursor.
    void PrintCenter(const QString& text, double x);
    void PrintLeft(const QString& text, double x);
    void PrintRight(const QString& text, double x);
    // Left, centred or right within the section's left and right.
    void PrintInSection(const QString& text, Justify justify);

    // ---- Graphics (units, thin pen in the font colour) ------------------------------------
    void Line(double x1, double y1, double x2, double y2);
    void Rectangle(double x1, double y1, double x2, double y2);
    void FillRect(double x1, double y1, double x2, double y2, const QColor& colour);

    // ---- Status ----------------------------------------------------------------------------
    // Expands StatusFormat into StatusLabel and lets pending events be handled, so that a
    // Cancel button keeps working.
    void UpdateStatus();
    QString ExpandStatus(const QString& format) const;
    virtual QString DeviceName() const;
    virtual QString DriverName() const;
    virtual QString Port() const;

protected:
    // The concrete engine's output. Positions are in inches from the paper's top-left corner.
    // Whether the run may start; shows kNoPrinters and answers false when a printer is needed
    // and none is installed.
    virtual bool CanStart();
    virtual void OpenOutput() = 0;
    // Each page that is output begins with this call; `first` for the run's first one.
    virtual void BeginOutputPage(bool first) = 0;
    virtual void CloseOutput(bool aborted) = 0;
    virtual void OutText(const QPointF& baseline, QStringView text, const ReportFont& font,
                         bool opaque) = 0;
    virtual void OutLine(const QPointF& from, const QPointF& to, const QColor& colour) = 0;
    virtual void OutFillRect(const QRectF& rect, const QColor& colour) = 0;
    // A tab cell's shade and box lines as PageOutput::cell draws them; by default through
    // OutFillRect and OutLine.
    virtual void OutCell(const CellEdges& edges, int boxLines, const QColor& shade);
    // The paper in inches: the printer's page in the engine's orientation, or 8.5 x 11.
    virtual QSizeF PaperInches() const;
    void RequireNotPrinting() const;

private:
    void ResetPageState();
    void StartNextPage();
    void BeginPageOutput();
    double ColumnWidthInches() const;
    double ColumnLeftInches() const;
    void PrintInCell(QStringView text, int cell);
    void PrintRun(QStringView text);
    void DrawText(double xInches, QStringView text);
    void RequirePrinting() const;
    double ToInches(double units) const { return units / unitsFactor_; }
    double BaselineOffset() const;
    double LineHeightInches() const;
    bool Output() const { return printing_ && PageInRange() && !outputSuppressed_; }

    PrintDevice* printer_ = nullptr;
    Units units_ = Units::unInch;
    double unitsFactor_ = 1.0;
    struct Edges {
        double left = 0;
        double top = 0;
        double right = 0;
        double bottom = 0;
    };
    Edges margins_; // inches from the paper's edges
    LineHeightMethod lineHeightMethod_ = LineHeightMethod::lhmLinesPerInch;
    int linesPerInch_ = 6;
    Orientation orientation_ = Orientation::poPortrait;
    int copies_ = 1;
    double scaleX_ = 100;
    double scaleY_ = 100;
    int tabShade_ = 0;
    TextBKMode textBKMode_ = TextBKMode::bkTransparent;
    int firstPage_ = 1;
    int lastPage_ = 9999;
    int columns_ = 1;

    bool printing_ = false;
    bool aborted_ = false;
    bool outputSuppressed_ = false;
    int page_ = 0;
    int outputPages_ = 0;
    Edges section_;      // inches from the top-left corner (right and bottom too)
    double lineTop_ = 0; // inches
    double x_ = 0;       // inches
    int lineNum_ = 1;
    int columnNum_ = 1;
    int currentTab_ = 0; // cells used on the current line
    ReportFont font_;
    double lastFontSize_ = 10;
    std::vector<TabCell> tabs_; // inches
};

} // namespace report_engine
