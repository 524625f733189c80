#include "transfer/import_core.h"

#include "db/field_catalogue.h"
#include "table/codepage.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace transfer {

namespace {

// The whole input file, mapped read-only for one pass.
class InputFile {
public:
    explicit InputFile(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            throw TransferError("Cannot open " + path + ": " + std::strerror(errno) + ".");
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            throw TransferError("Cannot read " + path + ": it is not a file.");
        }
        size_ = static_cast<size_t>(info.st_size);
        if (size_ > 0) {
            void* map = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
            if (map == MAP_FAILED) {
                const int error = errno;
                ::close(fd);
                throw TransferError("Cannot read " + path + ": " + std::strerror(error) + ".");
            }
            data_ = static_cast<const uint8_t*>(map);
            ::madvise(map, size_, MADV_SEQUENTIAL);
        }
        ::close(fd);
    }
    ~InputFile() {
        if (data_)
            ::munmap(const_cast<uint8_t*>(data_), size_);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    std::span<const uint8_t> bytes() const { return {data_, size_}; }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

// Length of the UTF-8 sequence at `i`, or 0 when it is not a valid one.
size_t utf8SequenceAt(std::span<const uint8_t> b, size_t i) {
    const uint8_t c = b[i];
    size_t length = 0;
    uint32_t min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > b.size())
        return 0;
    uint32_t code = c & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((b[i + k] & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (b[i + k] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

constexpr size_t kScanBytesPerStep = size_t{4} << 20;
constexpr size_t kLabelScanBytes = size_t{1} << 20;

std::string toUtf8(const std::string& text, bool utf8) {
    return utf8 ? text : table::decodeToUtf8(text, table::Codepage::Cp1252);
}

// The import's posts as one run of the book table (see Table::beginBatch), from the first post
// to the end of the source, a failure, or the import's end, whichever comes first.
class PostingRun {
public:
    explicit PostingRun(table::Table& books) : books_(books) {}
    ~PostingRun() {
        try {
            end();
        } catch (const std::exception&) { // the index stays marked: the next open rebuilds it
        }
    }
    PostingRun(const PostingRun&) = delete;
    PostingRun& operator=(const PostingRun&) = delete;

    void begin() {
        if (!active_)
            books_.beginBatch();
        active_ = true;
    }
    void end() {
        if (active_) {
            active_ = false;
            books_.endBatch();
        }
    }
    // Runs `work` inside the run; the run ends when it fails or returns true.
    template <typename Work> bool within(Work&& work) {
        begin();
        bool done = false;
        try {
            done = work();
        } catch (...) {
            try {
                end();
            } catch (const std::exception&) { // the first failure is the one to report
            }
            throw;
        }
        if (done)
            end();
        return done;
    }

private:
    table::Table& books_;
    bool active_ = false;
};

class TextImport final : public ImportRun {
public:
    TextImport(table::Table& books, const std::string& path, const std::vector<int>& map,
               bool skipFirst, const ImportFormats& formats)
        : books_(books), input_(path), map_(map), formats_(formats), skipFirst_(skipFirst),
          scan_(input_.bytes()) {
        for (int number : map_)
            targets_.push_back(
                number > 0 ? books_.fieldIndexOrThrow(db::fieldByNumber(number)->name) : -1);
    }

    bool step(uint32_t maxRecords) override {
        if (!reader_) {
            // The whole file decides its encoding; it is looked at in stretches, one per step.
            if (!scan_.step(kScanBytesPerStep))
                return false;
            encoding_ = scan_.result();
            reader_.emplace(input_.bytes().subspan(encoding_.skip));
            if (skipFirst_ && !reader_->atEnd()) {
                readRecordLine(*reader_, fieldCount(), fields_);
                ++line_;
            }
        }
        return posting_.within([&] {
            for (uint32_t n = 0; n < maxRecords && !reader_->atEnd(); ++n)
                importLine();
            return reader_->atEnd();
        });
    }

private:
    void importLine() {
        ++line_;
        if (!readRecordLine(*reader_, fieldCount(), fields_))
            return;
        books_.append();
        try {
            for (size_t i = 0; i < map_.size(); ++i) {
                if (map_[i] <= 0)
                    continue;
                storeImportValue(books_, targets_[i], *db::fieldByNumber(map_[i]), fields_[i],
                                 valueEncoding(), formats_, {"line", line_, i + 1, {}});
            }
            books_.post();
        } catch (...) {
            books_.cancel();
            throw;
        }
        ++count_;
    }

    int fieldCount() const { return std::max(1, static_cast<int>(map_.size())); }
    ValueEncoding valueEncoding() const {
        return encoding_.utf8 ? ValueEncoding::Utf8 : ValueEncoding::Cp1252;
    }

    table::Table& books_;
    InputFile input_;
    std::vector<int> map_;
    std::vector<int> targets_;
    ImportFormats formats_;
    bool skipFirst_;
    EncodingScan scan_;
    TextEncoding encoding_;
    std::optional<DelimitedReader> reader_;
    std::vector<std::string> fields_;
    uint64_t line_ = 0;
    PostingRun posting_{books_}; // last: its end comes first
};

void openForeign(table::Table& foreign, const std::string& path) {
    const std::filesystem::path file = std::filesystem::absolute(path);
    foreign.setDirectory(file.parent_path().string());
    foreign.setTableName(file.filename().string());
    foreign.setOpenMode(table::OpenMode::ReadOnly);
    foreign.selectTag("");
    foreign.open();
}

// The fields of a foreign table a user sees, in field order.
std::vector<int> offeredFields(const table::Table& foreign) {
    std::vector<int> indexes;
    for (int i = 0; i < foreign.fieldCount(); ++i)
        if (!foreign.fieldDescriptor(i).hidden)
            indexes.push_back(i);
    return indexes;
}

bool holdsDates(char type) {
    return type == 'D' || type == 'T' || type == '@';
}

class DbfImport final : public ImportRun {
public:
    DbfImport(table::Table& books, const std::string& path, const std::vector<int>& map,
              const ImportFormats& formats)
        : books_(books), map_(map), formats_(formats) {
        // Reading the table being appended to would never reach its end.
        std::error_code ignored;
        if (std::filesystem::equivalent(path, books.dbfPath(), ignored))
            throw TransferError("The open database cannot be imported into itself.");
        openForeign(foreign_, path);
        sources_ = offeredFields(foreign_);
        if (map_.size() > sources_.size())
            map_.resize(sources_.size());
        for (int number : map_)
            targets_.push_back(
                number > 0 ? books_.fieldIndexOrThrow(db::fieldByNumber(number)->name) : -1);
        foreign_.first();
    }

    bool step(uint32_t maxRecords) override {
        return posting_.within([&] {
            for (uint32_t n = 0; n < maxRecords && !atEnd(); ++n)
                importRecord();
            return atEnd();
        });
    }

private:
    void importRecord() {
        books_.append();
        try {
            for (size_t i = 0; i < map_.size(); ++i)
                if (map_[i] > 0)
                    copyField(i);
            books_.post();
        } catch (...) {
            books_.cancel();
            throw;
        }
        ++count_;
        foreign_.next();
    }

    bool atEnd() { return foreign_.eof() || foreign_.isEmpty(); }

    void copyField(size_t i) {
        const db::FieldInfo& field = *db::fieldByNumber(map_[i]);
        const int source = sources_[i];
        if (field.kind == db::FieldKind::Date &&
            holdsDates(foreign_.fieldDescriptor(source).type)) {
            // A date goes over as a date: its text in a two-digit-year format would lose the
            // century.
            const table::Date date = foreign_.asDate(source);
            if (!date.isNull())
                books_.setDate(targets_[i], date);
            return;
        }
        storeImportValue(books_, targets_[i], field, foreign_.asText(source), ValueEncoding::Utf8,
                         formats_,
                         {"record", count_ + 1, i + 1, foreign_.fieldDescriptor(source).name});
    }

    table::Table& books_;
    table::Table foreign_;
    std::vector<int> map_;
    std::vector<int> sources_;
    std::vector<int> targets_;
    ImportFormats formats_;
    PostingRun posting_{books_}; // last: its end comes first
};

} // namespace

EncodingScan::EncodingScan(std::span<const uint8_t> bytes) : bytes_(bytes) {
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        result_ = {true, 3};
        done_ = true;
    }
}

bool EncodingScan::step(size_t maxBytes) {
    const size_t end = maxBytes >= bytes_.size() - position_ ? bytes_.size() : position_ + maxBytes;
    while (!done_ && position_ < end) {
        // Eight ASCII bytes at a time: most of a catalogue is plain ASCII.
        if (position_ + 8 <= end) {
            uint64_t word = 0;
            std::memcpy(&word, bytes_.data() + position_, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                position_ += 8;
                continue;
            }
        }
        if (bytes_[position_] < 0x80) {
            ++position_;
            continue;
        }
        const size_t length = utf8SequenceAt(bytes_, position_);
        if (length == 0) {
            result_ = {false, 0}; // not UTF-8: Windows-1252 as the program writes it
            done_ = true;
            break;
        }
        result_.utf8 = true;
        position_ += length;
    }
    if (position_ >= bytes_.size())
        done_ = true;
    return done_;
}

TextEncoding detectEncoding(std::span<const uint8_t> bytes) {
    EncodingScan scan(bytes);
    while (!scan.step(SIZE_MAX)) {
    }
    return scan.result();
}

TextSource inspectTextFile(const std::string& path) {
    InputFile input(path);
    TextSource source;
    // The labels need only the file's start; the import itself looks at the whole file.
    EncodingScan scan(input.bytes());
    scan.step(kLabelScanBytes);
    const TextEncoding encoding = scan.result();
    source.utf8 = encoding.utf8;
    DelimitedReader reader(input.bytes().subspan(encoding.skip));
    FirstLine first = checkFirstLine(reader);
    source.error = first.error;
    for (const std::string& text : first.fields)
        source.labels.push_back(toUtf8(importLabel(text, encoding.utf8), encoding.utf8));
    return source;
}

std::vector<std::string> inspectDbfFile(const std::string& path) {
    table::Table foreign;
    openForeign(foreign, path);
    const std::vector<int> fields = offeredFields(foreign);
    if (fields.size() > static_cast<size_t>(kMaxImportFields))
        throw TransferError("The table " + std::filesystem::path(path).filename().string() +
                            " has " + std::to_string(fields.size()) +
                            " fields.  At most 46 fields can be imported.");
    std::vector<std::string> labels;
    for (int index : fields)
        labels.push_back(foreign.fieldDescriptor(index).name.substr(0, kImportLabelLength));
    return labels;
}

std::vector<int> buildImportMap(const std::vector<MappingRow>& rows, int fieldCount) {
    std::vector<int> map(static_cast<size_t>(std::max(0, fieldCount)), 0);
    const size_t bookRows = std::min<size_t>(rows.size(), db::kFieldCount);
    for (size_t j = 0; j < bookRows; ++j) {
        const int position = rows[j].position;
        if (position >= 1 && position <= fieldCount && rows[j].use)
            map[static_cast<size_t>(position - 1)] = static_cast<int>(j) + 1;
    }
    return map;
}

std::unique_ptr<ImportRun> startTextImport(table::Table& books, const std::string& path,
                                           const std::vector<int>& map, bool skipFirst,
                                           const ImportFormats& formats) {
    return std::make_unique<TextImport>(books, path, map, skipFirst, formats);
}

std::unique_ptr<ImportRun> startDbfImport(table::Table& books, const std::string& path,
                                          const std::vector<int>& map,
                                          const ImportFormats& formats) {
    return std::make_unique<DbfImport>(books, path, map, formats);
}

} // namespace transfer
