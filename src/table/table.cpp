#include "table/table.h"

#include "table/replacement_file.h"
#include "table/table_impl.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace table {

namespace detail {

Date today() {
    return localToday();
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string tableStem(const std::string& tableName) {
    std::string stem = tableName;
    auto slash = stem.find_last_of('/');
    if (slash != std::string::npos)
        stem.erase(0, slash + 1);
    auto dot = stem.rfind('.');
    if (dot != std::string::npos)
        stem.erase(dot);
    return stem;
}

std::string resolvePath(const std::string& directory, const std::string& name) {
    std::string exact = directory.empty()         ? name
                        : directory.back() == '/' ? directory + name
                                                  : directory + "/" + name;
    struct stat info;
    if (::stat(exact.c_str(), &info) == 0)
        return exact;
    DIR* folder = ::opendir(directory.empty() ? "." : directory.c_str());
    if (folder == nullptr)
        return exact;
    std::string found;
    while (dirent* entry = ::readdir(folder)) {
        if (equalNoCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(folder);
    if (found.empty())
        return exact;
    return exact.substr(0, exact.size() - name.size()) + found;
}

} // namespace detail

namespace {

using detail::UniqueFd;

bool sameFile(int fd, const std::string& path) {
    struct stat opened, named;
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

std::string inUseMessage(const std::string& path) {
    return "The table \"" + path + "\" is in use by another user or program.";
}

// Opens the file and takes its "table open" lock. The file may be replaced (create, pack by
// another handle) between open and lock, so the lock is only trusted once the name still leads
// to the locked file.
UniqueFd openAndLock(const std::string& path, OpenMode mode) {
    int flags = (mode == OpenMode::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    auto kind =
        mode == OpenMode::Exclusive ? detail::LockKind::Exclusive : detail::LockKind::Shared;
    for (int attempt = 0; attempt < 5; ++attempt) {
        UniqueFd fd(::open(path.c_str(), flags));
        if (!fd.valid())
            throw TableError("Cannot open the table \"" + path + "\": " + std::strerror(errno));
        if (!detail::tryLock(fd.get(), detail::kOpenLockOffset, kind, path))
            throw TableError(inUseMessage(path));
        if (sameFile(fd.get(), path))
            return fd;
    }
    throw TableError(inUseMessage(path));
}

// Another process may append while the table opens: the header is read once, as it stands,
// and the file's size looked at again afterwards. A record count never runs ahead of the
// records it counts (they are written first), so the size then covers every one of them.
DbfHeader readHeaderOfMap(detail::MappedFile& map, const std::string& fileName) {
    const std::span<const uint8_t> whole(map.at(0, map.size()), map.size());
    const uint64_t headerLength = std::max<uint64_t>(dbfHeaderLengthOf(whole), 12);
    const std::vector<uint8_t> head(whole.begin(),
                                    whole.begin() + std::min<uint64_t>(headerLength, whole.size()));
    if (head.size() >= 12 && head[0] != 0x02) { // dBASE II keeps its count elsewhere; read-only
        const uint64_t count = uint64_t{head[4]} | uint64_t{head[5]} << 8 |
                               uint64_t{head[6]} << 16 | uint64_t{head[7]} << 24;
        const uint64_t recordLength = uint64_t{head[10]} | uint64_t{head[11]} << 8;
        map.ensure(headerLength + count * recordLength);
    }
    return parseDbfHeader(head, map.size(), fileName);
}

bool writableVersion(const DbfHeader& header) {
    return (header.version == 0x03 || header.version == 0x8B) && !header.dbase7 &&
           !header.visualFoxPro;
}

int displayWidth(const FieldDescriptor& field) {
    switch (field.type) {
    case 'D':
        return 10;
    case 'L':
        return 1;
    case 'M':
    case 'G':
    case 'B':
    case 'P':
        return 10;
    default:
        return static_cast<int>(field.length);
    }
}

} // namespace

// --- Shared helpers ------------------------------------------------------------------------------

void Table::Impl::requireOpen() const {
    if (!isOpen)
        throw TableError("The table \"" + tableName + "\" is not open.");
}

void Table::Impl::requireWritable() const {
    requireOpen();
    if (!writable())
        fail("is open for reading only");
}

void Table::Impl::requireBrowse() const {
    requireOpen();
    if (state == State::Edit || state == State::Insert)
        fail("has a record being edited");
}

void Table::Impl::fail(const std::string& what) const {
    throw TableError("The table \"" + dbfFile + "\" " + what + ".");
}

void Table::Impl::notify(const TableChange& change) {
    if (pendingStore) {
        const TableChange stored = *pendingStore;
        pendingStore.reset();
        tell(stored);
    }
    tell(change);
}

void Table::Impl::tell(const TableChange& change) {
    if (suspendCount > 0) {
        // Only moves can be summed up as a move; anything else asks to look at everything.
        const bool moves = change.kind == TableChange::Kind::Moved &&
                           (!heldChange || heldChange->kind == TableChange::Kind::Moved);
        heldChange = TableChange{moves ? TableChange::Kind::Moved : TableChange::Kind::Reset};
        return;
    }
    auto listeners = observers; // an observer may remove itself while being told
    for (auto& [id, observer] : listeners)
        if (observer)
            observer(change);
}

const FieldDescriptor& Table::Impl::field(int index) const {
    requireOpen();
    if (index < 0 || index >= static_cast<int>(header.fields.size()))
        throw TableError("The table \"" + dbfFile + "\" has no field number " +
                         std::to_string(index + 1) + ".");
    return header.fields[static_cast<size_t>(index)];
}

void Table::Impl::writeAt(const void* data, size_t length, uint64_t offset) const {
    ++writes; // whatever was derived from the records may no longer hold
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (length > 0) {
        ssize_t written = ::pwrite(fd.get(), bytes, length, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw TableError("Cannot write the table \"" + dbfFile +
                             "\": " + std::strerror(written < 0 ? errno : ENOSPC));
        bytes += written;
        length -= static_cast<size_t>(written);
        offset += static_cast<uint64_t>(written);
    }
}

void Table::Impl::readAt(void* data, size_t length, uint64_t offset) const {
    auto* bytes = static_cast<uint8_t*>(data);
    while (length > 0) {
        ssize_t got = ::pread(fd.get(), bytes, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            throw TableError("Cannot read the table \"" + dbfFile +
                             "\": " + (got < 0 ? std::strerror(errno) : "the file is truncated"));
        bytes += got;
        length -= static_cast<size_t>(got);
        offset += static_cast<uint64_t>(got);
    }
}

const uint8_t* Table::Impl::recordBytes(uint32_t recno) {
    if (recno == 0 || recno > header.recordCount)
        return nullptr;
    uint64_t offset = recordOffset(recno);
    if (!map.ensure(offset + header.recordLength))
        return nullptr;
    return map.at(offset, header.recordLength);
}

uint32_t Table::Impl::readRecordCountFromFile() {
    uint8_t bytes[4];
    // The map shares the page cache with every writer, so it holds the count they wrote.
    if (const uint8_t* mapped = map.at(kRecordCountOffset, sizeof bytes))
        std::memcpy(bytes, mapped, sizeof bytes);
    else
        readAt(bytes, sizeof bytes, kRecordCountOffset);
    uint32_t count = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                     uint32_t{bytes[3]} << 24;
    struct stat info;
    if (::fstat(fd.get(), &info) == 0 &&
        static_cast<uint64_t>(info.st_size) >= header.headerLength) {
        uint64_t held =
            (static_cast<uint64_t>(info.st_size) - header.headerLength) / header.recordLength;
        count = static_cast<uint32_t>(std::min<uint64_t>(count, held));
    }
    return count;
}

void Table::Impl::writeHeaderCountAndDate(uint32_t recordCount) {
    uint8_t bytes[8] = {}; // bytes 1..7: the date of the last update, then the record count
    if (uint8_t* page = head.data()) {
        ++writes;
        std::memcpy(bytes, page, sizeof bytes);
        writeLastUpdate(bytes, detail::today());
        writeRecordCount(bytes, recordCount);
        std::memcpy(page + kLastUpdateOffset, bytes + kLastUpdateOffset, 7);
        return;
    }
    const uint8_t* mapped = map.at(0, sizeof bytes);
    if (mapped != nullptr)
        std::memcpy(bytes, mapped, sizeof bytes);
    writeLastUpdate(bytes, detail::today());
    writeRecordCount(bytes, recordCount);
    // The map shows the file: a header that already says this needs no write (a run of edits
    // on one day writes it once).
    if (mapped != nullptr &&
        std::memcmp(mapped + kLastUpdateOffset, bytes + kLastUpdateOffset, 7) == 0)
        return;
    writeAt(bytes + kLastUpdateOffset, 7, kLastUpdateOffset);
}

// --- The handle ----------------------------------------------------------------------------------

Table::Table() : impl_(std::make_unique<Impl>()) {}

Table::~Table() {
    impl_->observers.clear(); // the controls watching may already be gone
    close();
}

void Table::setDirectory(const std::string& directory) {
    impl_->directory = directory;
}
void Table::setTableName(const std::string& name) {
    impl_->tableName = name;
}
const std::string& Table::directory() const {
    return impl_->directory;
}
const std::string& Table::tableName() const {
    return impl_->tableName;
}

std::string Table::dbfPath() const {
    std::string name = impl_->tableName;
    if (name.find('.') == std::string::npos)
        name += ".DBF";
    return detail::resolvePath(impl_->directory, name);
}

std::string Table::mdxPath() const {
    return impl_->indexPath();
}

std::string Table::Impl::indexPath() const {
    std::string name = tableName;
    auto dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return detail::resolvePath(directory, name + ".MDX");
}

void Table::setOpenMode(OpenMode mode) {
    impl_->mode = mode;
}
OpenMode Table::openMode() const {
    return impl_->mode;
}
bool Table::isOpen() const {
    return impl_->isOpen;
}

void Table::open() {
    if (impl_->isOpen)
        close();
    Impl& d = *impl_;
    d.dbfFile = dbfPath();
    try {
        d.fd = openAndLock(d.dbfFile, d.mode);
        d.map.map(d.fd.get(), d.dbfFile);
        if (d.map.size() == 0)
            d.fail("is empty, not a dBASE table");
        d.header = readHeaderOfMap(d.map, d.dbfFile);
        if (d.writable() && !writableVersion(d.header))
            d.fail("was written by another dBASE program and can only be read (imported)");
        if (d.header.memoKind != MemoKind::None)
            d.memo = MemoReader::open(d.dbfFile, d.header.memoKind);
        d.blankRecord.assign(d.header.recordLength, ' ');
        d.displays.clear();
        d.displayOrder.clear();
        for (const FieldDescriptor& f : d.header.fields) {
            d.displays.push_back(FieldDisplay{true, f.name, displayWidth(f)});
            d.displayOrder.push_back(static_cast<int>(d.displayOrder.size()));
        }
        d.isOpen = true;
        d.state = State::Browse;
        d.deletedCount = 0;
        d.deletedCountedUpTo = 0;
        d.filter = d.pendingFilter;
        d.forgetPassingRecords();
        d.openIndex();
        d.activateTag(d.requestedTag);
        d.moveFirst();
    } catch (...) {
        close();
        throw;
    }
    d.notifyReset();
}

void Table::close() {
    Impl& d = *impl_;
    bool wasOpen = d.isOpen;
    d.cancelEdit();
    d.head.unmap();
    if (d.batchDepth > 0) {
        try {
            d.finishBatch();
        } catch (const TableError&) { // the index stays marked: the next open rebuilds it
        }
    }
    d.indexCursor.reset();
    d.tags.clear();
    d.activeTag = -1;
    d.mdx.reset();
    d.memo.reset();
    d.map.unmap();
    d.fd.reset();
    d.header = DbfHeader{};
    d.passingRecords = PassingRecords{};
    d.indexProblem.clear();
    d.isOpen = false;
    d.state = State::Inactive;
    d.current = 0;
    d.bof = d.eof = true;
    d.displays.clear();
    d.displayOrder.clear();
    d.pendingStore.reset();
    if (wasOpen)
        d.notifyReset();
}

void Table::create(const std::string& path, const std::vector<FieldDef>& fields) {
    std::vector<uint8_t> bytes = buildDbfHeader(fields, detail::today(), false);
    bytes.push_back(0x1A);
    // Hold the old file exclusively while it is replaced, so that nobody is left working on it.
    UniqueFd old(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    if (old.valid()) {
        if (!detail::tryLock(old.get(), detail::kOpenLockOffset, detail::LockKind::Exclusive, path))
            throw TableError(inUseMessage(path));
    } else if (errno != ENOENT) {
        UniqueFd readable(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (readable.valid() &&
            detail::exclusiveWouldConflict(readable.get(), detail::kOpenLockOffset))
            throw TableError(inUseMessage(path));
    }
    detail::ReplacementFile replacement(path);
    replacement.write(bytes.data(), bytes.size());
    replacement.commit();

    auto slash = path.find_last_of('/');
    std::string directory =
        slash == std::string::npos ? "" : path.substr(0, std::max<size_t>(slash, 1));
    std::string staleIndex = detail::resolvePath(directory, detail::tableStem(path) + ".MDX");
    ::unlink(staleIndex.c_str()); // a new table has no index
}

bool Table::inUse(const std::string& path) {
    // Only another holder makes a file in use. A file that cannot be opened at all is no
    // business of this test: the open that follows says why, in its own words.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return fd.valid() && detail::exclusiveWouldConflict(fd.get(), detail::kOpenLockOffset);
}

// --- Fields --------------------------------------------------------------------------------------

int Table::fieldCount() const {
    return impl_->isOpen ? static_cast<int>(impl_->header.fields.size()) : 0;
}

const FieldDescriptor& Table::fieldDescriptor(int index) const {
    return impl_->field(index);
}

int Table::fieldIndex(std::string_view name) const {
    const auto& fields = impl_->header.fields;
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name.size() == name.size() &&
            std::equal(name.begin(), name.end(), fields[i].name.begin(), [](char a, char b) {
                return std::toupper(static_cast<unsigned char>(a)) ==
                       std::toupper(static_cast<unsigned char>(b));
            }))
            return static_cast<int>(i);
    return -1;
}

int Table::fieldIndexOrThrow(std::string_view name) const {
    int index = fieldIndex(name);
    if (index < 0)
        throw TableError("The table \"" + impl_->dbfFile + "\" has no field named \"" +
                         std::string(name) + "\".");
    return index;
}

const DbfHeader& Table::header() const {
    return impl_->header;
}

FieldDisplay& Table::display(int index) {
    impl_->field(index);
    return impl_->displays[static_cast<size_t>(index)];
}

const FieldDisplay& Table::display(int index) const {
    impl_->field(index);
    return impl_->displays[static_cast<size_t>(index)];
}

std::vector<int> Table::displayOrder() const {
    return impl_->displayOrder;
}

void Table::setDisplayOrder(const std::vector<int>& order) {
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i)
        if (sorted[i] != static_cast<int>(i))
            sorted.clear();
    if (sorted.size() != impl_->header.fields.size() || !impl_->isOpen)
        throw TableError("The display order of the table \"" + impl_->dbfFile +
                         "\" must name every field once.");
    impl_->displayOrder = order;
}

// --- Observers -----------------------------------------------------------------------------------

int Table::addObserver(Observer observer) {
    int id = impl_->nextObserverId++;
    impl_->observers.emplace(id, std::move(observer));
    return id;
}

void Table::removeObserver(int id) {
    impl_->observers.erase(id);
}
void Table::suspendObservers() {
    ++impl_->suspendCount;
}

void Table::resumeObservers() {
    if (impl_->suspendCount == 0)
        return;
    if (--impl_->suspendCount == 0) {
        const TableChange held = impl_->heldChange.value_or(TableChange{TableChange::Kind::Moved});
        impl_->heldChange.reset();
        impl_->notify(held);
    }
}

bool Table::observersSuspended() const {
    return impl_->suspendCount > 0;
}

// --- Record view ---------------------------------------------------------------------------------

namespace {

const FieldDescriptor& viewField(const DbfHeader& header, int index) {
    if (index < 0 || index >= static_cast<int>(header.fields.size()))
        throw TableError("There is no field number " + std::to_string(index + 1) + ".");
    return header.fields[static_cast<size_t>(index)];
}

} // namespace

std::string_view RecordView::raw(int index) const {
    const FieldDescriptor& f = viewField(*header_, index);
    return {reinterpret_cast<const char*>(bytes_) + f.offset, f.length};
}

std::string RecordView::text(int index) const {
    return fieldText(*header_, viewField(*header_, index), bytes_, currentDateFormat());
}

double RecordView::number(int index) const {
    return fieldNumber(viewField(*header_, index), bytes_);
}

Date RecordView::date(int index) const {
    return fieldDate(viewField(*header_, index), bytes_);
}

} // namespace table
