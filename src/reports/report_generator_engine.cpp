#include "reports/report_generator.h"

#include "report_engine/report_filer.h"
#include "report_engine/report_printer.h"

#include <limits>

namespace reports {

std::unique_ptr<report_engine::TBaseReport> createReportEngine(OutputMode mode,
                                                               report_engine::PrintDevice* printer,
                                                               QIODevice* pageStore,
                                                               bool landscape) {
    std::unique_ptr<report_engine::TBaseReport> engine;
    if (mode == OutputMode::Printer) {
        engine = std::make_unique<report_engine::TReportPrinter>();
    } else {
        auto filer = std::make_unique<report_engine::TReportFiler>();
        if (pageStore != nullptr)
            filer->SetStream(pageStore);
        else
            filer->SetStreamMode(report_engine::StreamMode::smMemory);
        engine = std::move(filer);
    }
    engine->SetPrinter(printer);
    // The engine outputs pages 1 to 9999 unless told otherwise; a report over a big collection
    // runs past that, and every page of it is printed, stored and previewed.
    engine->SetLastPage(std::numeric_limits<int>::max());
    engine->Title = QStringLiteral("Test Report");
    engine->SetMarginLeft(0.5);
    engine->SetMarginRight(0.5);
    engine->SetMarginTop(0.5);
    engine->SetMarginBottom(0.5);
    engine->SetOrientation(landscape ? report_engine::Orientation::poLandScape
                                     : report_engine::Orientation::poPortrait);
    return engine;
}

} // namespace reports
