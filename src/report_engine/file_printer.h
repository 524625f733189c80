#pragma once

// The file printer: prints a page range of a page store (written by TReportFiler) on the
// printer, without running the report again. With Qt's PDF output as the printer it writes
// the pages to a PDF file.

#include "report_engine/page_store.h"
#include "report_engine/report_types.h"

#include <QFile>
#include <QString>

#include <functional>
#include <memory>

class QIODevice;

namespace report_engine {

class PrintDevice;

class TFilePrinter {
public:
    TFilePrinter();
    virtual ~TFilePrinter();
    TFilePrinter(const TFilePrinter&) = delete;
    TFilePrinter& operator=(const TFilePrinter&) = delete;

    // The store to read: smUser reads the device given to SetStream from its start (the
    // caller keeps it); smFile reads FileName (kInputStreamError when it cannot be opened).
    StreamMode GetStreamMode() const { return streamMode_; }
    void SetStreamMode(StreamMode mode) { streamMode_ = mode; }
    QString FileName;
    void SetStream(QIODevice* device); // borrowed; also sets smUser

    // The printer, borrowed; nullptr when no printer is installed.
    void SetPrinter(PrintDevice* printer) { printer_ = printer; }
    PrintDevice* Printer() const { return printer_; }
    QString Title = QStringLiteral("Report");
    std::function<void(const QString& message)> ShowError; // message box "Error"

    // Prints pages first..last (first 0 means 1; last below 1 or beyond the page count means
    // the page count), `copies` copies when above 0. With no printer shows kNoPrinters. Raises
    // EReportPrinter on a damaged store or when already printing.
    void PrintRange(int first, int last, int copies = 0);
    // All pages with the printer's copy count.
    void Execute() { PrintRange(0, 0, 0); }
    void Abort() { aborted_ = true; }
    bool Aborted() const { return aborted_; }
    // True while a print job runs (it lets pending events be handled between pages).
    bool Printing() const { return printing_; }

    // The store read in (reading it when needed). Raises EReportPrinter.
    const PageStore& Store();
    int Pages() { return Store().pageCount(); }
    // Forgets the store read in, so that the next use reads the stream again.
    void ReleaseStore();

protected:
    StreamMode streamMode_ = StreamMode::smUser;

private:
    std::shared_ptr<const PageStore> store_; // kept alive by a job that is printing it
    QIODevice* stream_ = nullptr;
    PrintDevice* printer_ = nullptr;
    bool printing_ = false;
    bool aborted_ = false;
};

} // namespace report_engine
