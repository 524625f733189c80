#include "app/list_editor_entries.h"

#include "db/field_catalogue.h"

namespace app {

QString listEditorCaption(const ListMaintenanceEntry& entry) {
    return QStringLiteral("Edit \"%1\" List").arg(QString::fromLatin1(entry.captionWord));
}

db::PickList* pickListForListNumber(db::PickLists& lists, int listNumber) {
    for (const ListMaintenanceEntry& entry : kListMaintenanceEntries) {
        if (entry.listNumber == listNumber)
            return lists.forField(db::fieldNumberByName(entry.fieldName));
    }
    return nullptr;
}

ListEditorEntries::ListEditorEntries(QStringList entries) : entries_(std::move(entries)) {
    if (!entries_.isEmpty())
        selected_ = 0;
}

void ListEditorEntries::select(int position) {
    selected_ = position >= 0 && position < entries_.size() ? position : -1;
}

bool ListEditorEntries::add(const QString& typed) {
    const QString entry = db::trimSpaces(typed);
    if (entry.isEmpty())
        return false;
    entries_.append(entry);
    return true;
}

bool ListEditorEntries::removeSelected() {
    if (selected_ < 0 || selected_ >= entries_.size())
        return false;
    entries_.removeAt(selected_);
    if (selected_ >= entries_.size())
        selected_ = static_cast<int>(entries_.size()) - 1;
    return true;
}

} // namespace app
