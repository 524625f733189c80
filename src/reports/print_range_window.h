#pragma once

// The page range dialog (caption "Page Printing"): the first and last page to print, checked
// against the page count before the dialog closes with Print.

#include "settings/settings.h"
#include "widgets/seams.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace reports {

class TPrintRange : public QDialog {
    Q_OBJECT
public:
    // `settings` outlives the dialog (its report colour set paints it).
    TPrintRange(QWidget* parent, widgets::Seams& seams, const app::Settings& settings,
                int pageCount);

    bool confirmed() const { return confirmed_; }
    int startPage() const { return start_; }
    int endPage() const { return end_; }

    QLineEdit* startPageEdit() const { return startPage_; }
    QLineEdit* endPageEdit() const { return endPage_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void PrintButtonClick();

    widgets::Seams& seams_;
    const app::Settings& settings_;
    int pageCount_;
    QLineEdit* startPage_ = nullptr;
    QLineEdit* endPage_ = nullptr;
    bool confirmed_ = false;
    int start_ = 0;
    int end_ = 0;
};

} // namespace reports
