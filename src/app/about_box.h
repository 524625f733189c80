#pragma once

// The about box: the program's picture, name and version, and an Ok button.

#include "widgets/seams.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace app {

inline constexpr const char* kProgramVersion = "Version 3.0a";

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    TAboutBox(widgets::Seams& seams, double windowSizeFactor, QWidget* parent = nullptr);

    QLabel* ProductName() const { return productName_; }
    QLabel* Version() const { return version_; }
    QPushButton* OkButton() const { return okButton_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    widgets::Seams& seams_;
    double windowSizeFactor_;
    bool scaled_ = false;
    QLabel* productName_ = nullptr;
    QLabel* version_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

void showAboutBox(QWidget* parent, widgets::Seams& seams, double windowSizeFactor);

} // namespace app
