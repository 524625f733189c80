#pragma once

// The report status window (TReportForm, "Report Status Screen"): runs one report in printer,
// preview or text-file mode as soon as it is shown, tells the page being printed, offers Cancel
// while the run goes on (the engine lets the window handle events between pages) and OK after
// it, reading "Report Completed!", "Report Canceled!" or, when the run failed, "Report Failed!".

#include "reports/report_generator.h"
#include "widgets/seams.h"

#include <QDialog>

#include <functional>
#include <memory>

class QIODevice;
class QLabel;
class QPrinter;
class QPushButton;

namespace reports {

inline constexpr const char* kReportCompleted = "Report Completed!";
inline constexpr const char* kReportCanceled = "Report Canceled!";
inline constexpr const char* kReportFailed = "Report Failed!";

// One run as the report selection window asks for it.
struct ReportRunRequest {
    ReportDefinition definition;
    OutputMode mode = OutputMode::Preview;
    QString textFilePath; // text-file mode: the file chosen, created or replaced
    report_engine::PrintDevice* printer = nullptr; // borrowed; null when none is installed
    QIODevice* pageStore = nullptr; // preview mode: where the pages go; kept in memory if null
};

class TReportForm : public QDialog {
    Q_OBJECT
public:
    TReportForm(const widgets::Seams& seams, table::Table& table, ReportContext context,
                ReportRunRequest request, QWidget* parent = nullptr);
    ~TReportForm() override;

    bool running() const { return running_; }
    bool wasCancelled() const { return cancelled_; }
    bool failed() const { return failed_; }
    // Pages of the run so far (the page being printed while it runs).
    int pages() const;

    QLabel* statusLabel() const { return statusLabel_; }
    QPushButton* button() const { return button_; }

    // Runs the report; called once, when the window is first shown.
    void startRun();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buttonClick();
    void finishRun(const QString& outcome);

    const widgets::Seams& seams_;
    table::Table& table_;
    ReportRunRequest request_;
    ReportGenerator generator_;
    std::unique_ptr<report_engine::TBaseReport> engine_;
    QLabel* statusLabel_ = nullptr;
    QPushButton* button_ = nullptr;
    bool started_ = false;
    bool running_ = false;
    bool cancelled_ = false;
    bool failed_ = false;
};

struct ReportRunResult {
    bool cancelled = false;
    bool failed = false;
    int pages = 0;
};

// What the report selection window calls: shows the status window modally over `parent`, runs
// the report in the requested mode and, after a preview run that neither failed nor was
// cancelled, hands the page store to `showPreview` (the preview window).
ReportRunResult runReport(QWidget* parent, const widgets::Seams& seams, table::Table& table,
                          const ReportContext& context, ReportRunRequest request,
                          const std::function<void(QIODevice& pageStore)>& showPreview = {});

// The same with everything taken from the program: the field labels, sort levels and number
// formats of `settings`, today from the clock, `printer` when a printer is installed, and for
// a preview run the preview window (TMyPreview) on its pages, captioned with the report's name.
ReportRunResult runReport(QWidget* parent, widgets::Seams& seams, app::Settings& settings,
                          QPrinter& printer, table::Table& table, ReportRunRequest request);

} // namespace reports
