#include "backup/dialog_buttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

namespace backup {

DialogButtons makeDialogButtons(QDialog& window, const QString& startCaption,
                                widgets::Seams& seams) {
    DialogButtons buttons;
    buttons.start = new QPushButton(startCaption, &window);
    buttons.start->setObjectName(QStringLiteral("StartButton"));
    buttons.start->setDefault(true);
    buttons.cancel = new QPushButton(QStringLiteral("&Cancel"), &window);
    buttons.cancel->setObjectName(QStringLiteral("CancelButton"));
    auto* help = new QPushButton(QStringLiteral("&Help"), &window);
    help->setObjectName(QStringLiteral("HelpButton"));
    QObject::connect(buttons.cancel, &QPushButton::clicked, &window, &QDialog::reject);
    QObject::connect(help, &QPushButton::clicked, &window,
                     [&seams] { seams.help.showKeyword(QStringLiteral("Backup and Restore")); });
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_F1), &window), &QShortcut::activated, help,
                     &QPushButton::click);
    buttons.row = new QHBoxLayout;
    buttons.row->addStretch();
    buttons.row->addWidget(buttons.start);
    buttons.row->addWidget(buttons.cancel);
    buttons.row->addWidget(help);
    return buttons;
}

} // namespace backup
