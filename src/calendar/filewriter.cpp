#include "filewriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Calendar {

bool isWritablePlace(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

bool rewriteInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const QByteArray old = file.readAll();
    if (old.size() != file.size() || !file.seek(0))
        return false;
    // Overwrite rather than truncate first: the old bytes keep their blocks,
    // so putting them back after a failure needs no new space on the disk.
    if (file.write(bytes) == bytes.size() && file.resize(bytes.size()))
        return true;
    file.seek(0);
    file.write(old);
    file.resize(old.size());
    return false;
}

bool replaceFile(const QString &path, const QByteArray &bytes)
{
    if (!isWritablePlace(path))
        return false;
    QSaveFile file(path);
    // Unbuffered, so that a full disk fails the write itself and is not lost
    // in a flush on committing.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.write(bytes) == bytes.size() && file.commit();
    // No file could be made beside it: the folder takes no new files.
    return rewriteInPlace(path, bytes);
}

} // namespace Calendar
