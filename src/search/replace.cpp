#include "search/replace.h"

#include "db/book_database.h"
#include "search/replace_undo.h"
#include "table/codepage.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <exception>

namespace search {

namespace {

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - ('a' - 'A'));
    return text;
}

// A date box left as its mask shows it holds only separators and blanks.
bool isBlankDate(std::string_view text) {
    return text.find_first_not_of(" /-.") == std::string_view::npos;
}

std::optional<table::Date> typedDate(std::string_view text, const DateReading& dates) {
    if (isBlankDate(text))
        return std::nullopt;
    std::string packed(text); // the mask keeps blanks where nothing was typed ("3 /15/2020")
    std::erase(packed, ' ');
    std::optional<table::Date> date = dates.format.parse(packed, dates.currentYear);
    if (date && date->isNull())
        return std::nullopt;
    return date;
}

} // namespace

const char* replaceInputMessage(ReplaceInputError error) {
    switch (error) {
    case ReplaceInputError::None:
        return "";
    case ReplaceInputError::NoField:
        return "No field has been selected.";
    case ReplaceInputError::SearchValue:
        return "Invalid search value entered.  Please correct.";
    case ReplaceInputError::ReplacementValue:
        return "Invalid replacement value entered.  Please correct.";
    case ReplaceInputError::SearchDate:
        return "Invalid search date entered.  Please correct.";
    case ReplaceInputError::ReplacementDate:
        return "Invalid replacement date entered.  Please correct.";
    }
    return "";
}

ReplaceValidation validateReplace(int fieldNumber, const std::string& searchText,
                                  const std::string& replacementText, bool confirm,
                                  const DateReading& dates) {
    ReplaceValidation result;
    const db::FieldInfo* field = db::fieldByNumber(fieldNumber);
    if (field == nullptr) {
        result.error = ReplaceInputError::NoField;
        return result;
    }
    ReplaceRequest& request = result.request;
    request.fieldNumber = fieldNumber;
    request.kind = field->kind;
    request.searchText = std::string(trimBlanks(searchText));
    request.replacementText = std::string(trimBlanks(replacementText));
    request.confirm = confirm;
    switch (field->kind) {
    case db::FieldKind::WholeNumber:
    case db::FieldKind::DecimalNumber: {
        const std::optional<double> search = parsePlainNumber(request.searchText);
        if (!search)
            result.error = ReplaceInputError::SearchValue;
        else if (!parsePlainNumber(request.replacementText))
            result.error = ReplaceInputError::ReplacementValue;
        request.searchNumber = search.value_or(0);
        break;
    }
    case db::FieldKind::Date: {
        const std::optional<table::Date> search = typedDate(request.searchText, dates);
        const std::optional<table::Date> replacement = typedDate(request.replacementText, dates);
        if (!search)
            result.error = ReplaceInputError::SearchDate;
        else if (!replacement)
            result.error = ReplaceInputError::ReplacementDate;
        request.searchDate = search.value_or(table::Date{});
        request.replacementDate = replacement.value_or(table::Date{});
        break;
    }
    case db::FieldKind::Text:
        break;
    }
    return result;
}

// --- The table held for sole use -----------------------------------------------------------------

ExclusiveTableRun::~ExclusiveTableRun() {
    if (running_)
        finish();
}

void ExclusiveTableRun::reopenShared() {
    table::Table& books = context_.table;
    try {
        books.close();
        books.setOpenMode(table::OpenMode::Shared);
        books.open();
        // The grid's highlight goes back to the record it was on, when that still shows.
        if (bookmark_ != 0)
            books.goToBookmark(bookmark_);
    } catch (const std::exception& error) {
        context_.messages.error(error.what());
    }
    if (context_.applyViewerOptions)
        context_.applyViewerOptions();
}

ExclusiveTableRun::Start ExclusiveTableRun::start(const char* inUseMessage) {
    table::Table& books = context_.table;
    bookmark_ = books.isOpen() ? books.bookmark() : 0;
    books.close();
    if (db::isInUse(QString::fromStdString(books.dbfPath()))) {
        context_.messages.error(inUseMessage);
        reopenShared();
        return Start::InUse;
    }
    try {
        books.setOpenMode(table::OpenMode::Exclusive);
        books.open();
        // Physical order, and no index to keep up while the records change; a run cut short
        // leaves the tag missing, and the next open builds it again.
        if (QFile::exists(QString::fromStdString(books.mdxPath()))) {
            books.selectTag("");
            for (const table::TagInfo& tag : books.tags())
                if (db::sameFieldName(tag.name, db::kIndexTag))
                    books.deleteTag(tag.name);
        }
    } catch (const std::exception&) {
        context_.messages.error(kReplaceFailedMessage);
        reopenShared();
        return Start::Failed;
    }
    running_ = true;
    if (context_.applyViewerOptions)
        context_.applyViewerOptions();
    searchWasActive_ = context_.searchActive && context_.searchActive();
    if (searchWasActive_ && context_.endSearch)
        context_.endSearch();
    // The grid does not follow the run record by record.
    books.suspendObservers();
    observersSuspended_ = true;
    return Start::Started;
}

