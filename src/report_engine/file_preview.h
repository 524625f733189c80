#pragma once

// The file preview: draws one page of a page store at a zoom into a page bitmap shown by a
// scroll box. The scroll box is the window's business (the engine has no widgets): it is
// reached through PreviewScrollBox.

#include "report_engine/file_printer.h"

#include <QImage>
#include <QPoint>
#include <QSize>

namespace report_engine {

// What the preview needs of the scroll box that shows its page bitmap.
class PreviewScrollBox {
public:
    virtual ~PreviewScrollBox() = default;
    virtual QSize outerSize() const = 0;    // the whole box, frame included, in pixels
    virtual int frameThickness() const = 0; // on each side
    virtual QSize clientSize() const = 0;   // inside the frame, without scroll bars
    virtual int verticalScrollBarWidth() const = 0;
    virtual int horizontalScrollBarHeight() const = 0;
    virtual double dotsPerInch() const = 0; // the screen's: 100 % zoom is the paper's real size
    virtual QPoint scrollPosition() const = 0;
    virtual void setScrollPosition(QPoint position) = 0;
    // Shows `bitmap` (the page with its margin around it); the scroll ranges follow its size.
    virtual void showBitmap(const QImage& bitmap) = 0;
};

class TFilePreview : public TFilePrinter {
public:
    using Event = std::function<void(TFilePreview& sender)>;

    void SetScrollBox(PreviewScrollBox* box) { scrollBox_ = box; } // borrowed
    PreviewScrollBox* ScrollBox() const { return scrollBox_; }
    double ZoomFactor() const { return zoom_; }
    // Clamps to 10..200, then calls OnZoomChange, or redraws when it is not set.
    void SetZoomFactor(double percent);
    double ZoomInc = 10;
    MarginMethod GetMarginMethod() const { return marginMethod_; }
    void SetMarginMethod(MarginMethod method) { marginMethod_ = method; }
    double MarginPercent = 0; // of the page width, around the page
    bool Monochrome = false;
    Event OnZoomChange;
    Event OnPageChange;

    // Reads the store and shows page 1. kNoScrollBox without a scroll box; EReportPrinter on a
    // damaged store.
    void Start();
    // Releases the bitmap (and the store it read; the stream stays with its owner).
    void Stop();
    bool Started() const { return started_; }
    // Draws page n (clamped to the store's pages) at ZoomFactor and calls OnPageChange.
    // kCanvasNotActive before Start.
    void PrintPage(int n);
    // Draws the current page again (after a zoom change).
    void RedrawPage() { PrintPage(page_); }
    void PrevPage();
    void NextPage();
    void ZoomIn() { SetZoomFactor(zoom_ + ZoomInc); }
    void ZoomOut() { SetZoomFactor(zoom_ - ZoomInc); }
    // The zooms that fit the page width, or the whole page, in the scroll box (percent, not
    // clamped); ZoomPageWidth and ZoomPage set them.
    double ZoomPageWidthFactor();
    double ZoomPageFactor();
    void ZoomPageWidth() { SetZoomFactor(ZoomPageWidthFactor()); }
    void ZoomPage() { SetZoomFactor(ZoomPageFactor()); }

    int CurrentPage() const { return page_; }
    // Paper size of the store in screen pixels at 100 %.
    QSizeF PagePixels();
    // The margin around the page, in pixels at the current zoom (fixed method: at 100 %).
    int MarginPixels();
    // The last page bitmap drawn (white, page and margin).
    const QImage& PageBitmap() const { return bitmap_; }

private:
    double screenDpi() const;
    PreviewScrollBox* scrollBox_ = nullptr;
    double zoom_ = 100;
    MarginMethod marginMethod_ = MarginMethod::mmFixed;
    bool started_ = false;
    int page_ = 1;
    QImage bitmap_;
};

} // namespace report_engine
