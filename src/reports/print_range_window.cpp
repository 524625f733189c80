#include "reports/print_range_window.h"

#include "appearance/colour_painting.h"
#include "reports/print_range_check.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

TPrintRange::TPrintRange(QWidget* parent, widgets::Seams& seams, const app::Settings& settings,
                         int pageCount)
    : QDialog(parent), seams_(seams), settings_(settings), pageCount_(pageCount) {
    setObjectName(QStringLiteral("TPrintRange"));
    setWindowTitle(QStringLiteral("Page Printing"));
    startPage_ = new QLineEdit(this);
    startPage_->setObjectName(QStringLiteral("StartPage"));
    endPage_ = new QLineEdit(this);
    endPage_->setObjectName(QStringLiteral("EndPage"));
    for (QLineEdit* edit : {startPage_, endPage_}) {
        edit->setMaxLength(3);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    }
    auto* fields = new QFormLayout;
    auto* startLabel = new QLabel(QStringLiteral("&Starting Page:"), this);
    startLabel->setBuddy(startPage_);
    auto* endLabel = new QLabel(QStringLiteral("&Ending Page:"), this);
    endLabel->setBuddy(endPage_);
    appearance::markColourPart(*startLabel, appearance::ColourPart::MinorTitle);
    appearance::markColourPart(*endLabel, appearance::ColourPart::MinorTitle);
    fields->addRow(startLabel, startPage_);
    fields->addRow(endLabel, endPage_);

    auto* printButton = new QPushButton(QStringLiteral("&Print"), this);
    printButton->setObjectName(QStringLiteral("PrintButton"));
    printButton->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(printButton, &QPushButton::clicked, this, [this] { PrintButtonClick(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(printButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

void TPrintRange::showEvent(QShowEvent* event) {
    appearance::applyColourSet(*this, settings_.colours(app::WindowGroup::Report));
    startPage_->setText(QStringLiteral("1"));
    endPage_->setText(QString::number(pageCount_));
    confirmed_ = false;
    startPage_->setFocus();
    startPage_->selectAll();
    QDialog::showEvent(event);
}

void TPrintRange::PrintButtonClick() {
    const PageRangeCheck check = checkPageRange(startPage_->text(), endPage_->text(), pageCount_);
    if (check.wrongField != PageRangeCheck::Field::None) {
        seams_.messages.error(check.message.toStdString());
        QLineEdit* wrong =
            check.wrongField == PageRangeCheck::Field::StartPage ? startPage_ : endPage_;
        wrong->setFocus();
        wrong->selectAll();
        return;
    }
    start_ = check.start;
    end_ = check.end;
    confirmed_ = true;
    accept();
}

} // namespace reports
