#include "support_report_books.h"

#include "db/book_database.h"
#include "db/text_file.h"
#include "report_engine/base_report.h"
#include "report_engine/page_store.h"
#include "settings/settings.h"
#include "support/scripted_messages.h"

#include <QBuffer>
#include <QFile>

#include <stdexcept>

namespace reporttest {

void openBookTable(table::Table& handle, const testsupport::TempDir& dir,
                   const std::vector<Book>& books, const db::SortLevels& levels) {
    const QString path = QString::fromStdString(dir.file("BOOKS.DBF"));
    testsupport::ScriptedMessages messages;
    if (!db::makeNewTable(path, messages))
        throw std::runtime_error("book table not created");
    handle.close();
    db::pointTableAt(handle, path);
    handle.setOpenMode(table::OpenMode::Exclusive);
    handle.open();
    for (const Book& book : books) {
        handle.append();
        for (const auto& [name, text] : book)
            handle.setText(handle.fieldIndexOrThrow(name), text);
        handle.post();
    }
    handle.close();
    db::installIndex(handle, db::buildSortExpression(levels));
    handle.setOpenMode(table::OpenMode::Shared);
    handle.selectTag(db::kIndexTag);
    handle.open();
}

reports::ReportContext testContext(const db::SortLevels& levels) {
    app::Settings settings;
    settings.sortLevels = levels;
    return reports::reportContextFrom(settings, QDate(2026, 3, 7));
}

TextRun runText(const reports::ReportDefinition& definition, table::Table& books,
                const reports::ReportContext& context, const testsupport::TempDir& dir) {
    const QString path = QString::fromStdString(dir.file("REPORT.TXT"));
    reports::ReportGenerator generator(definition, books, context, reports::OutputMode::TextFile,
                                       path);
    auto engine = reports::createReportEngine(reports::OutputMode::TextFile, nullptr, nullptr,
                                              definition.landscape);
    generator.attach(*engine);
    engine->Execute();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("no text file");
    const QByteArray bytes = file.readAll();
    TextRun run;
    run.text =
        db::fromCp1252(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (!run.text.endsWith(QStringLiteral("\r\n")) ||
        run.text.count(QLatin1Char('\n')) != run.text.count(QStringLiteral("\r\n")))
        throw std::runtime_error("lines do not end in CR LF");
    run.lines = run.text.split(QStringLiteral("\r\n"));
    run.lines.removeLast();
    QString page;
    for (const QString& line : run.lines) {
        page += line + QStringLiteral("\r\n");
        if (line.endsWith(QChar(12))) {
            run.pages.append(page);
            page.clear();
        }
    }
    if (!page.isEmpty())
        run.pages.append(page); // a page without its form feed: the tests see it
    return run;
}

int runToStore(const reports::ReportDefinition& definition, table::Table& books,
               const reports::ReportContext& context, QByteArray* store) {
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    reports::ReportGenerator generator(definition, books, context, reports::OutputMode::Preview);
    auto engine = reports::createReportEngine(reports::OutputMode::Preview, nullptr, &buffer,
                                              definition.landscape);
    generator.attach(*engine);
    engine->Execute();
    if (store)
        *store = buffer.data();
    return report_engine::PageStore::read(buffer.data()).pageCount();
}

} // namespace reporttest
