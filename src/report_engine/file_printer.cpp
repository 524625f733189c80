#include "report_engine/file_printer.h"

#include "report_engine/print_device.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace report_engine {

namespace {

// The hourglass while a job is sent, put back on every exit.
class BusyCursor {
public:
    BusyCursor() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            set_ = true;
        }
    }
    ~BusyCursor() {
        if (set_)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool set_ = false;
};

// The printer's settings that a job changes, put back when it ends.
class PrinterSettingsKept {
public:
    explicit PrinterSettingsKept(PrintDevice& printer)
        : printer_(printer), layout_(printer.pageLayout()), fullPage_(printer.fullPage()),
          docName_(printer.docName()), copies_(printer.copyCount()) {}
    ~PrinterSettingsKept() {
        printer_.setPageLayout(layout_);
        printer_.setFullPage(fullPage_);
        printer_.setDocName(docName_);
        printer_.setCopyCount(copies_);
    }
    PrinterSettingsKept(const PrinterSettingsKept&) = delete;
    PrinterSettingsKept& operator=(const PrinterSettingsKept&) = delete;

private:
    PrintDevice& printer_;
    QPageLayout layout_;
    bool fullPage_;
    QString docName_;
    int copies_;
};

} // namespace

TFilePrinter::TFilePrinter() = default;
TFilePrinter::~TFilePrinter() = default;

void TFilePrinter::SetStream(QIODevice* device) {
    stream_ = device;
    streamMode_ = StreamMode::smUser;
    store_.reset();
}

void TFilePrinter::ReleaseStore() {
    store_.reset();
}

const PageStore& TFilePrinter::Store() {
    if (store_)
        return *store_;
    const auto inputError = [](const QString& name) {
        return EReportPrinter(QStringLiteral("%1 \"%2\"")
                                  .arg(QString::fromLatin1(messages::kInputStreamError), name));
    };
    if (streamMode_ == StreamMode::smFile) {
        QFile file(FileName);
        if (FileName.isEmpty() || !file.open(QIODevice::ReadOnly))
            throw inputError(FileName);
        store_ = std::make_shared<const PageStore>(PageStore::read(file));
        return *store_;
    }
    if (stream_ == nullptr)
        throw inputError(QString());
    if (const auto* buffer = qobject_cast<const QBuffer*>(stream_)) {
        store_ = std::make_shared<const PageStore>(PageStore::read(buffer->data()));
        return *store_;
    }
    const bool wasOpen = stream_->isOpen();
    if (!wasOpen && !stream_->open(QIODevice::ReadOnly))
        throw inputError(QString());
    if (!stream_->isReadable() || !stream_->seek(0))
        throw inputError(QString());
    QByteArray bytes = stream_->readAll();
    if (!wasOpen)
        stream_->close();
    store_ = std::make_shared<const PageStore>(PageStore::read(bytes));
    return *store_;
}

void TFilePrinter::PrintRange(int first, int last, int copies) {
    if (printing_)
        throw EReportPrinter(QString::fromLatin1(messages::kAlreadyPrinting));
    if (printer_ == nullptr) {
        if (ShowError)
            ShowError(QString::fromLatin1(messages::kNoPrinters));
        return;
    }
    Store();
    const std::shared_ptr<const PageStore> keptStore = store_;
    const PageStore& store = *keptStore;
    const int count = store.pageCount();
    if (first <= 0)
        first = 1;
    if (last < 1 || last > count)
        last = count;
    if (first > last)
        return;

    BusyCursor busy;
    PrintDevice& printer = *printer_;
    PrinterSettingsKept kept(printer);
    printer.setDocName(Title);
    if (copies > 0)
        printer.setCopyCount(copies);
    // The pages keep the paper they were laid out on.
    const QSizeF paper = store.paperInches();
    const bool landscape = paper.width() > paper.height();
    const QSizeF portrait = landscape ? paper.transposed() : paper;
    printer.setPageLayout(QPageLayout(QPageSize(portrait, QPageSize::Inch),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF()));
    printer.setFullPage(true);

    QPainter painter;
    QPagedPaintDevice& device = printer.startJob();
    if (!painter.begin(&device))
        throw EReportPrinter(jobStartError(printer));
    painter.setRenderHint(QPainter::Antialiasing, true);
    printing_ = true;
    aborted_ = false;
    struct PrintingFlag {
        bool& flag;
        ~PrintingFlag() { flag = false; }
    } printingFlag{printing_};
    const double dpiX = device.logicalDpiX();
    const double dpiY = device.logicalDpiY();
    for (int page = first; page <= last && !aborted_; ++page) {
        if (page > first)
            printer.newPage();
        store.drawPage(painter, page, dpiX, dpiY, false);
        // A Cancel, or a second print request that must be refused, is handled between pages.
        QCoreApplication::processEvents();
    }
    if (aborted_)
        printer.abort();
    painter.end();
    const QString failure = printer.finishJob(aborted_);
    if (!failure.isEmpty())
        throw EReportPrinter(failure);
}

} // namespace report_engine
