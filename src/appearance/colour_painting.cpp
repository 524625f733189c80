#include "appearance/colour_painting.h"

#include "appearance/colour_sets.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QVariant>
#include <QWidget>

#include <optional>

namespace appearance {

namespace {

using app::ColourRole;

constexpr const char* kColourPartProperty = "volumaraColourPart";

// Text colours are set for the active and inactive window so that disabled controls keep the
// style's greyed text.
void setText(QPalette& palette, QPalette::ColorRole role, const QColor& colour) {
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
}

void paintBackgroundAndText(QWidget& widget, const QColor& background, const QColor& text) {
    QPalette palette = widget.palette();
    // Buttons of every kind fill their background from the button role.
    palette.setColor(QPalette::Window, background);
    palette.setColor(widget.backgroundRole(), background);
    setText(palette, QPalette::WindowText, text);
    setText(palette, widget.foregroundRole(), text);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void paintBox(QWidget& widget, const QColor& background, const QColor& text) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Base, background);
    setText(palette, QPalette::Text, text);
    widget.setPalette(palette);
}

void paintCombo(QWidget& widget, const QColor& background, const QColor& text) {
    QPalette palette = widget.palette();
    // A drop-down list that cannot be typed in is drawn as a button.
    for (auto role : {QPalette::Base, QPalette::Button}) {
        palette.setColor(role, background);
    }
    for (auto role : {QPalette::Text, QPalette::ButtonText}) {
        setText(palette, role, text);
    }
    widget.setPalette(palette);
    if (auto* combo = qobject_cast<QComboBox*>(&widget); combo != nullptr && combo->view()) {
        paintBox(*combo->view(), background, text);
    }
}

// The application's colours for the widget, every role set: a palette that sets nothing would
// let the widget inherit the window's colours again.
QPalette ownPalette(const QWidget& widget) {
    QPalette palette = QApplication::palette(&widget);
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            palette.setColor(g, r, palette.color(g, r));
        }
    }
    return palette;
}

std::optional<ColourPart> markOf(const QWidget& widget) {
    const QVariant mark = widget.property(kColourPartProperty);
    if (!mark.isValid()) {
        return std::nullopt;
    }
    return static_cast<ColourPart>(mark.toInt());
}

// Widgets that are parts of a composite control (the edit box inside a combo or spin box, the
// viewport of a list) take their colours from it.
bool insideCompositeControl(const QWidget& widget, const QWidget& window) {
    for (const QWidget* parent = widget.parentWidget(); parent != nullptr && parent != &window;
         parent = parent->parentWidget()) {
        if (qobject_cast<const QComboBox*>(parent) ||
            qobject_cast<const QAbstractSpinBox*>(parent) ||
            qobject_cast<const QAbstractItemView*>(parent)) {
            return true;
        }
    }
    return false;
}

std::optional<ColourPart> partByKind(const QWidget& widget) {
    if (qobject_cast<const QComboBox*>(&widget)) {
        return ColourPart::Combo;
    }
    if (qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QAbstractSpinBox*>(&widget) ||
        qobject_cast<const QTextEdit*>(&widget) || qobject_cast<const QPlainTextEdit*>(&widget)) {
        return ColourPart::Edit;
    }
    if (qobject_cast<const QAbstractItemView*>(&widget)) {
        return ColourPart::List;
    }
    if (qobject_cast<const QRadioButton*>(&widget)) {
        return ColourPart::Radio;
    }
    if (qobject_cast<const QCheckBox*>(&widget)) {
        return ColourPart::Check;
    }
    return std::nullopt;
}

} // namespace

void markColourPart(QWidget& widget, ColourPart part) {
    widget.setProperty(kColourPartProperty, static_cast<int>(part));
}

void paintColourPart(QWidget& widget, ColourPart part, const app::ColourSet& set) {
    const auto colour = [&set](ColourRole role) { return toQColor(set[role]); };
    const QColor background = colour(ColourRole::MainBackground);
    switch (part) {
    case ColourPart::Window: {
        QPalette palette = widget.palette();
        palette.setColor(QPalette::Window, background);
        widget.setPalette(palette);
        widget.setAutoFillBackground(true);
        break;
    }
    case ColourPart::MajorTitle:
        paintBackgroundAndText(widget, background, colour(ColourRole::MajorTitle));
        break;
    case ColourPart::MinorTitle:
        paintBackgroundAndText(widget, background, colour(ColourRole::MinorTitle));
        break;
    case ColourPart::Edit:
        paintBox(widget, colour(ColourRole::EditBackground), colour(ColourRole::EditText));
        break;
    case ColourPart::Combo:
        paintCombo(widget, colour(ColourRole::ComboBackground), colour(ColourRole::ComboText));
        break;
    case ColourPart::List:
        paintBox(widget, colour(ColourRole::ListBoxBackground), colour(ColourRole::ListBoxText));
        break;
    case ColourPart::Radio:
        paintBackgroundAndText(widget, colour(ColourRole::RadioBackground),
                               colour(ColourRole::RadioText));
        break;
    case ColourPart::Check:
        paintBackgroundAndText(widget, colour(ColourRole::CheckBackground),
                               colour(ColourRole::CheckText));
        break;
    case ColourPart::OwnColours:
        widget.setPalette(ownPalette(widget));
        break;
    }
}

void applyColourSet(QWidget& window, const app::ColourSet& set) {
    paintColourPart(window, ColourPart::Window, set);
    // Parents come before their children, so a widget marked OwnColours can still have painted
    // children.
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->window() != &window) {
            continue; // pop-up lists and dialogs of their own
        }
        std::optional<ColourPart> part = markOf(*widget);
        if (!part && !insideCompositeControl(*widget, window)) {
            part = partByKind(*widget);
        }
        if (part) {
            paintColourPart(*widget, *part, set);
        }
    }
}

} // namespace appearance
