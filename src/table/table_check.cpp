#include "table_check.h"

#include "dbf_format.h"
#include "key_expression.h"
#include "mapped_file.h"
#include "table.h"
#include "table_error.h"
#include "table_impl.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace table {

namespace {

// Past this many problems of one kind (per tag for the index) only a count is added, so a table
// damaged throughout gives a readable report.
constexpr int kProblemsShownPerKind = 5;

class ProblemList {
public:
    explicit ProblemList(std::vector<CheckProblem>& problems) : problems_(problems) {}
    void add(CheckProblem::Kind kind, const std::string& scope, std::string text) {
        const int seen = ++counts_[{kind, scope}];
        if (seen <= kProblemsShownPerKind)
            problems_.push_back({kind, std::move(text)});
    }
    // One line for what was not listed, per kind and scope.
    void summarise() {
        for (const auto& [key, count] : counts_)
            if (count > kProblemsShownPerKind)
                problems_.push_back({key.first, (key.second.empty() ? "" : key.second + ": ") +
                                                    std::to_string(count - kProblemsShownPerKind) +
                                                    " more problems of this kind"});
    }

private:
    std::vector<CheckProblem>& problems_;
    std::map<std::pair<CheckProblem::Kind, std::string>, int> counts_;
};

struct TablePaths {
    std::string dbf;
    std::string mdx;
};

TablePaths pathsOf(const std::string& dbfPath) {
    const auto slash = dbfPath.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : dbfPath.substr(0, slash);
    const std::string name = slash == std::string::npos ? dbfPath : dbfPath.substr(slash + 1);
    std::string base = name;
    if (const auto dot = base.rfind('.'); dot != std::string::npos)
        base.erase(dot);
    return {detail::resolvePath(directory, name), detail::resolvePath(directory, base + ".MDX")};
}

std::string quoted(std::string_view bytes) {
    std::string text = "\"";
    for (char c : bytes)
        text += (static_cast<unsigned char>(c) < 32) ? '?' : c;
    return text + "\"";
}

bool isNumberText(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size() && bytes[i] == ' ')
        ++i;
    size_t end = bytes.size();
    while (end > i && bytes[end - 1] == ' ')
        --end;
    const std::string_view digits = bytes.substr(i, end - i);
    // Blank (some writers keep the decimal point of a blank number), or a value that
    // overflowed its width.
    if (digits.empty() || digits == "." ||
        std::all_of(digits.begin(), digits.end(), [](char c) { return c == '*'; }))
        return true;
    size_t p = 0;
    if (digits[p] == '-' || digits[p] == '+')
        ++p;
    bool anyDigit = false;
    bool point = false;
    for (; p < digits.size(); ++p) {
        const char c = digits[p];
        if (c >= '0' && c <= '9')
            anyDigit = true;
        else if (c == '.' && !point)
            point = true;
        else if ((c == 'e' || c == 'E') && anyDigit)
            return p + 1 < digits.size(); // the exponent's digits are not looked at further
        else
            return false;
    }
    return anyDigit;
}

// Whether a field's bytes can be what its type says; the binary types of other dBASE programs
// can hold any bytes.
bool fieldBytesFit(const FieldDescriptor& field, std::string_view bytes) {
    switch (field.type) {
    case 'N':
    case 'F':
        return isNumberText(bytes);
    case 'D': {
        if (bytes.find_first_not_of(' ') == std::string_view::npos || bytes == "00000000")
            return true;
        return bytes.size() == 8 && !parseDtos(bytes).isNull();
    }
    case 'L':
        return bytes.size() == 1 && std::strchr("TtFfYyNn? ", bytes[0]) != nullptr;
    case 'M':
    case 'G':
    case 'B':
        if (field.length != 10)
            return true; // Visual FoxPro's 4-byte block numbers are binary
        return bytes.find_first_not_of(" 0123456789") == std::string_view::npos;
    default:
        return true;
    }
}

