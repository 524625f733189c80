#pragma once

// Putting written data on the disk, and the named steps of the work that replaces whole files
// (pack, index regeneration into a new file, the replacement-file writer). A crash at any step
// must leave files that open with every record: each step is named so that tests can stop the
// work there and look at what a crash would have left, including which data had reached the
// disk by then.

#include <string_view>

namespace table::detail {

// fsync and fdatasync: true once the file's data is on the disk.
bool syncFileToDisk(int fd);
bool syncDataToDisk(int fd);

// Told when a file's data reached the disk and when a step is reached. Tests only; the program
// runs without one.
class DurabilityProbe {
public:
    virtual ~DurabilityProbe() = default;
    virtual void synced(int fd) = 0;
    virtual void stepReached(std::string_view step) = 0;
};
void setDurabilityProbe(DurabilityProbe* probe); // null: none
void reachStep(std::string_view step);

namespace step {
// ReplacementFile::commit
inline constexpr std::string_view kReplacementWritten = "replacement: written";
inline constexpr std::string_view kReplacementSynced = "replacement: synced";
inline constexpr std::string_view kReplacementRenamed = "replacement: renamed";
// Table::pack, around the commit of the new table file
inline constexpr std::string_view kPackRecordsWritten = "pack: records written";
inline constexpr std::string_view kPackIndexMarked = "pack: old index marked";
inline constexpr std::string_view kPackTableReplaced = "pack: table replaced";
inline constexpr std::string_view kPackIndexSynced = "pack: new index synced";
inline constexpr std::string_view kPackIndexReplaced = "pack: index replaced";
} // namespace step

} // namespace table::detail
