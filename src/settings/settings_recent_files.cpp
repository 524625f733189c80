#include "settings/settings_recent_files.h"

namespace app {

void RecentFiles::setEntry(int index, const QString& path) {
    if (index >= 0 && index < kCount)
        entries_[static_cast<size_t>(index)] = path.left(kMaxPathLength);
}

void RecentFiles::update(const QString& oldPath, const QString& newPath) {
    // Opening the table that is already open would otherwise list it as its own predecessor
    // and push a real entry off the end.
    if (oldPath == newPath)
        return;
    for (int k = 0; k < kCount; ++k) {
        if (entries_[static_cast<size_t>(k)] != newPath)
            continue;
        for (int i = k; i + 1 < kCount; ++i)
            entries_[static_cast<size_t>(i)] = entries_[static_cast<size_t>(i + 1)];
        entries_.back().clear();
        break;
    }
    for (int i = kCount - 1; i > 0; --i)
        entries_[static_cast<size_t>(i)] = entries_[static_cast<size_t>(i - 1)];
    entries_.front() = oldPath.left(kMaxPathLength);
}

bool RecentFiles::anyVisible() const {
    for (const QString& path : entries_)
        if (!path.isEmpty())
            return true;
    return false;
}

std::array<RecentFiles::MenuItem, RecentFiles::kCount> RecentFiles::menuItems() const {
    std::array<MenuItem, kCount> items;
    for (int i = 0; i < kCount; ++i) {
        const QString& path = entries_[static_cast<size_t>(i)];
        items[static_cast<size_t>(i)] = {!path.isEmpty(),
                                         QStringLiteral("&%1   ").arg(i + 1) + path};
    }
    return items;
}

} // namespace app
