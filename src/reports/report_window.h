#pragma once

// The report selection window (TMyReport, "Reports"): the user picks a report definition of
// VLMBOOK.URP and runs it to the printer, the preview or a text file, over the whole table or
// the search result, or opens the designer on a new or an existing definition. Created once at
// start-up and shown modally by the main window's report commands.

#include "reports/report_definition.h"
#include "reports/report_generator.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

#include <functional>
#include <optional>

class QIODevice;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace app {
struct Settings;
}

namespace reports {

// What the window needs of the main window, which owns the book table and the search state.
class ReportHost {
public:
    virtual ~ReportHost() = default;
    virtual table::Table& bookTable() = 0;
    virtual app::Settings& settings() = 0;
    virtual QString programDirectory() const = 0;
    virtual bool searchActive() const = 0;
    // End Search, as the main window's command does it.
    virtual void doEndSearch() = 0;
    // The search made active again over the same criteria, the table refreshed to show it.
    virtual void enableEndSearch() = 0;
    // The printer chosen in Printer Setup; null when none is installed.
    virtual QPrinter* printer() = 0;
    virtual double windowSizeFactor() const = 0;
    virtual const widgets::UserFonts& userFonts() const = 0;
};

class TMyReport : public QDialog {
    Q_OBJECT
public:
    // The preview window, shown over the pages of a preview run.
    using ShowPreview = std::function<void(QIODevice& pageStore)>;
    // The designer on `definition`: a new report (nothing) or the one at that list position.
    // When the report file changed it returns the list position to select (-1 for none), and
    // the list is read again; nothing when the file is unchanged.
    using OpenDesigner = std::function<std::optional<int>(ReportDefinition& definition,
                                                          std::optional<int> existingIndex)>;

    TMyReport(QWidget* parent, const widgets::Seams& seams, ReportHost& host);
    ~TMyReport() override;

    // Without them, View and New Report / Modify Report stay disabled.
    void setShowPreview(ShowPreview showPreview);
    void setOpenDesigner(OpenDesigner openDesigner);

    // The command: shows the window for the screen, then modally.
    int showModal();
    // Clears the list and reads the report names of the file again.
    void reloadList();

    QListWidget* reportBox() const { return reportBox_; }
    const ReportDefinition& currentDefinition() const { return current_; }

    // The buttons' operations, as the buttons run them.
    // Runs the selected report; `textFilePath` is the file of a text-file run.
    void run(OutputMode mode, const QString& textFilePath = {});
    void FileButtonClick();
    void NewButtonClick();
    void ModifyButtonClick();

protected:
    void done(int result) override;

private:
    void createControls();
    void FormShow();
    bool selectionMissing();
    bool loadSelected();
    void updateButtons();
    void designerClosed(std::optional<int> selectRow);

    const widgets::Seams& seams_;
    ReportHost& host_;
    widgets::DesignGeometry design_;
    ReportDefinition current_;
    ShowPreview showPreview_;
    OpenDesigner openDesigner_;
    QLabel* sortOrderLabel_ = nullptr;
    QRadioButton* exportEntire_ = nullptr;
    QRadioButton* exportSearch_ = nullptr;
    QListWidget* reportBox_ = nullptr;
    QPushButton* viewButton_ = nullptr;
    QPushButton* newButton_ = nullptr;
    QPushButton* modifyButton_ = nullptr;
};

} // namespace reports