void ExclusiveTableRun::finish() {
    if (!running_)
        return;
    running_ = false;
    table::Table& books = context_.table;
    if (observersSuspended_) {
        observersSuspended_ = false;
        books.resumeObservers();
    }
    try {
        if (books.state() != table::Table::State::Browse && books.isOpen())
            books.cancel();
        if (searchWasActive_ && context_.enableEndSearch)
            context_.enableEndSearch();
        db::installIndex(books, context_.sortExpression);
    } catch (const std::exception& error) {
        context_.messages.error(error.what());
    }
    reopenShared();
}

// --- The run -------------------------------------------------------------------------------------

ReplaceRun::ReplaceRun(ReplaceContext& context, ReplaceRequest request, std::string undoPath)
    : session_(context), request_(std::move(request)), undoPath_(std::move(undoPath)) {}

ReplaceRun::~ReplaceRun() = default;

ExclusiveTableRun::Start ReplaceRun::start() {
    counters_ = {};
    const ExclusiveTableRun::Start started = session_.start(kReplaceInUseMessage);
    if (started != ExclusiveTableRun::Start::Started)
        return started;
    table::Table& books = session_.context().table;
    const db::FieldInfo* field = db::fieldByNumber(request_.fieldNumber);
    fieldIndex_ = field ? books.fieldIndex(field->name) : -1;
    titleIndex_ = books.fieldIndex("Title");
    if (request_.kind == db::FieldKind::Text) {
        std::optional<std::string> encoded =
            table::encodeFromUtf8(upperAscii(request_.searchText), books.header().codepage);
        encodable_ = encoded.has_value();
        encodedSearch_ = encoded.value_or(std::string());
    }
    atStart_ = true;
    return started;
}

bool ReplaceRun::matches(const table::RecordView& record) const {
    if (fieldIndex_ < 0)
        return false;
    switch (request_.kind) {
    case db::FieldKind::Text: {
        if (!encodable_)
            return false;
        // The whole value, trailing blanks aside, upper-cased a-z only.
        std::string_view raw = record.raw(fieldIndex_);
        while (!raw.empty() && raw.back() == ' ')
            raw.remove_suffix(1);
        return raw.size() == encodedSearch_.size() &&
               std::equal(raw.begin(), raw.end(), encodedSearch_.begin(), [](char a, char b) {
                   return (a >= 'a' && a <= 'z' ? static_cast<char>(a - ('a' - 'A')) : a) == b;
               });
    }
    case db::FieldKind::WholeNumber:
    case db::FieldKind::DecimalNumber:
        return record.number(fieldIndex_) == request_.searchNumber;
    case db::FieldKind::Date:
        return table::julianDay(record.date(fieldIndex_)) == table::julianDay(request_.searchDate);
    }
    return false;
}

void ReplaceRun::replaceCurrent() {
    table::Table& books = session_.context().table;
    if (!undo_)
        undo_ = std::make_unique<ReplaceUndoWriter>(undoPath_, books, fieldIndex_);
    const std::string oldValue = ReplaceUndoWriter::valueOf(books, fieldIndex_);
    books.edit();
    try {
        if (request_.kind == db::FieldKind::Date)
            books.setDate(fieldIndex_, request_.replacementDate);
        else
            books.setText(fieldIndex_, request_.replacementText);
        // The old value is on disk before the record changes.
        undo_->add(books.recordNumber(), oldValue, books.currentRecord());
        books.post();
    } catch (...) {
        books.cancel();
        throw;
    }
}

bool ReplaceRun::step(uint32_t records, const Confirm& confirm) {
    table::Table& books = session_.context().table;
    if (!session_.running())
        return false;
    if (atStart_) {
        books.first();
        atStart_ = false;
    }
    for (uint32_t visited = 0; visited < records && !books.eof() && books.recordNumber() != 0;
         ++visited) {
        if (matches(books.currentRecord())) {
            const bool change = !request_.confirm || !confirm || confirm(books.asText(titleIndex_));
            ++counters_.found;
            if (change) {
                replaceCurrent();
                ++counters_.changed;
            }
        }
        ++counters_.processed;
        books.next();
    }
    return !books.eof() && books.recordNumber() != 0;
}

void ReplaceRun::finish() {
    if (undo_)
        undo_->close();
    session_.finish();
}

} // namespace search
