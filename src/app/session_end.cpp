#include "app/session_end.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace app {

namespace {

// The handler may only write to a pipe; the event loop reads the other end.
int signalPipe[2] = {-1, -1};
constexpr int kWatchedSignals[] = {SIGTERM, SIGHUP, SIGINT};

extern "C" void onSessionEndSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

} // namespace

SessionEndWatcher::SessionEndWatcher(std::function<void()> closeProgram, QObject* parent)
    : QObject(parent), closeProgram_(std::move(closeProgram)) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their default action: nothing worse than before
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SessionEndWatcher::signalArrived);
    struct sigaction action {};
    action.sa_handler = onSessionEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int watched : kWatchedSignals)
        ::sigaction(watched, &action, nullptr);
}

SessionEndWatcher::~SessionEndWatcher() {
    if (notifier_ == nullptr)
        return;
    for (int watched : kWatchedSignals)
        std::signal(watched, SIG_DFL);
    delete notifier_;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void SessionEndWatcher::signalArrived() {
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    closeProgram_();
}

} // namespace app
