#include "appearance/colour_config.h"

#include "appearance/colour_painting.h"
#include "appearance/colour_sets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace appearance {

namespace {

using app::ColourRole;

const QString kSampleText = QStringLiteral("Sample Text");

// The window as designed for 640 x 480; the window-size factor scales it when shown.
constexpr QSize kDesignSize(568, 340);
constexpr int kSectionWidth = 176;
constexpr int kSectionHeight = 128;
constexpr int kSectionColumns[] = {8, 196, 384};
constexpr int kSectionRows[] = {8, 144};
constexpr QRect kSampleGeometry(8, 32, 160, 24);
constexpr QRect kTextButtonGeometry(8, 94, 78, 26);
constexpr QRect kBackgroundButtonGeometry(90, 94, 78, 26);

QRect sectionGeometry(int column, int row) {
    return QRect(kSectionColumns[column], kSectionRows[row], kSectionWidth, kSectionHeight);
}

} // namespace

TColorConfig::TColorConfig(app::Settings& settings, const widgets::Seams& seams,
                           double windowSizeFactor, const widgets::UserFonts& fonts,
                           QWidget* parent)
    : QDialog(parent), settings_(settings), seams_(seams), windowSizeFactor_(windowSizeFactor),
      fonts_(fonts) {
    setObjectName(QStringLiteral("TColorConfig"));
    setWindowTitle(QStringLiteral("Color Configuration"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(kDesignSize);
    createControls();
}

void TColorConfig::setWorkingCopy(const app::ColourSet& colours) {
    working_ = colours;
    if (isVisible()) {
        paintSample();
    }
}

QWidget& TColorConfig::addSection(const char* name, const QString& caption, QRect geometry) {
    auto* panel = new QFrame(this);
    panel->setObjectName(QString::fromLatin1(name) + QStringLiteral("Panel"));
    panel->setFrameShape(QFrame::Box);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(geometry);
    auto* label = new QLabel(caption, panel);
    label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    label->setGeometry(8, 6, 160, 20);
    markColourPart(*label, ColourPart::MajorTitle);
    sectionCaptions_.append(label);
    return *panel;
}

QPushButton* TColorConfig::addColourButton(QWidget& panel, const char* name, const QString& caption,
                                           QRect geometry, ColourRole role) {
    auto* button = new QPushButton(caption, &panel);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, role] { chooseColour(role); });
    return button;
}

