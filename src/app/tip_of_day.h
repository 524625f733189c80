#pragma once

// The tip window: one of 24 tips, chosen at random when the window opens, "Next Tip" going
// through them in order and round again; the check box decides whether the window opens at the
// next start.

#include "settings/settings.h"
#include "widgets/seams.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace app {

inline constexpr int kTipCount = 24;

// Tip `number` (1 .. kTipCount); empty outside that range.
QString tipText(int number);

class TTipOfDay : public QDialog {
    Q_OBJECT
public:
    // The random source picks the first tip; `settings.showTips` sets the check box and takes
    // its state when the window closes.
    TTipOfDay(widgets::Seams& seams, Settings& settings, double windowSizeFactor,
              QWidget* parent = nullptr);

    int tipNumber() const { return tipNumber_; }
    QLabel* TipComment() const { return tipComment_; }
    QCheckBox* ShowTips() const { return showTips_; }
    QPushButton* NextButton() const { return nextButton_; }
    QPushButton* CloseButton() const { return closeButton_; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void buildLayout();
    void showTip(int number);

    widgets::Seams& seams_;
    Settings& settings_;
    double windowSizeFactor_;
    bool scaled_ = false;
    int tipNumber_ = 1;
    QLabel* tipComment_ = nullptr;
    QCheckBox* showTips_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

// Shows the tip window modally (from the main window's first activation when "Show Tips" is on,
// or from the Help menu).
void showTipOfDay(QWidget* parent, widgets::Seams& seams, Settings& settings,
                  double windowSizeFactor);

} // namespace app
