#pragma once

// Long imports and exports run in short steps between which the window repaints: a step of
// records runs until about 40 ms have passed, then the progress is shown and the events that
// arrived are handled (user input excepted: the run has no cancel and its window stays put).

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdint>

namespace transfer {

constexpr uint32_t kRecordsPerStep = 64;
constexpr int kStepMilliseconds = 40;

// `step` does a little work and returns true when all is done; `showProgress` runs after each
// stretch of steps. Exceptions of `step` reach the caller.
template <typename Step, typename Progress> void runInSteps(Step&& step, Progress&& showProgress) {
    bool finished = false;
    while (!finished) {
        QElapsedTimer stretch;
        stretch.start();
        do {
            finished = step();
        } while (!finished && stretch.elapsed() < kStepMilliseconds);
        showProgress();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace transfer
