#pragma once

// A PDF file as the printer, through Qt GUI's PDF writer (no print support library needed).

#include "report_engine/print_device.h"

#include <QPdfWriter>

#include <memory>

namespace report_engine {

class PdfFileDevice : public PrintDevice {
public:
    // `paper` is the page size the reports are laid out on until a job sets its own.
    PdfFileDevice(const QString& path, const QPageSize& paper);
    ~PdfFileDevice() override;

    Kind kind() const override { return Kind::PdfFile; }
    QString name() const override { return path_; }
    void setPath(const QString& path) { path_ = path; } // for the next job
    QPageLayout pageLayout() const override { return layout_; }
    void setPageLayout(const QPageLayout& layout) override;
    bool fullPage() const override { return layout_.mode() == QPageLayout::FullPageMode; }
    void setFullPage(bool fullPage) override;
    QString docName() const override { return docName_; }
    void setDocName(const QString& name) override { docName_ = name; }
    int copyCount() const override { return 1; } // a file holds one copy
    void setCopyCount(int) override {}

    QPagedPaintDevice& startJob() override;
    bool newPage() override;
    // A PDF file keeps the pages painted before an abort, like a cancelled text file.
    void abort() override {}
    QString finishJob(bool aborted) override;

private:
    QString path_;
    QPageLayout layout_;
    QString docName_;
    std::unique_ptr<QPdfWriter> writer_; // made when a job starts, with the settings of then
};

// The page size a new job uses when nothing says otherwise: Letter where the locale measures
// in inches, A4 elsewhere.
QPageSize localePaper();

} // namespace report_engine
