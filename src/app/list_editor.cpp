#include "app/list_editor.h"

#include "widgets/grid_settings.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

namespace {

QStringList currentEntries(db::PickLists& lists, int listNumber) {
    db::PickList* list = pickListForListNumber(lists, listNumber);
    return list != nullptr ? list->entries() : QStringList();
}

void setColours(QWidget& widget, QPalette::ColorRole backgroundRole, Colour background,
                QPalette::ColorRole textRole, std::optional<Colour> text) {
    QPalette palette = widget.palette();
    // System colours (negative) leave the palette's own colour in place.
    if (background >= 0)
        palette.setColor(backgroundRole, widgets::colourFromSetting(background));
    if (text && *text >= 0)
        palette.setColor(textRole, widgets::colourFromSetting(*text));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

} // namespace

TMyEditBox::TMyEditBox(const ListMaintenanceEntry& entry, db::PickLists& lists,
                       widgets::Seams& seams, const Look& look, QWidget* parent)
    : QDialog(parent), listNumber_(entry.listNumber), lists_(lists), seams_(seams), look_(look),
      entries_(currentEntries(lists, entry.listNumber)) {
    setWindowTitle(listEditorCaption(entry));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    buildLayout();
    addInfo_->setMaxLength(entry.longestEntry);
    addInfo_->clear();
    refillList();
}

void TMyEditBox::buildLayout() {
    addInfo_ = new QLineEdit(this);
    addButton_ = new QPushButton(QStringLiteral("&Add"), this);
    theList_ = new QListWidget(this);
    theList_->setSortingEnabled(false);
    theList_->setSelectionMode(QAbstractItemView::SingleSelection);
    deleteButton_ = new QPushButton(QStringLiteral("&Delete"), this);
    okButton_ = new QPushButton(QStringLiteral("&Ok"), this);
    cancelButton_ = new QPushButton(QStringLiteral("&Cancel"), this);
    // Enter in the input box adds rather than closing the editor.
    for (QPushButton* button : {addButton_, deleteButton_, okButton_, cancelButton_})
        button->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(addInfo_, 0, 0);
    grid->addWidget(addButton_, 0, 1);
    grid->addWidget(theList_, 1, 0, 4, 1);
    grid->addWidget(deleteButton_, 1, 1);
    grid->addWidget(okButton_, 3, 1);
    grid->addWidget(cancelButton_, 4, 1, Qt::AlignTop);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);
    resize(400, 300);

    connect(addButton_, &QPushButton::clicked, this, &TMyEditBox::AddButtonClick);
    connect(addInfo_, &QLineEdit::returnPressed, this, &TMyEditBox::AddButtonClick);
    connect(deleteButton_, &QPushButton::clicked, this, &TMyEditBox::DeleteButtonClick);
    connect(okButton_, &QPushButton::clicked, this, &TMyEditBox::OkButtonClick);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(theList_, &QListWidget::currentRowChanged, this,
            [this](int row) { entries_.select(row); });
}

void TMyEditBox::applyColours() {
    const ColourSet& colours = look_.colours;
    setColours(*this, QPalette::Window, colours[ColourRole::MainBackground], QPalette::WindowText,
               std::nullopt);
    setColours(*addInfo_, QPalette::Base, colours[ColourRole::EditBackground], QPalette::Text,
               colours[ColourRole::EditText]);
    setColours(*theList_, QPalette::Base, colours[ColourRole::ListBoxBackground], QPalette::Text,
               colours[ColourRole::ListBoxText]);
}

void TMyEditBox::showEvent(QShowEvent* event) {
    if (!dressed_) {
        dressed_ = true;
        widgets::applyUserFonts(*this, look_.fonts);
        widgets::scaleAndCentre(*this, look_.windowSizeFactor, seams_.screen.size());
        applyColours();
        theList_->setFocus();
        if (theList_->count() > 0)
            theList_->setCurrentRow(0);
    }
    QDialog::showEvent(event);
}

void TMyEditBox::refillList() {
    const QSignalBlocker quiet(theList_);
    theList_->clear();
    theList_->addItems(entries_.entries());
    theList_->setCurrentRow(entries_.selected());
    if (entries_.selected() < 0)
        theList_->clearSelection();
}

void TMyEditBox::AddButtonClick() {
    if (entries_.add(addInfo_->text())) {
        const QSignalBlocker quiet(theList_);
        theList_->addItem(entries_.entries().back());
    }
    addInfo_->clear();
    addInfo_->setFocus();
}

void TMyEditBox::DeleteButtonClick() {
    entries_.select(theList_->selectedItems().isEmpty() ? -1 : theList_->currentRow());
    if (entries_.removeSelected())
        refillList();
}

void TMyEditBox::OkButtonClick() {
    if (db::PickList* list = pickListForListNumber(lists_, listNumber_))
        list->setEntries(entries_.entries());
    accept();
}

} // namespace app
