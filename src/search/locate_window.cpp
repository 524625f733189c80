// The Locate dialog's controls and the rules of its field list, default button and focus.

#include "appearance/colour_painting.h"
#include "db/field_catalogue.h"
#include "search/locate_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace search {

namespace {

constexpr std::array<const char*, 3> kMatchCaptions{"&Exact Match", "&Partial Match at Beginning",
                                                    "Partial Match &Anywhere"};

QPushButton* makeButton(QWidget* parent, const char* text, const char* name, const char* hint) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    if (hint != nullptr)
        button->setToolTip(QString::fromLatin1(hint));
    // Only the button the rules name is the default; focus alone never makes one.
    button->setAutoDefault(false);
    return button;
}

} // namespace

TMyLocateDlg::TMyLocateDlg(TMyLocateDialog& component, QWidget* parent)
    : QDialog(parent), component_(component) {
    setObjectName(QStringLiteral("TMyLocateDlg"));
    buildControls();
    paint(component_.appSettings_.colours(app::WindowGroup::Configure));
}

void TMyLocateDlg::buildControls() {
    fieldGroup_ = new QGroupBox(QStringLiteral("&Field To Search On"), this);
    fieldList_ = new QComboBox(fieldGroup_);
    fieldList_->setObjectName(QStringLiteral("FieldList"));
    fieldList_->setEditable(false);
    fieldList_->setToolTip(QStringLiteral("Select the field to search on"));
    fieldList_->setMinimumContentsLength(22);
    (new QVBoxLayout(fieldGroup_))->addWidget(fieldList_);

    typeGroup_ = new QGroupBox(QStringLiteral("&Search Type"), this);
    auto* typeLayout = new QVBoxLayout(typeGroup_);
    caseBox_ = new QCheckBox(QStringLiteral("&Case-sensitive"), typeGroup_);
    caseBox_->setObjectName(QStringLiteral("CaseSensitive"));
    typeLayout->addWidget(caseBox_);
    for (size_t type = 0; type < matchButtons_.size(); ++type) {
        matchButtons_[type] =
            new QRadioButton(QString::fromLatin1(kMatchCaptions[type]), typeGroup_);
        typeLayout->addWidget(matchButtons_[type]);
    }

    valueGroup_ = new QGroupBox(QStringLiteral("Search &Value"), this);
    valueEdit_ = new QLineEdit(valueGroup_);
    valueEdit_->setObjectName(QStringLiteral("SearchValue"));
    valueEdit_->setToolTip(QStringLiteral("Enter field's search value"));
    valueEdit_->setMaxLength(static_cast<int>(kLocateTextLimit));
    (new QVBoxLayout(valueGroup_))->addWidget(valueEdit_);

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    divider_ = divider;

    firstButton_ = makeButton(this, "Fi&rst", "FirstButton", "Find first match");
    nextButton_ = makeButton(this, "&Next", "NextButton", "Find next match from current record");
    cancelButton_ = makeButton(this, "Cancel", "CancelButton", nullptr);
    connect(firstButton_, &QPushButton::clicked, this, [this] { FirstButtonClick(); });
    connect(nextButton_, &QPushButton::clicked, this, [this] { NextButtonClick(); });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(fieldList_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_)
            fieldChosen();
    });
    fieldList_->installEventFilter(this);
    fieldList_->view()->installEventFilter(this);
    if (QWidget* popup = fieldList_->view()->parentWidget())
        popup->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {firstButton_, nextButton_, cancelButton_})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fieldGroup_);
    layout->addWidget(typeGroup_);
    layout->addWidget(valueGroup_);
    layout->addWidget(divider_);
    layout->addLayout(buttons);
}

void TMyLocateDlg::paint(const app::ColourSet& colours) {
    using appearance::ColourPart;
    appearance::paintColourPart(*this, ColourPart::Window, colours);
    for (QGroupBox* group : {fieldGroup_, typeGroup_, valueGroup_})
        appearance::paintColourPart(*group, ColourPart::MinorTitle, colours);
    appearance::paintColourPart(*divider_, ColourPart::Window, colours);
    for (QRadioButton* button : matchButtons_)
        appearance::paintColourPart(*button, ColourPart::Radio, colours);
    appearance::paintColourPart(*caseBox_, ColourPart::Check, colours);
    appearance::paintColourPart(*valueEdit_, ColourPart::Edit, colours);
    appearance::paintColourPart(*fieldList_, ColourPart::Combo, colours);
}

