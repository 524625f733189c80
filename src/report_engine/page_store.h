#pragma once

// The page store: every drawing operation of every page of a run, as written by the file
// engine and read back by the file printer and the file preview within one run of the
// program. Fonts and colours are kept once per store; each page is compressed on its own and
// only unpacked while it is drawn, so a long report stays small in memory. Positions are kept
// to 1/7200 inch. Reading checks every code and length: an unknown code or a damaged store
// raises EReportPrinter with kUnexpectedCode, never reads out of bounds.

#include "report_engine/page_codec.h"
#include "report_engine/page_output.h"
#include "report_engine/report_types.h"

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <map>
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

class PageCompressor;

// Writes a page store to a device; each page is written when the next begins or at finish().
class PageStoreWriter {
public:
    // Starts the store on `device` (open for writing): header with the paper size and scale.
    PageStoreWriter(QIODevice& device, QSizeF paperInches, double scaleX, double scaleY);
    ~PageStoreWriter();
    PageStoreWriter(const PageStoreWriter&) = delete;
    PageStoreWriter& operator=(const PageStoreWriter&) = delete;

    void newPage();
    void text(const QPointF& baseline, QStringView text, const ReportFont& font, bool opaque);
    void line(const QPointF& from, const QPointF& to, const QColor& colour);
    void fillRect(const QRectF& rect, const QColor& colour);
    void cell(const CellEdges& edges, int boxLines, const QColor& shade);
    // Writes the last page, the end mark and the page count into the header.
    void finish();
    int pageCount() const { return pages_; }

private:
    void put(const QByteArray& bytes);
    void putPage();
    int colourNumber(const QColor& colour);
    QIODevice& device_;
    qint64 start_;
    int pages_ = 0;
    bool pageOpen_ = false;
    codec::PageEncoder page_;
    std::unique_ptr<PageCompressor> compressor_;
    std::vector<ReportFont> fonts_; // already written, by number
    std::vector<QRgb> colours_;     // already written, by number
    int currentFont_ = -1;          // on this page
};

// A page store read into memory, its pages still packed.
class PageStore {
public:
    // Reads the whole store from the device's current position to its end. Raises
    // EReportPrinter(kUnexpectedCode) on anything it does not understand; a page's own
    // operations are checked when it is replayed.
    static PageStore read(QIODevice& device);
    static PageStore read(const QByteArray& bytes);

    int pageCount() const { return static_cast<int>(pages_.size()); }
    QSizeF paperInches() const { return paper_; }
    double scaleX() const { return scaleX_; }
    double scaleY() const { return scaleY_; }
    const std::vector<ReportFont>& fonts() const { return fonts_; }
    // The operations of page n (1-based; n in 1..pageCount()), a tab cell as its shade and
    // lines. Unpacked on the first request and kept with the store: for looking at single
    // pages, not for drawing them all.
    const std::vector<store::Op>& page(int n) const;

    // Calls `output` for every operation of page n, in the order they were written.
    void replay(int n, PageOutput& output) const;
    // Draws page n on a painter whose device has dpiX x dpiY pixels per inch, the paper's
    // top-left corner at the painter's origin.
    void drawPage(QPainter& painter, int n, double dpiX, double dpiY, bool monochrome) const;

private:
    struct PackedPage {
        qsizetype offset; // into bytes_
        qsizetype size;
        qsizetype unpackedSize;
    };
    QByteArray unpacked(int n) const;
    QByteArray bytes_;
    QSizeF paper_;
    double scaleX_ = 100;
    double scaleY_ = 100;
    std::vector<ReportFont> fonts_;
    std::vector<QColor> colours_;
    std::vector<PackedPage> pages_;
    mutable std::map<int, std::vector<store::Op>> looked_; // pages handed out by page()
};

} // namespace report_engine
