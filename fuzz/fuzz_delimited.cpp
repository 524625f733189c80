// libFuzzer target for the delimited text reader.
#include "fuzz_delimited_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::readDelimitedFile(data, size);
    return 0;
}
