#pragma once

// A window's menu shortcuts come before the key bindings of the widget that has the focus. Text
// boxes claim many Ctrl keys for themselves under the desktop's key scheme (Ctrl+U erases the
// line, Ctrl+E goes to its end, Ctrl+X/C/V cut, copy and paste); a window whose menu gives such
// a key to a command runs the command instead, wherever the focus is inside the window.

class QMenuBar;
class QWidget;

namespace widgets {

// From now on, for as long as `window` lives, a key that an enabled item of `menus` (or of any
// of its submenus) has as one of its shortcuts runs that item even while a text box inside
// `window` has the focus. Keys that no enabled item holds stay with the focused widget.
void preferMenuShortcuts(QWidget& window, const QMenuBar& menus);

} // namespace widgets
