#pragma once

// The part window (TReportPart, "Select Report Part"): what one box of a report line shows (a
// field, a constant label or empty space) and how wide it is. It edits a copy of the line; OK
// refits that copy to the report width and hands it back.

#include "reports/report_definition.h"
#include "reports/report_design.h"
#include "settings/settings.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace reports {

class TReportPart : public QDialog {
    Q_OBJECT
public:
    // `lineNumber` 1..12 or kTotalsLineNumber; `part` 1..20; `designWidth` 90, 120 or 150.
    TReportPart(QWidget* parent, const widgets::Seams& seams, const app::Settings& settings,
                const ReportLine& line, int lineNumber, int part, int designWidth);

    // The changed line after OK.
    const std::optional<ReportLine>& result() const { return result_; }

    void OkButtonClick();
    // The geometry as built, which showing puts back before scaling by the window size.
    const widgets::DesignGeometry& design() const { return design_; }

signals:
    // The line as OK would make it, after each change of the controls that OK would accept.
    void lineEdited(const reports::ReportLine& line);

private:
    void kindChanged();
    PartChoice choice() const;
    void controlsChanged();

    const widgets::Seams& seams_;
    ReportLine line_;
    int lineNumber_;
    int part_;
    int designWidth_;
    std::optional<ReportLine> result_;
    QRadioButton* fieldButton_ = nullptr;
    QRadioButton* labelButton_ = nullptr;
    QRadioButton* fillerButton_ = nullptr;
    QListWidget* fieldList_ = nullptr;
    QLineEdit* labelName_ = nullptr;
    QLineEdit* fieldWidth_ = nullptr;
    widgets::DesignGeometry design_;
};

} // namespace reports
