#include "report_engine/report_filer.h"

#include "report_engine/page_store.h"

namespace report_engine {

TReportFiler::TReportFiler() = default;
TReportFiler::~TReportFiler() = default;

void TReportFiler::SetStreamMode(StreamMode mode) {
    RequireNotPrinting();
    streamMode_ = mode;
}

void TReportFiler::SetStream(QIODevice* device) {
    RequireNotPrinting();
    stream_ = device;
    streamMode_ = StreamMode::smUser;
}

QString TReportFiler::DeviceName() const {
    return Printer() == nullptr ? QStringLiteral("Preview Only") : TBaseReport::DeviceName();
}

QString TReportFiler::DriverName() const {
    return Printer() == nullptr ? QStringLiteral("Preview Only") : TBaseReport::DriverName();
}

QString TReportFiler::Port() const {
    return Printer() == nullptr ? QStringLiteral("Preview") : TBaseReport::Port();
}

bool TReportFiler::CanStart() {
    // Pages are recorded on an 8.5 x 11 inch page when no printer is installed.
    return true;
}

void TReportFiler::OpenOutput() {
    const auto streamError = [](const QString& name) {
        return EReportPrinter(
            QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(messages::kStreamError), name));
    };
    QIODevice* device = nullptr;
    switch (streamMode_) {
    case StreamMode::smMemory:
        memory_.close();
        memory_.setData(QByteArray());
        if (!memory_.open(QIODevice::WriteOnly))
            throw streamError(QString());
        device = &memory_;
        break;
    case StreamMode::smFile:
        file_.close();
        file_.setFileName(FileName);
        if (FileName.isEmpty() || !file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw streamError(FileName);
        device = &file_;
        break;
    case StreamMode::smUser:
        if (stream_ == nullptr)
            throw streamError(QString());
        if (!stream_->isOpen() && !stream_->open(QIODevice::ReadWrite))
            throw streamError(QString());
        if (!stream_->isWritable())
            throw streamError(QString());
        device = stream_;
        break;
    }
    pagesWritten_ = 0;
    writer_ = std::make_unique<PageStoreWriter>(*device, PaperInches(), ScaleX(), ScaleY());
}

PageStoreWriter& TReportFiler::writer() {
    if (!writer_)
        throw EReportPrinter(QString::fromLatin1(messages::kCanvasNotActive));
    return *writer_;
}

void TReportFiler::BeginOutputPage(bool) {
    writer().newPage();
}

void TReportFiler::CloseOutput(bool) {
    // An aborted run keeps the pages it finished; the caller decides whether to show them.
    if (!writer_)
        return;
    const std::unique_ptr<PageStoreWriter> writer = std::move(writer_);
    writer->finish();
    pagesWritten_ = writer->pageCount();
    if (streamMode_ == StreamMode::smMemory)
        memory_.close();
    else if (streamMode_ == StreamMode::smFile)
        file_.close();
}

void TReportFiler::OutText(const QPointF& baseline, QStringView text, const ReportFont& font,
                           bool opaque) {
    writer().text(baseline, text, font, opaque);
}

void TReportFiler::OutLine(const QPointF& from, const QPointF& to, const QColor& colour) {
    writer().line(from, to, colour);
}

void TReportFiler::OutFillRect(const QRectF& rect, const QColor& colour) {
    writer().fillRect(rect, colour);
}

void TReportFiler::OutCell(const CellEdges& edges, int boxLines, const QColor& shade) {
    writer().cell(edges, boxLines, shade);
}

} // namespace report_engine
