#pragma once

// The report fonts window (TReportFonts, "Report Fonts"): the title, column header, body and
// footnote fonts of a report, each changed through the font dialog.

#include "reports/report_definition.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

#include <array>

class QLineEdit;

namespace reports {

// A font slot as the font dialog shows it, and the dialog's answer back into the slot (the
// slot's colour stays: the dialog does not choose one).
QFont fontOfSlot(const FontSlot& slot);
void setSlotFromFont(FontSlot& slot, const QFont& font);

class TReportFonts : public QDialog {
    Q_OBJECT
public:
    TReportFonts(QWidget* parent, const widgets::Seams& seams, ReportDefinition& definition);

    // "New Font" beside slot `slot`'s edit.
    void newFontClick(FontSlotId slot);
    QLineEdit* fontEdit(FontSlotId slot) const;
    // The geometry as built, which showing puts back before scaling by the window size.
    const widgets::DesignGeometry& design() const { return design_; }

private:
    struct Row {
        FontSlotId slot;
        QLineEdit* edit;
    };
    const widgets::Seams& seams_;
    ReportDefinition& definition_;
    std::array<Row, 4> rows_{};
    widgets::DesignGeometry design_;
};

} // namespace reports
