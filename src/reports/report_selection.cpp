#include "reports/report_selection.h"

namespace reports {

QString sortOrderText(const app::Settings& settings) {
    QStringList labels;
    for (int field : settings.sortLevels)
        if (field >= 1 && field <= db::kFieldCount)
            labels << settings.fieldLabel(field);
    return labels.isEmpty() ? QString::fromLatin1(kNoSortOrderText)
                            : labels.join(QStringLiteral(", "));
}

ReportDefinition newReportDefinition() {
    ReportDefinition definition;
    definition.reportName.clear();
    definition.width = 90;
    definition.columnHeaders = true;
    definition.pageNumbers = true;
    definition.landscape = false;
    definition.dateOnPage = true;
    definition.useTotals = true;
    definition.numLines = 1;
    definition.topMargin = definition.bottomMargin = 0.5;
    definition.leftMargin = definition.rightMargin = 0.5;
    definition.horzLines = true;
    definition.vertLines = true;
    definition.groupLevel1 = true;
    definition.groupLevel2 = false;
    definition.titles = {};
    for (FontSlot& font : definition.fonts)
        font = FontSlot{QStringLiteral("Courier New"), 10, false, false, false, false, 0};
    for (FontSlotId bold : {FontSlotId::Title, FontSlotId::ColumnHeader, FontSlotId::Footnote})
        definition.font(bold).bold = true;
    for (ReportLine& line : definition.lines)
        line = emptyLine();
    definition.totalsLine = emptyLine();
    return definition;
}

} // namespace reports
