#pragma once

// The Search Options dialog: the operators of a number or date row, or the pick list of a text
// row, for the user to choose from.

#include "settings/settings.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;

namespace search {

class TSearchOptions : public QDialog {
    Q_OBJECT
public:
    // `selected` is the entry chosen at the start, -1 for none.
    TSearchOptions(QWidget* parent, const QString& fieldLabel, const QStringList& entries,
                   int selected, const app::ColourSet& colours);

    int selectedIndex() const; // -1 when nothing is selected
    QListWidget* list() const { return list_; }

private:
    QLabel* heading_;
    QListWidget* list_;
};

} // namespace search
