#include "reports/report_miniature.h"

#include "reports/preview_scroll_box.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <utility>

namespace reports {

namespace {

constexpr double kMarginPercent = 1.0;

} // namespace

ReportMiniature::ReportMiniature(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ReportMiniature"));
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("MiniatureCaption"));
    caption_->setWordWrap(true);
    box_ = new PreviewScrollArea(this);
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
    if (page.error.isEmpty()) {
        caption_->setText(QStringLiteral("Page 1 as it will print"));
        showPage();
    } else {
        caption_->setText(page.error);
        box_->showBitmap(QImage());
    }
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
        caption_->setText(error.message());
        box_->showBitmap(QImage());
    }
}

void ReportMiniature::fitToWidth() {
    if (preview_.Started())
        preview_.SetZoomFactor(preview_.ZoomPageWidthFactor());
}

bool ReportMiniature::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::Resize)
        fitToWidth();
    return QWidget::eventFilter(watched, event);
}

} // namespace reports
