#include "reports/report_file.h"

#include "reports/report_builtins.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>

namespace reports {

namespace {

using Record = std::array<uint8_t, kRecordSize>;

std::span<const uint8_t> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size())};
}

int completeRecords(qint64 fileSize) {
    const qint64 records = fileSize / static_cast<qint64>(kRecordSize);
    return records > INT32_MAX ? INT32_MAX : static_cast<int>(records);
}

bool writeAll(QSaveFile& out, const uint8_t* bytes, size_t length) {
    return out.write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(length)) ==
           static_cast<qint64>(length);
}

} // namespace

QString reportFilePath(const QString& programDirectory) {
    return QDir(programDirectory).filePath(QString::fromLatin1(kReportFileName));
}

QStringList ReportFile::list() const {
    QStringList names;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return names;
    const int records = completeRecords(file.size());
    for (int k = 0; k < records; ++k) {
        if (!file.seek(static_cast<qint64>(k) * static_cast<qint64>(kRecordSize)))
            break;
        const QByteArray head = file.read(31);
        if (head.size() != 31)
            break;
        names.append(decodeReportName(bytesOf(head)));
    }
    return names;
}

std::optional<int> ReportFile::count() const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return completeRecords(file.size());
}

std::optional<ReportDefinition> ReportFile::load(int index, QStringList* repairs) const {
    QFile file(path_);
    if (index < 0 || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (index >= completeRecords(file.size()) ||
        !file.seek(static_cast<qint64>(index) * static_cast<qint64>(kRecordSize)))
        return std::nullopt;
    const QByteArray record = file.read(static_cast<qint64>(kRecordSize));
    if (record.size() != static_cast<qsizetype>(kRecordSize))
        return std::nullopt;
    return decodeReport(bytesOf(record), repairs);
}

bool ReportFile::fail(const QString& reason) {
    lastError_ = reason;
    return false;
}

bool ReportFile::rewrite(const Edit& edit) {
    lastError_.clear();
    const QFileInfo info(path_);
    QFile source(path_);
    int records = 0;
    if (info.exists()) {
        // A file we may not write is left as it is, as a read-only file would be.
        if (!info.isWritable())
            return fail(QStringLiteral("The report file %1 may not be written.").arg(path_));
        if (!source.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("The report file %1 could not be read: %2")
                            .arg(path_, source.errorString()));
        records = completeRecords(source.size());
    }
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("The report file %1 could not be written: %2")
                        .arg(path_, out.errorString()));
    bool replaced = false;
    for (int k = 0; k < records; ++k) {
        const QByteArray record = source.read(static_cast<qint64>(kRecordSize));
        if (record.size() != static_cast<qsizetype>(kRecordSize))
            return fail(QStringLiteral("The report file %1 could not be read: %2")
                            .arg(path_, source.errorString()));
        if (k == edit.removeIndex)
            continue;
        bool written = false;
        if (k == edit.replaceIndex && edit.replacement) {
            const Record bytes = encodeReport(*edit.replacement);
            written = writeAll(out, bytes.data(), bytes.size());
            replaced = true;
        } else {
            written =
                writeAll(out, reinterpret_cast<const uint8_t*>(record.constData()), kRecordSize);
        }
        if (!written)
            return fail(QStringLiteral("The report file %1 could not be written: %2")
                            .arg(path_, out.errorString()));
    }
    std::vector<const ReportDefinition*> tail;
    if (edit.replacement && !replaced)
        tail.push_back(edit.replacement);
    if (edit.appended)
        for (const ReportDefinition& definition : *edit.appended)
            tail.push_back(&definition);
    for (const ReportDefinition* definition : tail) {
        const Record bytes = encodeReport(*definition);
        if (!writeAll(out, bytes.data(), bytes.size()))
            return fail(QStringLiteral("The report file %1 could not be written: %2")
                            .arg(path_, out.errorString()));
    }
    if (!out.commit())
        return fail(QStringLiteral("The report file %1 could not be written: %2")
                        .arg(path_, out.errorString()));
    return true;
}

bool ReportFile::replace(int index, const ReportDefinition& definition) {
    if (index < 0)
        return fail(QStringLiteral("There is no report number %1.").arg(index + 1));
    Edit edit;
    edit.replaceIndex = index;
    edit.replacement = &definition;
    return rewrite(edit);
}

std::optional<int> ReportFile::append(const ReportDefinition& definition) {
    return append(std::vector<ReportDefinition>{definition});
}

std::optional<int> ReportFile::append(const std::vector<ReportDefinition>& definitions) {
    const int before = count().value_or(0);
    Edit edit;
    edit.appended = &definitions;
    if (!rewrite(edit))
        return std::nullopt;
    return before;
}

bool ReportFile::remove(int index) {
    const std::optional<int> records = count();
    if (!records)
        return fail(QStringLiteral("The report file %1 could not be opened.").arg(path_));
    if (index < 0 || index >= *records)
        return fail(QStringLiteral("There is no report number %1.").arg(index + 1));
    Edit edit;
    edit.removeIndex = index;
    return rewrite(edit);
}

bool createReportFileIfMissing(const QString& programDirectory) {
    const QString path = reportFilePath(programDirectory);
    if (QFileInfo::exists(path))
        return false;
    ReportFile file(path);
    return file.append(builtInReports()).has_value();
}

void prepareReportFile(const QString& programDirectory) {
    createReportFileIfMissing(programDirectory);
    convertPreviousReportFile(programDirectory);
}

} // namespace reports
