#ifndef LUNORIS_FILEWRITER_H
#define LUNORIS_FILEWRITER_H

#include <QByteArray>
#include <QString>
#include <QVector>

namespace Calendar {

// Whether `path` is something we may open to write without blocking: a
// regular file or nothing yet. A named pipe, a device or a socket blocks
// or misbehaves on open, a folder cannot be written at all.
bool isWritablePlace(const QString &path);
// Why `path` is no such place, in Czech for the user.
QString notAPlaceToWrite(const QString &path);

// Why a file could not be written, in Czech for the user, for the system's
// error number (errno): "na disku není místo".
QString writeFailure(int code);

// Replaces the contents of `path` with `bytes`: the old contents stay whole
// unless the new ones were written completely. Written beside the file and
// renamed over it; where the folder takes no new files, written in place
// with the old bytes put back on failure. On failure `error` says why, as
// writeFailure() does.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Files of one run replaced together: each written beside its place, all of
// them made durable with one sync of the disk, then each renamed over its
// place. A run of twelve files waits for the disk once instead of twelve
// times, and every file is still either its old or its new whole self.
// Files staged but not committed are removed.
class FileBatch
{
public:
    FileBatch() = default;
    ~FileBatch();
    FileBatch(const FileBatch &) = delete;
    FileBatch &operator=(const FileBatch &) = delete;

    enum class Staged { Written, NoRoom, Failed };
    // Writes `bytes` beside `path`. NoRoom when the folder takes no new
    // files (the caller may rewrite the file in place); Failed when the
    // bytes could not be written; either with `error`, as writeFailure()
    // says it. A symbolic link at `path` is itself replaced on committing,
    // never what it points to.
    Staged stage(const QString &path, const QByteArray &bytes, QString *error);

    // Makes every staged file durable and puts it in its place, in the order
    // staged; stops at the first that cannot be, naming it in `failed`.
    bool commit(QString *failed, QString *error);

private:
    struct File
    {
        QString temporary;
        QString path;
    };
    QVector<File> m_files;
};

// The in-place part of replaceFile, for an existing regular file.
bool rewriteInPlace(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace Calendar

#endif // LUNORIS_FILEWRITER_H