void TColorConfig::createControls() {
    QWidget& window = addSection("Window", QStringLiteral("Window"), sectionGeometry(0, 0));
    addColourButton(window, "BackgroundButton", QStringLiteral("Background"), QRect(8, 30, 160, 26),
                    ColourRole::MainBackground);
    addColourButton(window, "MajorTitlesButton", QStringLiteral("Major Titles"),
                    QRect(8, 62, 160, 26), ColourRole::MajorTitle);
    addColourButton(window, "MinorTitlesButton", QStringLiteral("Minor Titles"),
                    QRect(8, 94, 160, 26), ColourRole::MinorTitle);

    QWidget& radio = addSection("Radio", QStringLiteral("Radio Button"), sectionGeometry(1, 0));
    sampleRadio_ = new QRadioButton(kSampleText, &radio);
    sampleRadio_->setObjectName(QStringLiteral("SampleRadio"));
    sampleRadio_->setGeometry(kSampleGeometry);
    sampleRadio_->setChecked(true);
    addColourButton(radio, "RadioTextButton", QStringLiteral("Text"), kTextButtonGeometry,
                    ColourRole::RadioText);
    addColourButton(radio, "RadioBackgroundButton", QStringLiteral("Background"),
                    kBackgroundButtonGeometry, ColourRole::RadioBackground);

    QWidget& check = addSection("Check", QStringLiteral("Check Box"), sectionGeometry(2, 0));
    sampleCheck_ = new QCheckBox(kSampleText, &check);
    sampleCheck_->setObjectName(QStringLiteral("SampleCheck"));
    sampleCheck_->setGeometry(kSampleGeometry);
    sampleCheck_->setChecked(true);
    addColourButton(check, "CheckTextButton", QStringLiteral("Text"), kTextButtonGeometry,
                    ColourRole::CheckText);
    addColourButton(check, "CheckBackgroundButton", QStringLiteral("Background"),
                    kBackgroundButtonGeometry, ColourRole::CheckBackground);

    QWidget& edit = addSection("Edit", QStringLiteral("Edit Box"), sectionGeometry(0, 1));
    sampleEdit_ = new QLineEdit(kSampleText, &edit);
    sampleEdit_->setObjectName(QStringLiteral("SampleEdit"));
    sampleEdit_->setGeometry(kSampleGeometry);
    addColourButton(edit, "EditTextButton", QStringLiteral("Text"), kTextButtonGeometry,
                    ColourRole::EditText);
    addColourButton(edit, "EditBackgroundButton", QStringLiteral("Background"),
                    kBackgroundButtonGeometry, ColourRole::EditBackground);

    QWidget& combo = addSection("Combo", QStringLiteral("Combo Box"), sectionGeometry(1, 1));
    sampleCombo_ = new QComboBox(&combo);
    sampleCombo_->setObjectName(QStringLiteral("SampleCombo"));
    sampleCombo_->addItem(kSampleText);
    sampleCombo_->setGeometry(kSampleGeometry);
    addColourButton(combo, "ComboTextButton", QStringLiteral("Text"), kTextButtonGeometry,
                    ColourRole::ComboText);
    addColourButton(combo, "ComboBackgroundButton", QStringLiteral("Background"),
                    kBackgroundButtonGeometry, ColourRole::ComboBackground);

    QWidget& list = addSection("List", QStringLiteral("List Box"), sectionGeometry(2, 1));
    sampleList_ = new QListWidget(&list);
    sampleList_->setObjectName(QStringLiteral("SampleList"));
    sampleList_->addItems({kSampleText, kSampleText});
    sampleList_->setGeometry(8, 30, 160, 56);
    addColourButton(list, "ListTextButton", QStringLiteral("Text"), kTextButtonGeometry,
                    ColourRole::ListBoxText);
    addColourButton(list, "ListBackgroundButton", QStringLiteral("Background"),
                    kBackgroundButtonGeometry, ColourRole::ListBoxBackground);

    predefinedCaption_ = new QLabel(QStringLiteral("Predefined Color Combinations"), this);
    predefinedCaption_->setObjectName(QStringLiteral("PredefinedLabel"));
    predefinedCaption_->setGeometry(8, 282, 260, 20);
    markColourPart(*predefinedCaption_, ColourPart::MinorTitle);
    colorSets_ = new QComboBox(this);
    colorSets_->setObjectName(QStringLiteral("ColorSets"));
    colorSets_->addItem(QString());
    for (const ColourCombination& combination : colourCombinations()) {
        colorSets_->addItem(QString::fromLatin1(combination.name));
    }
    colorSets_->setMaxVisibleItems(kCombinationCount + 1);
    colorSets_->setGeometry(8, 304, 260, 24);
    connect(colorSets_, &QComboBox::activated, this, &TColorConfig::ColorSetsChange);

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setGeometry(384, 302, 84, 28);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TColorConfig::OkClick);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setGeometry(476, 302, 84, 28);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TColorConfig::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        widgets::applyUserFonts(*this, fonts_);
        widgets::scaleAndCentre(*this, windowSizeFactor_, seams_.screen.size());
    }
    paintSample();
    QDialog::showEvent(event);
}

void TColorConfig::chooseColour(ColourRole role) {
    const auto chosen = seams_.colours.chooseColour(this, toQColor(working_[role]));
    if (!chosen || !chosen->isValid()) {
        return;
    }
    working_[role] = fromQColor(*chosen);
    paintSample();
}

void TColorConfig::ColorSetsChange(int index) {
    // The empty first entry changes nothing.
    if (index < 1 || index > kCombinationCount) {
        return;
    }
    applyCombination(working_, colourCombinations()[static_cast<size_t>(index - 1)]);
    paintSample();
}

void TColorConfig::OkClick() {
    mainWindowChanged_ = storeWorkingCopy(settings_, kind_, working_);
    accept();
}

void TColorConfig::paintSample() {
    paintColourPart(*this, ColourPart::Window, working_);
    for (QLabel* caption : sectionCaptions_) {
        paintColourPart(*caption, ColourPart::MajorTitle, working_);
    }
    paintColourPart(*predefinedCaption_, ColourPart::MinorTitle, working_);
    paintColourPart(*sampleEdit_, ColourPart::Edit, working_);
    paintColourPart(*sampleCombo_, ColourPart::Combo, working_);
    paintColourPart(*colorSets_, ColourPart::Combo, working_);
    paintColourPart(*sampleList_, ColourPart::List, working_);
    paintColourPart(*sampleRadio_, ColourPart::Radio, working_);
    paintColourPart(*sampleCheck_, ColourPart::Check, working_);
}

ColourWindowResult runColourWindow(QWidget* parent, app::Settings& settings, int kind,
                                   const widgets::Seams& seams, double windowSizeFactor,
                                   const widgets::UserFonts& fonts) {
    const auto workingCopy = workingCopyForKind(settings, kind);
    if (!workingCopy) {
        return {};
    }
    TColorConfig window(settings, seams, windowSizeFactor, fonts, parent);
    window.setKind(kind);
    window.setWorkingCopy(*workingCopy);
    ColourWindowResult result;
    result.stored = window.exec() == QDialog::Accepted;
    result.mainWindowChanged = result.stored && window.mainWindowChanged();
    return result;
}

} // namespace appearance
