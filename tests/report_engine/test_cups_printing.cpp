// Printing through a real CUPS queue that writes PDF files (cups-pdf), set up by ./test with
// scripts/pdf-queue.sh, by both ways to a queue: the windows' QPrinter and the engine's own CUPS
// device of the command-line program. Outside CI a machine without the queue skips these
// tests; under CI they must run.
//
// cups-pdf makes its PDF from PostScript, which carries the glyphs but not the characters they
// stand for: pdftotext cannot read the text of what lands. So the text and its order are read
// from the same pages printed to Qt's own PDF output, and every page that lands must look like
// its page there, and like no other page.

#include "support/temp_dir.h"
#include "support_report_engine.h"

#include "report_engine/cups_queue_device.h"
#include "report_engine/file_printer.h"
#include "report_engine/pdf_file_device.h"
#include "report_engine/report_filer.h"
#include "report_engine/report_printer.h"
#include "reports/qt_printer_device.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using namespace report_engine;

class CupsPrinting : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        queue_ = qEnvironmentVariable("VOLUMARA_PDF_QUEUE");
        out_ = qEnvironmentVariable("VOLUMARA_PDF_OUT");
        const bool ci = qEnvironmentVariable("CI") == QStringLiteral("true");
        QString missing;
        if (queue_.isEmpty() || out_.isEmpty())
            missing = QStringLiteral("VOLUMARA_PDF_QUEUE/VOLUMARA_PDF_OUT are not set (./test "
                                     "sets them with scripts/pdf-queue.sh)");
        else if (!cupsQueueNames().contains(queue_))
            missing = QStringLiteral("CUPS lists no queue ") + queue_;
        else if (!testsupport::haveProgram(QStringLiteral("pdftotext")))
            missing = QStringLiteral("pdftotext (poppler-utils) is not installed");
        if (missing.isEmpty())
            return;
        if (ci)
            FAIL() << "printing must be tested under CI: " << missing.toStdString();
        GTEST_SKIP() << "no PDF printer to test with: " << missing.toStdString();
    }

    QStringList pdfsInOut() const {
        return QDir(out_).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    }

    void TearDown() override {
        for (const QString& path : landed_)
            QFile::remove(path);
    }

    // The PDF that the queue writes for the job of the last title() after `before` was listed
    // (cups-pdf names it after the job's title; other tests may print at the same time); empty
    // after a minute.
    QString awaitPdf(const QStringList& before) {
        const QString prefix = QString(lastTitle_).replace(QLatin1Char(' '), QLatin1Char('_'));
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 60000) {
            for (const QString& name : pdfsInOut()) {
                const QString path = QDir(out_).filePath(name);
                if (!before.contains(name) && name.startsWith(prefix) &&
                    testsupport::pdfPageCount(path) > 0) {
                    landed_.push_back(path);
                    return path;
                }
            }
            QThread::msleep(200);
        }
        return {};
    }

    // The queue, as the test's parameter reaches it.
    PrintDevice& queue() {
        if (!device_ && QByteArray(GetParam()) == "QPrinter") {
            qprinter_.setPrinterName(queue_);
            qprinter_.setOutputFormat(QPrinter::NativeFormat);
            device_ = std::make_unique<reports::QtPrinterDevice>(qprinter_);
        } else if (!device_) {
            device_ = std::make_unique<CupsQueueDevice>(queue_);
        }
        return *device_;
    }

    QString title() {
        lastTitle_ = QStringLiteral("Volumara test %1").arg(QDateTime::currentMSecsSinceEpoch());
        return lastTitle_;
    }

    // Positions of `lines` in `text`, which must all be there and in this order.
    static void expectInOrder(const QString& text, const QStringList& lines) {
        qsizetype from = 0;
        for (const QString& line : lines) {
            const qsizetype at = text.indexOf(line, from);
            ASSERT_GE(at, 0) << line.toStdString() << " missing or out of order in\n"
                             << text.toStdString();
            from = at + line.size();
        }
    }

    // The store's pages first..last printed to a PDF file by Qt itself.
    QString referencePdf(QByteArray bytes, int first, int last) {
        QBuffer store(&bytes);
        const QString path = QString::fromStdString(dir_.file("reference.pdf"));
        PdfFileDevice printer(path, QPageSize(QPageSize::Letter));
        TFilePrinter filePrinter;
        filePrinter.SetStream(&store);
        filePrinter.SetPrinter(&printer);
        filePrinter.PrintRange(first, last);
        return path;
    }

    // Every page of `landed` looks like the same page of `reference`: closer to it than to any
    // other page, and much closer than a blank page is.
    static void expectSamePages(const QString& landed, const QString& reference) {
        const std::vector<QImage> got = testsupport::pdfPageImages(landed, 100);
        const std::vector<QImage> want = testsupport::pdfPageImages(reference, 100);
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            const qsizetype same = testsupport::differingPixels(got[i], want[i]);
            QImage blank(want[i].size(), QImage::Format_Grayscale8);
            blank.fill(255);
            EXPECT_LT(2 * same, testsupport::differingPixels(blank, want[i]))
                << "landed page " << i + 1;
            for (size_t j = 0; j < want.size(); ++j) {
                if (j != i) {
                    EXPECT_LT(same, testsupport::differingPixels(got[i], want[j]))
                        << "landed page " << i + 1 << " looks like page " << j + 1;
                }
            }
        }
    }

    QString queue_;
    QString out_;
    QPrinter qprinter_{QPrinter::HighResolution};
    std::unique_ptr<PrintDevice> device_;
    QStringList landed_; // removed after the test
    QString lastTitle_;
    testsupport::TempDir dir_;
};

