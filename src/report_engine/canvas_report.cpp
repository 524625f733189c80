#include "report_engine/canvas_report.h"

#include "report_engine/font_metrics.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace report_engine {

namespace {

// Lines are thin: about half a point, never under one device pixel.
constexpr double kLineInches = 1.0 / 150.0;

// Greys on a monochrome page become patterns of black dots of about the same darkness.
Qt::BrushStyle monochromePattern(const QColor& colour) {
    const double darkness = 1.0 - colour.lightnessF();
    struct Pattern {
        double darkness;
        Qt::BrushStyle style;
    };
    static constexpr std::array<Pattern, 9> patterns{{{0.0, Qt::NoBrush},
                                                      {0.06, Qt::Dense7Pattern},
                                                      {0.12, Qt::Dense6Pattern},
                                                      {0.37, Qt::Dense5Pattern},
                                                      {0.5, Qt::Dense4Pattern},
                                                      {0.63, Qt::Dense3Pattern},
                                                      {0.88, Qt::Dense2Pattern},
                                                      {0.94, Qt::Dense1Pattern},
                                                      {1.0, Qt::SolidPattern}}};
    const auto nearest = std::min_element(
        patterns.begin(), patterns.end(), [darkness](const Pattern& a, const Pattern& b) {
            return std::abs(a.darkness - darkness) < std::abs(b.darkness - darkness);
        });
    return nearest->style;
}

} // namespace

CanvasOutput::CanvasOutput(QPainter& painter, double dpiX, double dpiY, bool monochrome)
    : painter_(painter), dpiX_(dpiX), dpiY_(dpiY), monochrome_(monochrome) {}

QPointF CanvasOutput::toDevice(const QPointF& inches) const {
    return {inches.x() * dpiX_, inches.y() * dpiY_};
}

QColor CanvasOutput::ink(const QColor& colour) const {
    if (!monochrome_)
        return colour;
    return colour.lightness() >= 255 ? QColor(Qt::white) : QColor(Qt::black);
}

void CanvasOutput::text(const QPointF& baseline, const QString& text, const ReportFont& font,
                        bool opaque) {
    if (!(font == lastFont_) || !fontSet_) {
        // The output's own resolution (a zoomed preview, say) may differ from the device's.
        const DeviceFont device = deviceFontAt(font, dpiY_);
        painter_.setFont(device.font);
        stretchX_ = device.scale * dpiX_ / dpiY_;
        stretchY_ = device.scale;
        lastFont_ = font;
        fontSet_ = true;
    }
    painter_.setPen(ink(font.colour));
    if (opaque) {
        painter_.setBackgroundMode(Qt::OpaqueMode);
        painter_.setBackground(Qt::white);
    }
    if (stretchX_ == 1.0 && stretchY_ == 1.0) {
        painter_.drawText(toDevice(baseline), text);
    } else {
        painter_.save();
        painter_.translate(toDevice(baseline));
        painter_.scale(stretchX_, stretchY_);
        painter_.drawText(QPointF(0, 0), text);
        painter_.restore();
    }
    if (opaque)
        painter_.setBackgroundMode(Qt::TransparentMode);
}

void CanvasOutput::line(const QPointF& from, const QPointF& to, const QColor& colour) {
    const double width = std::max(1.0, kLineInches * std::min(dpiX_, dpiY_));
    painter_.setPen(QPen(ink(colour), width, Qt::SolidLine, Qt::SquareCap));
    painter_.drawLine(toDevice(from), toDevice(to));
}

void CanvasOutput::fillRect(const QRectF& rect, const QColor& colour) {
    const QRectF device(toDevice(rect.topLeft()), toDevice(rect.bottomRight()));
    if (!monochrome_) {
        painter_.fillRect(device, colour);
        return;
    }
    const Qt::BrushStyle pattern = monochromePattern(colour);
    if (pattern != Qt::NoBrush)
        painter_.fillRect(device, QBrush(Qt::black, pattern));
}

// ---- The canvas engine -----------------------------------------------------------------------

void TCanvasReport::SetCanvas(QPainter* painter, double dpiX, double dpiY) {
    canvas_ = painter;
    dpiX_ = dpiX;
    dpiY_ = dpiY;
    output_.reset();
    if (painter != nullptr)
        output_.emplace(*painter, dpiX, dpiY);
}

CanvasOutput& TCanvasReport::output() {
    if (!output_)
        throw EReportPrinter(QString::fromLatin1(messages::kCanvasNotActive));
    return *output_;
}

void TCanvasReport::OutText(const QPointF& baseline, QStringView text, const ReportFont& font,
                            bool opaque) {
    output().text(baseline, text.toString(), font, opaque);
}

void TCanvasReport::OutLine(const QPointF& from, const QPointF& to, const QColor& colour) {
    output().line(from, to, colour);
}

void TCanvasReport::OutFillRect(const QRectF& rect, const QColor& colour) {
    output().fillRect(rect, colour);
}

void TCanvasReport::OutCell(const CellEdges& edges, int boxLines, const QColor& shade) {
    output().cell(edges, boxLines, shade);
}

} // namespace report_engine
