#pragma once

// An editable drop-down list that shows a db::PickList and refills itself whenever the list
// changes, keeping the text the user typed. Any number of combos may show one list.

#include "db/pick_list.h"

#include <QComboBox>

namespace edit {

class PickListCombo : public QComboBox {
    Q_OBJECT
public:
    PickListCombo(db::PickList& list, QWidget* parent = nullptr);
    ~PickListCombo() override;
    PickListCombo(const PickListCombo&) = delete;
    PickListCombo& operator=(const PickListCombo&) = delete;

    db::PickList& pickList() const { return list_; }
    void setMaxLength(int length);
    // A read-only combo shows its text but neither opens its list nor changes its value.
    void setReadOnly(bool readOnly);

    void showPopup() override;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refill();

    db::PickList& list_;
    int observerId_ = 0;
    bool readOnly_ = false;
};

} // namespace edit
