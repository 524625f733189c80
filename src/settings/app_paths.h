#pragma once

// Where the program keeps its files. The program directory holds the pick lists, the report
// definitions and the default table; the settings file lives apart from it, per user.

#include <QString>

namespace app {

inline constexpr const char* kSettingsFileName = "VLMBOOK.INI";

// The directory named by VOLUMARA_HOME when set; otherwise the executable's own directory when
// we may write there and the program is not installed under a prefix (PREFIX/bin with
// PREFIX/share/volumara); otherwise $XDG_DATA_HOME/volumara (default ~/.local/share/volumara),
// created when missing. No trailing separator.
QString programDirectory(const QString& executableDirectory);

// VLMBOOK.INI in $XDG_CONFIG_HOME (default ~/.config); the directory is created when missing so
// that the first save can write the file.
QString settingsFilePath();

// The current directory when the program starts, without a trailing separator.
QString startDirectory();

} // namespace app
