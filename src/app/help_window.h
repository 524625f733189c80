#pragma once

// The program's help: a window with the keyword index on the left and the page on the right,
// opened at the contents page or at a keyword. Links move between pages; Back and Forward walk
// the pages seen. A keyword the index does not know shows the index, positioned where that
// keyword would be, with a note saying so.

#include "app/help_index.h"
#include "widgets/seams.h"

#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;

namespace app {

class HelpWindow : public QWidget, public widgets::HelpViewer {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    void showContents() override;
    void showKeyword(const QString& keyword) override;

    // For the tests: what is shown now.
    const HelpTarget& currentTarget() const { return current_; }
    QString noteText() const;
    bool noteVisible() const;
    QTextBrowser* browser() const { return browser_; }
    QLineEdit* keywordBox() const { return keywordBox_; }
    QListWidget* keywordList() const { return keywordList_; }
    // Follows a link as a click on it would.
    void followLink(const QString& link);

    void goBack();
    void goForward();

private:
    void buildLayout();
    void bringUp();
    // Shows the page and scrolls to the anchor; false (and the contents page) when missing.
    bool showTarget(const HelpTarget& target, bool remember);
    void scrollToCurrent();
    void showNote(const QString& text);
    void selectNearestKeyword(const QString& text);
    void openSelectedKeyword();
    void updateHistoryButtons();

    HelpIndex index_;
    HelpTarget current_;
    std::vector<HelpTarget> back_;
    std::vector<HelpTarget> forward_;

    QLabel* note_ = nullptr;
    QLineEdit* keywordBox_ = nullptr;
    QListWidget* keywordList_ = nullptr;
    QPushButton* displayButton_ = nullptr;
    QPushButton* contentsButton_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* forwardButton_ = nullptr;
    QTextBrowser* browser_ = nullptr;
};

} // namespace app
