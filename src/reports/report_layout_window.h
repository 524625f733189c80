#pragma once

// The layout window (TRepLayout, "Specify Report Layout"): the body lines and the totals line
// of a report drawn as rows of boxes, one per part, each as wide as its share of the line. A
// click on a box opens the part window on it. The window works on a copy of the definition that
// only OK hands back.

#include "reports/report_definition.h"
#include "settings/settings.h"
#include "widgets/seams.h"

#include <QDialog>
#include <QFontMetrics>
#include <QRect>

#include <optional>
#include <vector>

class QLabel;

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
// `text` shortened from the end until it is at most `room` pixels wide.
QString shortenToFit(const QString& text, const QFontMetrics& metrics, int room);

class LayoutArea;

class TRepLayout : public QDialog {
    Q_OBJECT
public:
    // `designWidth` and `showTotals` are the definition window's width buttons and Use Totals.
    TRepLayout(QWidget* parent, const widgets::Seams& seams, const app::Settings& settings,
               ReportDefinition& definition, int designWidth, bool showTotals, double scale);
    ~TRepLayout() override;

    const ReportDefinition& workingCopy() const { return copy_; }
    const std::vector<LayoutBox>& boxes() const;
    QWidget* drawingArea() const;

    // Opens the part window on `line` (1..12, or kTotalsLineNumber) and `part`.
    void openPart(int line, int part);

private:
    void OkButtonClick();

    const widgets::Seams& seams_;
    const app::Settings& settings_;
    ReportDefinition& definition_;
    ReportDefinition copy_;
    int designWidth_;
    LayoutArea* area_ = nullptr;
};

} // namespace reports
