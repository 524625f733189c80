#pragma once

// What the report-definition fuzz target does with one input, shared with the test that replays
// its seed corpus: the input is read as a VLMBOOK.URP (every record, and the damaged tail) and as
// a previous version's BOOK.URP. Reading what we wrote must give back what we read.

#include "reports/report_definition.h"
#include "reports/report_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace fuzzing {

inline void readReportRecords(const uint8_t* data, size_t size) {
    using namespace reports;
    const std::span<const uint8_t> file(data, size);
    for (size_t at = 0; at < size; at += kRecordSize) {
        const auto record = file.subspan(at, std::min(kRecordSize, size - at));
        QStringList repairs;
        const ReportDefinition first = decodeReport(record, &repairs);
        decodeReportName(record);
        const auto bytes = encodeReport(first);
        QStringList second;
        if (!(decodeReport(bytes, &second) == first) || !second.isEmpty())
            std::abort(); // a repaired definition must be stored and read back unchanged
    }
    for (size_t at = 0; at + kPreviousRecordSize <= size; at += kPreviousRecordSize)
        convertPreviousRecord(file.subspan(at, kPreviousRecordSize));
}

} // namespace fuzzing
