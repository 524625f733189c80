#pragma once

// An engine that draws on a device through a QPainter: inches become device pixels at the
// device's resolution, fonts keep their point size, and ScaleX/ScaleY stretch the output.

#include "report_engine/base_report.h"

#include <optional>

class QPainter;

namespace report_engine {

// Draws recorded or live report output on a painter whose device has `dpiX` x `dpiY` pixels
// per inch. Shared by the printer engine and the replay of stored pages.
class CanvasOutput : public PageOutput {
public:
    CanvasOutput(QPainter& painter, double dpiX, double dpiY, bool monochrome = false);
    void text(const QPointF& baseline, const QString& text, const ReportFont& font,
              bool opaque) override;
    void line(const QPointF& from, const QPointF& to, const QColor& colour) override;
    void fillRect(const QRectF& rect, const QColor& colour) override;

private:
    QPointF toDevice(const QPointF& inches) const;
    QColor ink(const QColor& colour) const;
    QPainter& painter_;
    double dpiX_;
    double dpiY_;
    bool monochrome_;
    ReportFont lastFont_;
    bool fontSet_ = false;
    // Fonts come in whole pixel sizes: text is stretched to the exact size it was measured at.
    double stretchX_ = 1.0;
    double stretchY_ = 1.0;
};

class TCanvasReport : public TBaseReport {
protected:
    // The painter of the open output (borrowed), or nullptr between runs.
    void SetCanvas(QPainter* painter, double dpiX, double dpiY);
    QPainter* Canvas() const { return canvas_; }
    // Drawing without a canvas raises kCanvasNotActive.
    void OutText(const QPointF& baseline, QStringView text, const ReportFont& font,
                 bool opaque) override;
    void OutLine(const QPointF& from, const QPointF& to, const QColor& colour) override;
    void OutFillRect(const QRectF& rect, const QColor& colour) override;
    void OutCell(const CellEdges& edges, int boxLines, const QColor& shade) override;

private:
    CanvasOutput& output();
    QPainter* canvas_ = nullptr;
    double dpiX_ = 96;
    double dpiY_ = 96;
    std::optional<CanvasOutput> output_;
};

} // namespace report_engine
