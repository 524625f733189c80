#pragma once

// The Restore window: the kind of data to bring back and "&Start Restore", which asks for the
// backup file and restores it (backup::restore). The window stays open after a restore.

#include "backup/dialog_look.h"
#include "backup/restore_core.h"
#include "widgets/seams.h"

#include <QDialog>

#include <array>

class QPushButton;
class QRadioButton;

namespace backup {

class TMyRestore : public QDialog {
    Q_OBJECT
public:
    // `host` outlives the window.
    TMyRestore(BackupHost& host, widgets::Seams& seams, const DialogLook& look,
               QWidget* parent = nullptr);

    QRadioButton* choice(RestoreKind kind) const { return choices_[static_cast<size_t>(kind)]; }
    RestoreKind chosenKind() const;
    QPushButton* StartButton() const { return startButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

    void StartButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    void FormShow();
    widgets::FileDialogRequest sourceRequest(RestoreKind kind) const;

    BackupHost& host_;
    widgets::Seams& seams_;
    DialogLook look_;
    QString lastFolder_;
    std::array<QRadioButton*, 3> choices_{};
    QPushButton* startButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    bool shownOnce_ = false;
};

} // namespace backup
