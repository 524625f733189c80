#pragma once

// The button row of the backup and restore windows: Start, Cancel (closes the window) and
// Help at "Backup and Restore", which F1 also opens.

#include "widgets/seams.h"

class QDialog;
class QHBoxLayout;
class QPushButton;
class QString;

namespace backup {

struct DialogButtons {
    QPushButton* start = nullptr; // the default button; the window connects it
    QPushButton* cancel = nullptr;
    QHBoxLayout* row = nullptr; // for the window's layout to take
};

DialogButtons makeDialogButtons(QDialog& window, const QString& startCaption,
                                widgets::Seams& seams);

} // namespace backup
