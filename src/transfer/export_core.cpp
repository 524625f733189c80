#include "transfer/export_core.h"

#include "settings/display_formats.h"
#include "settings/settings.h"
#include "table/codepage.h"
#include "transfer/delimited_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace transfer {

// ---- Configuration --------------------------------------------------------------------------

std::array<int, db::kFieldCount> exportOrder(const app::Settings& settings) {
    std::array<int, db::kFieldCount> numbers{};
    for (int n = 1; n <= db::kFieldCount; ++n)
        numbers[static_cast<size_t>(n - 1)] = n;
    std::stable_sort(numbers.begin(), numbers.end(), [&](int a, int b) {
        return settings.field(a).exportOrder < settings.field(b).exportOrder;
    });
    return numbers;
}

void storeExportRows(app::Settings& settings, const std::vector<ExportRow>& rows) {
    for (size_t row = 0; row < rows.size(); ++row) {
        const int number = rows[row].fieldNumber;
        if (number < 1 || number > db::kFieldCount)
            continue;
        settings.field(number).exportOrder = static_cast<int>(row) + 1;
        settings.field(number).exported = rows[row].included;
    }
}

std::vector<int> exportedFields(const app::Settings& settings) {
    std::vector<int> numbers;
    for (int number : exportOrder(settings))
        if (settings.field(number).exported)
            numbers.push_back(number);
    return numbers;
}

// ---- Values ---------------------------------------------------------------------------------

std::vector<ExportField> exportList(const std::vector<int>& numbers, const table::Table& books) {
    std::vector<ExportField> fields;
    for (int number : numbers) {
        const db::FieldInfo* info = db::fieldByNumber(number);
        if (!info)
            continue;
        const int index = books.fieldIndex(info->name);
        if (index < 0)
            throw TransferError("The book table has no field " + std::string(info->name) + ".");
        fields.push_back({number, index, info->kind});
    }
    return fields;
}

ValueFormats currentValueFormats() {
    ValueFormats formats;
    const QChar separator = app::regionalNumbers().decimalSeparator;
    formats.decimalSeparator =
        separator.unicode() < 128 ? static_cast<char>(separator.unicode()) : '.';
    formats.dateFormat = table::currentDateFormat();
    formats.currentYear = table::currentYear();
    return formats;
}

std::string exportDateText(const table::Date& date, const ValueFormats& formats) {
    std::string text = formats.dateFormat.format(date);
    if (date.isNull() || formats.dateFormat.fourDigitYear)
        return text;
    const auto readBack = formats.dateFormat.parse(text, formats.currentYear);
    if (readBack && *readBack == date)
        return text;
    table::DateFormat full = formats.dateFormat;
    full.fourDigitYear = true;
    return full.format(date);
}

std::string exportDecimalText(double value, char decimalSeparator) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text(buffer);
    if (decimalSeparator != '.')
        std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

std::string toCp1252(const std::string& utf8, const std::string& what) {
    std::string bad;
    auto bytes = table::encodeFromUtf8(utf8, table::Codepage::Cp1252, &bad);
    if (!bytes)
        throw TransferError("The character '" + bad + "' of " + what +
                            " cannot be written in the Windows-1252 character set.");
    return std::move(*bytes);
}

namespace {

void appendValue(std::string& out, const table::Table& books, const ExportField& field,
                 const ValueFormats& formats, bool cp1252) {
    out.clear();
    switch (field.kind) {
    case db::FieldKind::Text:
        if (cp1252) {
            std::string_view raw = books.currentRecord().raw(field.tableIndex);
            while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\0'))
                raw.remove_suffix(1);
            out.assign(raw);
        } else {
            out = toCp1252(books.asText(field.tableIndex),
                           "the field " + std::string(db::fieldByNumber(field.number)->name));
        }
        break;
    case db::FieldKind::WholeNumber:
        out = books.asText(field.tableIndex);
        break;
    case db::FieldKind::DecimalNumber:
        if (!books.isBlank(field.tableIndex))
            out = exportDecimalText(books.asNumber(field.tableIndex), formats.decimalSeparator);
        break;
    case db::FieldKind::Date:
        out = exportDateText(books.asDate(field.tableIndex), formats);
        break;
    }
}

void buildRecordLine(std::string& line, std::string& value, const table::Table& books,
                     const std::vector<ExportField>& fields, const ValueFormats& formats) {
    line.clear();
    const bool cp1252 = books.header().codepage == table::Codepage::Cp1252;
    bool first = true;
    for (const ExportField& field : fields) {
        appendValue(value, books, field, formats, cp1252);
        appendDelimitedField(line, value, first);
        first = false;
    }
    endDelimitedLine(line);
}

std::string systemMessage(int error, const std::string& path) {
    return "Cannot write " + path + ": " + std::strerror(error) + ".";
}

} // namespace

