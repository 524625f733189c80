#include "edit/tmy_edit.h"

#include "appearance/colour_painting.h"
#include "edit/date_box.h"
#include "edit/pick_list_combo.h"
#include "widgets/menu_shortcuts.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace edit {

namespace {

EditorContext editorContext(EditHost& host, widgets::Seams& seams) {
    widgets::Clock& clock = seams.clock;
    return EditorContext{host.bookTable(),
                         host.pickLists(),
                         seams.messages,
                         [&clock] { return clock.today().year(); },
                         []() -> const table::DateFormat& { return table::currentDateFormat(); },
                         host.browseMode()};
}

// Field labels are the user's text: an "&" in one is shown, not taken as a mnemonic.
QString asCaption(const QString& label) {
    QString caption = label;
    return caption.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

TMyEdit::TMyEdit(EditHost& host, widgets::Seams& seams, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      host_(host), seams_(seams), editor_(editorContext(host, seams), *this) {
    setWindowTitle(tr("Edit"));
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* menuBar = new QMenuBar(this);
    layout->setMenuBar(menuBar);
    // The menus keep the desktop's colours, as the buttons and pages do.
    appearance::markColourPart(*menuBar, appearance::ColourPart::OwnColours);
    buildPages();
    buildButtons();
    buildMenus(*menuBar);
    widgets::preferMenuShortcuts(*this, *menuBar);
    resize(designSize(menuBar->sizeHint().height()));
    connect(this, &QDialog::finished, this, [this] { host_.displayCount(); });

    design_.record(*this, seams_.messages);
    host_.pickLists().loadAll(host_.programDirectory());
    applyBrowseMode();
}

TMyEdit::~TMyEdit() = default;

void TMyEdit::execFor(EditMode mode) {
    editor_.setMode(mode);
    exec();
}

void TMyEdit::openFor(EditMode mode) {
    editor_.setMode(mode);
    open();
}

QWidget* TMyEdit::control(int fieldNumber) const {
    if (fieldNumber < 1 || fieldNumber > db::kFieldCount) {
        return nullptr;
    }
    return controls_[static_cast<size_t>(fieldNumber - 1)];
}

QLabel* TMyEdit::label(int fieldNumber) const {
    if (fieldNumber < 1 || fieldNumber > db::kFieldCount) {
        return nullptr;
    }
    return labels_[static_cast<size_t>(fieldNumber - 1)];
}

int TMyEdit::fieldOf(const QObject* object) const {
    return object == nullptr ? 0 : object->property("vlmField").toInt();
}

int TMyEdit::focusedField() const {
    return fieldOf(focusWidget());
}

Page TMyEdit::currentPage() const {
    return static_cast<Page>(pages_->currentIndex());
}

QString TMyEdit::itemLineText() const {
    return itemLines_[0]->text();
}

QAction* TMyEdit::fileAction(const QString& text) const {
    for (QAction* action : findChildren<QAction*>()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

QPushButton* TMyEdit::button(const QString& text) const {
    for (QPushButton* candidate : findChildren<QPushButton*>()) {
        if (candidate->text() == text) {
            return candidate;
        }
    }
    return nullptr;
}

FormValues TMyEdit::values() const {
    FormValues values;
    for (int number = 1; number <= db::kFieldCount; ++number) {
        QWidget* widget = control(number);
        if (auto* date = qobject_cast<DateBox*>(widget)) {
            values.text(number) = date->boxText();
        } else if (auto* combo = qobject_cast<PickListCombo*>(widget)) {
            values.text(number) = combo->currentText();
        } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            values.text(number) = box->text();
        }
    }
    values.checkedOut = checkOut_->isChecked();
    return values;
}

void TMyEdit::setValues(const FormValues& values) {
    for (int number = 1; number <= db::kFieldCount; ++number) {
        QWidget* widget = control(number);
        if (auto* date = qobject_cast<DateBox*>(widget)) {
            date->setBoxText(values.text(number));
        } else if (auto* combo = qobject_cast<PickListCombo*>(widget)) {
            combo->setCurrentIndex(-1);
            combo->setEditText(values.text(number));
        } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            box->setText(values.text(number));
            box->setCursorPosition(0);
        }
    }
    // setChecked does not emit clicked(), so loading never runs the check-out toggle.
    checkOut_->setChecked(values.checkedOut);
    // The item line names the record now shown, not the one the user last left.
    refreshItemLine();
}

void TMyEdit::showField(int fieldNumber) {
    pages_->setCurrentWidget(pageWidgets_[static_cast<size_t>(pageOfField(fieldNumber))]);
    if (QWidget* widget = control(fieldNumber)) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

void TMyEdit::refreshItemLine() {
    const QString prefix =
        (host_.settings().fieldLabel(field::Title) + QStringLiteral(": ")).left(22);
    const QString text = prefix + qobject_cast<QLineEdit*>(control(field::Title))->text();
    for (QLabel* itemLine : itemLines_) {
        itemLine->setText(text);
    }
}

void TMyEdit::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        prepareForShowing();
    }
    QDialog::showEvent(event);
}

void TMyEdit::prepareForShowing() {
    design_.restore(*this);
    widgets::scaleAndCentre(*this, host_.windowSizeFactor(), seams_.screen.size());
    widgets::applyUserFonts(*this, host_.userFonts());
    applyFieldLabels();
    applyEditWindowColours();
    pages_->setCurrentIndex(static_cast<int>(Page::Description));
    for (int number : {field::PurchDate, field::CheckDate}) {
        qobject_cast<DateBox*>(control(number))->applyFormat(table::currentDateFormat());
    }
    editor_.prepareShow();
    control(field::Title)->setFocus(Qt::OtherFocusReason);
}

void TMyEdit::applyFieldLabels() {
    std::array<QString, db::kFieldCount> labels;
    for (int number = 1; number <= db::kFieldCount; ++number) {
        labels[static_cast<size_t>(number - 1)] = host_.settings().fieldLabel(number);
        if (QLabel* fieldLabel = label(number)) {
            fieldLabel->setText(asCaption(host_.settings().fieldLabel(number)));
        }
    }
    checkOut_->setText(asCaption(host_.settings().fieldLabel(field::CheckOut)));
    editor_.setFieldLabels(labels);
}

void TMyEdit::applyEditWindowColours() {
    appearance::applyColourSet(*this, host_.settings().colours(app::WindowGroup::Edit));
}

void TMyEdit::applyBrowseMode() {
    if (!host_.browseMode()) {
        return;
    }
    for (QAction* action : storingActions_) {
        action->setEnabled(false);
    }
    for (QPushButton* storing : storingButtons_) {
        storing->setEnabled(false);
    }
    for (QWidget* widget : controls_) {
        if (auto* combo = qobject_cast<PickListCombo*>(widget)) {
            combo->setReadOnly(true);
        } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            box->setReadOnly(true);
        }
    }
    checkOut_->setEnabled(false);
}

void TMyEdit::updateAndExit() {
    if (editor_.update()) {
        accept();
    }
}

void TMyEdit::exitForm() {
    if (editor_.confirmExit()) {
        accept();
    }
}

void TMyEdit::clipboardCommand(const std::function<void(QLineEdit&)>& operation) {
    QWidget* focused = focusWidget();
    if (focused == nullptr || qobject_cast<DateBox*>(focused) != nullptr) {
        return;
    }
    if (auto* combo = qobject_cast<PickListCombo*>(focused)) {
        operation(*combo->lineEdit());
    } else if (auto* box = qobject_cast<QLineEdit*>(focused)) {
        operation(*box);
    }
}

bool TMyEdit::eventFilter(QObject* watched, QEvent* event) {
    const int number = fieldOf(watched);
    if (number != 0 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            showField(nextInFocusOrder(number));
            return true;
        }
    } else if (number != 0 && event->type() == QEvent::FocusOut && refreshesItemLine(number)) {
        refreshItemLine();
    }
    return QDialog::eventFilter(watched, event);
}

void TMyEdit::keyPressEvent(QKeyEvent* event) {
    // Enter never presses a button here, and Escape does not throw away what was typed.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TMyEdit::done(int result) {
    // However the form closes, the lists go back to their files.
    host_.pickLists().saveAll(host_.programDirectory());
    QDialog::done(result);
}

} // namespace edit
