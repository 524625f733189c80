#pragma once

// VLMBOOK.URP: every report definition, one fixed record after another, no header. A report is
// known by its position. Every operation opens the file, does its work and closes it again.
// Changes write a complete new file beside the old one and rename it into place, so that an
// interrupted save leaves the old file or the new one, never a file that has lost reports.

#include "reports/report_definition.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace reports {

inline constexpr const char* kReportFileName = "VLMBOOK.URP";
inline constexpr const char* kPreviousReportFileName = "BOOK.URP";
inline constexpr const char* kReportNotLocatedMessage = "Report format could not be located.";

// The report file of a program directory.
QString reportFilePath(const QString& programDirectory);

class ReportFile {
public:
    explicit ReportFile(QString path) : path_(std::move(path)) {}
    const QString& path() const { return path_; }

    // The names of the complete records in file order; empty when the file cannot be opened.
    // Bytes after the last complete record (a damaged file) are not a report.
    QStringList list() const;
    // Complete records in the file; nothing when it cannot be opened.
    std::optional<int> count() const;

    // The record at `index`; nothing when the file cannot be opened or has no such record.
    // Values repaired while reading are described in `repairs` (see decodeReport).
    std::optional<ReportDefinition> load(int index, QStringList* repairs = nullptr) const;

    // Writes `definition` over record `index`; an index at or past the end appends it (the file
    // is created when missing, so saving recreates a deleted file). False on failure, with the
    // reason in lastError(); the file is then unchanged.
    bool replace(int index, const ReportDefinition& definition);
    // Adds records at the end (creating the file); returns the index of the first one added.
    std::optional<int> append(const ReportDefinition& definition);
    std::optional<int> append(const std::vector<ReportDefinition>& definitions);
    // Removes record `index`; the later ones move up one place, keeping their order.
    bool remove(int index);

    const QString& lastError() const { return lastError_; }

private:
    struct Edit {
        int replaceIndex = -1;
        int removeIndex = -1;
        const ReportDefinition* replacement = nullptr;
        const std::vector<ReportDefinition>* appended = nullptr;
    };
    bool rewrite(const Edit& edit);
    bool fail(const QString& reason);

    QString path_;
    QString lastError_;
};

// At start-up: writes the eight built-in reports into a new report file when there is none
// (an existing file, even an empty one, is left alone). Returns whether it wrote the file.
bool createReportFileIfMissing(const QString& programDirectory);

// At start-up: appends the user's reports of a previous version's BOOK.URP to VLMBOOK.URP and
// deletes BOOK.URP. The old file's own built-in reports are skipped. Field parts get their field
// number by name; a name the catalogue lacks becomes empty space of the same width. When
// VLMBOOK.URP cannot be written, BOOK.URP is kept so that the next start tries again. Returns
// the number of reports appended.
int convertPreviousReportFile(const QString& programDirectory);

// Both of the above, in order; failures are silent.
void prepareReportFile(const QString& programDirectory);

// The size of a previous version's report record.
inline constexpr size_t kPreviousRecordSize = 20365;

// One record of a previous-version report file as a new definition; nothing for the previous
// version's own built-in reports, which the new built-ins replace.
std::optional<ReportDefinition> convertPreviousRecord(std::span<const uint8_t> record);

} // namespace reports
