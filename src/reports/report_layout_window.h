#pragma once

// The layout window (TRepLayout, "Specify Report Layout"): the body lines and the totals line
// of a report drawn as rows of boxes, one per part, each as wide as its share of the line. A
// click on a box opens the part window on it. The window works on a copy of the definition that
// only OK hands back. Under the boxes a miniature of the report's first page follows every
// change of that copy, so the effect shows before anything is printed or saved.

#include "reports/report_definition.h"
#include "reports/report_generator.h"
#include "settings/settings.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>
#include <QFontMetrics>
#include <QRect>

#include <optional>
#include <vector>

class QHBoxLayout;
class QLabel;
class QPrinter;

namespace reports {

// One drawn box: line 1..12 (or the totals line number) and part 1..20.
struct LayoutBox {
    int line = 0;
    int part = 0;
    QRect rect;
};

// Where the boxes of a layout go, in pixels of a window scaled by `scale`: the drawing area runs
// from x = 4 to 629, the body band from y = 75 with 20 per line, the totals band from 355 to 375.
struct LayoutGeometry {
    double scale = 1.0;
    int left() const;
    int right() const;
    int bodyTop() const;
    int lineHeight() const;
    int totalsTop() const;
    int totalsBottom() const;
};

// The boxes of `definition` for a design width of `width` characters; the totals line only
// when `showTotals`.
std::vector<LayoutBox> layoutBoxes(const ReportDefinition& definition, int width, bool showTotals,
                                   const LayoutGeometry& geometry);
// The box under `point`: line from the band, part the first box reaching to x or beyond.
std::optional<LayoutBox> boxAt(const std::vector<LayoutBox>& boxes, const LayoutGeometry& geometry,
                               QPoint point);
// Where the room the bands leave is largest in a drawing area `height` pixels high: below the
// bands, or between the body lines and the totals line when that is higher.
QRect freeLayoutRoom(const LayoutGeometry& geometry, int numLines, bool showTotals, int height);
// `text` shortened from the end until it is at most `room` pixels wide.
QString shortenToFit(const QString& text, const QFontMetrics& metrics, int room);

// What the layout window takes from the definition window besides the definition itself.
struct LayoutOptions {
    int designWidth = 90;    // the width buttons
    bool showTotals = false; // Use Totals
    double scale = 1.0;      // the window-size factor
    widgets::UserFonts fonts;
    // For the miniature: the report as the definition window's controls stand now (titles,
    // options and margins not yet saved), whose lines the working copy replaces; the book table
    // (none: the miniature says so); and what a run takes besides.
    ReportDefinition pending;
    table::Table* table = nullptr;
    ReportContext context;
    QPrinter* printer = nullptr; // null when no printer is installed
};

class LayoutArea;
class ReportMiniature;

class TRepLayout : public QDialog {
    Q_OBJECT
public:
    TRepLayout(QWidget* parent, const widgets::Seams& seams, const app::Settings& settings,
               ReportDefinition& definition, LayoutOptions options);
    ~TRepLayout() override;

    const ReportDefinition& workingCopy() const { return copy_; }
    const std::vector<LayoutBox>& boxes() const;
    QWidget* drawingArea() const;
    ReportMiniature* miniature() const { return miniature_; }
    // The report the miniature shows: the pending settings with the working copy's lines.
    ReportDefinition miniatureDefinition() const;

    // Opens the part window on `line` (1..12, or kTotalsLineNumber) and `part`.
    void openPart(int line, int part);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OkButtonClick();
    void fitToScreen();

    const widgets::Seams& seams_;
    const app::Settings& settings_;
    ReportDefinition& definition_;
    ReportDefinition copy_;
    LayoutOptions options_;
    // The line a part window shows for trial, before its OK: line number and line.
    std::optional<std::pair<int, ReportLine>> trial_;
    LayoutArea* area_ = nullptr;
    ReportMiniature* miniature_ = nullptr;
    QHBoxLayout* buttons_ = nullptr;
    bool shown_ = false;
};

} // namespace reports
