#pragma once

// A drop-down list bound to a pick list, for forms: editable (any text may be typed), filled
// from the list and refilled whenever the list changes, keeping what the user typed.

#include "db/pick_list.h"

#include <QComboBox>

namespace widgets {

class PickListCombo : public QComboBox {
    Q_OBJECT
public:
    explicit PickListCombo(QWidget* parent = nullptr);
    ~PickListCombo() override;

    // Binds to `list` (which outlives the binding), or to nothing.
    void setPickList(db::PickList* list);
    db::PickList* pickList() const { return list_; }

    // The text shown, whatever was chosen or typed.
    QString text() const { return currentText(); }
    void setText(const QString& text);

private:
    void refill();

    db::PickList* list_ = nullptr;
    int observer_ = 0;
};

} // namespace widgets
