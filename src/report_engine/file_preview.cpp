#include "report_engine/file_preview.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace report_engine {

namespace {

constexpr double kMinZoom = 10.0;
constexpr double kMaxZoom = 200.0;

} // namespace

double TFilePreview::screenDpi() const {
    const double dpi = scrollBox_ != nullptr ? scrollBox_->dotsPerInch() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

void TFilePreview::SetZoomFactor(double percent) {
    if (!std::isfinite(percent))
        return;
    zoom_ = std::clamp(percent, kMinZoom, kMaxZoom);
    if (OnZoomChange)
        OnZoomChange(*this);
    else if (started_)
        RedrawPage();
}

void TFilePreview::Start() {
    if (scrollBox_ == nullptr)
        throw EReportPrinter(QString::fromLatin1(messages::kNoScrollBox));
    ReleaseStore();
    Store(); // raises on a damaged store before anything is shown
    started_ = true;
    page_ = 1;
    PrintPage(1);
}

void TFilePreview::Stop() {
    started_ = false;
    bitmap_ = QImage();
    if (!Printing())
        ReleaseStore();
}

QSizeF TFilePreview::PagePixels() {
    return Store().paperInches() * screenDpi();
}

int TFilePreview::MarginPixels() {
    const double width = PagePixels().width();
    const double zoom = marginMethod_ == MarginMethod::mmScaled ? zoom_ / 100.0 : 1.0;
    return static_cast<int>(std::lround(width * zoom * MarginPercent / 100.0));
}

void TFilePreview::PrintPage(int n) {
    if (!started_)
        throw EReportPrinter(QString::fromLatin1(messages::kCanvasNotActive));
    const PageStore& store = Store();
    page_ = std::clamp(n, 1, std::max(1, store.pageCount()));
    const double dpi = screenDpi() * zoom_ / 100.0;
    const QSizeF paper = store.paperInches() * dpi;
    const int margin = MarginPixels();
    const QSize size(static_cast<int>(std::ceil(paper.width())) + 2 * margin,
                     static_cast<int>(std::ceil(paper.height())) + 2 * margin);
    QImage bitmap(size, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    if (store.pageCount() > 0) {
        QPainter painter(&bitmap);
        painter.setRenderHint(QPainter::Antialiasing, !Monochrome);
        painter.setRenderHint(QPainter::TextAntialiasing, !Monochrome);
        painter.translate(margin, margin);
        store.drawPage(painter, page_, dpi, dpi, Monochrome);
    }
    bitmap_ = std::move(bitmap);
    const QPoint kept = scrollBox_->scrollPosition();
    scrollBox_->setScrollPosition(QPoint(0, 0));
    scrollBox_->showBitmap(bitmap_);
    scrollBox_->setScrollPosition(kept);
    if (OnPageChange)
        OnPageChange(*this);
}

void TFilePreview::PrevPage() {
    if (page_ > 1)
        PrintPage(page_ - 1);
}

void TFilePreview::NextPage() {
    if (page_ < Pages())
        PrintPage(page_ + 1);
}

double TFilePreview::ZoomPageWidthFactor() {
    const QSizeF page = PagePixels();
    const int margin = static_cast<int>(std::lround(page.width() * MarginPercent / 100.0));
    const QSize outer = scrollBox_ != nullptr ? scrollBox_->outerSize() : QSize();
    const int frame = scrollBox_ != nullptr ? scrollBox_->frameThickness() : 0;
    double room = outer.width() - 2 * frame - 2 * margin;
    double zoom = room / page.width();
    const double clientHeight = outer.height() - 2 * frame;
    if (page.height() * zoom + 2 * margin > clientHeight && scrollBox_ != nullptr) {
        room -= scrollBox_->verticalScrollBarWidth();
        zoom = room / page.width();
    }
    return zoom * 100.0;
}

double TFilePreview::ZoomPageFactor() {
    const QSizeF page = PagePixels();
    const int margin = static_cast<int>(std::lround(page.width() * MarginPercent / 100.0));
    const QSize outer = scrollBox_ != nullptr ? scrollBox_->outerSize() : QSize();
    const double byWidth = (outer.width() - 4 - 2 * margin) / page.width();
    const double byHeight = (outer.height() - 4 - 2 * margin) / page.height();
    return std::min(byWidth, byHeight) * 100.0;
}

} // namespace report_engine
