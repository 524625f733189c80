#include "report_engine/page_output.h"

namespace report_engine {

void PageOutput::cell(const CellEdges& edges, int boxLines, const QColor& shade) {
    const QPointF topLeft(edges.left, edges.top);
    const QPointF topRight(edges.right, edges.top);
    const QPointF bottomLeft(edges.left, edges.bottom);
    const QPointF bottomRight(edges.right, edges.bottom);
    if (shade.isValid())
        fillRect(QRectF(topLeft, bottomRight), shade);
    const QColor pen(Qt::black);
    if (boxLines & BoxLeft)
        line(topLeft, bottomLeft, pen);
    if (boxLines & BoxRight)
        line(topRight, bottomRight, pen);
    if (boxLines & BoxTop)
        line(topLeft, topRight, pen);
    if (boxLines & BoxBottom)
        line(bottomLeft, bottomRight, pen);
}

} // namespace report_engine
