#pragma once

// The printer engine: draws each page of a run straight onto the printer (a CUPS queue or a
// PDF file, through PrintDevice).

#include "report_engine/canvas_report.h"

#include <memory>

class QPagedPaintDevice;
class QPainter;

namespace report_engine {

class TReportPrinter : public TCanvasReport {
public:
    TReportPrinter();
    ~TReportPrinter() override;

protected:
    bool CanStart() override;
    void OpenOutput() override;
    void BeginOutputPage(bool first) override;
    void CloseOutput(bool aborted) override;

private:
    std::unique_ptr<QPainter> painter_;
    QPagedPaintDevice* device_ = nullptr; // of the job running, owned by the printer
    bool fullPageBefore_ = false;
};

} // namespace report_engine