std::string recordLine(const table::Table& books, const std::vector<ExportField>& fields,
                       const ValueFormats& formats) {
    std::string line;
    std::string value;
    buildRecordLine(line, value, books, fields, formats);
    return line;
}

// ---- Text output ----------------------------------------------------------------------------

bool isBookTableFile(const std::string& path, const table::Table& books) {
    std::error_code ignored;
    return std::filesystem::equivalent(path, books.dbfPath(), ignored) ||
           std::filesystem::equivalent(path, books.mdxPath(), ignored);
}

TextExportFile::TextExportFile(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0)
        throw TransferError("Cannot create " + path + ": " + std::strerror(errno) + ".");
}

TextExportFile::~TextExportFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

void TextExportFile::write(const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw TransferError(systemMessage(n < 0 ? errno : ENOSPC, path_));
        written += static_cast<size_t>(n);
    }
}

void TextExportFile::writeHeader(const std::vector<std::string>& titles) {
    line_.clear();
    bool first = true;
    for (const std::string& title : titles) {
        appendDelimitedField(line_, title, first);
        first = false;
    }
    endDelimitedLine(line_);
    write(line_);
}

void TextExportFile::writeRecord(const table::Table& books, const std::vector<ExportField>& fields,
                                 const ValueFormats& formats) {
    buildRecordLine(line_, value_, books, fields, formats);
    write(line_);
}

void TextExportFile::close() {
    if (fd_ < 0)
        return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        throw TransferError(systemMessage(errno, path_));
}

// ---- dBASE output ---------------------------------------------------------------------------

DbfExportFile::DbfExportFile(const std::string& path, const std::vector<ExportField>& fields)
    : fields_(fields) {
    std::vector<table::FieldDef> defs;
    for (const ExportField& field : fields)
        defs.push_back(db::fieldDefFor(*db::fieldByNumber(field.number)));
    table::Table::create(path, defs);
    const std::filesystem::path file(path);
    out_.setDirectory(file.parent_path().string());
    out_.setTableName(file.filename().string());
    out_.setOpenMode(table::OpenMode::Exclusive);
    out_.open();
}

void DbfExportFile::writeRecord(const table::Table& books) {
    out_.append();
    try {
        for (size_t i = 0; i < fields_.size(); ++i) {
            const int out = static_cast<int>(i);
            const int in = fields_[i].tableIndex;
            if (books.isBlank(in)) {
                out_.setBlank(out);
                continue;
            }
            switch (fields_[i].kind) {
            case db::FieldKind::Text:
                out_.setText(out, books.asText(in));
                break;
            case db::FieldKind::WholeNumber:
            case db::FieldKind::DecimalNumber:
                out_.setNumber(out, books.asNumber(in));
                break;
            case db::FieldKind::Date:
                out_.setDate(out, books.asDate(in));
                break;
            }
        }
        out_.post();
    } catch (...) {
        out_.cancel();
        throw;
    }
}

void DbfExportFile::close() {
    out_.close();
}

// ---- The walk ---------------------------------------------------------------------------------

RecordWalk::RecordWalk(table::Table& books) : books_(books) {
    total_ = books_.recordCount();
    books_.first();
    mark_ = books_.bookmark();
}

bool RecordWalk::step(const std::function<void(const table::Table&)>& write, uint32_t maxRecords) {
    if (finished())
        return true;
    if (mark_ != 0 && books_.bookmark() != mark_)
        books_.goToBookmark(mark_);
    for (uint32_t n = 0; n < maxRecords && !finished(); ++n) {
        if (books_.eof()) {
            done_ = total_; // fewer records than counted: another program deleted some
            break;
        }
        write(books_);
        books_.next();
        ++done_;
    }
    mark_ = books_.bookmark();
    return finished();
}

} // namespace transfer
