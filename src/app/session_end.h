#pragma once

// Ending the program when the desktop session ends or the user runs `kill`: SIGTERM, SIGHUP and
// SIGINT close the main window as its close box would, so the pending grid edit, the settings and
// the pick lists are stored instead of lost with the process.

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace app {

class SessionEndWatcher : public QObject {
    Q_OBJECT
public:
    // `closeProgram` runs on the event loop, never inside the signal handler. Only one watcher
    // may exist at a time.
    explicit SessionEndWatcher(std::function<void()> closeProgram, QObject* parent = nullptr);
    ~SessionEndWatcher() override;

    SessionEndWatcher(const SessionEndWatcher&) = delete;
    SessionEndWatcher& operator=(const SessionEndWatcher&) = delete;

private:
    void signalArrived();

    std::function<void()> closeProgram_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace app
