#include "report_engine/report_printer.h"

#include "report_engine/print_device.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace report_engine {

TReportPrinter::TReportPrinter() = default;

TReportPrinter::~TReportPrinter() {
    if (painter_ && painter_->isActive())
        painter_->end();
}

bool TReportPrinter::CanStart() {
    if (Printer() != nullptr)
        return true;
    if (ShowError)
        ShowError(QString::fromLatin1(messages::kNoPrinters));
    return false;
}

void TReportPrinter::OpenOutput() {
    PrintDevice& printer = *Printer();
    printer.setDocName(Title);
    printer.setCopyCount(Copies());
    if (GetOrientation() == Orientation::poLandScape)
        printer.setPageOrientation(QPageLayout::Landscape);
    else if (GetOrientation() == Orientation::poPortrait)
        printer.setPageOrientation(QPageLayout::Portrait);
    // Positions are measured from the paper's edges, not from the printable area; the printer
    // gets its own setting back when the job ends.
    fullPageBefore_ = printer.fullPage();
    printer.setFullPage(true);
    painter_.reset();
}

void TReportPrinter::BeginOutputPage(bool first) {
    PrintDevice& printer = *Printer();
    if (first) {
        // The job starts with the first page that is output, so that a range outside the
        // report sends nothing to the queue.
        painter_ = std::make_unique<QPainter>();
        device_ = &printer.startJob();
        if (!painter_->begin(device_)) {
            painter_.reset();
            throw EReportPrinter(jobStartError(printer));
        }
    } else if (!printer.newPage()) {
        throw EReportPrinter(
            QStringLiteral("The printer \"%1\" refused a new page.").arg(printer.name()));
    }
    painter_->resetTransform();
    painter_->scale(ScaleX() / 100.0, ScaleY() / 100.0);
    painter_->setRenderHint(QPainter::Antialiasing, true);
    SetCanvas(painter_.get(), device_->logicalDpiX(), device_->logicalDpiY());
}

void TReportPrinter::CloseOutput(bool aborted) {
    SetCanvas(nullptr, 96, 96);
    QString failure;
    if (painter_) {
        if (aborted)
            Printer()->abort();
        if (painter_->isActive())
            painter_->end();
        painter_.reset();
        device_ = nullptr;
        failure = Printer()->finishJob(aborted);
    }
    Printer()->setFullPage(fullPageBefore_);
    if (!failure.isEmpty())
        throw EReportPrinter(failure);
}

} // namespace report_engine
