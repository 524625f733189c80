#include "reports/report_status_window.h"

#include "report_engine/report_types.h"
#include "reports/preview_window.h"
#include "reports/qt_printer_device.h"
#include "settings/settings.h"
#include "table/table_error.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace reports {

TReportForm::TReportForm(const widgets::Seams& seams, table::Table& table, ReportContext context,
                         ReportRunRequest request, QWidget* parent)
    : QDialog(parent), seams_(seams), table_(table), request_(std::move(request)),
      generator_(request_.definition, table, std::move(context), request_.mode,
                 request_.textFilePath) {
    setWindowTitle(QStringLiteral("Report Status Screen"));
    setModal(true);
    statusLabel_ = new QLabel(QStringLiteral("Printing Status"), this);
    statusLabel_->setObjectName(QStringLiteral("StatusLabel"));
    statusLabel_->setAlignment(Qt::AlignCenter);
    statusLabel_->setMinimumWidth(240);
    button_ = new QPushButton(QStringLiteral("Cancel"), this);
    button_->setObjectName(QStringLiteral("CancelButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(statusLabel_);
    layout->addWidget(button_, 0, Qt::AlignHCenter);
    connect(button_, &QPushButton::clicked, this, [this] { buttonClick(); });
}

TReportForm::~TReportForm() = default;

int TReportForm::pages() const {
    return engine_ ? engine_->CurrentPage() : 0;
}

void TReportForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) // the run starts once the window is on the screen
        QTimer::singleShot(0, this, [this] { startRun(); });
}

void TReportForm::startRun() {
    if (started_)
        return;
    started_ = running_ = true;
    engine_ = createReportEngine(request_.mode, request_.printer, request_.pageStore,
                                 request_.definition.landscape);
    engine_->StatusLabel = [this](const QString& text) { statusLabel_->setText(text); };
    engine_->ShowError = [this](const QString& message) {
        seams_.messages.beep(db::BeepKind::Warning);
        seams_.messages.error(message.toStdString());
        failed_ = true; // the engine refused to start
    };
    generator_.attach(*engine_);
    QString failure;
    try {
        engine_->Execute();
    } catch (const ReportError& error) {
        failure = error.message();
    } catch (const report_engine::EReportPrinter& error) {
        failure = error.message();
    } catch (const table::TableError& error) {
        failure = QString::fromStdString(error.what());
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    if (!failure.isEmpty()) {
        failed_ = true;
        seams_.messages.beep(db::BeepKind::Warning);
        seams_.messages.error(failure.toStdString());
    }
    cancelled_ = engine_->Aborted();
    finishRun(QString::fromLatin1(failed_      ? kReportFailed
                                  : cancelled_ ? kReportCanceled
                                               : kReportCompleted));
}

void TReportForm::finishRun(const QString& outcome) {
    running_ = false;
    button_->setText(QStringLiteral("OK"));
    button_->setObjectName(QStringLiteral("OKButton"));
    engine_->StatusFormat = QLatin1Char('\n') + outcome;
    statusLabel_->setText(engine_->ExpandStatus(engine_->StatusFormat));
}

void TReportForm::buttonClick() {
    if (running_)
        engine_->Abort(); // the run ends after the current page
    else
        accept();
}

void TReportForm::reject() {
    // Escape during the run cancels it; the window closes only once the run has ended.
    if (running_) {
        engine_->Abort();
        return;
    }
    QDialog::reject();
}

void TReportForm::closeEvent(QCloseEvent* event) {
    if (running_) {
        engine_->Abort();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

ReportRunResult runReport(QWidget* parent, const widgets::Seams& seams, table::Table& table,
                          const ReportContext& context, ReportRunRequest request,
                          const std::function<void(QIODevice& pageStore)>& showPreview) {
    QBuffer ownStore;
    const bool preview = request.mode == OutputMode::Preview;
    if (preview && request.pageStore == nullptr) {
        ownStore.open(QIODevice::ReadWrite);
        request.pageStore = &ownStore;
    }
    QIODevice* store = request.pageStore;
    ReportRunResult result;
    {
        TReportForm window(seams, table, context, std::move(request), parent);
        window.exec();
        result.cancelled = window.wasCancelled();
        result.failed = window.failed();
        result.pages = window.pages();
    }
    if (preview && !result.cancelled && !result.failed && showPreview) {
        store->seek(0);
        showPreview(*store);
    }
    return result;
}

ReportRunResult runReport(QWidget* parent, widgets::Seams& seams, app::Settings& settings,
                          QPrinter& printer, table::Table& table, ReportRunRequest request) {
    const ReportContext context = reportContextFrom(settings, seams.clock.today());
    QtPrinterDevice device(printer);
    request.printer = seams.printers.printerNames().isEmpty() ? nullptr : &device;
    const QString caption = request.definition.reportName;
    return runReport(parent, seams, table, context, std::move(request), [&](QIODevice& store) {
        TMyPreview preview(parent, seams, settings, printer, store, caption);
        preview.exec();
    });
}

} // namespace reports
