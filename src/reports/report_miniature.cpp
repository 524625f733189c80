#include "reports/report_miniature.h"

#include "reports/preview_scroll_box.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <utility>

namespace reports {

namespace {

constexpr double kMarginPercent = 1.0;
// Below this height the page box would show a sliver of blank paper.
constexpr int kLeastPageHeight = 48;

} // namespace

ReportMiniature::ReportMiniature(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ReportMiniature"));
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("MiniatureCaption"));
    caption_->setWordWrap(true);
    box_ = new PreviewScrollArea(this);
    // The page always fits the width; its height scrolls.
    box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(caption_);
    layout->addWidget(box_, 1);

    preview_.SetScrollBox(box_);
    preview_.SetMarginMethod(report_engine::MarginMethod::mmFixed);
    preview_.MarginPercent = kMarginPercent;
    timer_.setSingleShot(true);
    timer_.setInterval(kSettleMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &ReportMiniature::refreshNow);
}

ReportMiniature::~ReportMiniature() {
    preview_.Stop();
}

QString ReportMiniature::caption() const {
    return caption_->text();
}

bool ReportMiniature::pageShown() const {
    return !box_->isHidden();
}

void ReportMiniature::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int pageHeight = height() - caption_->sizeHint().height() - layout()->spacing();
    box_->setHidden(pageHeight < kLeastPageHeight);
    showCaption();
}

void ReportMiniature::showCaption() {
    if (!error_.isEmpty())
        caption_->setText(error_);
    else if (box_->isHidden())
        caption_->setText(
            QStringLiteral("Page 1 is not shown: the report's lines fill the window."));
    else
        caption_->setText(QStringLiteral("Page 1 as it will print"));
}

void ReportMiniature::scheduleRefresh() {
    timer_.start();
}

void ReportMiniature::refreshNow() {
    timer_.stop();
    if (!source_)
        return;
    // The engine lets events be handled while it runs: a change arriving then is run after.
    if (running_) {
        runAgain_ = true;
        return;
    }
    running_ = true;
    FirstPage page = source_();
    running_ = false;
    ++runs_;
    preview_.Stop();
    store_.close();
    store_.setData(page.pageStore);
    store_.open(QIODevice::ReadOnly);
    error_ = page.error;
    if (error_.isEmpty())
        showPage();
    else
        box_->showBitmap(QImage());
    showCaption();
    if (std::exchange(runAgain_, false))
        scheduleRefresh();
}

void ReportMiniature::showPage() {
    try {
        preview_.SetStream(&store_);
        preview_.Start();
        fitToWidth();
    } catch (const report_engine::EReportPrinter& error) {
        preview_.Stop();
        error_ = error.message();
        box_->showBitmap(QImage());
    }
}

void ReportMiniature::fitToWidth() {
    if (!preview_.Started())
        return;
    const double page = preview_.PagePixels().width();
    const int room = box_->viewport()->width() - 2 * preview_.MarginPixels() - 1;
    if (page > 0 && room > 0)
        preview_.SetZoomFactor(100.0 * room / page);
}

bool ReportMiniature::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::Resize)
        fitToWidth();
    return QWidget::eventFilter(watched, event);
}

} // namespace reports
