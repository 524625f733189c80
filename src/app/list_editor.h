#pragma once

// The pick-list editor: the entries of one of the nine lists, a box to type a new one, Add,
// Delete, Ok and Cancel. Ok gives the entries to the shared list, which the grid's drop-down and
// the edit form's combo box both show; the list file is written later with the other lists.

#include "app/list_editor_entries.h"
#include "settings/settings.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace app {

class TMyEditBox : public QDialog {
    Q_OBJECT
public:
    struct Look {
        double windowSizeFactor = 1.0;
        widgets::UserFonts fonts;
        ColourSet colours; // the configure windows' colour set
    };

    TMyEditBox(const ListMaintenanceEntry& entry, db::PickLists& lists, widgets::Seams& seams,
               const Look& look, QWidget* parent = nullptr);

    const ListEditorEntries& entries() const { return entries_; }
    QLineEdit* AddInfo() const { return addInfo_; }
    QListWidget* TheList() const { return theList_; }
    QPushButton* AddButton() const { return addButton_; }
    QPushButton* DeleteButton() const { return deleteButton_; }
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void applyColours();
    void refillList();
    void AddButtonClick();
    void DeleteButtonClick();
    void OkButtonClick();

    int listNumber_;
    db::PickLists& lists_;
    widgets::Seams& seams_;
    Look look_;
    ListEditorEntries entries_;
    bool dressed_ = false;

    QLineEdit* addInfo_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QListWidget* theList_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace app