TEST_P(CupsPrinting, AStoredReportReachesTheQueueWithEveryPageInOrder) {
    QByteArray bytes = testsupport::numberedStore(3, 2, true);
    QBuffer store(&bytes);
    PrintDevice& printer = queue();
    TFilePrinter filePrinter;
    filePrinter.SetStream(&store);
    filePrinter.SetPrinter(&printer);
    filePrinter.Title = title();
    const QStringList before = pdfsInOut();
    filePrinter.Execute();
    const QString pdf = awaitPdf(before);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF from queue " << queue_.toStdString();
    EXPECT_EQ(testsupport::pdfPageCount(pdf), 3);
    const QString reference = referencePdf(bytes, 1, 3);
    expectSamePages(pdf, reference);
    expectInOrder(testsupport::pdfText(reference),
                  {"Sample Report", "Page 1 line 1", "Page 1 line 2", "Page 1", "\f",
                   "Sample Report", "Page 2 line 1", "Page 2 line 2", "Page 2", "\f",
                   "Sample Report", "Page 3 line 1", "Page 3 line 2", "Page 3"});
}

TEST_P(CupsPrinting, PrintRangeTwoToThreeOfFourPagesPrintsTwoPages) {
    QByteArray bytes = testsupport::numberedStore(4, 1, true);
    QBuffer store(&bytes);
    PrintDevice& printer = queue();
    TFilePrinter filePrinter;
    filePrinter.SetStream(&store);
    filePrinter.SetPrinter(&printer);
    filePrinter.Title = title();
    const QStringList before = pdfsInOut();
    filePrinter.PrintRange(2, 3, 1);
    const QString pdf = awaitPdf(before);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF from queue " << queue_.toStdString();
    EXPECT_EQ(testsupport::pdfPageCount(pdf), 2);
    const QString reference = referencePdf(bytes, 2, 3);
    expectSamePages(pdf, reference);
    const QString text = testsupport::pdfText(reference);
    expectInOrder(text, {"Page 2 line 1", "\f", "Page 3 line 1"});
    EXPECT_FALSE(text.contains(QStringLiteral("Page 1 line 1")));
    EXPECT_FALSE(text.contains(QStringLiteral("Page 4 line 1")));
}

TEST_P(CupsPrinting, ThePrinterEngineSendsOnlyTheChosenPagesToTheQueue) {
    PrintDevice& printer = queue();
    TReportPrinter engine;
    testsupport::NumberedReport report(6, 1, true);
    report.attach(engine);
    engine.SetPrinter(&printer);
    engine.Title = title();
    engine.SetFirstPage(3);
    engine.SetLastPage(4);
    const QStringList before = pdfsInOut();
    engine.Execute();
    EXPECT_EQ(report.count("footer"), 6);
    const QString pdf = awaitPdf(before);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF from queue " << queue_.toStdString();
    EXPECT_EQ(testsupport::pdfPageCount(pdf), 2);
    // The same pages stored and printed from the store.
    TReportFiler filer;
    testsupport::NumberedReport same(6, 1, true);
    same.attach(filer);
    filer.SetPrinter(&printer);
    filer.Execute();
    const QString reference = referencePdf(filer.MemoryStore(), 3, 4);
    expectSamePages(pdf, reference);
    expectInOrder(testsupport::pdfText(reference), {"Page 3 line 1", "\f", "Page 4 line 1"});
}

INSTANTIATE_TEST_SUITE_P(BothWays, CupsPrinting, ::testing::Values("QPrinter", "CupsDevice"));

} // namespace
