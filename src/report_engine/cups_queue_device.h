#pragma once

// A CUPS queue as the printer without Qt's print support: the job is painted into a PDF file
// of its own and handed to the queue when it is complete, with the copies asked for.

#include "report_engine/pdf_file_device.h"

#include <QStringList>
#include <QTemporaryFile>

#include <memory>

namespace report_engine {

class CupsQueueDevice : public PrintDevice {
public:
    // The queue must exist (see cupsQueueNames); its make and model and default paper are
    // read from CUPS here.
    explicit CupsQueueDevice(const QString& queue);
    ~CupsQueueDevice() override;

    Kind kind() const override { return Kind::Queue; }
    QString name() const override { return queue_; }
    QString model() const override { return model_; }
    QPageLayout pageLayout() const override { return pdf_.pageLayout(); }
    void setPageLayout(const QPageLayout& layout) override { pdf_.setPageLayout(layout); }
    bool fullPage() const override { return pdf_.fullPage(); }
    void setFullPage(bool fullPage) override { pdf_.setFullPage(fullPage); }
    QString docName() const override { return pdf_.docName(); }
    void setDocName(const QString& name) override { pdf_.setDocName(name); }
    int copyCount() const override { return copies_; }
    void setCopyCount(int copies) override { copies_ = copies < 1 ? 1 : copies; }

    QPagedPaintDevice& startJob() override;
    bool newPage() override { return pdf_.newPage(); }
    void abort() override { aborted_ = true; }
    QString finishJob(bool aborted) override;

    // The number CUPS gave the last job handed over; 0 before any.
    int lastJobId() const { return lastJobId_; }

private:
    QString queue_;
    QString model_;
    PdfFileDevice pdf_; // the job, written to the spool file
    int copies_ = 1;
    bool aborted_ = false;
    int lastJobId_ = 0;
    std::unique_ptr<QTemporaryFile> spool_;
};

// The queues CUPS offers, and its default queue (empty when it has none).
QStringList cupsQueueNames();
QString cupsDefaultQueue();

} // namespace report_engine
