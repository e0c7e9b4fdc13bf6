#ifndef LUNORIS_FILEWRITER_H
#define LUNORIS_FILEWRITER_H

#include <QByteArray>
#include <QString>

namespace Calendar {

// Whether `path` is something we may open to write without blocking: a
// regular file or nothing yet. A named pipe, a device or a socket blocks
// or misbehaves on open, a folder cannot be written at all.
bool isWritablePlace(const QString &path);

// Replaces the contents of `path` with `bytes`: the old contents stay whole
// unless the new ones were written completely. Written beside the file and
// renamed over it; where the folder takes no new files, written in place
// with the old bytes put back on failure.
bool replaceFile(const QString &path, const QByteArray &bytes);

// The in-place part of replaceFile, for an existing regular file.
bool rewriteInPlace(const QString &path, const QByteArray &bytes);

} // namespace Calendar

#endif // LUNORIS_FILEWRITER_H
