#include "widgets/record_navigator.h"

#include "widgets/record_grid.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace widgets {

namespace {

using Button = RecordNavigator::Button;

struct ButtonInfo {
    const char* name;
    const char* hint;
};

constexpr std::array<ButtonInfo, RecordNavigator::kButtonCount> kButtons{{
    {"NavFirst", "First record"},
    {"NavPrior", "Prior record"},
    {"NavNext", "Next record"},
    {"NavLast", "Last record"},
    {"NavInsert", "Insert record"},
    {"NavDelete", "Delete record"},
    {"NavEdit", "Edit record"},
    {"NavPost", "Post edit"},
    {"NavCancel", "Cancel edit"},
    {"NavRefresh", "Refresh data"},
}};

constexpr int kGlyph = 16;

// The glyphs are drawn rather than loaded, so they stay sharp at every window size.
void drawGlyph(QPainter& p, Button which) {
    const QColor ink(0x20, 0x20, 0x20);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    auto triangle = [&p](qreal tipX, qreal baseX) {
        QPainterPath path;
        path.moveTo(tipX, 8);
        path.lineTo(baseX, 3.5);
        path.lineTo(baseX, 12.5);
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (which) {
    case Button::First:
        p.drawLine(QPointF(4, 3.5), QPointF(4, 12.5));
        triangle(5.5, 12);
        break;
    case Button::Prior:
        triangle(4.5, 11);
        break;
    case Button::Next:
        triangle(11.5, 5);
        break;
    case Button::Last:
        p.drawLine(QPointF(12, 3.5), QPointF(12, 12.5));
        triangle(10.5, 4);
        break;
    case Button::Insert:
        p.drawLine(QPointF(8, 3), QPointF(8, 13));
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
        break;
    case Button::Delete:
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
        break;
    case Button::Edit:
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(4, 12), QPointF(12, 4));
        p.drawLine(QPointF(3.5, 12.5), QPointF(6, 12.5));
        break;
    case Button::Post:
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
        break;
    case Button::Cancel:
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case Button::Refresh: {
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3.5, 3.5, 9, 9), 60 * 16, 290 * 16);
        QPainterPath head;
        head.moveTo(10.5, 1.5);
        head.lineTo(13.5, 4.5);
        head.lineTo(9.5, 6);
        head.closeSubpath();
        p.setBrush(ink);
        p.drawPath(head);
        break;
    }
    }
}

QIcon glyphIcon(Button which) {
    QIcon icon;
    for (qreal scale : {1.0, 2.0}) {
        QPixmap pixmap(QSize(kGlyph, kGlyph) * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        drawGlyph(painter, which);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

RecordNavigator::RecordNavigator(db::UserMessages& messages, QWidget* parent)
    : QWidget(parent), messages_(messages) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < kButtonCount; ++i) {
        const Button which = static_cast<Button>(i);
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(kButtons[static_cast<size_t>(i)].name));
        button->setToolTip(QString::fromLatin1(kButtons[static_cast<size_t>(i)].hint));
        button->setIcon(glyphIcon(which));
        button->setAutoRaise(false);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setMinimumSize(18, 18);
        connect(button, &QToolButton::clicked, this, [this, which] { press(which); });
        layout->addWidget(button);
        buttons_[static_cast<size_t>(i)] = button;
    }
    updateButtons();
}

RecordGrid* RecordNavigator::grid() const {
    return grid_.data();
}

QToolButton* RecordNavigator::button(Button which) const {
    return buttons_[static_cast<size_t>(which)];
}

void RecordNavigator::setGrid(RecordGrid* grid) {
    disconnect(rowConnection_);
    disconnect(stateConnection_);
    grid_ = grid;
    if (grid != nullptr) {
        rowConnection_ =
            connect(grid, &RecordGrid::currentRecordChanged, this, &RecordNavigator::updateButtons);
        stateConnection_ = connect(&grid->bookModel(), &BookTableModel::editStateChanged, this,
                                   &RecordNavigator::updateButtons);
    }
    updateButtons();
}

void RecordNavigator::setBrowseMode(bool browse) {
    browse_ = browse;
    for (int i = static_cast<int>(Button::Insert); i < kButtonCount; ++i)
        buttons_[static_cast<size_t>(i)]->setVisible(!browse);
    updateButtons();
}

void RecordNavigator::press(Button which) {
    act(which);
    updateButtons();
    emit pressed(which);
}

void RecordNavigator::act(Button which) {
    RecordGrid* grid = grid_.data();
    if (grid == nullptr || !grid->table().isOpen())
        return;
    if (browse_ && which > Button::Last)
        return; // a browsing run never changes the table
    if (which == Button::Cancel)
        grid->dropCellEdit();
    else if (!grid->finishCellEdit())
        return; // a refused cell stays open to be put right
    BookTableModel& model = grid->bookModel();
    const int rows = model.rowCount();
    const int row = model.currentRow();
    auto goTo = [&](int target) {
        if (model.isEditing() && !model.post())
            return;
        target = std::clamp(target, 0, model.rowCount() - 1);
        if (model.rowCount() > 0 && model.moveToRow(target))
            grid->setFocus();
    };
    switch (which) {
    case Button::First:
        goTo(0);
        break;
    case Button::Prior:
        goTo(row - 1);
        break;
    case Button::Next:
        goTo(row + 1);
        break;
    case Button::Last:
        goTo(rows - 1);
        break;
    case Button::Insert:
        if (model.isEditing() && !model.post())
            return;
        model.beginInsert();
        break;
    case Button::Delete:
        grid->confirmAndDelete();
        break;
    case Button::Edit:
        model.beginEdit();
        break;
    case Button::Post:
        model.post();
        break;
    case Button::Cancel:
        model.cancel();
        break;
    case Button::Refresh:
        if (model.isEditing())
            return;
        try {
            grid->table().refresh();
        } catch (const std::exception& error) {
            messages_.error(error.what());
        }
        model.reload();
        break;
    }
}

void RecordNavigator::updateButtons() {
    RecordGrid* grid = grid_.data();
    const bool open = grid != nullptr && grid->table().isOpen();
    const int rows = open ? grid->bookModel().rowCount() : 0;
    const int row = open ? grid->bookModel().currentRow() : -1;
    const bool editing = open && grid->bookModel().isEditing();
    auto enable = [this](Button which, bool on) { button(which)->setEnabled(on); };
    enable(Button::First, open && rows > 0 && row != 0);
    enable(Button::Prior, open && rows > 0 && row != 0);
    enable(Button::Next, open && rows > 0 && row != rows - 1);
    enable(Button::Last, open && rows > 0 && row != rows - 1);
    enable(Button::Insert, open && !browse_ && !editing);
    enable(Button::Delete, open && !browse_ && !editing && row >= 0);
    enable(Button::Edit, open && !browse_ && !editing && row >= 0);
    enable(Button::Post, open && !browse_ && editing);
    enable(Button::Cancel, open && !browse_ && editing);
    enable(Button::Refresh, open && !browse_ && !editing);
}

} // namespace widgets
