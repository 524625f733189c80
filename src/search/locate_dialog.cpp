#include "search/locate_dialog.h"

#include "search/wait_cursor.h"

#include <QEventLoop>
#include <QThread>

#include <exception>
#include <memory>

namespace search {

TMyLocateDialog::TMyLocateDialog(QWidget* owner, widgets::Seams& seams,
                                 const app::Settings& settings, LocateHost& host)
    : owner_(owner), seams_(seams), appSettings_(settings), host_(host) {}

void TMyLocateDialog::information(const char* text) {
    seams_.messages.show("Information", text, db::MessageIcon::Information, db::MessageButtons::Ok,
                         db::MessageAnswer::Ok);
}

bool TMyLocateDialog::Execute() {
    if (running_)
        return false;
    table::Table& books = host_.bookTable();
    if (!books.isOpen()) {
        seams_.messages.error(kNoActiveDataSet);
        return false;
    }
    TMyLocateDlg dialog(*this, owner_);
    dialog.fillFrom(settings_, books);
    widgets::applyUserFonts(dialog, host_.userFonts());
    widgets::scaleAndCentre(dialog, host_.windowSizeFactor(), seams_.screen.size());
    dialog.exec(); // every close stores the dialog's state (TMyLocateDlg::done)
    return dialog.found();
}

bool TMyLocateDialog::LocateNext() {
    if (running_)
        return false;
    if (!host_.bookTable().isOpen()) {
        seams_.messages.show("Warning", kNoActiveTable, db::MessageIcon::Warning,
                             db::MessageButtons::Ok, db::MessageAnswer::Ok);
        return false;
    }
    if (settings_.searchValue.isEmpty()) {
        settings_.defaultButton = 1;
        return Execute();
    }
    const LocateCriteria criteria{settings_.searchField, settings_.searchValue.toStdString(),
                                  settings_.matchType, settings_.caseSensitive};
    const FindResult result = find(criteria, false);
    if (result == FindResult::NotFound && settings_.showMessages)
        information(kNoMoreMatchesFound);
    return result == FindResult::Found;
}

TMyLocateDialog::FindResult TMyLocateDialog::find(const LocateCriteria& criteria, bool fromFirst) {
    if (running_)
        return FindResult::Failed;
    if (!host_.postPendingEdit())
        return FindResult::Failed;
    table::Table& books = host_.bookTable();
    if (!books.isOpen()) {
        seams_.messages.error(kNoActiveDataSet);
        return FindResult::Failed;
    }
    if (books.fieldIndex(criteria.fieldName) < 0) {
        seams_.messages.show("Warning", "Field " + criteria.fieldName + " not found.",
                             db::MessageIcon::Warning, db::MessageButtons::Ok,
                             db::MessageAnswer::Ok);
        return FindResult::Failed;
    }
    running_ = true;
    uint32_t found = 0;
    try {
        WaitCursor hourglass;
        found = scanKeepingWindowsPainted(
            prepareLocateScan(books, host_.recordFilterCopy(), criteria, fromFirst));
    } catch (const std::exception& error) {
        running_ = false;
        seams_.messages.error(error.what());
        return FindResult::Failed;
    }
    running_ = false;
    if (found == 0)
        return FindResult::NotFound;
    // The record found moves the grid, once; a record gone meanwhile counts as none.
    try {
        return host_.moveToRecord(found) ? FindResult::Found : FindResult::NotFound;
    } catch (const std::exception& error) {
        seams_.messages.error(error.what());
        return FindResult::Failed;
    }
}

// The scan runs on a thread of its own with a handle of its own; meanwhile the windows repaint,
// and what the user types or clicks waits until the scan is over.
uint32_t TMyLocateDialog::scanKeepingWindowsPainted(const LocateScan& scan) {
    uint32_t found = 0;
    std::exception_ptr failure;
    QEventLoop waiting;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            found = runLocateScan(scan);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &waiting, &QEventLoop::quit,
                     Qt::QueuedConnection);
    worker->start();
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    if (failure)
        std::rethrow_exception(failure);
    return found;
}

} // namespace search
