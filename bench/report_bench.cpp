// Benchmark of report generation on a book table (for example one from table_bench --generate).
//
//   report_bench BOOKS.DBF
//
// Runs the Short Narrow Report and the Full Report over the whole table, grouped by the
// table's own index tag NewIndex (Author for generated tables), once to a text file and once
// into a page store in memory. One JSON line per run on standard output:
//   {"op": "text_full", "records": N, "pages": P, "seconds": S}
// store runs add "bytes" (the size of the page store) and "bytes_per_page".

#include "db/book_database.h"
#include "report_engine/report_filer.h"
#include "reports/report_builtins.h"
#include "reports/report_generator.h"
#include "settings/settings.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <exception>

namespace {

struct Run {
    int pages = 0;
    qint64 bytes = 0;
    double seconds = 0;
};

Run runOnce(const reports::ReportDefinition& definition, table::Table& books,
            const reports::ReportContext& context, reports::OutputMode mode,
            const QString& textPath) {
    const auto start = std::chrono::steady_clock::now();
    reports::ReportGenerator generator(definition, books, context, mode, textPath);
    auto engine = reports::createReportEngine(mode, nullptr, nullptr, definition.landscape);
    generator.attach(*engine);
    engine->Execute();
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.pages = engine->CurrentPage();
    if (mode == reports::OutputMode::Preview)
        run.bytes = static_cast<report_engine::TReportFiler&>(*engine).MemoryStore().size();
    return run;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: report_bench BOOKS.DBF\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv); // fonts are measured through Qt Gui
    try {
        table::Table books;
        db::pointTableAt(books, QString::fromLocal8Bit(argv[1]));
        books.setOpenMode(table::OpenMode::ReadOnly);
        books.selectTag(db::kIndexTag);
        books.open();
        const uint32_t records = books.recordCount();

        app::Settings settings;
        settings.sortLevels = {2, 0, 0, 0};
        const auto context = reports::reportContextFrom(settings, QDate(2026, 3, 7));
        QTemporaryDir scratch;
        const QString textPath = QDir(scratch.path()).filePath(QStringLiteral("REPORT.TXT"));
        const auto builtIns = reports::builtInReports();
        struct Op {
            const char* name;
            size_t report;
            reports::OutputMode mode;
        };
        for (const Op& op : {Op{"text_short_narrow", 0, reports::OutputMode::TextFile},
                             Op{"text_full", 3, reports::OutputMode::TextFile},
                             Op{"store_short_narrow", 0, reports::OutputMode::Preview},
                             Op{"store_full", 3, reports::OutputMode::Preview}}) {
            const Run run = runOnce(builtIns[op.report], books, context, op.mode, textPath);
            if (op.mode == reports::OutputMode::Preview)
                std::printf("{\"op\": \"%s\", \"records\": %u, \"pages\": %d, \"seconds\": %.3f, "
                            "\"bytes\": %lld, \"bytes_per_page\": %.0f}\n",
                            op.name, records, run.pages, run.seconds,
                            static_cast<long long>(run.bytes),
                            run.pages > 0 ? static_cast<double>(run.bytes) / run.pages : 0.0);
            else
                std::printf("{\"op\": \"%s\", \"records\": %u, \"pages\": %d, \"seconds\": %.3f}\n",
                            op.name, records, run.pages, run.seconds);
            std::fflush(stdout);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "report_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
