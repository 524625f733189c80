#pragma once

// Global search and replace: one field's whole value replaced wherever it equals a given value,
// over every record of the table in physical order, with the table open for sole use and its
// sort index dropped for the run and built again at the end. A run goes step by step so that a
// window can keep painting and asking between records. Before a record changes, its old value
// goes into an undo file beside the table (replace_undo.h).

#include "db/field_catalogue.h"
#include "db/user_messages.h"
#include "search/search_items.h"
#include "table/table.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace search {

inline constexpr const char* kReplaceInUseMessage =
    "Search and Replace requires exclusive use of the DBase File.  Make sure that the DBase File "
    "is not in use by another program  or that no other users are running the software or that "
    "no other copies of the software are in use.";
inline constexpr const char* kReplaceFailedMessage =
    "Error in running search and replace.  Search and replace will be aborted.";
inline constexpr const char* kReplaceCompleteMessage = "Global Search and Replace Complete.";

enum class ReplaceInputError {
    None,
    NoField,
    SearchValue,
    ReplacementValue,
    SearchDate,
    ReplacementDate,
};
// The message of an input error ("" for None).
const char* replaceInputMessage(ReplaceInputError error);

struct ReplaceRequest {
    int fieldNumber = 0; // 1..36
    db::FieldKind kind = db::FieldKind::Text;
    std::string searchText;      // trimmed; text fields compare it upper-cased
    std::string replacementText; // trimmed, as typed
    double searchNumber = 0;
    table::Date searchDate;
    table::Date replacementDate;
    bool confirm = false;
};

struct ReplaceValidation {
    ReplaceInputError error = ReplaceInputError::None;
    ReplaceRequest request;
};

// Checks the dialog's input (texts as shown, date boxes with their separators) in the order of
// the messages; `fieldNumber` 0 means no field chosen.
ReplaceValidation validateReplace(int fieldNumber, const std::string& searchText,
                                  const std::string& replacementText, bool confirm,
                                  const DateReading& dates);

// What a run needs of the main window.
struct ReplaceContext {
    table::Table& table; // the grid's book table, open shared
    std::string sortExpression;
    db::UserMessages& messages;
    std::function<void()> applyViewerOptions;
    std::function<bool()> searchActive;
    std::function<void()> endSearch;       // End Search: reopens the table
    std::function<void()> enableEndSearch; // the search's filter in force again
};

struct ReplaceCounters {
    uint32_t processed = 0;
    uint32_t found = 0;
    uint32_t changed = 0;
};

// The table held for sole use with its sort index dropped, from start() to finish(): what a
// replace run and its undo share.
class ExclusiveTableRun {
public:
    explicit ExclusiveTableRun(ReplaceContext& context) : context_(context) {}
    ~ExclusiveTableRun();
    ExclusiveTableRun(const ExclusiveTableRun&) = delete;
    ExclusiveTableRun& operator=(const ExclusiveTableRun&) = delete;

    enum class Start { Started, InUse, Failed };
    // Closes the table; with another program holding it shows `inUseMessage` and reopens it
    // shared. Otherwise opens it exclusively and drops the tag NewIndex (failure: the aborted
    // message, reopened shared); then suspends a running search.
    Start start(const char* inUseMessage);
    // Puts the search back, builds NewIndex from the sort expression (none: physical order) and
    // reopens the table shared. Engine errors are shown; the table is reopened in any case.
    void finish();
    bool running() const { return running_; }
    ReplaceContext& context() { return context_; }

private:
    void reopenShared();

    ReplaceContext& context_;
    bool running_ = false;
    bool searchWasActive_ = false;
    bool observersSuspended_ = false;
    table::Table::Bookmark bookmark_ = 0;
};

class ReplaceUndoWriter;

class ReplaceRun {
public:
    // `undoPath` receives the old value of every record before it changes.
    ReplaceRun(ReplaceContext& context, ReplaceRequest request, std::string undoPath);
    ~ReplaceRun();
    ReplaceRun(const ReplaceRun&) = delete;
    ReplaceRun& operator=(const ReplaceRun&) = delete;

    ExclusiveTableRun::Start start();
    // Visits up to `records` records; `confirm(title)` answers whether to change a record that
    // matches (asked only when the request wants confirmation). False once every record has
    // been visited. Engine errors are thrown.
    using Confirm = std::function<bool(const std::string& title)>;
    bool step(uint32_t records, const Confirm& confirm);
    void finish();

    const ReplaceCounters& counters() const { return counters_; }

private:
    bool matches(const table::RecordView& record) const;
    void replaceCurrent();

    ExclusiveTableRun session_;
    ReplaceRequest request_;
    std::string undoPath_;
    std::unique_ptr<ReplaceUndoWriter> undo_;
    ReplaceCounters counters_;
    int fieldIndex_ = -1;
    int titleIndex_ = -1;
    std::string encodedSearch_; // the upper-cased search text in the table's code page
    bool encodable_ = true;
    bool atStart_ = true;
};

} // namespace search
