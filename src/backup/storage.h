#pragma once

// Where copies can go and how much room there is: the machine's mounted volumes and the free
// space of the file system holding a folder. Backup and restore ask through `Storage`, so that
// tests can offer volumes and free space of their choosing.

#include <QString>

#include <optional>
#include <vector>

namespace backup {

struct Volume {
    QString rootPath;    // "/", "/media/anna/STICK", the home folder ...
    QString displayName; // what the drive box shows
    bool removable = false;
    bool operator==(const Volume&) const = default;
};

class Storage {
public:
    virtual ~Storage() = default;
    // The volumes a copy can be written to, in the order the drive box shows them.
    virtual std::vector<Volume> mountedVolumes() = 0;
    // Bytes the current user may still write on the file system holding `directory`; nothing
    // when that cannot be found out.
    virtual std::optional<qint64> bytesAvailable(const QString& directory) = 0;
};

// The running machine, through QStorageInfo.
class SystemStorage final : public Storage {
public:
    std::vector<Volume> mountedVolumes() override;
    std::optional<qint64> bytesAvailable(const QString& directory) override;
};

// Removable media (mounted under /media or /run/media) first, then the home folder, then the
// other volumes with the root file system first. System mounts (/proc, /sys, /dev, /run, /snap,
// /boot) are left out. `mounted` holds each volume's root, label and whether it is read-only.
struct MountedVolume {
    QString rootPath;
    QString label;
    bool readOnly = false;
};
std::vector<Volume> orderVolumes(const std::vector<MountedVolume>& mounted,
                                 const QString& homeFolder);

// The volume whose root holds `path` (the longest matching root); -1 when none does.
int volumeHolding(const std::vector<Volume>& volumes, const QString& path);

} // namespace backup
