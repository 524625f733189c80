#include "db/table_maintenance.h"

#include "db/book_database.h"

#include <exception>
#include <optional>
#include <string>

namespace db {

namespace {

using Work = void (*)(table::Table&, const std::string& sortExpression, const table::Progress&);

struct Operation {
    const char* question;
    const char* needsExclusiveMessage;
    const char* failedSentence; // first sentence of the message for other failures
    Work work;
};

// An index that could not be read is replaced by a new one, which holds our tag again.
void putIndexRight(table::Table& exclusive, const std::string& sortExpression) {
    const bool damaged = !exclusive.indexProblem().empty();
    if (damaged)
        exclusive.regenerateIndexes();
    if (damaged && !sortExpression.empty())
        exclusive.addTag(kIndexTag, sortExpression);
}

void pack(table::Table& exclusive, const std::string& sortExpression,
          const table::Progress& progress) {
    exclusive.pack(progress);
    putIndexRight(exclusive, sortExpression);
}

void rebuild(table::Table& exclusive, const std::string& sortExpression,
             const table::Progress& progress) {
    if (exclusive.indexProblem().empty())
        exclusive.regenerateIndexes(progress);
    else
        putIndexRight(exclusive, sortExpression);
}

const Operation kPack{kPackQuestion, kPackNeedsExclusiveMessage, "Unable to pack table.", &pack};
const Operation kRebuild{kRebuildQuestion, kReindexNeedsExclusiveMessage,
                         "Unable to reindex table.", &rebuild};

struct Failure {
    bool exclusiveOpenFailed = true;
    std::string reason;
};

// Opens a second handle on the same file exclusively and runs the operation on it.
std::optional<Failure> runOnExclusiveHandle(MaintenanceContext& context, const Operation& op) {
    const std::string directory = context.table.directory();
    const std::string name = context.table.tableName();
    bool opened = false;
    EngineWork work = [&](const table::Progress& progress) {
        table::Table exclusive;
        exclusive.setDirectory(directory);
        exclusive.setTableName(name);
        exclusive.setOpenMode(table::OpenMode::Exclusive);
        exclusive.open();
        opened = true;
        op.work(exclusive, context.sortExpression, progress);
        exclusive.close();
    };
    try {
        if (context.runWork)
            context.runWork(work);
        else
            work({});
    } catch (const std::exception& error) {
        // Only another holder of the file is told as such; a file that could not be opened for
        // another reason is told as the engine reported it.
        return Failure{!opened && table::Table::inUse(context.table.dbfPath()), error.what()};
    }
    return std::nullopt;
}

// Opens the grid's handle shared again; the engine's message when even that fails.
std::optional<std::string> reopenShared(MaintenanceContext& context, const std::string& tag) {
    context.table.setOpenMode(table::OpenMode::Shared);
    context.table.selectTag(tag);
    try {
        context.table.open();
    } catch (const std::exception& error) {
        return std::string(error.what());
    }
    if (context.applyViewerOptions)
        context.applyViewerOptions();
    return std::nullopt;
}

MaintenanceResult run(MaintenanceContext& context, const Operation& op) {
    if (context.messages.show("Confirm", op.question, MessageIcon::Question, MessageButtons::YesNo,
                              MessageAnswer::No) != MessageAnswer::Yes)
        return MaintenanceResult::Cancelled;

    // A table that lost its index shows no tag now; the work gives it back.
    std::string tag = context.table.selectedTag();
    if (tag.empty() && !context.table.indexProblem().empty() && !context.sortExpression.empty())
        tag = kIndexTag;
    context.table.close();
    std::optional<Failure> failure = runOnExclusiveHandle(context, op);
    std::optional<std::string> reopenFailure = reopenShared(context, tag);

    if (failure) {
        context.messages.beep(BeepKind::Warning);
        // Only a refused exclusive open is about other users; anything else (a full disk, a
        // damaged file) is told as the engine reported it rather than blamed on other users.
        context.messages.error(failure->exclusiveOpenFailed
                                   ? std::string(op.needsExclusiveMessage)
                                   : std::string(op.failedSentence) + "  " + failure->reason);
    }
    if (reopenFailure) {
        if (!failure)
            context.messages.beep(BeepKind::Warning);
        context.messages.error(*reopenFailure);
    }
    return failure || reopenFailure ? MaintenanceResult::Failed : MaintenanceResult::Done;
}

} // namespace

MaintenanceResult packDatabase(MaintenanceContext& context) {
    return run(context, kPack);
}

MaintenanceResult rebuildIndexes(MaintenanceContext& context) {
    return run(context, kRebuild);
}

} // namespace db
