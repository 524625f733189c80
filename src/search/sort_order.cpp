#include "search/sort_order.h"

#include <QString>

#include <exception>
#include <stdexcept>

namespace search {

namespace {

// Builds the tag for `expression`, or shows the records in physical order when it is empty
// (the tag itself is then left as it was).
void applyExpression(table::Table& handle, const std::string& expression) {
    if (expression.empty())
        handle.selectTag("");
    else
        db::installIndex(handle, expression);
}

void reopenShared(SortOrderContext& context) {
    try {
        context.table.close();
        context.table.setOpenMode(table::OpenMode::Shared);
        context.table.open();
    } catch (const std::exception& error) {
        context.messages.error(error.what());
    }
    if (context.applyViewerOptions)
        context.applyViewerOptions();
}

// Puts the old order back after a failed change; the index may already have been rebuilt.
void restoreOldOrder(SortOrderContext& context, const db::SortLevels& oldLevels,
                     const std::string& oldExpression) {
    context.sortLevels = oldLevels;
    context.sortExpression = oldExpression;
    if (!context.table.isOpen() || context.table.openMode() != table::OpenMode::Exclusive)
        return;
    try {
        applyExpression(context.table, oldExpression);
    } catch (const std::exception&) {
        // The order stays as the failed change left it; the tag is rebuilt at the next open.
    }
}

} // namespace

SortOrderOutcome putSortOrderInPlace(SortOrderContext& context, const db::SortLevels& chosen) {
    context.table.close();
    if (db::isInUse(QString::fromStdString(context.table.dbfPath()))) {
        context.messages.error(kSortOrderInUseMessage);
        reopenShared(context);
        return SortOrderOutcome::InUse;
    }
    const db::SortLevels oldLevels = context.sortLevels;
    const std::string oldExpression = context.sortExpression;
    SortOrderOutcome outcome = SortOrderOutcome::Applied;
    try {
        context.table.setOpenMode(table::OpenMode::Exclusive);
        context.table.open();
        const std::string expression = db::buildSortExpression(chosen);
        applyExpression(context.table, expression);
        context.sortLevels = chosen;
        context.sortExpression = expression;
        if (context.saveSettings && !context.saveSettings())
            throw std::runtime_error("settings not written");
    } catch (const std::exception&) {
        context.messages.error(kSortOrderFailedMessage);
        restoreOldOrder(context, oldLevels, oldExpression);
        outcome = SortOrderOutcome::Failed;
    }
    reopenShared(context);
    return outcome;
}

} // namespace search
