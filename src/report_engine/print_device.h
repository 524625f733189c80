#pragma once

// Where a printed report goes: a printer queue or a PDF file. The engine draws through this
// interface only, so that it needs no more than Qt GUI; the windows hand it their QPrinter
// through an adapter, the command-line program a PDF writer or a CUPS queue of its own.

#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;

namespace report_engine {

class PrintDevice {
public:
    enum class Kind { Queue, PdfFile };

    virtual ~PrintDevice() = default;

    virtual Kind kind() const = 0;
    // The queue's name, or the PDF file's path.
    virtual QString name() const = 0;
    // The printer's make and model as the queue reports it; empty when unknown.
    virtual QString model() const { return {}; }

    virtual QPageLayout pageLayout() const = 0;
    virtual void setPageLayout(const QPageLayout& layout) = 0;
    // Whether positions count from the paper's edges rather than from the printable area.
    virtual bool fullPage() const = 0;
    virtual void setFullPage(bool fullPage) = 0;
    virtual QString docName() const = 0;
    virtual void setDocName(const QString& name) = 0;
    virtual int copyCount() const = 0;
    virtual void setCopyCount(int copies) = 0;

    // Starts a job: the device it paints on with QPainter::begin, with the settings of now;
    // newPage ends a page of that job.
    virtual QPagedPaintDevice& startJob() = 0;
    virtual bool newPage() = 0;
    // Drops the job painted so far where the device can (called before the painter ends).
    virtual void abort() = 0;
    // Called after the painter of a job has ended: hands the job over where that is a step of
    // its own (not when it was aborted). Answers the reason when it could not, empty when done.
    virtual QString finishJob(bool aborted) {
        (void)aborted;
        return {};
    }

    void setPageOrientation(QPageLayout::Orientation orientation) {
        QPageLayout layout = pageLayout();
        layout.setOrientation(orientation);
        setPageLayout(layout);
    }
};

// The message for a print job that the printer (or the PDF file) would not start.
QString jobStartError(const PrintDevice& device);

} // namespace report_engine
