#include "settings/app_paths.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace app {

namespace {

QString withoutTrailingSeparator(const QString& directory) {
    return QDir::cleanPath(directory);
}

// An XDG base directory: the variable when it holds an absolute path, else the home fallback.
QString xdgDirectory(const char* variable, const char* homeRelativeDefault) {
    QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return withoutTrailingSeparator(value);
    return withoutTrailingSeparator(QDir::homePath() + QLatin1Char('/') +
                                    QLatin1String(homeRelativeDefault));
}

bool isWritableDirectory(const QString& directory) {
    return !directory.isEmpty() && ::access(QFile::encodeName(directory).constData(), W_OK) == 0;
}

// A program installed under a prefix (PREFIX/bin beside PREFIX/share/volumara) is shared by every
// user of the machine, and its folder may be writable by root: its data belongs to each user.
bool isInstalledProgram(const QString& executableDirectory) {
    const QDir directory(executableDirectory);
    return directory.dirName() == QLatin1String("bin") &&
           QFileInfo(directory.filePath(QStringLiteral("../share/volumara"))).isDir();
}

} // namespace

QString programDirectory(const QString& executableDirectory) {
    QString home = qEnvironmentVariable("VOLUMARA_HOME");
    if (!home.isEmpty())
        return withoutTrailingSeparator(QFileInfo(home).absoluteFilePath());
    if (!isInstalledProgram(executableDirectory) && isWritableDirectory(executableDirectory))
        return withoutTrailingSeparator(QFileInfo(executableDirectory).absoluteFilePath());
    QString dataDirectory = xdgDirectory("XDG_DATA_HOME", ".local/share") + "/volumara";
    QDir().mkpath(dataDirectory);
    return dataDirectory;
}

QString settingsFilePath() {
    QString configDirectory = xdgDirectory("XDG_CONFIG_HOME", ".config");
    QDir().mkpath(configDirectory);
    return configDirectory + QLatin1Char('/') + QLatin1String(kSettingsFileName);
}

QString startDirectory() {
    return withoutTrailingSeparator(QDir::currentPath());
}

} // namespace app
