#pragma once

// A live miniature of a report's first page: the page as the preview would show it, drawn at
// the width of the miniature and run again shortly after the report's definition changes.
// Changes that come in quick succession (typing a width) start one run, once they pause.

#include "report_engine/file_preview.h"
#include "reports/report_generator_first_page.h"

#include <QBuffer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;

namespace reports {

class PreviewScrollArea;

class ReportMiniature : public QWidget {
    Q_OBJECT
public:
    // Makes page 1 of the report as it stands now.
    using Source = std::function<FirstPage()>;
    // How long the changes must pause before the report runs again.
    static constexpr int kSettleMilliseconds = 300;

    explicit ReportMiniature(QWidget* parent = nullptr);
    ~ReportMiniature() override;

    void setSource(Source source) { source_ = std::move(source); }
    // Runs the report again once the changes pause.
    void scheduleRefresh();
    // Runs the report now (a run asked for while one goes on follows it).
    void refreshNow();
    bool refreshPending() const { return timer_.isActive(); }
    // Completed runs, counted so that a caller can wait for the next one.
    int runs() const { return runs_; }

    // The page store of the last run (empty when it failed) and its page as drawn (page and a
    // white margin around it; null when there is no page).
    const QByteArray& pageStore() const { return store_.data(); }
    const QImage& pageImage() const { return preview_.PageBitmap(); }
    // What the caption says: the page shown, or why there is none.
    QString caption() const;

    // Whether the page is shown: a miniature too low for a useful part of it says so instead.
    bool pageShown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPage();
    void fitToWidth();
    void showCaption();

    Source source_;
    QTimer timer_;
    QBuffer store_;
    report_engine::TFilePreview preview_;
    PreviewScrollArea* box_ = nullptr;
    QLabel* caption_ = nullptr;
    QString error_; // of the last run
    bool running_ = false;
    bool runAgain_ = false;
    int runs_ = 0;
};

} // namespace reports
