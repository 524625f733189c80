#pragma once

// The earlier values of one field, offered as a drop-down list. The grid's in-cell editor and the
// edit form's combo box both show the same PickList object, so a change made through either is
// seen by both: views register an observer and refill themselves when it is told.

#include "db/field_catalogue.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

namespace db {

class PickList {
public:
    explicit PickList(QString fileName) : fileName_(std::move(fileName)) {}
    PickList(const PickList&) = delete;
    PickList& operator=(const PickList&) = delete;

    const QString& fileName() const { return fileName_; }
    const QStringList& entries() const { return entries_; }

    void clear();
    void setEntries(QStringList entries);
    void insert(qsizetype position, const QString& entry); // position clamped to 0..size
    void removeAt(qsizetype position);                     // out of range does nothing
    void replace(qsizetype position, const QString& entry);

    // The rule for a value just stored in a record: trimmed of spaces, appended unless it is
    // empty or an exactly equal entry (same letter case) is already there. Returns whether the
    // list changed.
    bool addValue(const QString& value);

    // Program directory + "/" + file name; a missing or unreadable file leaves the list empty.
    void load(const QString& programDirectory);
    // Rewrites the file from the list, one entry per CR LF line. Returns whether it was written;
    // a failure leaves the old file untouched and is not reported to the user.
    bool save(const QString& programDirectory) const;

    using Observer = std::function<void()>;
    int addObserver(Observer observer);
    void removeObserver(int id);

private:
    void notify();

    QString fileName_;
    QStringList entries_;
    std::map<int, Observer> observers_;
    int nextObserverId_ = 1;
};

// Trims leading and trailing space characters (code 32 only: tabs and other blanks stay).
QString trimSpaces(const QString& text);
// The entries of a list file's bytes: each line cut to its first 255 characters, trimmed, empty
// ones skipped, order and duplicates kept. Accepts CR LF and bare LF line ends.
QStringList parseListFile(std::string_view bytes);
std::string formatListFile(const QStringList& entries);

// The nine lists of the book table, one per pick-list field.
class PickLists {
public:
    PickLists();
    // Null for a field that has no pick list.
    PickList* forField(int fieldNumber);
    const PickList* forField(int fieldNumber) const;
    void loadAll(const QString& programDirectory);
    void saveAll(const QString& programDirectory) const;

private:
    std::map<int, std::unique_ptr<PickList>> lists_;
};

} // namespace db
