#include "search/search_options.h"

#include "appearance/colour_painting.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace search {

TSearchOptions::TSearchOptions(QWidget* parent, const QString& fieldLabel,
                               const QStringList& entries, int selected,
                               const app::ColourSet& colours)
    : QDialog(parent), heading_(new QLabel(fieldLabel, this)), list_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Search Options"));
    setObjectName(QStringLiteral("TSearchOptions"));
    heading_->setAlignment(Qt::AlignCenter);
    list_->addItems(entries);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    if (selected >= 0 && selected < list_->count())
        list_->setCurrentRow(selected);
    else
        list_->setCurrentRow(-1);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* okButton = new QPushButton(QStringLiteral("&Ok"), this);
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(300, 260);

    appearance::paintColourPart(*this, appearance::ColourPart::Window, colours);
    appearance::paintColourPart(*heading_, appearance::ColourPart::MinorTitle, colours);
    appearance::paintColourPart(*list_, appearance::ColourPart::List, colours);
}

int TSearchOptions::selectedIndex() const {
    const QList<QListWidgetItem*> chosen = list_->selectedItems();
    return chosen.isEmpty() ? -1 : list_->row(chosen.front());
}

} // namespace search
