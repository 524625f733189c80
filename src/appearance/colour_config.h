#pragma once

// The colour window ("Color Configuration"): edits a working copy of one colour set, colour by
// colour or from a predefined combination, while painting itself as a live sample of it; "&Ok"
// stores the copy for its kind, "&Cancel" stores nothing.

#include "settings/settings.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QListWidget;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QCheckBox;

namespace appearance {

class TColorConfig : public QDialog {
    Q_OBJECT
public:
    // `settings` and the seams' objects outlive the window.
    TColorConfig(app::Settings& settings, const widgets::Seams& seams, double windowSizeFactor,
                 const widgets::UserFonts& fonts, QWidget* parent = nullptr);

    // Kind 1..6 (1 main, 2 edit, 3 search, 4 report, 5 configure, 6 all windows) and the set to
    // start from; both are given before the window is shown.
    void setKind(int kind) { kind_ = kind; }
    int kind() const { return kind_; }
    void setWorkingCopy(const app::ColourSet& colours);
    const app::ColourSet& workingCopy() const { return working_; }

    // After "&Ok": whether the main window's set was stored, so that it is repainted.
    bool mainWindowChanged() const { return mainWindowChanged_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    QPushButton* addColourButton(QWidget& panel, const char* name, const QString& caption,
                                 QRect geometry, app::ColourRole role);
    QWidget& addSection(const char* name, const QString& caption, QRect geometry);
    void chooseColour(app::ColourRole role);
    void ColorSetsChange(int index);
    void OkClick();
    void paintSample();

    app::Settings& settings_;
    widgets::Seams seams_;
    double windowSizeFactor_;
    widgets::UserFonts fonts_;
    int kind_ = 1;
    app::ColourSet working_;
    bool mainWindowChanged_ = false;
    bool placed_ = false;

    QList<QLabel*> sectionCaptions_;
    QLabel* predefinedCaption_ = nullptr;
    QLineEdit* sampleEdit_ = nullptr;
    QComboBox* sampleCombo_ = nullptr;
    QListWidget* sampleList_ = nullptr;
    QRadioButton* sampleRadio_ = nullptr;
    QCheckBox* sampleCheck_ = nullptr;
    QComboBox* colorSets_ = nullptr;
};

struct ColourWindowResult {
    bool stored = false;            // "&Ok" was chosen
    bool mainWindowChanged = false; // the main window's set changed: repaint it
};

// Opens the colour window for `kind` 1..6 on the set that kind edits (the main set for 6), shows
// it modally and stores on "&Ok". A kind outside 1..6 opens nothing.
ColourWindowResult runColourWindow(QWidget* parent, app::Settings& settings, int kind,
                                   const widgets::Seams& seams, double windowSizeFactor,
                                   const widgets::UserFonts& fonts);

} // namespace appearance
