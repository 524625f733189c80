#pragma once

// The record navigator: ten buttons acting on the record grid's table (first, prior, next, last,
// insert, delete, edit, post, cancel, refresh), with hints. In browse mode only the first four
// are shown. Every press is reported by `pressed` after the action, so the main window can show
// the record count again.

#include "db/user_messages.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QToolButton;

namespace widgets {

class RecordGrid;

class RecordNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    static constexpr int kButtonCount = 10;

    // Delete asks "Delete this record?" (caption "Confirm", Yes/No, default No) through `messages`.
    explicit RecordNavigator(db::UserMessages& messages, QWidget* parent = nullptr);

    void setGrid(RecordGrid* grid); // the grid outlives the binding or is reset to null
    RecordGrid* grid() const;
    void setBrowseMode(bool browse);
    bool browseMode() const { return browse_; }

    QToolButton* button(Button which) const;
    // Does what the button does, as a click would, then reports the press. In browse mode only
    // the four moves act.
    void press(Button which);
    // Enables the buttons that can act now (ends of the table, edit state).
    void updateButtons();

signals:
    void pressed(widgets::RecordNavigator::Button which);

private:
    void act(Button which);

    db::UserMessages& messages_;
    QPointer<RecordGrid> grid_;
    std::array<QToolButton*, kButtonCount> buttons_{};
    bool browse_ = false;
    QMetaObject::Connection rowConnection_;
    QMetaObject::Connection stateConnection_;
};

} // namespace widgets
