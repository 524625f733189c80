#pragma once

// The first page of a report, run exactly as a preview run makes it but ended after that page,
// for a look at the report while it is being designed.

#include "reports/report_generator.h"

#include <QByteArray>
#include <QString>

namespace reports {

struct FirstPage {
    QByteArray pageStore; // one page in the file engine's page store; empty when the run failed
    QString error;        // why there is no page
};

// Runs `definition` over the current view of `table` into a page store holding page 1 only.
// As in every run the table's observers are suspended meanwhile and its current record is put
// back, so a grid showing the table does not move. What stops a run (margins without room, a
// line that never fits, a table error, no open table) comes back as `error`, never thrown.
FirstPage runFirstPage(const ReportDefinition& definition, table::Table& table,
                       const ReportContext& context, report_engine::PrintDevice* printer);

} // namespace reports
