#pragma once

// The windows' printer (a QPrinter, set up by the print dialog, on a CUPS queue or Qt's PDF
// output) as the output engine's print device.

#include "report_engine/print_device.h"

class QPrinter;

namespace reports {

class QtPrinterDevice : public report_engine::PrintDevice {
public:
    explicit QtPrinterDevice(QPrinter& printer) : printer_(printer) {}

    Kind kind() const override;
    QString name() const override;
    QString model() const override;
    QPageLayout pageLayout() const override;
    void setPageLayout(const QPageLayout& layout) override;
    bool fullPage() const override;
    void setFullPage(bool fullPage) override;
    QString docName() const override;
    void setDocName(const QString& name) override;
    int copyCount() const override;
    void setCopyCount(int copies) override;
    QPagedPaintDevice& startJob() override;
    bool newPage() override;
    void abort() override;

private:
    QPrinter& printer_;
};

} // namespace reports
