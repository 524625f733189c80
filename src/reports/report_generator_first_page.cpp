#include "reports/report_generator_first_page.h"

#include "report_engine/report_types.h"

#include <QBuffer>

#include <exception>

namespace reports {

FirstPage runFirstPage(const ReportDefinition& definition, table::Table& table,
                       const ReportContext& context, report_engine::PrintDevice* printer) {
    FirstPage page;
    if (!table.isOpen()) {
        page.error = QStringLiteral("No book table is open.");
        return page;
    }
    QBuffer store;
    store.open(QIODevice::ReadWrite);
    ReportGenerator generator(definition, table, context, OutputMode::Preview);
    generator.setLastPage(1);
    auto engine = createReportEngine(OutputMode::Preview, printer, &store, definition.landscape);
    engine->ShowError = [&page](const QString& message) { page.error = message; };
    generator.attach(*engine);
    try {
        engine->Execute();
    } catch (const ReportError& error) {
        page.error = error.message();
    } catch (const report_engine::EReportPrinter& error) {
        page.error = error.message();
    } catch (const std::exception& error) {
        page.error = QString::fromStdString(error.what());
    }
    if (page.error.isEmpty())
        page.pageStore = store.data();
    return page;
}

} // namespace reports
