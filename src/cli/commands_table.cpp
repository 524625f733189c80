// The subcommands on one book table as a whole: info, check, new, pack and reindex.

#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "db/book_database.h"
#include "db/field_catalogue.h"
#include "db/table_maintenance.h"
#include "table/table_check.h"

#include <QFileInfo>

#include <cstdio>

namespace cli {

namespace {

bool hasBookLayout(const table::Table& handle) {
    const auto& catalogue = db::fieldCatalogue();
    if (handle.fieldCount() != db::kFieldCount)
        return false;
    for (int i = 0; i < db::kFieldCount; ++i)
        if (!db::sameFieldName(handle.fieldDescriptor(i).name, catalogue[size_t(i)].name))
            return false;
    return true;
}

void pointAt(table::Table& handle, const std::string& path) {
    const auto slash = path.rfind('/');
    handle.setDirectory(slash == std::string::npos ? "." : path.substr(0, slash));
    handle.setTableName(path.substr(slash == std::string::npos ? 0 : slash + 1));
}

// Runs pack or rebuild on a table opened as File > Open, with the command's question answered.
int runMaintenance(const Words& words, db::MaintenanceResult (*work)(db::MaintenanceContext&),
                   const char* label) {
    const Arguments arguments(words, withCommonOptions({}), 1, 1);
    const Session session = startSession(arguments);
    ConsoleMessages messages(true);
    BookTable book;
    if (!book.open(arguments.positional(0), session, messages))
        return 1;
    ProgressBar bar(label, session.quiet);
    db::MaintenanceContext context{book.table(), messages, [] {},
                                   [&bar](const db::EngineWork& engineWork) {
                                       engineWork([&bar](double done) { bar.update(done); });
                                   }};
    const db::MaintenanceResult result = work(context);
    return result == db::MaintenanceResult::Done && !messages.errorShown() ? 0 : 1;
}

} // namespace

int runInfo(const Words& words) {
    const Arguments arguments(words, withCommonOptions({}), 1, 1);
    startSession(arguments);
    table::Table handle;
    pointAt(handle, arguments.positional(0));
    handle.setOpenMode(table::OpenMode::ReadOnly);
    handle.open();
    const uint32_t live = handle.recordCount();
    JsonWriter json;
    json.beginObject();
    json.key("path").string(
        QFileInfo(QString::fromStdString(handle.dbfPath())).absoluteFilePath().toStdString());
    json.key("records").number(live);
    json.key("deleted").number(handle.header().recordCount - live);
    json.key("book_table").boolean(hasBookLayout(handle));
    json.key("fields").beginArray();
    for (int i = 0; i < handle.fieldCount(); ++i) {
        const table::FieldDescriptor& field = handle.fieldDescriptor(i);
        json.beginObject();
        json.key("name").string(field.name);
        json.key("type").string(std::string(1, field.type));
        json.key("length").number(field.length);
        json.key("decimals").number(field.decimals);
        json.endObject();
    }
    json.endArray();
    json.key("tags").beginArray();
    for (const table::TagInfo& tag : handle.tags()) {
        json.beginObject();
        json.key("name").string(tag.name);
        json.key("expression").string(tag.expression);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    std::printf("%s\n", json.text().c_str());
    return 0;
}

int runCheck(const Words& words) {
    const Arguments arguments(words, withCommonOptions({{"repair", false}}), 1, 1);
    const Session session = startSession(arguments);
    const std::string& path = arguments.positional(0);
    table::CheckReport report;
    {
        ProgressBar bar("Checking", session.quiet);
        report = table::checkTable(path, [&bar](double done) { bar.update(done); });
    }
    for (const table::CheckProblem& problem : report.problems)
        std::printf("%s\n", problem.text.c_str());
    for (const std::string& note : report.notes)
        std::printf("note: %s\n", note.c_str());
    if (report.ok()) {
        if (!session.quiet)
            std::printf("%u records, %u deleted, %zu index tags: no problems found\n",
                        report.completeRecords, report.deletedRecords, report.tags.size());
        return 0;
    }
    if (!arguments.has("repair"))
        return 1;
    std::vector<std::string> done;
    {
        ProgressBar bar("Repairing", session.quiet);
        done = table::repairTable(path, [&bar](double fraction) { bar.update(fraction); });
    }
    for (const std::string& line : done)
        std::printf("repaired: %s\n", line.c_str());
    const table::CheckReport after = table::checkTable(path);
    for (const table::CheckProblem& problem : after.problems)
        std::printf("still wrong: %s\n", problem.text.c_str());
    return after.ok() ? 0 : 1;
}

int runNew(const Words& words) {
    const Arguments arguments(words, withCommonOptions({}), 1, 1);
    const Session session = startSession(arguments);
    ConsoleMessages messages;
    table::Table handle;
    QString current;
    db::DatabaseContext context{
        handle,   current, db::buildSortExpression(session.settings.sortLevels),
        messages, [] {},   [](const QString&) {},
        [] {}};
    const db::OpenResult result = db::newDatabase(context, qPath(arguments.positional(0)));
    return result.opened() && !messages.errorShown() ? 0 : 1;
}

int runPack(const Words& words) {
    return runMaintenance(words, db::packDatabase, "Packing");
}

int runReindex(const Words& words) {
    return runMaintenance(words, db::rebuildIndexes, "Rebuilding");
}

} // namespace cli
