#pragma once

// Long work (packing a table, rebuilding its indexes, copying a large file) runs on a worker
// thread while a modal window shows how far it got and the program's windows stay painted.

#include "db/table_maintenance.h"

#include <QString>

class QWidget;

namespace widgets {

// Runs `work` on a worker thread and returns when it has finished; a progress window appears
// when the work takes longer than a moment. User input is held back meanwhile, since the work
// cannot be abandoned half done. Rethrows what the work threw.
void runWithProgress(QWidget* parent, const QString& what, const db::EngineWork& work);

} // namespace widgets