void TMyLocateDlg::fillFrom(const LocateSettings& settings, const table::Table& table) {
    filling_ = true;
    fieldList_->clear();
    for (const LocateField& field :
         locateFields(table, settings.sortedFields, settings.fieldSelection == 1))
        fieldList_->addItem(QString::fromStdString(field.label),
                            QString::fromStdString(field.name));
    fieldList_->setCurrentIndex(-1);
    setDefaultButton(settings.defaultButton == 1 ? nextButton_ : firstButton_);
    if (!settings.searchField.empty() && table.fieldIndex(settings.searchField) >= 0) {
        valueEdit_->setText(settings.searchValue);
        for (int row = 0; row < fieldList_->count(); ++row)
            if (db::sameFieldName(fieldList_->itemData(row).toString().toStdString(),
                                  settings.searchField))
                fieldList_->setCurrentIndex(row);
    } else {
        valueEdit_->clear();
    }
    // A search stored before is taken up at its value; a first one starts with the field.
    if (fieldList_->currentIndex() >= 0)
        valueEdit_->setFocus();
    else
        fieldList_->setFocus();
    caseBox_->setChecked(settings.caseSensitive);
    matchButton(settings.matchType)->setChecked(true);
    setWindowTitle(settings.caption);
    filling_ = false;
}

void TMyLocateDlg::storeInto(LocateSettings& settings, const table::Table& table) const {
    for (size_t type = 0; type < matchButtons_.size(); ++type)
        if (matchButtons_[type]->isChecked())
            settings.matchType = static_cast<MatchType>(type);
    settings.caseSensitive = caseBox_->isChecked();
    settings.searchValue = valueEdit_->text();
    settings.searchField =
        table.isOpen() ? fieldNameForLabel(table, fieldList_->currentText().toStdString()) : "";
}

LocateCriteria TMyLocateDlg::criteria() const {
    LocateSettings chosen;
    storeInto(chosen, component_.host_.bookTable());
    return {chosen.searchField, chosen.searchValue.toStdString(), chosen.matchType,
            chosen.caseSensitive};
}

void TMyLocateDlg::FirstButtonClick() {
    search(true);
}

void TMyLocateDlg::NextButtonClick() {
    search(false);
}

void TMyLocateDlg::search(bool fromFirst) {
    switch (component_.find(criteria(), fromFirst)) {
    case TMyLocateDialog::FindResult::Found:
        found_ = true;
        accept();
        return;
    case TMyLocateDialog::FindResult::NotFound:
        component_.information(fromFirst ? kNoMatchesFound : kNoMoreMatchesFound);
        return;
    case TMyLocateDialog::FindResult::Failed:
        return;
    }
}

void TMyLocateDlg::done(int result) {
    storeInto(component_.settings_, component_.host_.bookTable());
    QDialog::done(result);
}

void TMyLocateDlg::fieldChosen() {
    valueEdit_->clear();
    if (!listDroppedDown_)
        valueEdit_->setFocus();
}

void TMyLocateDlg::setDefaultButton(QPushButton* button) {
    for (QPushButton* candidate : {firstButton_, nextButton_})
        candidate->setDefault(candidate == button);
}

bool TMyLocateDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fieldList_) {
        // While the list has the focus Enter chooses nothing; leaving it gives "&Next" back.
        if (event->type() == QEvent::FocusIn) {
            setDefaultButton(nullptr);
        } else if (event->type() == QEvent::FocusOut &&
                   static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            setDefaultButton(nextButton_);
        }
    } else if (watched == fieldList_->view()) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                QTimer::singleShot(0, this, [this] { valueEdit_->setFocus(); });
        }
    } else if (event->type() == QEvent::Show) {
        listDroppedDown_ = true;
    } else if (event->type() == QEvent::Hide) {
        listDroppedDown_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace search
