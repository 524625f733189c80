// Window dressing for the search tests while the widgets library does not define it yet: the
// same contracts, kept simple. Remove this file once vlm_widgets provides these functions.

#include "widgets/window_geometry.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QWidget>

namespace widgets {

void DesignGeometry::record(QWidget& window, db::UserMessages&) {
    clientSize_ = window.size();
    components_.clear();
    for (QWidget* child : window.findChildren<QWidget*>())
        components_.push_back({child, child->geometry(), child->font().pointSizeF()});
    recorded_ = true;
}

void DesignGeometry::restore(QWidget& window) const {
    if (!recorded_)
        return;
    window.resize(clientSize_);
    for (const Component& component : components_)
        if (component.widget) {
            component.widget->setGeometry(component.geometry);
            if (component.pointSize > 0) {
                QFont font = component.widget->font();
                font.setPointSizeF(component.pointSize);
                component.widget->setFont(font);
            }
        }
}

void scaleAndCentre(QWidget& window, double factor, QSize screen) {
    const double scale = qRound(factor * 100) / 100.0;
    const QSize size(qRound(window.width() * scale), qRound(window.height() * scale));
    window.resize(size);
    window.move(std::max(0, (screen.width() - size.width()) / 2),
                std::max(0, (screen.height() - size.height()) / 2));
}

void applyUserFonts(QWidget& window, const UserFonts& fonts) {
    auto dress = [](QWidget* widget, const QFont& user) {
        QFont font = widget->font();
        font.setFamily(user.family());
        font.setBold(user.bold());
        font.setItalic(user.italic());
        widget->setFont(font);
    };
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (qobject_cast<QPushButton*>(child))
            dress(child, fonts.button);
        else if (qobject_cast<QLabel*>(child) || qobject_cast<QListView*>(child))
            dress(child, fonts.label);
        else if (qobject_cast<QAbstractItemView*>(child) || qobject_cast<QLineEdit*>(child) ||
                 qobject_cast<QComboBox*>(child))
            dress(child, fonts.edit);
    }
}

} // namespace widgets
