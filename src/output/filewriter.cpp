#include "filewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#endif

#include <cerrno>
#include <cstring>

namespace Calendar {

namespace {

// Makes what was written to the folder's files durable: on Linux one sync of
// the file system, elsewhere one of each file.
bool syncFiles(const QStringList &paths)
{
#if defined(Q_OS_LINUX)
    if (paths.isEmpty())
        return true;
    const int folder = ::open(QFile::encodeName(QFileInfo(paths.first()).absolutePath()).constData(), O_RDONLY);
    if (folder < 0)
        return false;
    const bool synced = ::syncfs(folder) == 0;
    ::close(folder);
    return synced;
#elif defined(Q_OS_UNIX)
    for (const QString &path : paths) {
        const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        const bool synced = file >= 0 && ::fsync(file) == 0;
        if (file >= 0)
            ::close(file);
        if (!synced)
            return false;
    }
    return true;
#else
    Q_UNUSED(paths)
    return true;
#endif
}

// Makes the names in `folder` durable.
void syncFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY);
    if (handle >= 0) {
        ::fsync(handle);
        ::close(handle);
    }
#else
    Q_UNUSED(folder)
#endif
}

// Replaces `to` with `from` in one step.
bool renameOver(const QString &from, const QString &to)
{
#ifdef Q_OS_UNIX
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#else
    QFile::remove(to);
    return QFile::rename(from, to);
#endif
}

// Whether the file's name leaves no room for a temporary name beside it
// (the name and ".XXXXXX") on the folder's file system.
bool nameAtTheLimit(const QString &path)
{
#ifdef Q_OS_UNIX
    const QFileInfo info(path);
    const long limit = ::pathconf(QFile::encodeName(info.absolutePath()).constData(), _PC_NAME_MAX);
    return limit > 0 && QFile::encodeName(info.fileName()).size() + 7 > limit;
#else
    Q_UNUSED(path)
    return false;
#endif
}

// Writes a file that does not exist yet; nothing is left of a failed write.
bool writeNewFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size())
        return true;
    if (error)
        *error = file.errorString();
    if (file.isOpen())
        file.remove();
    return false;
}

} // namespace

bool isWritablePlace(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

bool rewriteInPlace(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    const auto failed = [&] {
        if (error)
            *error = file.errorString();
        return false;
    };
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return failed();
    const QByteArray old = file.readAll();
    if (old.size() != file.size() || !file.seek(0))
        return failed();
    // Overwrite rather than truncate first: the old bytes keep their blocks,
    // so putting them back after a failure needs no new space on the disk.
    if (file.write(bytes) == bytes.size() && file.resize(bytes.size()))
        return true;
    failed();
    file.seek(0);
    file.write(old);
    file.resize(old.size());
    return false;
}

FileBatch::~FileBatch()
{
    for (const File &file : m_files)
        QFile::remove(file.temporary);
}

FileBatch::Staged FileBatch::stage(const QString &path, const QByteArray &bytes, QString *error)
{
    if (!isWritablePlace(path))
        return Staged::Failed;
    // A name of its own beside the file, made new: never someone else's file.
    QFile file;
    for (int attempt = 0; attempt < 16 && !file.isOpen(); ++attempt) {
        file.setFileName(QStringLiteral("%1.%2~").arg(path).arg(QRandomGenerator::global()->generate(), 8, 16,
                                                                QLatin1Char('0')));
        // Unbuffered, so that a full disk fails the write itself.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered) && !file.exists())
            return Staged::NoRoom;
    }
    if (!file.isOpen())
        return Staged::NoRoom;
    if (QFileInfo::exists(path))
        file.setPermissions(QFileInfo(path).permissions());
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        file.remove();
        return Staged::Failed;
    }
    file.close();
    m_files.append({file.fileName(), path});
    return Staged::Written;
}

bool FileBatch::commit(QString *failed, QString *error)
{
    QStringList temporaries;
    for (const File &file : qAsConst(m_files))
        temporaries << file.temporary;
    const bool synced = syncFiles(temporaries);
    while (!m_files.isEmpty()) {
        const File file = m_files.takeFirst();
        if (!synced || !renameOver(file.temporary, file.path)) {
            if (failed)
                *failed = file.path;
            if (error)
                *error = QString::fromLocal8Bit(std::strerror(errno));
            QFile::remove(file.temporary);
            return false;
        }
    }
    // The new names themselves.
    if (!temporaries.isEmpty())
        syncFolder(QFileInfo(temporaries.first()).absolutePath());
    return true;
}

bool replaceFile(const QString &path, const QByteArray &bytes, QString *error)
{
    if (!isWritablePlace(path))
        return false;
    // No name beside it can be made: written where it is, or made new.
    if (nameAtTheLimit(path))
        return QFileInfo(path).isFile() ? rewriteInPlace(path, bytes, error) : writeNewFile(path, bytes, error);
    QSaveFile file(path);
    // Unbuffered, so that a full disk fails the write itself and is not lost
    // in a flush on committing.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (file.write(bytes) == bytes.size() && file.commit())
            return true;
        if (error)
            *error = file.errorString();
        return false;
    }
    // No file could be made beside it: the folder takes no new files.
    return rewriteInPlace(path, bytes, error);
}

} // namespace Calendar
