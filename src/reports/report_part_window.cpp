#include "reports/report_part_window.h"

#include "appearance/colour_painting.h"
#include "db/field_catalogue.h"
#include "reports/report_design.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace reports {

namespace {

// The list row of a field part's Item: field names match without regard to case, total names
// exactly; -1 when there is none.
int rowOfItem(const QString& item, bool totalsLine) {
    if (totalsLine)
        return totalNumberFor(item) - 1;
    const db::FieldInfo* field = db::fieldByName(item.toStdString());
    return field ? field->number - 1 : -1;
}

} // namespace

TReportPart::TReportPart(QWidget* parent, const widgets::Seams& seams,
                         const app::Settings& settings, const ReportLine& line, int lineNumber,
                         int part, int designWidth)
    : QDialog(parent), seams_(seams), line_(line), lineNumber_(lineNumber), part_(part),
      designWidth_(designWidth) {
    setObjectName(QStringLiteral("TReportPart"));
    setWindowTitle(QStringLiteral("Select Report Part"));
    const bool totals = lineNumber_ == kTotalsLineNumber;
    const ReportPart& current = line_[static_cast<size_t>(part_ - 1)];

    auto* selected = new QGroupBox(QStringLiteral("Selected Part"), this);
    appearance::markColourPart(*selected, appearance::ColourPart::MinorTitle);
    auto* where =
        new QLabel(totals ? QStringLiteral("Totals Line, Item %1").arg(part_)
                          : QStringLiteral("Line %1, Item %2").arg(lineNumber_).arg(part_),
                   selected);
    where->setObjectName(QStringLiteral("SelectedPart"));
    (new QVBoxLayout(selected))->addWidget(where);

    auto* kindGroup = new QGroupBox(QStringLiteral("Part Type"), this);
    appearance::markColourPart(*kindGroup, appearance::ColourPart::MinorTitle);
    fieldButton_ = new QRadioButton(QStringLiteral("Field (database value)"), kindGroup);
    fieldButton_->setObjectName(QStringLiteral("FieldButton"));
    labelButton_ = new QRadioButton(QStringLiteral("Label (constant value)"), kindGroup);
    labelButton_->setObjectName(QStringLiteral("LabelButton"));
    fillerButton_ = new QRadioButton(QStringLiteral("Filler (empty space)"), kindGroup);
    fillerButton_->setObjectName(QStringLiteral("FillerButton"));
    labelName_ = new QLineEdit(kindGroup);
    labelName_->setObjectName(QStringLiteral("LabelName"));
    labelName_->setMaxLength(40);
    fieldWidth_ = new QLineEdit(QString::number(current.width), kindGroup);
    fieldWidth_->setObjectName(QStringLiteral("FieldWidth"));
    fieldWidth_->setMaxLength(3);
    auto* kindLayout = new QGridLayout(kindGroup);
    kindLayout->addWidget(fieldButton_, 0, 0, 1, 2);
    kindLayout->addWidget(labelButton_, 1, 0, 1, 2);
    kindLayout->addWidget(fillerButton_, 2, 0, 1, 2);
    kindLayout->addWidget(new QLabel(QStringLiteral("Label"), kindGroup), 3, 0);
    kindLayout->addWidget(labelName_, 3, 1);
    kindLayout->addWidget(new QLabel(QStringLiteral("Width"), kindGroup), 4, 0);
    kindLayout->addWidget(fieldWidth_, 4, 1);

    auto* listGroup = new QGroupBox(QStringLiteral("Fields"), this);
    appearance::markColourPart(*listGroup, appearance::ColourPart::MinorTitle);
    fieldList_ = new QListWidget(listGroup);
    fieldList_->setObjectName(QStringLiteral("FieldList"));
    (new QVBoxLayout(listGroup))->addWidget(fieldList_);
    if (totals) {
        for (const char* name : kTotalItems)
            fieldList_->addItem(QString::fromLatin1(name));
    } else {
        for (int number = 1; number <= db::kFieldCount; ++number)
            fieldList_->addItem(settings.fieldLabel(number));
    }

    if (current.isLabel()) {
        labelButton_->setChecked(true);
        labelName_->setText(current.labelText);
    } else if (current.isFiller()) {
        fillerButton_->setChecked(true);
    } else {
        fieldButton_->setChecked(true);
        fieldList_->setCurrentRow(rowOfItem(current.item, totals));
    }
    kindChanged();
    for (QRadioButton* button : {fieldButton_, labelButton_, fillerButton_}) {
        connect(button, &QRadioButton::toggled, this, &TReportPart::kindChanged);
        connect(button, &QRadioButton::toggled, this, &TReportPart::controlsChanged);
    }
    for (QLineEdit* edit : {labelName_, fieldWidth_})
        connect(edit, &QLineEdit::textChanged, this, &TReportPart::controlsChanged);
    connect(fieldList_, &QListWidget::currentRowChanged, this, &TReportPart::controlsChanged);

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(ok, &QPushButton::clicked, this, &TReportPart::OkButtonClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(selected);
    left->addWidget(kindGroup);
    left->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    left->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(listGroup, 1);
    resize(480, 340);
    design_.record(*this, seams_.messages);
}

void TReportPart::kindChanged() {
    labelName_->setEnabled(labelButton_->isChecked());
    fieldList_->setEnabled(fieldButton_->isChecked());
    if (fieldButton_->isChecked() || fillerButton_->isChecked())
        labelName_->clear();
}

PartChoice TReportPart::choice() const {
    PartChoice chosen;
    chosen.kind = fieldButton_->isChecked()   ? PartChoice::Kind::Field
                  : labelButton_->isChecked() ? PartChoice::Kind::Label
                                              : PartChoice::Kind::Filler;
    chosen.labelText = labelName_->text();
    chosen.listRow = fieldList_->currentItem() ? fieldList_->currentRow() : -1;
    chosen.widthText = fieldWidth_->text();
    return chosen;
}

void TReportPart::controlsChanged() {
    const PartChoice chosen = choice();
    // A width OK would refuse is not shown: its message belongs to OK.
    bool converts = false;
    if (chosen.widthText.trimmed().toInt(&converts) < 0 || !converts)
        return;
    if (const auto line = applyPartChoice(line_, part_, lineNumber_ == kTotalsLineNumber, chosen,
                                          designWidth_, seams_.messages))
        emit lineEdited(*line);
}

void TReportPart::OkButtonClick() {
    result_ = applyPartChoice(line_, part_, lineNumber_ == kTotalsLineNumber, choice(),
                              designWidth_, seams_.messages);
    if (!result_) {
        fieldWidth_->setFocus();
        return;
    }
    accept();
}

} // namespace reports
