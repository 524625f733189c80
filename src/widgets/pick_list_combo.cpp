#include "widgets/pick_list_combo.h"

#include <QLineEdit>

namespace widgets {

PickListCombo::PickListCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert); // the list grows only when a record is stored
    setMaxVisibleItems(12);
}

PickListCombo::~PickListCombo() {
    setPickList(nullptr);
}

void PickListCombo::setPickList(db::PickList* list) {
    if (list_ != nullptr)
        list_->removeObserver(observer_);
    list_ = list;
    observer_ = 0;
    if (list_ != nullptr)
        observer_ = list_->addObserver([this] { refill(); });
    refill();
}

void PickListCombo::setText(const QString& text) {
    const int found = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0)
        setCurrentIndex(found);
    else
        setEditText(text);
}

void PickListCombo::refill() {
    const QString typed = currentText();
    const bool blocked = blockSignals(true);
    clear();
    if (list_ != nullptr)
        addItems(list_->entries());
    setText(typed);
    blockSignals(blocked);
}

} // namespace widgets
