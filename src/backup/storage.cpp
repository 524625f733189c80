#include "backup/storage.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace backup {

namespace {

bool isUnder(const QString& path, const QString& root) {
    if (root == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

bool isRemovableRoot(const QString& root) {
    return isUnder(root, QStringLiteral("/media")) || isUnder(root, QStringLiteral("/run/media"));
}

// Mounts of the system itself, which hold no user's files.
bool isSystemRoot(const QString& root) {
    if (isRemovableRoot(root))
        return false;
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot"})
        if (isUnder(root, QString::fromLatin1(system)))
            return true;
    return false;
}

QString displayNameOf(const MountedVolume& volume) {
    if (volume.label.isEmpty() || volume.rootPath == QLatin1String("/"))
        return volume.rootPath;
    return volume.label + QLatin1String(" (") + volume.rootPath + QLatin1Char(')');
}

} // namespace

std::vector<Volume> orderVolumes(const std::vector<MountedVolume>& mounted,
                                 const QString& homeFolder) {
    std::vector<Volume> removable;
    std::vector<Volume> others;
    for (const MountedVolume& volume : mounted) {
        if (volume.readOnly || volume.rootPath.isEmpty() || isSystemRoot(volume.rootPath))
            continue;
        const bool onMedia = isRemovableRoot(volume.rootPath);
        (onMedia ? removable : others)
            .push_back(Volume{volume.rootPath, displayNameOf(volume), onMedia});
    }
    const auto byRoot = [](const Volume& a, const Volume& b) {
        if ((a.rootPath == QLatin1String("/")) != (b.rootPath == QLatin1String("/")))
            return a.rootPath == QLatin1String("/");
        return a.rootPath < b.rootPath;
    };
    std::sort(removable.begin(), removable.end(), byRoot);
    std::sort(others.begin(), others.end(), byRoot);
    std::vector<Volume> ordered = std::move(removable);
    if (!homeFolder.isEmpty())
        ordered.push_back(
            Volume{homeFolder, QStringLiteral("Home folder (") + homeFolder + ')', false});
    ordered.insert(ordered.end(), others.begin(), others.end());
    return ordered;
}

int volumeHolding(const std::vector<Volume>& volumes, const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString wanted = canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
    int best = -1;
    for (size_t i = 0; i < volumes.size(); ++i) {
        const QString& root = volumes[i].rootPath;
        if (isUnder(wanted, root) &&
            (best < 0 || root.size() > volumes[static_cast<size_t>(best)].rootPath.size()))
            best = static_cast<int>(i);
    }
    return best;
}

std::vector<Volume> SystemStorage::mountedVolumes() {
    std::vector<MountedVolume> mounted;
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        if (!info.isValid() || !info.isReady() || !QFileInfo(info.rootPath()).isDir())
            continue;
        mounted.push_back(MountedVolume{info.rootPath(), info.name(), info.isReadOnly()});
    }
    return orderVolumes(mounted, QDir::homePath());
}

std::optional<qint64> SystemStorage::bytesAvailable(const QString& directory) {
    QStorageInfo info(directory);
    if (!info.isValid() || !info.isReady())
        return std::nullopt;
    return info.bytesAvailable();
}

} // namespace backup
