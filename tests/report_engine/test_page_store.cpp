// The page store: what the file engine writes reads back the same, and a damaged or foreign
// store gives the engine's message, never a crash.

#include "support/temp_dir.h"
#include "support_report_engine.h"

#include "report_engine/file_printer.h"
#include "report_engine/page_store.h"
#include "report_engine/pdf_file_device.h"
#include "report_engine/report_filer.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

using namespace report_engine;

const QString kUnexpected = QStringLiteral("Unexpected code found in report file.");

QString readError(const QByteArray& bytes) {
    try {
        (void)PageStore::read(bytes);
    } catch (const EReportPrinter& e) {
        return e.message();
    }
    return {};
}

TEST(PageStore, EveryOperationReadsBackAsWritten) {
    TReportFiler filer;
    filer.SetTextBKMode(TextBKMode::bkOpaque);
    filer.OnPrintPage = [](TBaseReport& r, int page) {
        r.SetFont(QStringLiteral("Courier New"), 9);
        r.SetUnderline(true);
        r.SetFontColor(QColor(10, 20, 30));
        r.Print(QStringLiteral("Ünïcödé \u20ac"));
        r.Line(1, 2, 3, 4);
        r.FillRect(1, 1, 2, 2, QColor(200, 200, 200));
        return page < 2;
    };
    filer.Execute();
    const PageStore store = PageStore::read(filer.MemoryStore());
    ASSERT_EQ(store.pageCount(), 2);
    EXPECT_EQ(store.paperInches(), QSizeF(8.5, 11));
    const auto& ops = store.page(2);
    ASSERT_EQ(ops.size(), 3u);
    const auto& text = std::get<store::Text>(ops[0]);
    EXPECT_EQ(text.text, QStringLiteral("Ünïcödé \u20ac"));
    EXPECT_TRUE(text.opaque);
    const ReportFont& font = store.fonts()[static_cast<size_t>(text.font)];
    EXPECT_TRUE(font.underline);
    EXPECT_EQ(font.colour, QColor(10, 20, 30));
    const auto& line = std::get<store::Line>(ops[1]);
    EXPECT_EQ(line.from, QPointF(1, 2));
    EXPECT_EQ(line.to, QPointF(3, 4));
    EXPECT_EQ(std::get<store::Fill>(ops[2]).rect, QRectF(1, 1, 1, 1));
}

TEST(PageStore, AStoreFileAndAUserStreamHoldTheSamePages) {
    testsupport::TempDir dir;
    const QString path = QString::fromStdString(dir.file("report.vps"));
    TReportFiler toFile;
    testsupport::NumberedReport one(3);
    one.attach(toFile);
    toFile.SetStreamMode(StreamMode::smFile);
    toFile.FileName = path;
    toFile.Execute();

    QBuffer buffer;
    TReportFiler toStream;
    testsupport::NumberedReport two(3);
    two.attach(toStream);
    toStream.SetStream(&buffer);
    toStream.Execute();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), buffer.data());
    TFilePrinter printer;
    printer.SetStreamMode(StreamMode::smFile);
    printer.FileName = path;
    EXPECT_EQ(printer.Pages(), 3);
}

TEST(PageStore, StoresThatCannotBeOpenedNameTheFile) {
    TReportFiler filer;
    testsupport::NumberedReport report(1);
    report.attach(filer);
    filer.SetStreamMode(StreamMode::smFile);
    filer.FileName = QStringLiteral("/nonexistent-folder/x.vps");
    try {
        filer.Execute();
        FAIL();
    } catch (const EReportPrinter& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Error initializing stream \"/nonexistent-folder/x.vps\""));
    }
    EXPECT_EQ(report.calls.back(), "after");
    TFilePrinter printer;
    printer.SetStreamMode(StreamMode::smFile);
    printer.FileName = QStringLiteral("/nonexistent-folder/x.vps");
    try {
        printer.Pages();
        FAIL();
    } catch (const EReportPrinter& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Error initializing input stream \"/nonexistent-folder/x.vps\""));
    }
}

TEST(PageStore, EveryTruncationIsRefused) {
    const QByteArray good = testsupport::numberedStore(2);
    ASSERT_TRUE(readError(good).isEmpty());
    for (qsizetype length = 0; length < good.size(); ++length)
        ASSERT_EQ(readError(good.left(length)), kUnexpected) << "length " << length;
}

TEST(PageStore, DamagedStoresAreRefused) {
    const QByteArray good = testsupport::numberedStore(2);
    const qsizetype firstOp = 8 + 4 + 32 + 4; // magic, version, paper and scale, page count
    const auto patched = [&](qsizetype at, QByteArray bytes) {
        QByteArray damaged = good;
        damaged.replace(at, bytes.size(), bytes);
        return damaged;
    };
    QByteArray hugeString;
    {
        QDataStream out(&hugeString, QIODevice::WriteOnly);
        out << quint8('P') << quint8('F') << quint32(0x7fffffff);
    }
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"foreign file", QByteArray("%PDF-1.4 not a page store")},
        {"unknown code", patched(firstOp + 1, QByteArray("Z"))},
        {"drawing before the first page", patched(firstOp, QByteArray("T"))},
        {"page count differs", patched(firstOp - 1, QByteArray("\x07", 1))},
        {"wrong version", patched(8, QByteArray("\0\0\0\x09", 4))},
        {"huge string length", good.left(firstOp) + hugeString},
        {"paper of NaN inches", patched(12, QByteArray("\x7f\xf8\0\0\0\0\0\0", 8))},
        {"nothing after the header", good.left(firstOp)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readError(c.bytes), kUnexpected) << c.what;
}

TEST(PageStore, RandomDamageNeverCrashes) {
    const QByteArray good = testsupport::numberedStore(3);
    QRandomGenerator random(1995);
    for (int round = 0; round < 1500; ++round) {
        QByteArray damaged = good;
        const int flips = 1 + static_cast<int>(random.bounded(4));
        for (int i = 0; i < flips; ++i)
            damaged[random.bounded(damaged.size())] = static_cast<char>(random.bounded(256));
        try {
            const PageStore store = PageStore::read(damaged);
            // Whatever reads must also draw.
            QImage image(85, 110, QImage::Format_RGB32);
            QPainter painter(&image);
            for (int page = 1; page <= store.pageCount(); ++page)
                store.drawPage(painter, page, 10, 10, round % 2 == 0);
        } catch (const EReportPrinter& e) {
            ASSERT_EQ(e.message(), kUnexpected);
        }
    }
}

TEST(PageStore, ADamagedStoreStopsTheFilePrinterWithTheMessage) {
    QByteArray damaged = testsupport::numberedStore(2);
    damaged[8 + 4 + 32 + 4 + 1] = 'Z'; // the code after the first page mark
    QBuffer buffer(&damaged);
    TFilePrinter printer;
    printer.SetStream(&buffer);
    testsupport::TempDir dir;
    PdfFileDevice pdf(QString::fromStdString(dir.file("x.pdf")), QPageSize(QPageSize::Letter));
    printer.SetPrinter(&pdf);
    try {
        printer.Execute();
        FAIL();
    } catch (const EReportPrinter& e) {
        EXPECT_EQ(e.message(), kUnexpected);
    }
    EXPECT_FALSE(printer.Printing());
}

} // namespace
