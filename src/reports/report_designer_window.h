#pragma once

// The report definition window (TUserReport, "Report Definition"): name, width, fonts, titles,
// options, number of lines and margins of one report; saves it to VLMBOOK.URP or deletes it, and
// opens the fonts and layout windows. It works on the current report definition in place, so
// what the other windows change stays there even when this one is cancelled.

#include "reports/report_definition.h"
#include "reports/report_window.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace reports {

// "Courier New 10pt".
QString fontSlotText(const FontSlot& slot);

class TUserReport : public QDialog {
    Q_OBJECT
public:
    // `existingIndex`: the report's position in the file, nothing for a new report.
    TUserReport(QWidget* parent, const widgets::Seams& seams, ReportHost& host,
                ReportDefinition& definition, std::optional<int> existingIndex);
    ~TUserReport() override;

    // Shows the window for the screen, then modally.
    int showModal();
    // After closing: whether the report file changed, and the list position to select then
    // (-1 for none).
    bool fileChanged() const { return fileChanged_; }
    int selectedIndex() const { return selectedIndex_; }

    // The controls' operations, as the controls run them.
    void UpdateButtonClick();
    void DeleteButtonClick();
    void SetFontsClick();
    void SpecifyButtonClick();
    // Width radio button for `width` characters checked by the user.
    void widthChosen(int width);
    // The designer's width W: from the radio buttons, not from the record.
    int designWidth() const;

private:
    void createControls();
    QWidget* createFontsGroup();
    QWidget* createOptionsGroup();
    QWidget* createMarginsGroup();
    void fillControls();
    void refreshFontTexts();
    void ReportNameExit();
    void NumLinesExit();
    void marginExit(QLineEdit* edit, double& margin);
    void updateLineOptions();
    void copyControlsIntoDefinition();
    // The number of lines typed, checked (the message shown) and taken into the definition.
    bool takeNumLines();
    // The controls' values (margins that convert) written into `target`.
    void applyControls(ReportDefinition& target) const;
    void checkWidth(int width);

    const widgets::Seams& seams_;
    ReportHost& host_;
    ReportDefinition& definition_;
    std::optional<int> existingIndex_;
    QString openingName_;
    widgets::DesignGeometry design_;
    bool fileChanged_ = false;
    int selectedIndex_ = -1;

    QLineEdit* reportName_ = nullptr;
    QRadioButton* chars90_ = nullptr;
    QRadioButton* chars120_ = nullptr;
    QRadioButton* chars150_ = nullptr;
    QLineEdit* titleLineFont_ = nullptr;
    QLineEdit* columnHeaderFont_ = nullptr;
    QLineEdit* repBodyDataFont_ = nullptr;
    QLineEdit* footnoteFont_ = nullptr;
    QLineEdit* titles_[3] = {};
    QCheckBox* level1Group_ = nullptr;
    QCheckBox* level2Group_ = nullptr;
    QCheckBox* columnHeaders_ = nullptr;
    QCheckBox* horzLines_ = nullptr;
    QCheckBox* vertLines_ = nullptr;
    QCheckBox* dateOnPage_ = nullptr;
    QCheckBox* pageNumbers_ = nullptr;
    QCheckBox* landOrient_ = nullptr;
    QCheckBox* useTotals_ = nullptr;
    QLineEdit* numLines_ = nullptr;
    QLineEdit* topMargin_ = nullptr;
    QLineEdit* bottomMargin_ = nullptr;
    QLineEdit* leftMargin_ = nullptr;
    QLineEdit* rightMargin_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
};

// The designer on `definition`, as the report selection window opens it: the new list position
// to select when the file changed, nothing otherwise.
std::optional<int> runReportDesigner(QWidget* parent, const widgets::Seams& seams, ReportHost& host,
                                     ReportDefinition& definition,
                                     std::optional<int> existingIndex);

} // namespace reports
