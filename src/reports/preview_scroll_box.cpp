#include "reports/preview_scroll_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace reports {

PreviewPage::PreviewPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PreviewPage"));
    // Every pixel comes from the bitmap: nothing behind it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewPage::setImage(const QImage& image) {
    image_ = image;
    resize(image_.size());
    update();
}

void PreviewPage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, Qt::white);
    painter.drawImage(area.topLeft(), image_, area);
}

PreviewScrollArea::PreviewScrollArea(QWidget* parent)
    : QScrollArea(parent), page_(new PreviewPage) {
    setObjectName(QStringLiteral("PreviewScrollBox"));
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundRole(QPalette::Dark);
    setWidget(page_);
}

QSize PreviewScrollArea::clientSize() const {
    return size() - QSize(2 * frameWidth(), 2 * frameWidth());
}

int PreviewScrollArea::verticalScrollBarWidth() const {
    return verticalScrollBar()->sizeHint().width();
}

int PreviewScrollArea::horizontalScrollBarHeight() const {
    return horizontalScrollBar()->sizeHint().height();
}

QPoint PreviewScrollArea::scrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void PreviewScrollArea::setScrollPosition(QPoint position) {
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
}

void PreviewScrollArea::showBitmap(const QImage& bitmap) {
    page_->setImage(bitmap);
}

} // namespace reports
