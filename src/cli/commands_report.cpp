// report: a report definition of VLMBOOK.URP run over a book table, through the report
// generator and output engine of the windows, to a text file, a PDF file or a printer queue.

#include "cli/cli_session.h"
#include "cli/commands.h"
#include "report_engine/cups_queue_device.h"
#include "report_engine/pdf_file_device.h"
#include "reports/report_file.h"
#include "reports/report_generator.h"

#include <QDate>

#include <cstdio>

namespace cli {

namespace {

// The definition named by --name (as the report list shows it, in any letter case) or by
// --number (its place in that list, from 1).
std::optional<reports::ReportDefinition> chosenDefinition(const Arguments& arguments,
                                                          const QString& programDirectory) {
    const reports::ReportFile file(reports::reportFilePath(programDirectory));
    const QStringList names = file.list();
    int index = -1;
    if (arguments.oneOf({"name", "number"}) == "name") {
        const QString wanted = QString::fromStdString(*arguments.value("name")).trimmed();
        for (qsizetype i = 0; i < names.size() && index < 0; ++i)
            if (names[i].trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
                index = static_cast<int>(i);
        if (index < 0) {
            std::fprintf(stderr, "No report is named \"%s\"; the reports are:\n",
                         wanted.toLocal8Bit().constData());
            for (const QString& name : names)
                std::fprintf(stderr, "  %s\n", name.toLocal8Bit().constData());
            return std::nullopt;
        }
    } else {
        bool isNumber = false;
        index = QString::fromStdString(*arguments.value("number")).toInt(&isNumber) - 1;
        if (!isNumber)
            throw UsageError("--number takes the report's place in the list, from 1");
        if (index < 0 || index >= names.size()) {
            std::fprintf(stderr, "There is no report number %d; the file holds %d.\n", index + 1,
                         static_cast<int>(names.size()));
            return std::nullopt;
        }
    }
    auto definition = file.load(index);
    if (!definition)
        std::fprintf(stderr, "%s\n", reports::kReportNotLocatedMessage);
    return definition;
}

// The queue of --print [QUEUE]: the one named, else CUPS's default, else the only one there
// is; null when none is installed (the engine then says so).
std::unique_ptr<report_engine::PrintDevice> chosenQueue(const std::optional<std::string>& queue) {
    const QStringList queues = report_engine::cupsQueueNames();
    QString name = queue ? QString::fromStdString(*queue) : QString();
    if (!name.isEmpty() && !queues.contains(name))
        throw UsageError("no printer queue is named " + *queue);
    if (name.isEmpty())
        name = report_engine::cupsDefaultQueue();
    if (name.isEmpty() && queues.size() == 1)
        name = queues.front();
    if (name.isEmpty()) {
        if (!queues.isEmpty())
            throw UsageError("CUPS has no default queue; name one after --print");
        return nullptr;
    }
    return std::make_unique<report_engine::CupsQueueDevice>(name);
}

} // namespace

int runReport(const Words& words) {
    const Arguments arguments(words,
                              withCommonOptions({{"name", true},
                                                 {"number", true},
                                                 {"text", true},
                                                 {"pdf", true},
                                                 {"print", true, true},
                                                 {"search", true}}),
                              1, 1);
    const std::string output = arguments.oneOf({"text", "pdf", "print"});
    const Session session = startSession(arguments);
    const auto definition = chosenDefinition(arguments, session.programDirectory);
    if (!definition)
        return 1;
    ConsoleMessages messages;
    BookTable book;
    if (!book.open(arguments.positional(0), session, messages) ||
        !book.applySearch(arguments.value("search"), session, messages))
        return 1;

    std::unique_ptr<report_engine::PrintDevice> printer;
    reports::OutputMode mode = reports::OutputMode::Printer;
    QString textFile;
    if (output == "text") {
        mode = reports::OutputMode::TextFile;
        textFile = qPath(*arguments.value("text"));
    } else if (output == "pdf") {
        printer = std::make_unique<report_engine::PdfFileDevice>(qPath(*arguments.value("pdf")),
                                                                 report_engine::localePaper());
    } else {
        printer = chosenQueue(arguments.value("print"));
    }
    reports::ReportGenerator generator(
        *definition, book.table(),
        reports::reportContextFrom(session.settings, QDate::currentDate()), mode, textFile);
    auto engine = reports::createReportEngine(mode, printer.get(), nullptr, definition->landscape);
    bool failed = false;
    engine->ShowError = [&failed](const QString& message) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        failed = true;
    };
    generator.attach(*engine);
    ProgressBar bar("Printing page", session.quiet);
    int pages = 0;
    engine->StatusLabel = [&bar, &pages](const QString&) { bar.showCount(uint32_t(++pages)); };
    engine->Execute();
    return failed || engine->Aborted() ? 1 : 0;
}

} // namespace cli
