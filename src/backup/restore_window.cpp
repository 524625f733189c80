#include "backup/restore_window.h"

#include "appearance/colour_painting.h"
#include "backup/backup_window.h"
#include "backup/dialog_buttons.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace backup {

namespace {

struct SourceDialog {
    const char* caption; // of the radio button
    const char* name;    // of the radio button
    const char* title;
    const char* suffix;
    const char* filter;
    const char* fileName;
};

constexpr std::array<SourceDialog, 3> kSources{{
    {"Restore a Database File (*.DBF)", "DatabaseChoice", "Restore DBF File", "DBF",
     "DBase Files (*.DBF)", ""},
    {"Restore List Files (*.LST)", "ListsChoice", "Restore LST Files", "LST", "List Files (*.LST)",
     ""},
    {"Restore Report Definitions (*.URP)", "ReportsChoice", "Restore URP File", "URP",
     "Reports Files (*.URP)", "VLMBOOK.URP"},
}};

} // namespace

TMyRestore::TMyRestore(BackupHost& host, widgets::Seams& seams, const DialogLook& look,
                       QWidget* parent)
    : QDialog(parent), host_(host), seams_(seams), look_(look), lastFolder_(QDir::homePath()) {
    setObjectName(QStringLiteral("TMyRestore"));
    setWindowTitle(QStringLiteral("Restore"));
    buildWindow();
}

void TMyRestore::buildWindow() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("WhatPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    appearance::markColourPart(*panel, appearance::ColourPart::Window);
    auto* body = new QVBoxLayout(panel);
    auto* title = new QLabel(QStringLiteral("What To Restore"), panel);
    appearance::markColourPart(*title, appearance::ColourPart::MajorTitle);
    body->addWidget(title);
    for (size_t i = 0; i < choices_.size(); ++i) {
        choices_[i] = new QRadioButton(QString::fromLatin1(kSources[i].caption), panel);
        choices_[i]->setObjectName(QString::fromLatin1(kSources[i].name));
        body->addWidget(choices_[i]);
    }

    const DialogButtons buttons =
        makeDialogButtons(*this, QStringLiteral("&Start Restore"), seams_);
    startButton_ = buttons.start;
    cancelButton_ = buttons.cancel;
    connect(startButton_, &QPushButton::clicked, this, [this] { StartButtonClick(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addStretch();
    layout->addLayout(buttons.row);
    resize(360, 220);
}

RestoreKind TMyRestore::chosenKind() const {
    for (size_t i = 0; i < choices_.size(); ++i)
        if (choices_[i]->isChecked())
            return static_cast<RestoreKind>(i);
    return RestoreKind::Database;
}

void TMyRestore::showEvent(QShowEvent* event) {
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TMyRestore::FormShow() {
    widgets::prepareToShow(*this, nullptr, look_.windowSizeFactor, seams_.screen.size(),
                           look_.fonts);
    appearance::applyColourSet(*this, look_.colours);
    choice(RestoreKind::Database)->setChecked(true);
}

widgets::FileDialogRequest TMyRestore::sourceRequest(RestoreKind kind) const {
    const SourceDialog& source = kSources[static_cast<size_t>(kind)];
    widgets::FileDialogRequest request;
    request.title = QString::fromLatin1(source.title);
    request.directory = lastFolder_;
    request.fileName = QString::fromLatin1(source.fileName);
    request.filters = QStringList{QString::fromLatin1(source.filter)};
    request.defaultSuffix = QString::fromLatin1(source.suffix);
    return request;
}

void TMyRestore::StartButtonClick() {
    const RestoreKind kind = chosenKind();
    const QString chosen = seams_.files.openFileName(this, sourceRequest(kind));
    if (chosen.isEmpty())
        return;
    lastFolder_ = QFileInfo(chosen).absolutePath();
    if (restore(host_, kind, chosen) == Outcome::Done)
        offerClose(*cancelButton_);
}

} // namespace backup