class OpenFile {
public:
    explicit OpenFile(const std::string& path, int flags) : fd_(::open(path.c_str(), flags)) {
        if (fd_ < 0)
            throw TableError(path + ": " + std::strerror(errno));
    }
    ~OpenFile() { ::close(fd_); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

DbfHeader readHeader(const detail::MappedFile& map, const std::string& path) {
    const uint8_t* start = map.at(0, std::min<uint64_t>(map.size(), 32));
    if (start == nullptr || map.size() < 32)
        throw TableError(path + " is too short to be a dBASE table");
    const uint32_t headerLength = dbfHeaderLengthOf({start, 32});
    const uint8_t* whole = map.at(0, headerLength);
    if (headerLength < 32 || whole == nullptr)
        throw TableError(path + " is cut off inside its header");
    // The record count is judged below against the file, so the header is parsed as if every
    // record it claims were there.
    return parseDbfHeader({whole, headerLength}, UINT64_MAX / 2, path);
}

uint32_t completeRecordsIn(const detail::MappedFile& map, const DbfHeader& header) {
    if (map.size() <= header.headerLength)
        return 0;
    const uint64_t records = (map.size() - header.headerLength) / header.recordLength;
    // Complete records past the header's count are real only when they start with a deletion
    // flag; the end-of-file mark and padding are not records.
    uint64_t count = std::min<uint64_t>(records, UINT32_MAX);
    while (count > header.recordCount) {
        const uint8_t* flag = map.at(header.headerLength + (count - 1) * header.recordLength, 1);
        if (flag != nullptr && (*flag == ' ' || *flag == '*'))
            break;
        --count;
    }
    return static_cast<uint32_t>(count);
}

void checkRecords(const detail::MappedFile& map, const DbfHeader& header, uint32_t records,
                  CheckReport& report, ProblemList& problems, const Progress& progress) {
    for (uint32_t recno = 1; recno <= records; ++recno) {
        const uint8_t* record = map.at(
            header.headerLength + uint64_t{recno - 1} * header.recordLength, header.recordLength);
        if (record == nullptr)
            break;
        if (record[0] == '*')
            ++report.deletedRecords;
        else if (record[0] != ' ')
            problems.add(CheckProblem::Kind::Record, "",
                         "record " + std::to_string(recno) + ": deletion flag " +
                             std::to_string(record[0]) + " is neither blank nor \"*\"");
        for (const FieldDescriptor& field : header.fields) {
            const std::string_view bytes(reinterpret_cast<const char*>(record) + field.offset,
                                         field.length);
            if (!fieldBytesFit(field, bytes))
                problems.add(CheckProblem::Kind::Field, field.name,
                             "record " + std::to_string(recno) + ", field " + field.name + " (" +
                                 field.type + "): " + quoted(bytes) + " is not a valid value");
        }
        if (progress && recno % 65536 == 0)
            progress(0.5 * recno / records);
    }
}

void checkTag(const MdxFile& mdx, const TagInfo& tag, const detail::MappedFile& map,
              const DbfHeader& header, uint32_t records, ProblemList& problems) {
    const std::string scope = "tag " + tag.name;
    KeyExpression expression = KeyExpression::compile(tag.expression, header.fields);
    std::vector<uint8_t> seen(size_t{records} + 1, 0);
    std::string previousKey;
    uint32_t previousRecno = 0;
    std::string expected;
    MdxFile::Cursor cursor = mdx.cursor(tag.name);
    for (bool more = cursor.first(); more; more = cursor.next()) {
        const uint32_t recno = cursor.recno();
        const std::string key(cursor.key());
        if (previousRecno != 0 &&
            (key < previousKey || (key == previousKey && recno < previousRecno)))
            problems.add(CheckProblem::Kind::Tag, scope,
                         scope + ": the key of record " + std::to_string(recno) +
                             " is out of order");
        previousKey = key;
        previousRecno = recno;
        if (recno == 0 || recno > records) {
            problems.add(CheckProblem::Kind::Tag, scope,
                         scope + ": an entry names record " + std::to_string(recno) +
                             ", which the table does not hold");
            continue;
        }
        if (seen[recno] == 1)
            problems.add(CheckProblem::Kind::Tag, scope,
                         scope + ": record " + std::to_string(recno) + " is listed more than once");
        seen[recno] = 1;
        const uint8_t* record = map.at(
            header.headerLength + uint64_t{recno - 1} * header.recordLength, header.recordLength);
        if (record == nullptr)
            continue;
        expression.evaluate(record, expected);
        if (expected != key)
            problems.add(CheckProblem::Kind::Tag, scope,
                         scope + ": the key of record " + std::to_string(recno) + " is " +
                             quoted(key) + " where its fields give " + quoted(expected));
    }
    for (uint32_t recno = 1; recno <= records; ++recno)
        if (seen[recno] == 0)
            problems.add(CheckProblem::Kind::Tag, scope,
                         scope + ": record " + std::to_string(recno) + " is missing");
}

void checkIndex(const TablePaths& paths, const detail::MappedFile& map, const DbfHeader& header,
                uint32_t records, CheckReport& report, ProblemList& problems) {
    struct stat info;
    const bool mdxExists = ::stat(paths.mdx.c_str(), &info) == 0;
    if (!mdxExists) {
        if (header.productionIndexFlag != 0 && !header.visualFoxPro)
            problems.add(CheckProblem::Kind::IndexMissing, "",
                         "the header asks for the production index " + paths.mdx +
                             ", which is missing");
        return;
    }
    std::unique_ptr<MdxFile> mdx;
    try {
        mdx = MdxFile::open(paths.mdx, false);
        report.tags = mdx->tags();
    } catch (const TableError& error) {
        problems.add(CheckProblem::Kind::IndexFile, "", error.what());
        return;
    }
    for (const TagInfo& tag : report.tags) {
        if (tag.keyType != 'C') {
            report.notes.push_back("tag " + tag.name + " (" + tag.expression +
                                   ") has keys of type " + tag.keyType + ": not checked");
            continue;
        }
        try {
            KeyExpression::compile(tag.expression, header.fields);
        } catch (const TableError&) {
            report.notes.push_back("tag " + tag.name + " (" + tag.expression +
                                   "): the expression is not one this program evaluates; "
                                   "not checked");
            continue;
        }
        try {
            checkTag(*mdx, tag, map, header, records, problems);
        } catch (const TableError& error) {
            problems.add(CheckProblem::Kind::Tag, tag.name,
                         "tag " + tag.name + ": " + error.what());
        }
    }
}

} // namespace

CheckReport checkTable(const std::string& dbfPath, const Progress& progress) {
    const TablePaths paths = pathsOf(dbfPath);
    OpenFile file(paths.dbf, O_RDONLY | O_CLOEXEC);
    detail::MappedFile map;
    map.map(file.fd(), paths.dbf);
    const DbfHeader header = readHeader(map, paths.dbf);

    CheckReport report;
    ProblemList problems(report.problems);
    report.headerRecordCount = header.recordCount;
    report.completeRecords = completeRecordsIn(map, header);
    if (report.completeRecords < header.recordCount)
        problems.add(CheckProblem::Kind::Header, "",
                     "the header counts " + std::to_string(header.recordCount) +
                         " records but the file holds " + std::to_string(report.completeRecords) +
                         " complete records: it was cut short");
    else if (report.completeRecords > header.recordCount)
        problems.add(CheckProblem::Kind::Header, "",
                     "the file holds " +
                         std::to_string(report.completeRecords - header.recordCount) +
                         " complete records past the " + std::to_string(header.recordCount) +
                         " the header counts");
    const uint32_t records = std::min(report.completeRecords, header.recordCount);
    checkRecords(map, header, records, report, problems, progress);
    checkIndex(paths, map, header, records, report, problems);
    problems.summarise();
    if (progress)
        progress(1.0);
    return report;
}

std::vector<std::string> repairTable(const std::string& dbfPath, const Progress& progress) {
    const TablePaths paths = pathsOf(dbfPath);
    if (Table::inUse(paths.dbf))
        throw TableError(paths.dbf + " is in use by another program; a repair needs it alone");
    std::vector<std::string> done;
    const CheckReport before = checkTable(paths.dbf);
    {
        OpenFile file(paths.dbf, O_RDWR | O_CLOEXEC);
        detail::MappedFile map;
        map.map(file.fd(), paths.dbf);
        const DbfHeader header = readHeader(map, paths.dbf);
        if (before.completeRecords != header.recordCount) {
            uint8_t start[kRecordCountOffset + 4] = {};
            writeRecordCount(start, before.completeRecords);
            if (::pwrite(file.fd(), start + kRecordCountOffset, 4, kRecordCountOffset) != 4 ||
                ::fsync(file.fd()) != 0)
                throw TableError(paths.dbf +
                                 ": cannot write the record count: " + std::strerror(errno));
            done.push_back("record count set from " + std::to_string(header.recordCount) + " to " +
                           std::to_string(before.completeRecords));
        }
        // A half-written record past the complete ones is cut off with the end-of-file mark.
        const uint64_t end =
            uint64_t{header.headerLength} + uint64_t{before.completeRecords} * header.recordLength;
        if (map.size() > end + 1) {
            const uint8_t eof = 0x1A;
            if (::pwrite(file.fd(), &eof, 1, static_cast<off_t>(end)) != 1 ||
                ::ftruncate(file.fd(), static_cast<off_t>(end + 1)) != 0 || ::fsync(file.fd()) != 0)
                throw TableError(paths.dbf +
                                 ": cannot cut off the incomplete record: " + std::strerror(errno));
            done.push_back("incomplete data after the last complete record removed");
        }
    }
    const auto has = [&before](CheckProblem::Kind kind) {
        return std::any_of(before.problems.begin(), before.problems.end(),
                           [kind](const CheckProblem& p) { return p.kind == kind; });
    };
    if (has(CheckProblem::Kind::IndexFile)) {
        // Nothing can be rebuilt from an index whose tag list cannot be read: it is kept aside
        // for whoever wants to look at it, and the table opens without it.
        const std::string aside = paths.mdx + ".damaged";
        if (::rename(paths.mdx.c_str(), aside.c_str()) != 0)
            throw TableError(paths.mdx +
                             ": cannot move the damaged index aside: " + std::strerror(errno));
        done.push_back("damaged index file moved to " + aside);
    }
    if (has(CheckProblem::Kind::IndexMissing) || has(CheckProblem::Kind::IndexFile)) {
        OpenFile file(paths.dbf, O_RDWR | O_CLOEXEC);
        const uint8_t zero = 0;
        if (::pwrite(file.fd(), &zero, 1, kProductionIndexFlagOffset) != 1 ||
            ::fsync(file.fd()) != 0)
            throw TableError(paths.dbf +
                             ": cannot clear the production-index flag: " + std::strerror(errno));
        done.push_back("production-index flag cleared: the table has no usable index file");
    } else if (!before.tags.empty()) {
        Table handle;
        const auto slash = paths.dbf.rfind('/');
        handle.setDirectory(slash == std::string::npos ? "." : paths.dbf.substr(0, slash));
        handle.setTableName(paths.dbf.substr(slash == std::string::npos ? 0 : slash + 1));
        handle.setOpenMode(OpenMode::Exclusive);
        handle.open();
        handle.regenerateIndexes(progress);
        handle.close();
        done.push_back("index tags rebuilt: " + std::to_string(before.tags.size()));
    }
    return done;
}

} // namespace table
