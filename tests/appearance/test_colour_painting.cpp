#include "appearance/colour_painting.h"
#include "appearance/colour_sets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

using app::ColourRole;
using app::ColourSet;
using appearance::ColourPart;

// Every colour of the set differs, so that a widget painted from the wrong entry shows.
ColourSet numberedSet(int base) {
    ColourSet set;
    for (int i = 0; i < app::kColourRoleCount; ++i) {
        set.colours[static_cast<size_t>(i)] = appearance::rgbColour(base + i, 0, 0);
    }
    return set;
}

QColor entry(const ColourSet& set, ColourRole role) {
    return appearance::toQColor(set[role]);
}

QColor shown(const QWidget* widget, QPalette::ColorRole role) {
    return widget->palette().color(QPalette::Active, role);
}

QColor filled(const QWidget* widget) {
    return widget->palette().color(widget->backgroundRole());
}

class PaintingAWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        static QApplication application(argc, argv);
    }

    PaintingAWindow() {
        appearance::markColourPart(*major, ColourPart::MajorTitle);
        appearance::markColourPart(*minor, ColourPart::MinorTitle);
        appearance::markColourPart(*ownList, ColourPart::OwnColours);
        editableCombo->setEditable(true);
        table->setRowCount(2);
        table->setColumnCount(2);
    }

    QWidget window;
    QLabel* major = new QLabel("Book Viewer", &window);
    QLabel* minor = new QLabel("Navigation Controls", &window);
    QLabel* plain = new QLabel("Plain", &window);
    QLineEdit* edit = new QLineEdit(&window);
    QSpinBox* spin = new QSpinBox(&window);
    QComboBox* editableCombo = new QComboBox(&window);
    QListWidget* list = new QListWidget(&window);
    QTableWidget* table = new QTableWidget(&window);
    QListWidget* ownList = new QListWidget(&window);
    QGroupBox* group = new QGroupBox("Search Type", &window);
    QRadioButton* radio = new QRadioButton("Exact", group);
    QCheckBox* check = new QCheckBox("&Case-sensitive", group);
    QPushButton* button = new QPushButton("&Ok", &window);
    QDialog* ownWindow = new QDialog(&window);
    QLineEdit* editOfOwnWindow = new QLineEdit(ownWindow);
};

TEST_F(PaintingAWindow, EveryControlTakesTheColoursOfItsRole) {
    const ColourSet set = numberedSet(1);
    appearance::applyColourSet(window, set);
    const QPalette standard = QApplication::palette();

    EXPECT_EQ(filled(&window), entry(set, ColourRole::MainBackground));
    EXPECT_EQ(shown(major, QPalette::WindowText), entry(set, ColourRole::MajorTitle));
    EXPECT_EQ(filled(major), entry(set, ColourRole::MainBackground));
    EXPECT_EQ(shown(minor, QPalette::WindowText), entry(set, ColourRole::MinorTitle));
    EXPECT_EQ(shown(plain, QPalette::Window), entry(set, ColourRole::MainBackground));
    for (const QWidget* box : {static_cast<QWidget*>(edit), static_cast<QWidget*>(spin)}) {
        EXPECT_EQ(shown(box, QPalette::Base), entry(set, ColourRole::EditBackground));
        EXPECT_EQ(shown(box, QPalette::Text), entry(set, ColourRole::EditText));
    }
    // The edit box inside a combo box is part of the combo box.
    EXPECT_EQ(shown(editableCombo->lineEdit(), QPalette::Base),
              entry(set, ColourRole::ComboBackground));
    EXPECT_EQ(shown(editableCombo, QPalette::Text), entry(set, ColourRole::ComboText));
    EXPECT_EQ(shown(editableCombo->view(), QPalette::Base),
              entry(set, ColourRole::ComboBackground));
    for (const QWidget* box : {static_cast<QWidget*>(list), static_cast<QWidget*>(table)}) {
        EXPECT_EQ(shown(box, QPalette::Base), entry(set, ColourRole::ListBoxBackground));
        EXPECT_EQ(shown(box, QPalette::Text), entry(set, ColourRole::ListBoxText));
    }
    EXPECT_EQ(shown(ownList, QPalette::Base), standard.color(QPalette::Base));
    EXPECT_EQ(filled(radio), entry(set, ColourRole::RadioBackground));
    EXPECT_EQ(shown(radio, QPalette::WindowText), entry(set, ColourRole::RadioText));
    EXPECT_EQ(filled(check), entry(set, ColourRole::CheckBackground));
    EXPECT_EQ(shown(check, QPalette::WindowText), entry(set, ColourRole::CheckText));
    EXPECT_EQ(shown(button, QPalette::Button), standard.color(QPalette::Button));
    EXPECT_EQ(shown(editOfOwnWindow, QPalette::Base), standard.color(QPalette::Base));
    // Disabled controls keep the style's greyed text.
    EXPECT_EQ(edit->palette().color(QPalette::Disabled, QPalette::Text),
              standard.color(QPalette::Disabled, QPalette::Text));
}

TEST_F(PaintingAWindow, ASecondSetReplacesTheFirstEverywhere) {
    appearance::applyColourSet(window, numberedSet(1));
    const ColourSet second = numberedSet(100);
    appearance::applyColourSet(window, second);
    EXPECT_EQ(filled(&window), entry(second, ColourRole::MainBackground));
    EXPECT_EQ(shown(plain, QPalette::Window), entry(second, ColourRole::MainBackground));
    EXPECT_EQ(shown(major, QPalette::WindowText), entry(second, ColourRole::MajorTitle));
    EXPECT_EQ(shown(editableCombo->lineEdit(), QPalette::Base),
              entry(second, ColourRole::ComboBackground));
    EXPECT_EQ(shown(table, QPalette::Text), entry(second, ColourRole::ListBoxText));
    EXPECT_EQ(filled(check), entry(second, ColourRole::CheckBackground));
    EXPECT_EQ(shown(ownList, QPalette::Base), QApplication::palette().color(QPalette::Base));
}

} // namespace
