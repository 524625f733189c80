#pragma once

// The search window: criteria typed into a grid of the 36 fields become the items of one level;
// "&Find More" closes a level and starts the next, "&Ok" closes the last one and narrows the
// main window's grid to the records that meet every item of at least one level. Created once
// and shown modally by the main window's Search command.

#include "db/pick_list.h"
#include "search/search_host.h"
#include "search/search_items.h"
#include "settings/settings.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

class QPushButton;

namespace search {

class CriteriaGrid;

class TMySearch : public QDialog {
    Q_OBJECT
public:
    // Everything given is the main window's and outlives this window.
    TMySearch(QWidget* parent, widgets::Seams& seams, const app::Settings& settings,
              db::PickLists& pickLists, SearchHost& host);

    CriteriaGrid* grid() const { return grid_; }
    QPushButton* findMoreButton() const { return findMoreButton_; }
    const SearchLevels& levels() const { return levels_; }
    const RowOperators& rowOperators() const { return operators_; }

    // The main window's Search command: a fresh level 1 with every criterion empty, then the
    // window shown modally (execSearch) or window-modal without waiting (openSearch). Shown
    // again any other way (restored after being minimised, moved between desktops) the window
    // keeps what the user has typed.
    int execSearch();
    void openSearch();

    // The button operations, as the buttons run them.
    void OkButtonClick();
    void ExitButtonClick();
    void ClearButtonClick();
    void FindMoreButtonClick();
    void HelpButtonClick();
    // The Search Options dialog of a row (opened by the row's button cell).
    void showOptions(int row);

private:
    void FormShow();
    QPushButton* addButton(const char* text, const char* name);
    void setLevelHeading();
    bool compileCurrentLevel();
    void startNextLevel();
    void runSearch();
    void clearSearch();
    void overflowCleared();

    widgets::Seams& seams_;
    const app::Settings& settings_;
    db::PickLists& pickLists_;
    SearchHost& host_;
    RowOperators operators_ = initialRowOperators();
    SearchLevels levels_;
    CriteriaGrid* grid_ = nullptr;
    QPushButton* findMoreButton_ = nullptr;
    widgets::DesignGeometry design_;
};

} // namespace search
