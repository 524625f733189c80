#pragma once

// The file engine: records every page of a run into a page store (see page_store.h) instead
// of printing it. The preview shows the store and the file printer prints it without running
// the report again. Page size and orientation come from the printer when one is set, else the
// page is 8.5 x 11 inches and the device names read "Preview Only", port "Preview".

#include "report_engine/base_report.h"

#include <QBuffer>
#include <QFile>

#include <memory>

namespace report_engine {

class PageStoreWriter;

class TReportFiler : public TBaseReport {
public:
    TReportFiler();
    ~TReportFiler() override;

    // smMemory: an internal buffer (read it back with MemoryStore()); smFile: the file
    // FileName, created or truncated; smUser: the device given to SetStream, written from its
    // current position (a QBuffer the caller owns, typically).
    StreamMode GetStreamMode() const { return streamMode_; }
    void SetStreamMode(StreamMode mode);
    QString FileName;
    void SetStream(QIODevice* device); // borrowed; also sets smUser
    QIODevice* Stream() const { return stream_; }
    AccuracyMethod GetAccuracyMethod() const { return accuracy_; }
    void SetAccuracyMethod(AccuracyMethod method) { accuracy_ = method; }
    // The bytes of the last smMemory run.
    const QByteArray& MemoryStore() const { return memory_.data(); }
    // Pages written by the last run.
    int PagesWritten() const { return pagesWritten_; }

    QString DeviceName() const override;
    QString DriverName() const override;
    QString Port() const override;

protected:
    bool CanStart() override;
    void OpenOutput() override;
    void BeginOutputPage(bool first) override;
    void CloseOutput(bool aborted) override;
    void OutText(const QPointF& baseline, QStringView text, const ReportFont& font,
                 bool opaque) override;
    void OutLine(const QPointF& from, const QPointF& to, const QColor& colour) override;
    void OutFillRect(const QRectF& rect, const QColor& colour) override;
    void OutCell(const CellEdges& edges, int boxLines, const QColor& shade) override;

private:
    PageStoreWriter& writer();
    StreamMode streamMode_ = StreamMode::smMemory;
    AccuracyMethod accuracy_ = AccuracyMethod::amPositioning;
    QIODevice* stream_ = nullptr;
    QBuffer memory_;
    QFile file_;
    std::unique_ptr<PageStoreWriter> writer_;
    int pagesWritten_ = 0;
};

} // namespace report_engine
