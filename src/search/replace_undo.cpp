#include "search/replace_undo.h"

#include "db/field_catalogue.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <stdexcept>

namespace search {

namespace {

constexpr char kMagic[8] = {'V', 'L', 'M', 'U', 'N', 'D', 'O', '1'};

void putUint(std::string& out, uint64_t value, int bytes) {
    for (int at = 0; at < bytes; ++at)
        out.push_back(static_cast<char>(value >> (8 * at) & 0xFF));
}

// Reads `bytes` little-endian bytes from `data` at `at`; false when the data ends first.
bool getUint(const std::string& data, size_t& at, int bytes, uint64_t& value) {
    if (data.size() - at < static_cast<size_t>(bytes) || at > data.size())
        return false;
    value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= uint64_t{static_cast<uint8_t>(data[at + static_cast<size_t>(i)])} << (8 * i);
    at += static_cast<size_t>(bytes);
    return true;
}

bool readWhole(const std::string& path, std::string& data) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        data.append(buffer, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

// Writes the value kept in the file back into the field being edited.
void restoreValue(table::Table& books, int fieldIndex, char type, const std::string& value) {
    if (value.empty())
        books.setBlank(fieldIndex);
    else if (type == 'D')
        books.setDate(fieldIndex, table::parseDtos(value));
    else
        books.setText(fieldIndex, value);
}

} // namespace

std::string replaceUndoPath(const table::Table& table) {
    std::string path = table.dbfPath();
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        path.erase(dot);
    return path + ".UND";
}

uint64_t recordFingerprint(const table::RecordView& record) {
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    const uint8_t* bytes = record.bytes();
    for (uint32_t at = 0; at < record.header().recordLength; ++at) {
        hash ^= bytes[at];
        hash *= 1099511628211ull;
    }
    return hash;
}

ReplaceUndoWriter::ReplaceUndoWriter(const std::string& path, const table::Table& table,
                                     int fieldIndex)
    : path_(path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr)
        throw std::runtime_error("The undo file \"" + path +
                                 "\" cannot be written: " + std::strerror(errno));
    const table::FieldDescriptor& field = table.fieldDescriptor(fieldIndex);
    std::string head(kMagic, sizeof kMagic);
    putUint(head, field.name.size(), 1);
    head += field.name;
    putUint(head, table.header().recordLength, 4);
    head.push_back(field.type);
    if (std::fwrite(head.data(), 1, head.size(), file_) != head.size() || std::fflush(file_) != 0)
        throw std::runtime_error("The undo file \"" + path + "\" cannot be written.");
}

ReplaceUndoWriter::~ReplaceUndoWriter() {
    close();
}

std::string ReplaceUndoWriter::valueOf(const table::Table& table, int fieldIndex) {
    if (table.isBlank(fieldIndex))
        return {};
    if (table.fieldDescriptor(fieldIndex).type == 'D')
        return table::toDtos(table.asDate(fieldIndex));
    return table.asText(fieldIndex);
}

void ReplaceUndoWriter::add(uint32_t recno, const std::string& oldValue,
                            const table::RecordView& changed) {
    std::string entry;
    putUint(entry, recno, 4);
    putUint(entry, recordFingerprint(changed), 8);
    const size_t length = std::min<size_t>(oldValue.size(), 0xFFFF);
    putUint(entry, length, 2);
    entry.append(oldValue, 0, length);
    // Handed to the system before the record is written: a kill afterwards keeps both.
    if (file_ == nullptr || std::fwrite(entry.data(), 1, entry.size(), file_) != entry.size() ||
        std::fflush(file_) != 0)
        throw std::runtime_error("The undo file \"" + path_ + "\" cannot be written.");
}

void ReplaceUndoWriter::close() {
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
}

bool readReplaceUndoFile(const std::string& path, ReplaceUndoFile& file) {
    std::string data;
    if (!readWhole(path, data) || data.size() < sizeof kMagic ||
        std::memcmp(data.data(), kMagic, sizeof kMagic) != 0)
        return false;
    size_t at = sizeof kMagic;
    uint64_t nameLength = 0, recordLength = 0, type = 0;
    if (!getUint(data, at, 1, nameLength) || data.size() - at < nameLength)
        return false;
    file.fieldName = data.substr(at, nameLength);
    at += nameLength;
    if (!getUint(data, at, 4, recordLength) || !getUint(data, at, 1, type))
        return false;
    file.recordLength = static_cast<uint32_t>(recordLength);
    file.fieldType = static_cast<char>(type);
    file.entries.clear();
    for (;;) {
        ReplaceUndoEntry entry;
        uint64_t recno = 0, fingerprint = 0, length = 0;
        if (!getUint(data, at, 4, recno) || !getUint(data, at, 8, fingerprint) ||
            !getUint(data, at, 2, length) || data.size() - at < length)
            break; // the end, or an entry cut short
        entry.recno = static_cast<uint32_t>(recno);
        entry.fingerprint = fingerprint;
        entry.value = data.substr(at, length);
        at += length;
        file.entries.push_back(std::move(entry));
    }
    return true;
}

UndoResult undoLastReplace(ReplaceContext& context, const std::string& path) {
    UndoResult result;
    ReplaceUndoFile undo;
    if (!readReplaceUndoFile(path, undo)) {
        context.messages.error(kUndoUnreadableMessage);
        return result;
    }
    ExclusiveTableRun session(context);
    result.start = session.start(kReplaceInUseMessage);
    if (result.start != ExclusiveTableRun::Start::Started)
        return result;
    table::Table& books = context.table;
    try {
        const int fieldIndex = books.fieldIndex(undo.fieldName);
        if (fieldIndex < 0 || books.header().recordLength != undo.recordLength)
            throw std::runtime_error(kUndoUnreadableMessage);
        // Newest first, so that the oldest value is what stays.
        for (auto entry = undo.entries.rbegin(); entry != undo.entries.rend(); ++entry) {
            if (!books.goToRecord(entry->recno)) {
                ++result.skipped; // deleted since
                continue;
            }
            if (recordFingerprint(books.currentRecord()) != entry->fingerprint) {
                // Never changed (the replace stopped before writing it) or changed again.
                if (ReplaceUndoWriter::valueOf(books, fieldIndex) != entry->value)
                    ++result.skipped;
                continue;
            }
            books.edit();
            try {
                restoreValue(books, fieldIndex, undo.fieldType, entry->value);
                books.post();
            } catch (...) {
                books.cancel();
                throw;
            }
            ++result.restored;
        }
        std::remove(path.c_str());
    } catch (const std::exception& error) {
        context.messages.error(error.what());
    }
    session.finish();
    return result;
}

std::string undoCompleteMessage(const UndoResult& result) {
    std::string text = "Undo of the last search and replace complete.  " +
                       std::to_string(result.restored) + " record(s) restored.";
    if (result.skipped > 0)
        text += "  " + std::to_string(result.skipped) +
                " record(s) changed or deleted since the replace were left as they are.";
    return text;
}

} // namespace search
