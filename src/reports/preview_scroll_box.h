#pragma once

// The preview's client scroll box: shows the page bitmap that the file preview draws and
// scrolls it by moving the bitmap's widget, so that scrolling repaints only what comes into
// view.

#include "report_engine/file_preview.h"

#include <QImage>
#include <QScrollArea>

namespace reports {

// The page bitmap as a widget of its own size.
class PreviewPage : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPage(QWidget* parent = nullptr);
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

class PreviewScrollArea : public QScrollArea, public report_engine::PreviewScrollBox {
    Q_OBJECT
public:
    explicit PreviewScrollArea(QWidget* parent = nullptr);

    QSize outerSize() const override { return size(); }
    int frameThickness() const override { return frameWidth(); }
    QSize clientSize() const override;
    int verticalScrollBarWidth() const override;
    int horizontalScrollBarHeight() const override;
    double dotsPerInch() const override { return logicalDpiX(); }
    QPoint scrollPosition() const override;
    void setScrollPosition(QPoint position) override;
    void showBitmap(const QImage& bitmap) override;

    PreviewPage* page() const { return page_; }

private:
    PreviewPage* page_;
};

} // namespace reports
