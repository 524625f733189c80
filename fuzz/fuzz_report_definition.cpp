#include "fuzz_report_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::readReportRecords(data, size);
    return 0;
}
