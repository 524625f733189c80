#pragma once

// Steps that backup and restore share: the hourglass while files are copied, and a copy that
// shows its progress through the host.

#include "backup/backup_host.h"

#include <QString>

namespace backup {

// Shows the hourglass from construction until release() or destruction.
class BusyCursor {
public:
    explicit BusyCursor(BackupHost& host) : host_(host) { host_.setBusy(true); }
    ~BusyCursor() { release(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    void release() {
        if (busy_)
            host_.setBusy(false);
        busy_ = false;
    }

private:
    BackupHost& host_;
    bool busy_ = true;
};

// Copies `source` over `target` with the host's progress display; false when the copy failed,
// and the target is then as it was.
bool copyWithProgress(BackupHost& host, const QString& source, const QString& target);

// Opens the book table shared as it is pointed and applies the viewer options; an engine error
// is shown with its own message.
void openShared(BackupHost& host);

void showNotice(BackupHost& host, const std::string& text);

} // namespace backup
