#pragma once

// Where drawing goes: the canvas of a printer or preview, or a page store being written. The
// engine calls it while a report runs; a stored page calls it again when it is replayed, in
// the same order with the same values.

#include "report_engine/report_types.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>

namespace report_engine {

// The edges of a tab cell on one line, in inches.
struct CellEdges {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

class PageOutput {
public:
    virtual ~PageOutput() = default;
    // Positions in inches from the paper's top-left corner.
    virtual void text(const QPointF& baseline, const QString& text, const ReportFont& font,
                      bool opaque) = 0;
    virtual void line(const QPointF& from, const QPointF& to, const QColor& colour) = 0;
    virtual void fillRect(const QRectF& rect, const QColor& colour) = 0;
    // A tab cell on one line: the shade first (when `shade` is valid), then the box lines of
    // `boxLines` in black, left, right, top and bottom edge.
    virtual void cell(const CellEdges& edges, int boxLines, const QColor& shade);
};

} // namespace report_engine
