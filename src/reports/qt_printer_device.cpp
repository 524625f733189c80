#include "reports/qt_printer_device.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace reports {

using Kind = report_engine::PrintDevice::Kind;

Kind QtPrinterDevice::kind() const {
    return printer_.outputFormat() == QPrinter::PdfFormat ? Kind::PdfFile : Kind::Queue;
}

QString QtPrinterDevice::name() const {
    return kind() == Kind::PdfFile ? printer_.outputFileName() : printer_.printerName();
}

QString QtPrinterDevice::model() const {
    return kind() == Kind::PdfFile ? QString() : QPrinterInfo(printer_).makeAndModel();
}

QPageLayout QtPrinterDevice::pageLayout() const {
    return printer_.pageLayout();
}

void QtPrinterDevice::setPageLayout(const QPageLayout& layout) {
    printer_.setPageLayout(layout);
}

bool QtPrinterDevice::fullPage() const {
    return printer_.fullPage();
}

void QtPrinterDevice::setFullPage(bool fullPage) {
    printer_.setFullPage(fullPage);
}

QString QtPrinterDevice::docName() const {
    return printer_.docName();
}

void QtPrinterDevice::setDocName(const QString& name) {
    printer_.setDocName(name);
}

int QtPrinterDevice::copyCount() const {
    return printer_.copyCount();
}

void QtPrinterDevice::setCopyCount(int copies) {
    printer_.setCopyCount(copies);
}

QPagedPaintDevice& QtPrinterDevice::startJob() {
    return printer_;
}

bool QtPrinterDevice::newPage() {
    return printer_.newPage();
}

void QtPrinterDevice::abort() {
    printer_.abort();
}

} // namespace reports
