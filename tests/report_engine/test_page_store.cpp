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

#include <cmath>

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

// Draw calls as text, positions rounded to the store's step of 1/7200 inch.
class CallLog : public PageOutput {
public:
    void text(const QPointF& baseline, const QString& text, const ReportFont& font,
              bool opaque) override {
        calls.push_back(QStringLiteral("text %1 \"%2\" %3 %4 %5%6%7%8 %9 %10")
                            .arg(where(baseline), text, font.name)
                            .arg(font.size)
                            .arg(font.bold)
                            .arg(font.italic)
                            .arg(font.underline)
                            .arg(font.strikeOut)
                            .arg(font.colour.name(QColor::HexArgb))
                            .arg(opaque));
    }
    void line(const QPointF& from, const QPointF& to, const QColor& colour) override {
        calls.push_back(QStringLiteral("line %1 %2 %3")
                            .arg(where(from), where(to), colour.name(QColor::HexArgb)));
    }
    void fillRect(const QRectF& rect, const QColor& colour) override {
        calls.push_back(QStringLiteral("fill %1 %2 %3")
                            .arg(where(rect.topLeft()), where(rect.bottomRight()),
                                 colour.name(QColor::HexArgb)));
    }
    QStringList calls;

private:
    static QString where(const QPointF& p) {
        return QStringLiteral("%1,%2")
            .arg(std::lround(p.x() * 7200))
            .arg(std::lround(p.y() * 7200));
    }
};

// An engine that draws straight into a CallLog, a page mark between pages.
class LoggingEngine : public TBaseReport {
public:
    CallLog log;

protected:
    void OpenOutput() override {}
    void BeginOutputPage(bool) override { log.calls.push_back(QStringLiteral("page")); }
    void CloseOutput(bool) override {}
    void OutText(const QPointF& baseline, QStringView text, const ReportFont& font,
                 bool opaque) override {
        log.text(baseline, text.toString(), font, opaque);
    }
    void OutLine(const QPointF& from, const QPointF& to, const QColor& colour) override {
        log.line(from, to, colour);
    }
    void OutFillRect(const QRectF& rect, const QColor& colour) override {
        log.fillRect(rect, colour);
    }
};

// Fonts, cells with every box and shade, text of every kind, lines and fills, on three pages.
void busyReport(TBaseReport& r) {
    r.OnPrintPage = [](TBaseReport& e, int page) {
        e.SetLineHeightMethod(LineHeightMethod::lhmFont);
        e.SetTabShade(page * 10);
        for (int line = 0; line < 16; ++line) {
            e.SetFont(line % 3 == 0 ? QStringLiteral("Times New Roman") : QStringLiteral("Arial"),
                      8 + line % 5);
            e.SetBold(line % 2 == 1);
            e.SetUnderline(line % 4 == 3);
            e.SetFontColor(QColor(line * 15, 0, 255 - line * 15));
            e.SetTextBKMode(line % 5 == 0 ? TextBKMode::bkOpaque : TextBKMode::bkTransparent);
            e.ClearTabs();
            e.SetTab(kTabContinue, Justify::Right, 1.3, 5, line % 16, line % 3 == 0 ? 0 : 40);
            e.SetTab(kTabContinue, Justify::Center, 2.1, 2, 15 - line % 16, 0);
            e.SetTab(4.5, Justify::Left, 1.7, 0, BoxAll, 100);
            const QChar loneSurrogate(0xD800);
            e.Print(QStringLiteral("lead\t%1 \u00e9t\u00e9\t\u20ac %2\t\u4e2d\u6587 \U0001F600 ")
                        .arg(page * 100 + line)
                        .arg(line * 1.25) +
                    loneSurrogate);
            e.PrintLn(QStringLiteral("\textra cell\t"));
        }
        e.Line(0.5, 9.0, 8.0, 9.5);
        e.Rectangle(1, 9.6, 3, 10.1);
        e.FillRect(3.5, 9.6, 4.25, 10.1, QColor(10, 200, 30, 128));
        e.PrintInSection(QStringLiteral("Page %1").arg(page), Justify::Right);
        return page < 3;
    };
}

