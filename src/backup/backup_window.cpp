#include "backup/backup_window.h"

#include "appearance/colour_painting.h"
#include "backup/dialog_buttons.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace backup {

namespace {

constexpr std::array<const char*, 3> kChoiceCaptions{"Back Up Current Database (*.DBF)",
                                                     "Back Up Lists (*.LST)",
                                                     "Back Up Report Definitions (*.URP)"};
constexpr std::array<const char*, 3> kChoiceNames{"DatabaseChoice", "ListsChoice", "ReportsChoice"};

// A panel with its caption above its controls.
QFrame* makePanel(QWidget* parent, const char* name, const char* caption, QVBoxLayout*& body) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameShape(QFrame::StyledPanel);
    appearance::markColourPart(*panel, appearance::ColourPart::Window);
    body = new QVBoxLayout(panel);
    auto* title = new QLabel(QString::fromLatin1(caption), panel);
    appearance::markColourPart(*title, appearance::ColourPart::MajorTitle);
    body->addWidget(title);
    return panel;
}

} // namespace

void offerClose(QPushButton& cancelButton) {
    cancelButton.setText(QStringLiteral("&Close"));
    cancelButton.setFocus();
}

TMyBackup::TMyBackup(BackupHost& host, widgets::Seams& seams, const DialogLook& look,
                     QWidget* parent)
    : QDialog(parent), host_(host), seams_(seams), look_(look) {
    setObjectName(QStringLiteral("TMyBackup"));
    setWindowTitle(QStringLiteral("Backup"));
    buildWindow();
}

void TMyBackup::buildWindow() {
    const DialogButtons buttons =
        makeDialogButtons(*this, QStringLiteral("&Start Back Up"), seams_);
    startButton_ = buttons.start;
    cancelButton_ = buttons.cancel;
    connect(startButton_, &QPushButton::clicked, this, [this] { StartButtonClick(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildKindPanel());
    layout->addWidget(buildDestinationPanel(), 1);
    layout->addLayout(buttons.row);
    resize(420, 440);
}

QWidget* TMyBackup::buildKindPanel() {
    QVBoxLayout* body = nullptr;
    QFrame* panel = makePanel(this, "WhatPanel", "What To Back Up", body);
    for (size_t i = 0; i < choices_.size(); ++i) {
        choices_[i] = new QRadioButton(QString::fromLatin1(kChoiceCaptions[i]), panel);
        choices_[i]->setObjectName(QString::fromLatin1(kChoiceNames[i]));
        body->addWidget(choices_[i]);
    }
    return panel;
}

QWidget* TMyBackup::buildDestinationPanel() {
    QVBoxLayout* body = nullptr;
    QFrame* panel = makePanel(this, "WherePanel", "Where To Back Up To", body);
    driveBox_ = new QComboBox(panel);
    driveBox_->setObjectName(QStringLiteral("DriveBox"));
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders_->setReadOnly(true);
    folders_->setRootPath(QStringLiteral("/"));
    dirBox_ = new QTreeView(panel);
    dirBox_->setObjectName(QStringLiteral("DirBox"));
    dirBox_->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        dirBox_->hideColumn(column);
    dirBox_->header()->hide();
    dirLabel_ = new QLabel(panel);
    dirLabel_->setObjectName(QStringLiteral("DirLabel"));
    dirLabel_->setTextFormat(Qt::PlainText);
    body->addWidget(driveBox_);
    body->addWidget(dirLabel_);
    body->addWidget(dirBox_, 1);
    connect(driveBox_, &QComboBox::activated, this, [this](int index) { DriveBoxChange(index); });
    connect(dirBox_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    folderChosen(folders_->filePath(current));
            });
    return panel;
}

BackupKind TMyBackup::chosenKind() const {
    for (size_t i = 0; i < choices_.size(); ++i)
        if (choices_[i]->isChecked())
            return static_cast<BackupKind>(i);
    return BackupKind::Database;
}

void TMyBackup::showEvent(QShowEvent* event) {
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TMyBackup::FormShow() {
    widgets::prepareToShow(*this, nullptr, look_.windowSizeFactor, seams_.screen.size(),
                           look_.fonts);
    appearance::applyColourSet(*this, look_.colours);
    choice(BackupKind::Database)->setChecked(true);
    volumes_ = host_.storage().mountedVolumes();
    driveBox_->clear();
    for (const Volume& volume : volumes_)
        driveBox_->addItem(volume.displayName, volume.rootPath);
    setDestination(host_.programDirectory());
}

void TMyBackup::setDestination(const QString& folder) {
    const int volume = volumeHolding(volumes_, folder);
    driveBox_->setCurrentIndex(volume);
    showFolder(folder);
}

// The drive box moves the directory list to the root of the volume chosen.
void TMyBackup::DriveBoxChange(int index) {
    if (index >= 0 && index < static_cast<int>(volumes_.size()))
        showFolder(volumes_[static_cast<size_t>(index)].rootPath);
}

void TMyBackup::showFolder(const QString& folder) {
    const int volume = driveBox_->currentIndex();
    const QString root =
        volume >= 0 ? volumes_[static_cast<size_t>(volume)].rootPath : QStringLiteral("/");
    dirBox_->setRootIndex(folders_->index(root));
    const QModelIndex current = folders_->index(folder);
    dirBox_->setCurrentIndex(current);
    dirBox_->scrollTo(current);
    folderChosen(current.isValid() ? folders_->filePath(current) : folder);
}

void TMyBackup::folderChosen(const QString& folder) {
    destination_ = folder;
    dirLabel_->setText(QDir::toNativeSeparators(folder));
}

void TMyBackup::StartButtonClick() {
    if (backUp(host_, chosenKind(), destination_) == Outcome::Done)
        offerClose(*cancelButton_);
}

} // namespace backup
