#include "widgets/menu_shortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace widgets {

namespace {

bool holdsShortcut(const QList<QAction*>& actions, const QKeySequence& keys) {
    for (const QAction* action : actions) {
        if (!action->isEnabled() || !action->isVisible() || action->isSeparator())
            continue;
        if (const QMenu* submenu = action->menu()) {
            if (holdsShortcut(submenu->actions(), keys))
                return true;
            continue;
        }
        if (action->shortcuts().contains(keys))
            return true;
    }
    return false;
}

// Qt asks the focused widget, and then its parents, whether it wants a key before it looks for
// a shortcut; a text box says yes to the keys of its own bindings. This filter sits in front of
// every widget of the window (it watches the application, so that editors made later, such as a
// grid's cell editor, are covered too) and answers no for the keys of the window's menus.
class MenuShortcutPriority final : public QObject {
public:
    MenuShortcutPriority(QWidget& window, const QMenuBar& menus)
        : QObject(&window), window_(&window), menus_(&menus) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
            return false;
        const auto* widget = static_cast<const QWidget*>(watched);
        if (window_.isNull() || menus_.isNull() || widget->window() != window_.data())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence keys(
            QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
        if (!holdsShortcut(menus_->actions(), keys))
            return false;
        // Left unaccepted, the key goes on to the shortcut of the menu item.
        event->ignore();
        return true;
    }

private:
    QPointer<QWidget> window_;
    QPointer<const QMenuBar> menus_;
};

} // namespace

void preferMenuShortcuts(QWidget& window, const QMenuBar& menus) {
    new MenuShortcutPriority(window, menus);
}

} // namespace widgets