TEST(PageStore, ReplayedPagesDrawWhatTheEngineDrew) {
    LoggingEngine direct;
    busyReport(direct);
    direct.Execute();

    TReportFiler filer;
    busyReport(filer);
    filer.Execute();
    const PageStore store = PageStore::read(filer.MemoryStore());
    CallLog replayed;
    for (int page = 1; page <= store.pageCount(); ++page) {
        replayed.calls.push_back(QStringLiteral("page"));
        store.replay(page, replayed);
    }
    ASSERT_GT(direct.log.calls.size(), 300);
    EXPECT_EQ(replayed.calls, direct.log.calls);
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
    const qsizetype firstRecord = 8 + 4 + 32 + 4; // magic, version, paper and scale, page count
    const auto patched = [&](qsizetype at, QByteArray bytes) {
        QByteArray damaged = good;
        damaged.replace(at, bytes.size(), bytes);
        return damaged;
    };
    const auto record = [](auto... fields) {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        (out << ... << fields);
        return bytes;
    };
    const QByteArray header = good.left(firstRecord);
    const QByteArray packed = qCompress(QByteArray("f\x00")).mid(4); // qCompress adds a length
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"foreign file", QByteArray("%PDF-1.4 not a page store")},
        {"unknown code", patched(firstRecord, QByteArray("Z"))},
        {"page count differs", patched(firstRecord - 1, QByteArray("\x07", 1))},
        {"wrong version", patched(8, QByteArray("\0\0\0\x09", 4))},
        {"huge font name", header + record(quint8('F'), quint32(0x7fffffff))},
        {"paper of NaN inches", patched(12, QByteArray("\x7f\xf8\0\0\0\0\0\0", 8))},
        {"nothing after the header", header},
        {"page longer than the store",
         header + record(quint8('P'), quint32(2), quint32(1000)) + packed},
        {"page unpacking to more than deflate can give",
         header + record(quint8('P'), quint32(0x7fffffff), quint32(packed.size())) + packed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readError(c.bytes), kUnexpected) << c.what;
}

// A page whose packing is sound but whose operations are not is refused when it is drawn.
TEST(PageStore, DamagedOperationsAreRefusedWhenThePageIsReplayed) {
    const auto withPage = [](const QByteArray& operations, qsizetype claimed = -1) {
        QByteArray bytes = testsupport::numberedStore(1).left(8 + 4 + 32);
        QDataStream out(&bytes, QIODevice::Append);
        const QByteArray packed = qCompress(operations).mid(4); // qCompress adds a length
        out << quint32(1) << quint8('C') << quint32(0xff000000) << quint8('P')
            << quint32(claimed < 0 ? operations.size() : claimed) << quint32(packed.size());
        out.writeRawData(packed.constData(), static_cast<int>(packed.size()));
        out << quint8('E');
        return bytes;
    };
    const auto replayError = [](const QByteArray& bytes) -> QString {
        try {
            const PageStore store = PageStore::read(bytes);
            (void)store.page(1);
        } catch (const EReportPrinter& e) {
            return e.message();
        }
        return {};
    };
    ASSERT_TRUE(replayError(withPage(QByteArray("L\x00\x02\x04\x06\x08", 6))).isEmpty());
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"text before any font", withPage(QByteArray("T\x00\x00\x01x", 5))},
        {"font that the store lacks", withPage(QByteArray("f\x05", 2))},
        {"colour that the store lacks", withPage(QByteArray("L\x03\x00\x00\x00\x00", 6))},
        {"unknown operation", withPage(QByteArray("?"))},
        {"number running past five bytes", withPage(QByteArray("f\xff\xff\xff\xff\xff\x01"))},
        {"position beyond 1000 inches", withPage(QByteArray("L\x00\xfe\xff\xff\x0f\x00"))},
        {"cell with unknown flags", withPage(QByteArray("B\x40\x00\x00\x00\x00", 6))},
        {"operation cut short", withPage(QByteArray("L\x00\x02", 3))},
        {"unpacked size differs", withPage(QByteArray("L\x00\x02\x04\x06\x08", 6), 7)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(replayError(c.bytes), kUnexpected) << c.what;
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

TEST(PageStore, RandomOperationsNeverCrash) {
    const std::vector<ReportFont> fonts(2);
    const std::vector<QColor> colours{Qt::black, Qt::gray};
    const QByteArray codes("fTOUVLRB");
    QRandomGenerator random(2026);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes;
        const int length = static_cast<int>(random.bounded(48));
        for (int i = 0; i < length; ++i)
            bytes += random.bounded(3) == 0 ? codes[random.bounded(codes.size())]
                                            : static_cast<char>(random.bounded(256));
        CallLog log;
        try {
            codec::decodePage(bytes, fonts, colours, log);
        } catch (const EReportPrinter& e) {
            ASSERT_EQ(e.message(), kUnexpected);
        }
    }
}

TEST(PageStore, ADamagedStoreStopsTheFilePrinterWithTheMessage) {
    QByteArray damaged = testsupport::numberedStore(2);
    damaged[8 + 4 + 32 + 4] = 'Z'; // the first record after the header
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
