#pragma once

// The undo file of the last search and replace: beside the table, one entry per changed record
// written before the record changes, holding the field's old value and a fingerprint of the
// record as the replace left it. Undoing writes the old values back into the records that are
// still as the replace left them and skips those changed again since.
//
// File layout (little-endian): "VLMUNDO1", the field name (one length byte, then the name), the
// table's record length (4 bytes), the field type (1 byte); then per record: record number
// (4 bytes), fingerprint (8 bytes), value length (2 bytes) and the value (text as UTF-8, a date
// as YYYYMMDD, empty for a blank field). An entry cut short (the program was killed while
// writing it) ends the file.

#include "search/replace.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace search {

// "<table name>.UND" in the table's folder.
std::string replaceUndoPath(const table::Table& table);

class ReplaceUndoWriter {
public:
    // Creates (replacing) the file for the field `fieldIndex` of the open `table`. Throws
    // std::runtime_error when it cannot be written.
    ReplaceUndoWriter(const std::string& path, const table::Table& table, int fieldIndex);
    ~ReplaceUndoWriter();
    ReplaceUndoWriter(const ReplaceUndoWriter&) = delete;
    ReplaceUndoWriter& operator=(const ReplaceUndoWriter&) = delete;

    // The field's value of the current record as the file keeps it.
    static std::string valueOf(const table::Table& table, int fieldIndex);
    // Writes the entry through to the file (a kill after this keeps it).
    void add(uint32_t recno, const std::string& oldValue, const table::RecordView& changed);
    void close();

private:
    std::string path_;
    std::FILE* file_ = nullptr;
};

struct ReplaceUndoEntry {
    uint32_t recno = 0;
    uint64_t fingerprint = 0;
    std::string value;
};

struct ReplaceUndoFile {
    std::string fieldName;
    uint32_t recordLength = 0;
    char fieldType = 0;
    std::vector<ReplaceUndoEntry> entries;
};

// Reads the file; false when it is missing or not an undo file.
bool readReplaceUndoFile(const std::string& path, ReplaceUndoFile& file);
uint64_t recordFingerprint(const table::RecordView& record);

struct UndoResult {
    ExclusiveTableRun::Start start = ExclusiveTableRun::Start::Failed;
    uint32_t restored = 0;
    uint32_t skipped = 0; // changed again, or deleted, since the replace
};

inline constexpr const char* kUndoUnreadableMessage =
    "The last replace cannot be undone: its undo file is missing or damaged.";

// Undoes the replace recorded in `path` under the same rules as the replace (sole use, the index
// dropped and built again); the file is removed once it has been applied.
UndoResult undoLastReplace(ReplaceContext& context, const std::string& path);
// The message shown when an undo has run.
std::string undoCompleteMessage(const UndoResult& result);

} // namespace search
