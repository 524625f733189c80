#include "edit/pick_list_combo.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace edit {

PickListCombo::PickListCombo(db::PickList& list, QWidget* parent) : QComboBox(parent), list_(list) {
    setEditable(true);
    // Values are added to the list only when a record is stored, and a typed value keeps the
    // letter case the user gave it: no inserting on Enter, no completing from the list.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(12);
    refill();
    observerId_ = list_.addObserver([this] { refill(); });
}

PickListCombo::~PickListCombo() {
    list_.removeObserver(observerId_);
}

void PickListCombo::setMaxLength(int length) {
    lineEdit()->setMaxLength(length);
}

void PickListCombo::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    lineEdit()->setReadOnly(readOnly);
}

void PickListCombo::showPopup() {
    if (!readOnly_) {
        QComboBox::showPopup();
    }
}

void PickListCombo::wheelEvent(QWheelEvent* event) {
    if (readOnly_) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

void PickListCombo::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4:
        if (readOnly_) {
            event->ignore();
            return;
        }
        break;
    default:
        break;
    }
    QComboBox::keyPressEvent(event);
}

void PickListCombo::refill() {
    const QString typed = currentText();
    const QSignalBlocker blocker(this);
    clear();
    addItems(list_.entries());
    setCurrentIndex(-1);
    setEditText(typed);
}

} // namespace edit
