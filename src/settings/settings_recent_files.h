#pragma once

// The five most recently used tables, most recent first. The table open now is never in the
// list: an entry is the table that was open before another one was opened.

#include <QString>

#include <array>

namespace app {

class RecentFiles {
public:
    static constexpr int kCount = 5;
    static constexpr qsizetype kMaxPathLength = 255;

    // After a successful open or create (nothing happens when both paths are the same, so the
    // open table never enters the list): `newPath` leaves the list if it is in it (exact,
    // case-sensitive comparison), the rest move down one place and `oldPath` (possibly empty)
    // becomes the first entry.
    void update(const QString& oldPath, const QString& newPath);

    const QString& entry(int index) const { return entries_[static_cast<size_t>(index)]; }
    void setEntry(int index, const QString& path);

    struct MenuItem {
        bool visible = false;
        QString caption; // "&1   " followed by the path
    };
    // The separator above the list is shown when any entry is.
    bool anyVisible() const;
    std::array<MenuItem, kCount> menuItems() const;

private:
    std::array<QString, kCount> entries_;
};

} // namespace app
