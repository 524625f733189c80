#include "report_engine/pdf_file_device.h"

#include <QLocale>

namespace report_engine {

PdfFileDevice::PdfFileDevice(const QString& path, const QPageSize& paper)
    : path_(path), layout_(paper, QPageLayout::Portrait, QMarginsF()) {}

PdfFileDevice::~PdfFileDevice() = default;

void PdfFileDevice::setPageLayout(const QPageLayout& layout) {
    const QPageLayout::Mode mode = layout_.mode();
    layout_ = layout;
    layout_.setMode(mode);
    if (writer_)
        writer_->setPageLayout(layout_);
}

void PdfFileDevice::setFullPage(bool fullPage) {
    layout_.setMode(fullPage ? QPageLayout::FullPageMode : QPageLayout::StandardMode);
    if (writer_)
        writer_->setPageLayout(layout_);
}

QPagedPaintDevice& PdfFileDevice::startJob() {
    // A new writer for every job: QPdfWriter writes its file when the painter ends and cannot
    // be reused for a second document.
    writer_ = std::make_unique<QPdfWriter>(path_);
    writer_->setResolution(1200);
    writer_->setPageLayout(layout_);
    writer_->setTitle(docName_);
    writer_->setCreator(QStringLiteral("Volumara Books"));
    return *writer_;
}

bool PdfFileDevice::newPage() {
    return writer_ && writer_->newPage();
}

QString PdfFileDevice::finishJob(bool) {
    writer_.reset(); // closes the file
    return {};
}

QPageSize localePaper() {
    return QPageSize(QLocale::system().measurementSystem() == QLocale::MetricSystem
                         ? QPageSize::A4
                         : QPageSize::Letter);
}

QString jobStartError(const PrintDevice& device) {
    if (device.kind() == PrintDevice::Kind::PdfFile)
        return QStringLiteral("The file \"%1\" could not be written.").arg(device.name());
    return QStringLiteral("The print job could not be started on the printer \"%1\".")
        .arg(device.name());
}

} // namespace report_engine
