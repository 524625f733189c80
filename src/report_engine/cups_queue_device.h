#pragma once

// A CUPS queue as the printer without Qt's print support: the job is painted into a PDF file
// of its own and handed to the queue when it is complete, with the copies asked for.

#include "report_engine/print_device.h"

#include <QPdfWriter>
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
    QPageLayout pageLayout() const override { return layout_; }
    void setPageLayout(const QPageLayout& layout) override;
    bool fullPage() const override { return layout_.mode() == QPageLayout::FullPageMode; }
    void setFullPage(bool fullPage) override;
    QString docName() const override { return docName_; }
    void setDocName(const QString& name) override { docName_ = name; }
    int copyCount() const override { return copies_; }
    void setCopyCount(int copies) override { copies_ = copies < 1 ? 1 : copies; }

    QPagedPaintDevice& startJob() override;
    bool newPage() override;
    void abort() override { aborted_ = true; }
    QString finishJob(bool aborted) override;

    // The number CUPS gave the last job handed over; 0 before any.
    int lastJobId() const { return lastJobId_; }

private:
    QString queue_;
    QString model_;
    QPageLayout layout_;
    QString docName_;
    int copies_ = 1;
    bool aborted_ = false;
    int lastJobId_ = 0;
    std::unique_ptr<QTemporaryFile> spool_;
    std::unique_ptr<QPdfWriter> writer_;
};

// The queues CUPS offers, and its default queue (empty when it has none).
QStringList cupsQueueNames();
QString cupsDefaultQueue();

} // namespace report_engine
