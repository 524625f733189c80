#pragma once

// The Backup window: the kind of data to copy, the volume and folder to copy it to, and
// "&Start Back Up". The window stays open after a backup, so that several kinds can be copied
// in one visit; the work itself is backup::backUp.

#include "backup/backup_core.h"
#include "backup/dialog_look.h"
#include "widgets/seams.h"

#include <QDialog>

#include <array>
#include <vector>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeView;

namespace backup {

class TMyBackup : public QDialog {
    Q_OBJECT
public:
    // `host` (with its storage) outlives the window.
    TMyBackup(BackupHost& host, widgets::Seams& seams, const DialogLook& look,
              QWidget* parent = nullptr);

    QRadioButton* choice(BackupKind kind) const { return choices_[static_cast<size_t>(kind)]; }
    BackupKind chosenKind() const;
    QComboBox* DriveBox() const { return driveBox_; }
    QTreeView* DirBox() const { return dirBox_; }
    QPushButton* StartButton() const { return startButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }
    const std::vector<Volume>& volumes() const { return volumes_; }

    // The destination folder D: the directory list's current folder.
    QString destination() const { return destination_; }
    // Moves the drive box to the volume holding `folder` and the directory list to the folder.
    void setDestination(const QString& folder);

    void StartButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    QWidget* buildKindPanel();
    QWidget* buildDestinationPanel();
    void FormShow();
    void DriveBoxChange(int index);
    void showFolder(const QString& folder);
    void folderChosen(const QString& folder);

    BackupHost& host_;
    widgets::Seams& seams_;
    DialogLook look_;
    std::vector<Volume> volumes_;
    QString destination_;
    std::array<QRadioButton*, 3> choices_{};
    QComboBox* driveBox_ = nullptr;
    QTreeView* dirBox_ = nullptr;
    QLabel* dirLabel_ = nullptr; // the folder chosen, in full
    QFileSystemModel* folders_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    bool shownOnce_ = false;
};

// Relabels "&Cancel" as "&Close" and gives it the focus, as after every successful copy.
void offerClose(QPushButton& cancelButton);

} // namespace backup
