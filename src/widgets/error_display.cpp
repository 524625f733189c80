#include "widgets/error_display.h"

#include <exception>

namespace widgets {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

GuardedApplication* GuardedApplication::instance() {
    return qobject_cast<GuardedApplication*>(QCoreApplication::instance());
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    if (messages_ == nullptr)
        return QApplication::notify(receiver, event);
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        // What was under way stopped where the error arose; everything the windows show is
        // what the table holds, so the user may go on from here.
        messages_->beep(db::BeepKind::Warning);
        messages_->error(error.what());
    }
    return true;
}

} // namespace widgets
