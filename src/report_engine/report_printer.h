#pragma once

// The printer engine: draws each page of a run straight onto the printer (a QPrinter on the
// chosen CUPS queue, or Qt's PDF output).

#include "report_engine/canvas_report.h"

#include <memory>

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
    bool fullPageBefore_ = false;
};

} // namespace report_engine
