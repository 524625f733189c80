// A plain implementation of design geometry, scaling and user fonts for these tests, used until
// the widgets library carries its own: it records and restores the window size, scales the
// window as a whole and gives labels, boxes and buttons the user fonts' families.

#include "widgets/window_geometry.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <cmath>

namespace widgets {

void DesignGeometry::record(QWidget& window, db::UserMessages&) {
    clientSize_ = window.size();
    recorded_ = true;
}

void DesignGeometry::restore(QWidget& window) const {
    if (recorded_) {
        window.resize(clientSize_);
    }
}

void scaleAndCentre(QWidget& window, double factor, QSize screen) {
    const double scale = std::round(factor * 100) / 100;
    const QSize size(static_cast<int>(window.width() * scale),
                     static_cast<int>(window.height() * scale));
    window.resize(size);
    window.move(std::max(0, (screen.width() - size.width()) / 2),
                std::max(0, (screen.height() - size.height()) / 2));
}

void applyUserFonts(QWidget& window, const UserFonts& fonts) {
    const auto dress = [](QWidget& widget, const QFont& font) {
        QFont chosen = widget.font();
        chosen.setFamily(font.family());
        chosen.setBold(font.bold());
        chosen.setItalic(font.italic());
        widget.setFont(chosen);
    };
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(widget) || qobject_cast<QCheckBox*>(widget)) {
            dress(*widget, fonts.label);
        } else if (qobject_cast<QComboBox*>(widget) ||
                   (qobject_cast<QLineEdit*>(widget) &&
                    !qobject_cast<QComboBox*>(widget->parentWidget()))) {
            dress(*widget, fonts.edit);
        } else if (qobject_cast<QPushButton*>(widget)) {
            dress(*widget, fonts.button);
        }
    }
}

} // namespace widgets
