#include "widgets/progress_window.h"

#include "db/book_database.h"

#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <exception>
#include <thread>

namespace widgets {

namespace {

constexpr int kProgressSteps = 1000;
constexpr int kPollMilliseconds = 50;

// A progress window the user cannot close: the work cannot be abandoned half done.
class ProgressWindow : public QDialog {
public:
    ProgressWindow(QWidget* parent, const QString& what) : QDialog(parent) {
        setWindowTitle(QString::fromLatin1(db::kProgramTitle));
        setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
        setWindowModality(Qt::ApplicationModal);
        auto* label = new QLabel(what, this);
        bar_ = new QProgressBar(this);
        bar_->setRange(0, kProgressSteps);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label);
        layout->addWidget(bar_);
        resize(360, 90);
    }
    void setProgress(int steps) { bar_->setValue(steps); }

protected:
    void reject() override {}
    void closeEvent(QCloseEvent* event) override { event->ignore(); }

private:
    QProgressBar* bar_;
};

} // namespace

void runWithProgress(QWidget* parent, const QString& what, const db::EngineWork& work) {
    std::atomic<int> steps{0};
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work([&steps](double done) {
                steps.store(static_cast<int>(done * kProgressSteps), std::memory_order_relaxed);
            });
        } catch (...) {
            failure = std::current_exception();
        }
        finished.store(true, std::memory_order_release);
    });

    ProgressWindow window(parent, what);
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer shown;
    shown.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        window.setProgress(steps.load(std::memory_order_relaxed));
        // Short work ends before the window would only flash up.
        if (!window.isVisible() && shown.elapsed() > 400)
            window.show();
        if (finished.load(std::memory_order_acquire))
            loop.quit();
    });
    poll.start(kPollMilliseconds);
    if (!finished.load(std::memory_order_acquire))
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    poll.stop();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace widgets
