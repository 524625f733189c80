#pragma once

// The general error display: an error that no window caught on its way out of an event handler
// (a table that could not be read again, a file gone) is shown with the layer's own message,
// and the program goes on, rather than ending and taking unsaved settings and lists with it.
// Installed once for the run, at the event loop:
//
//     widgets::GuardedApplication application(argc, argv);
//     ...
//     application.setErrorDisplay(&seams.messages); // the main window does this for itself

#include "db/user_messages.h"

#include <QApplication>

namespace widgets {

class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);

    // Where errors are shown; null (the default) lets them end the program as before.
    void setErrorDisplay(db::UserMessages* messages) { messages_ = messages; }
    db::UserMessages* errorDisplay() const { return messages_; }
    // The application of this process when it is a GuardedApplication, else null.
    static GuardedApplication* instance();

    bool notify(QObject* receiver, QEvent* event) override;

private:
    db::UserMessages* messages_ = nullptr;
};

} // namespace widgets
