#include "backup/copy_steps.h"

#include "backup/file_copy.h"

namespace backup {

bool copyWithProgress(BackupHost& host, const QString& source, const QString& target) {
    std::optional<std::string> failure;
    try {
        host.runCopy([&](const table::Progress& progress) {
            failure = copyFileReplacing(source, target, progress);
        });
    } catch (const std::exception& error) {
        failure = error.what();
    }
    return !failure;
}

void openShared(BackupHost& host) {
    table::Table& table = host.bookTable();
    try {
        table.setOpenMode(table::OpenMode::Shared);
        if (!table.isOpen())
            table.open();
    } catch (const std::exception& error) {
        host.messages().error(error.what());
    }
    host.setViewerOptions();
}

void showNotice(BackupHost& host, const std::string& text) {
    host.messages().show("Notice", text, db::MessageIcon::Information, db::MessageButtons::Ok,
                         db::MessageAnswer::Ok);
}

} // namespace backup
