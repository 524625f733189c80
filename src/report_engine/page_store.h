#pragma once

// The page store: every drawing operation of every page of a run, in inches, as written by
// the file engine and read back by the file printer and the file preview within one run of the
// program. Reading checks every code and length: an unknown code or a damaged store raises
// EReportPrinter with kUnexpectedCode, never reads out of bounds.

#include "report_engine/report_types.h"

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>
#include <variant>
#include <vector>

class QIODevice;
class QPainter;

namespace report_engine {

namespace store {
struct Text {
    QPointF baseline;
    QString text;
    int font; // index into PageStore::fonts
    bool opaque;
};
struct Line {
    QPointF from;
    QPointF to;
    QColor colour;
};
struct Fill {
    QRectF rect;
    QColor colour;
};
using Op = std::variant<Text, Line, Fill>;
} // namespace store

// Writes a page store to a device, operation by operation.
class PageStoreWriter {
public:
    // Starts the store on `device` (open for writing): header with the paper size and scale.
    PageStoreWriter(QIODevice& device, QSizeF paperInches, double scaleX, double scaleY);
    void newPage();
    void text(const QPointF& baseline, const QString& text, const ReportFont& font, bool opaque);
    void line(const QPointF& from, const QPointF& to, const QColor& colour);
    void fillRect(const QRectF& rect, const QColor& colour);
    // Writes the end mark and the page count into the header.
    void finish();
    int pageCount() const { return pages_; }

private:
    void put(const QByteArray& bytes);
    QIODevice& device_;
    qint64 start_;
    int pages_ = 0;
    std::vector<ReportFont> fonts_; // already written, by index
    int currentFont_ = -1;
};

// A page store read into memory.
class PageStore {
public:
    // Reads the whole store from the device's current position to its end. Raises
    // EReportPrinter(kUnexpectedCode) on anything it does not understand.
    static PageStore read(QIODevice& device);
    static PageStore read(const QByteArray& bytes);

    int pageCount() const { return static_cast<int>(pages_.size()); }
    QSizeF paperInches() const { return paper_; }
    double scaleX() const { return scaleX_; }
    double scaleY() const { return scaleY_; }
    const std::vector<ReportFont>& fonts() const { return fonts_; }
    const std::vector<store::Op>& page(int n) const; // 1-based; n in 1..pageCount()

    // Draws page n on a painter whose device has dpiX x dpiY pixels per inch, the paper's
    // top-left corner at the painter's origin.
    void drawPage(QPainter& painter, int n, double dpiX, double dpiY, bool monochrome) const;

private:
    QSizeF paper_;
    double scaleX_ = 100;
    double scaleY_ = 100;
    std::vector<ReportFont> fonts_;
    std::vector<std::vector<store::Op>> pages_;
};

} // namespace report_engine
