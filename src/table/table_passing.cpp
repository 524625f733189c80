// The passing records of the filter: one pass through the file in physical order instead of a
// count that reads every record again and walks that visit the file in random order.

#include "table/dbf_format.h"
#include "table/table_impl.h"

#include <bit>
#include <cstring>

namespace table {

namespace {

// The record count in the file's header as it stands now (an append by another handle changes
// it before the handle's own count is re-read).
uint32_t headerCountInFile(const detail::MappedFile& map) {
    uint8_t bytes[4];
    const uint8_t* mapped = map.at(kRecordCountOffset, sizeof bytes);
    if (mapped == nullptr)
        return 0;
    std::memcpy(bytes, mapped, sizeof bytes);
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

uint64_t indexGenerationOf(const Table::Impl& d) {
    return d.mdx ? d.mdx->generation() : 0;
}

} // namespace

bool Table::Impl::passingRecordsValid() const {
    const PassingRecords& known = passingRecords;
    return known.computed && filter && known.writes == writes &&
           known.recordCount == header.recordCount &&
           known.indexGeneration == indexGenerationOf(*this) &&
           known.countInFile == headerCountInFile(map);
}

const PassingRecords& Table::Impl::ensurePassingRecords() {
    if (passingRecordsValid())
        return passingRecords;
    PassingRecords fresh;
    fresh.recordCount = header.recordCount;
    fresh.indexGeneration = indexGenerationOf(*this);
    fresh.writes = writes;
    fresh.countInFile = headerCountInFile(map);
    fresh.bits.assign((size_t{header.recordCount} + 63) / 64, 0);
    detail::ReadAhead ahead(map);
    for (uint32_t recno = 1; recno <= header.recordCount; ++recno) {
        ahead.reach(recordOffset(recno), header.recordLength);
        prefetchRecord(recno + 8);
        if (accepts(recno)) {
            uint32_t bit = recno - 1;
            fresh.bits[bit >> 6] |= uint64_t{1} << (bit & 63);
        }
    }
    for (uint64_t word : fresh.bits)
        fresh.passing += static_cast<uint32_t>(std::popcount(word));
    fresh.computed = true;
    passingRecords = std::move(fresh);
    return passingRecords;
}

} // namespace table
