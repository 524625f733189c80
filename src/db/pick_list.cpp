#include "db/pick_list.h"

#include "db/text_file.h"

#include <algorithm>

namespace db {

namespace {

constexpr qsizetype kMaxEntryLength = 255;
// List files are a few kilobytes; anything near this size is not one of ours.
constexpr uint64_t kMaxListFileBytes = 64ull * 1024 * 1024;

QString listFilePath(const QString& programDirectory, const QString& fileName) {
    return programDirectory + QLatin1Char('/') + fileName;
}

} // namespace

QString trimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QStringList parseListFile(std::string_view bytes) {
    const TextEncoding encoding = detectEncoding(bytes);
    bytes = withoutByteOrderMark(bytes, encoding);
    // A character takes at most four bytes; the cut by characters follows the decoding.
    const size_t maxLineBytes = encoding.utf8 ? 4 * kMaxEntryLength : kMaxEntryLength;
    QStringList entries;
    while (!bytes.empty()) {
        size_t lineEnd = bytes.find('\n');
        std::string_view line = bytes.substr(0, lineEnd);
        bytes.remove_prefix(lineEnd == std::string_view::npos ? bytes.size() : lineEnd + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        QString entry = trimSpaces(
            leftWhole(decodeText(line.substr(0, maxLineBytes), encoding), kMaxEntryLength));
        if (!entry.isEmpty())
            entries.append(entry);
    }
    return entries;
}

std::string formatListFile(const QStringList& entries) {
    TextEncoding encoding;
    encoding.utf8 = !std::ranges::all_of(entries, fitsCp1252);
    std::string bytes;
    for (const QString& entry : entries) {
        bytes += encodeText(entry, encoding);
        bytes += "\r\n";
    }
    return bytes;
}

void PickList::clear() {
    entries_.clear();
    notify();
}

void PickList::setEntries(QStringList entries) {
    entries_ = std::move(entries);
    notify();
}

void PickList::insert(qsizetype position, const QString& entry) {
    entries_.insert(std::clamp<qsizetype>(position, 0, entries_.size()), entry);
    notify();
}

void PickList::removeAt(qsizetype position) {
    if (position < 0 || position >= entries_.size())
        return;
    entries_.removeAt(position);
    notify();
}

void PickList::replace(qsizetype position, const QString& entry) {
    if (position < 0 || position >= entries_.size())
        return;
    entries_[position] = entry;
    notify();
}

bool PickList::addValue(const QString& value) {
    QString entry = trimSpaces(value);
    if (entry.isEmpty() || entries_.contains(entry, Qt::CaseSensitive))
        return false;
    entries_.append(entry);
    notify();
    return true;
}

void PickList::load(const QString& programDirectory) {
    std::optional<std::string> bytes =
        readFileBytes(listFilePath(programDirectory, fileName_), kMaxListFileBytes);
    entries_ = bytes ? parseListFile(*bytes) : QStringList();
    notify();
}

bool PickList::save(const QString& programDirectory) const {
    return replaceFileContents(listFilePath(programDirectory, fileName_), formatListFile(entries_));
}

int PickList::addObserver(Observer observer) {
    int id = nextObserverId_++;
    observers_.emplace(id, std::move(observer));
    return id;
}

void PickList::removeObserver(int id) {
    observers_.erase(id);
}

void PickList::notify() {
    // A copy, so an observer may remove itself while being told.
    std::map<int, Observer> current = observers_;
    for (auto& [id, observer] : current)
        observer();
}

PickLists::PickLists() {
    for (const FieldInfo* field : pickListFields()) {
        QString fileName = QString::fromLatin1(field->listFile.data(),
                                               static_cast<qsizetype>(field->listFile.size()));
        lists_.emplace(field->number, std::make_unique<PickList>(fileName));
    }
}

PickList* PickLists::forField(int fieldNumber) {
    auto found = lists_.find(fieldNumber);
    return found == lists_.end() ? nullptr : found->second.get();
}

const PickList* PickLists::forField(int fieldNumber) const {
    auto found = lists_.find(fieldNumber);
    return found == lists_.end() ? nullptr : found->second.get();
}

void PickLists::loadAll(const QString& programDirectory) {
    for (auto& [number, list] : lists_)
        list->load(programDirectory);
}

void PickLists::saveAll(const QString& programDirectory) const {
    for (const auto& [number, list] : lists_)
        list->save(programDirectory);
}

} // namespace db
