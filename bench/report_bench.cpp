// Benchmark of report generation on a book table (for example one from table_bench --generate).
//
//   report_bench BOOKS.DBF [OP]
//
// Runs the Short Narrow Report and the Full Report over the whole table, grouped by the
// table's own index tag NewIndex (Author for generated tables), once to a text file and once
// into a page store in memory. One JSON line per run on standard output:
//   {"op": "text_full", "records": N, "pages": P, "seconds": S, "cpu_seconds": C}
// store runs add "bytes" (the size of the page store) and "bytes_per_page". The first_page
// runs make page 1 alone, as the layout window's miniature does after each change.

#include "db/book_database.h"
#include "report_engine/report_filer.h"
#include "reports/report_builtins.h"
#include "reports/report_generator.h"
#include "reports/report_generator_first_page.h"
#include "settings/settings.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <sys/resource.h>
#include <utility>

namespace {

struct Run {
    int pages = 0;
    qint64 bytes = 0;
    double seconds = 0;
    double cpuSeconds = 0;
};

// User plus system time of the process so far.
double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Run runOnce(const reports::ReportDefinition& definition, table::Table& books,
            const reports::ReportContext& context, reports::OutputMode mode,
            const QString& textPath) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    reports::ReportGenerator generator(definition, books, context, mode, textPath);
    auto engine = reports::createReportEngine(mode, nullptr, nullptr, definition.landscape);
    generator.attach(*engine);
    engine->Execute();
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = cpuSeconds() - cpuStart;
    run.pages = engine->CurrentPage();
    if (mode == reports::OutputMode::Preview)
        run.bytes = static_cast<report_engine::TReportFiler&>(*engine).MemoryStore().size();
    return run;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: report_bench BOOKS.DBF [OP]\n");
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
            if (argc == 3 && std::strcmp(argv[2], op.name) != 0)
                continue;
            const Run run = runOnce(builtIns[op.report], books, context, op.mode, textPath);
            if (op.mode == reports::OutputMode::Preview)
                std::printf("{\"op\": \"%s\", \"records\": %u, \"pages\": %d, \"seconds\": %.3f, "
                            "\"cpu_seconds\": %.3f, \"bytes\": %lld, \"bytes_per_page\": %.0f}\n",
                            op.name, records, run.pages, run.seconds, run.cpuSeconds,
                            static_cast<long long>(run.bytes),
                            run.pages > 0 ? static_cast<double>(run.bytes) / run.pages : 0.0);
            else
                std::printf("{\"op\": \"%s\", \"records\": %u, \"pages\": %d, \"seconds\": %.3f, "
                            "\"cpu_seconds\": %.3f}\n",
                            op.name, records, run.pages, run.seconds, run.cpuSeconds);
            std::fflush(stdout);
        }
        for (const auto& [name, report] : {std::pair{"first_page_short_narrow", size_t{0}},
                                           std::pair{"first_page_full", size_t{3}}}) {
            if (argc == 3 && std::strcmp(argv[2], name) != 0)
                continue;
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = cpuSeconds();
            const reports::FirstPage page =
                reports::runFirstPage(builtIns[report], books, context, nullptr);
            if (!page.error.isEmpty())
                throw std::runtime_error(page.error.toStdString());
            std::printf(
                "{\"op\": \"%s\", \"records\": %u, \"pages\": 1, \"seconds\": %.3f, "
                "\"cpu_seconds\": %.3f, \"bytes\": %lld}\n",
                name, records,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                cpuSeconds() - cpuStart, static_cast<long long>(page.pageStore.size()));
            std::fflush(stdout);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "report_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
