#pragma once

// The drawing operations of one page as bytes, before the page is compressed into the page
// store. Positions are whole steps of 1/7200 inch, each written as its difference from the
// previous position on the same axis; strings are Latin-1 when they can be, UTF-16 otherwise;
// fonts and colours are numbers into the store's tables.

#include "report_engine/page_output.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <vector>

namespace report_engine::codec {

// Steps per inch, and the farthest position from the paper's corner that a page holds.
inline constexpr double kStepsPerInch = 7200.0;
inline constexpr double kMaxInches = 1000.0;

class PageEncoder {
public:
    PageEncoder();
    // Starts a new page.
    void clear();
    void font(int index);
    void text(const QPointF& baseline, QStringView text, bool opaque);
    void line(const QPointF& from, const QPointF& to, int colour);
    void fillRect(const QRectF& rect, int colour);
    // `shade` is a colour number, or -1 for none.
    void cell(const CellEdges& edges, int boxLines, int shade);
    const QByteArray& bytes() const { return bytes_; }
    bool empty() const { return bytes_.isEmpty(); }

private:
    void code(char value) { bytes_.append(value); }
    void number(quint32 value);
    void x(double inches);
    void y(double inches);
    QByteArray bytes_;
    qint32 lastX_ = 0;
    qint32 lastY_ = 0;
};

// Replays the operations of a page into `output`. Raises EReportPrinter(kUnexpectedCode) on
// anything it does not understand, before or after calls already made.
void decodePage(QByteArrayView bytes, const std::vector<ReportFont>& fonts,
                const std::vector<QColor>& colours, PageOutput& output);

} // namespace report_engine::codec
