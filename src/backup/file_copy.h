#pragma once

// Copying one file so that a copy that fails half way (a full disk, media pulled out) never
// destroys the file it was to replace: the bytes go to a new file beside the target, which is
// flushed to the device and compared in size with the source before it takes the target's name.

#include "table/mdx_file.h"

#include <QString>

#include <optional>
#include <string>

namespace backup {

// Copies `source` to `target`, replacing `target` only once the whole copy is on the device.
// Reports how far it got (0 .. 1) through `progress`, from the calling thread. Returns nothing
// on success, otherwise why it failed; the target is then as it was and no temporary file
// remains.
std::optional<std::string> copyFileReplacing(const QString& source, const QString& target,
                                             const table::Progress& progress = {});

// `directory` joined with `name` by one separator: the root folder "/" and "AUTHOR.LST" give
// "/AUTHOR.LST".
QString joinPath(const QString& directory, const QString& name);

// The size of a file, or nothing when it does not exist or is not a regular file.
std::optional<qint64> fileSize(const QString& path);

// The room rule: a copy of `source` to `target` may start only when the free space of the file
// system holding the target's folder, plus the size of an existing target (which the copy
// replaces), is at least the size of the source. Free space that cannot be found out does not
// stop the copy; the copy itself then finds out.
bool enoughRoomFor(const QString& source, const QString& target,
                   std::optional<qint64> bytesAvailable);

} // namespace backup
