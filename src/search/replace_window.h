#pragma once

// The Search and Replace dialog: a field, the value to look for and its replacement, whether to
// ask for each record, and three counters that move while the run goes through the table. The
// run goes in steps from the event loop, so that the window keeps painting.

#include "search/replace.h"
#include "settings/settings.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace search {

class WaitCursor;

class TSearchAndReplace : public QDialog {
    Q_OBJECT
public:
    // `context` is the main window's and outlives the dialog; `undoPath` receives the old values.
    TSearchAndReplace(QWidget* parent, widgets::Seams& seams, const app::Settings& settings,
                      ReplaceContext& context, std::string undoPath, double windowFactor,
                      const widgets::UserFonts& fonts);
    ~TSearchAndReplace() override;

    QComboBox* fieldList() const { return fieldList_; }
    QLineEdit* searchEdit() const { return searchEdit_; }
    QLineEdit* replacementEdit() const { return replacementEdit_; }
    QCheckBox* confirmBox() const { return confirmBox_; }
    QPushButton* startButton() const { return startButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    // The counter drawn under "Processed" (0), "Found" (1) and "Changed" (2).
    QLabel* counter(int which) const { return counters_[static_cast<size_t>(which)]; }

    bool running() const { return run_ != nullptr; }
    // Whether a run got the table (a replace took place, even one that changed nothing).
    bool runStarted() const { return runStarted_; }
    const ReplaceCounters& lastCounters() const { return lastCounters_; }

    void StartSearchClick();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void paint();
    void fieldChosen();
    std::string boxText(const QLineEdit* box) const;
    void runSteps();
    void endRun(bool completed);
    void showCounters();
    bool confirmChange(const std::string& title);

    widgets::Seams& seams_;
    const app::Settings& settings_;
    ReplaceContext& context_;
    std::string undoPath_;
    double windowFactor_;
    widgets::UserFonts fonts_;
    QComboBox* fieldList_ = nullptr;
    QLineEdit* searchEdit_ = nullptr;
    QLineEdit* replacementEdit_ = nullptr;
    QCheckBox* confirmBox_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    std::array<QLabel*, 6> captions_{};
    std::array<QLabel*, 3> counters_{};
    std::unique_ptr<ReplaceRun> run_;
    std::unique_ptr<WaitCursor> hourglass_;
    ReplaceCounters lastCounters_;
    bool runStarted_ = false;
    bool dressed_ = false;
};

} // namespace search
