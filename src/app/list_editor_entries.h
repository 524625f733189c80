#pragma once

// What the pick-list editor does with its entries, apart from any widget: the nine lists it can
// edit, adding a typed entry, deleting the selected one and handing the result back to the
// shared list that the grid and the edit form both show.

#include "db/pick_list.h"

#include <QString>
#include <QStringList>

#include <array>

namespace app {

struct ListMaintenanceEntry {
    const char* menuText;    // item of the "List &Maintenance" menu
    int listNumber;          // which pair of in-memory lists receives the edits
    const char* captionWord; // as in: Edit "Author" List
    int longestEntry;        // maximum length of the input box
    const char* fieldName;   // the book-table field whose list it is
};

// In menu order.
inline constexpr std::array<ListMaintenanceEntry, 9> kListMaintenanceEntries{{
    {"&Author", 1, "Author", 90, "Author"},
    {"&Location", 2, "Location", 30, "Location"},
    {"&Where Purchased", 3, "Purchased From", 30, "WherePurch"},
    {"&Category", 4, "Category", 20, "Category"},
    {"&Publisher", 5, "Publisher", 90, "Publisher"},
    {"&Book Type", 7, "Book Type", 30, "BookType"},
    {"&Rating", 6, "Rating", 15, "Rating"},
    {"Chec&k Out Person", 8, "Check Out Person", 30, "CheckName"},
    {"C&ondition", 9, "Condition", 20, "Condition"},
}};

// The editor's caption: Edit "<caption word>" List.
QString listEditorCaption(const ListMaintenanceEntry& entry);

// The shared list that a list number stands for; null outside 1 .. 9.
db::PickList* pickListForListNumber(db::PickLists& lists, int listNumber);

// The entries being edited and the selected one (-1 for none).
class ListEditorEntries {
public:
    explicit ListEditorEntries(QStringList entries);

    const QStringList& entries() const { return entries_; }
    int selected() const { return selected_; }
    void select(int position); // out of range selects nothing

    // Appends the text trimmed of spaces unless nothing remains; duplicates are allowed.
    // Returns whether an entry was added.
    bool add(const QString& typed);
    // Removes the selected entry and selects the one now at its place, or the new last entry;
    // does nothing without a selection. Returns whether an entry was removed.
    bool removeSelected();

private:
    QStringList entries_;
    int selected_ = -1;
};

} // namespace app
