#include "filewriter.h"

#include <QCoreApplication>
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

QString tr(const char *text)
{
    return QCoreApplication::translate("FileWriter", text);
}

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
    errno = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size())
        return true;
    if (error)
        *error = writeFailure(errno);
    if (file.isOpen())
        file.remove();
    return false;
}

} // namespace

QString writeFailure(int code)
{
    switch (code) {
    case ENOSPC:
        return tr("na disku není místo");
#ifdef EDQUOT
    case EDQUOT:
        return tr("je vyčerpána kvóta místa na disku");
#endif
    case EFBIG:
        return tr("soubor je na tento disk příliš velký");
    case EACCES:
        return tr("k zápisu nemáte oprávnění");
    case EPERM:
        return tr("soubor nebo složku nelze měnit");
    case EROFS:
        return tr("disk je připojen jen pro čtení");
    case ENAMETOOLONG:
        return tr("název souboru nebo cesta je příliš dlouhá");
    case EISDIR:
        return tr("na místě souboru je složka");
    case ENOTDIR:
        return tr("část cesty není složka");
    case ENOENT:
        return tr("soubor nebo složka neexistuje");
    case EIO:
        return tr("disk hlásí chybu zápisu");
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return tr("soubor je právě používán");
    case EMFILE:
    case ENFILE:
        return tr("je otevřeno příliš mnoho souborů");
#ifdef ELOOP
    case ELOOP:
        return tr("cesta vede přes příliš mnoho odkazů");
#endif
    case 0:
        return tr("neznámá chyba");
    default:
        return tr("chyba systému: %1").arg(QString::fromLocal8Bit(std::strerror(code)));
    }
}

bool isWritablePlace(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

QString notAPlaceToWrite(const QString &path)
{
    if (QFileInfo(path).isDir())
        return writeFailure(EISDIR);
    return tr("na místě souboru je zařízení, roura nebo soket");
}

bool rewriteInPlace(const QString &path, const QByteArray &bytes, QString *error)
{
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error = QFileInfo::exists(path) ? notAPlaceToWrite(path) : writeFailure(ENOENT);
        return false;
    }
    QFile file(path);
    const auto failed = [error](int code) {
        if (error)
            *error = writeFailure(code);
        return false;
    };
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return failed(errno);
    const QByteArray old = file.readAll();
    if (old.size() != file.size() || !file.seek(0))
        return failed(errno);
    // Overwrite rather than truncate first: the old bytes keep their blocks,
    // so putting them back after a failure needs no new space on the disk.
    if (file.write(bytes) == bytes.size() && file.resize(bytes.size()))
        return true;
    failed(errno);
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
    // A link is a name in the folder like any other: the file takes its
    // place, and whatever it points to, inside the folder or not, is never
    // written.
    const bool link = QFileInfo(path).isSymLink();
    if (!link && !isWritablePlace(path)) {
        if (error)
            *error = notAPlaceToWrite(path);
        return Staged::Failed;
    }
    // A name of its own beside the file, made new: never someone else's file.
    QFile file;
    for (int attempt = 0; attempt < 16 && !file.isOpen(); ++attempt) {
        file.setFileName(QStringLiteral("%1.%2~").arg(path).arg(QRandomGenerator::global()->generate(), 8, 16,
                                                                QLatin1Char('0')));
        // Unbuffered, so that a full disk fails the write itself.
        errno = 0;
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
        const int code = errno;
        if (!file.exists()) {
            if (error)
                *error = writeFailure(code);
            return Staged::NoRoom;
        }
    }
    if (!file.isOpen()) {
        if (error)
            *error = writeFailure(EEXIST);
        return Staged::NoRoom;
    }
    if (!link && QFileInfo::exists(path))
        file.setPermissions(QFileInfo(path).permissions());
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const int code = errno;
        if (error)
            *error = writeFailure(code);
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
    errno = 0;
    const bool synced = syncFiles(temporaries);
    const int syncError = errno;
    while (!m_files.isEmpty()) {
        const File file = m_files.takeFirst();
        errno = 0;
        if (!synced || !renameOver(file.temporary, file.path)) {
            const int code = synced ? errno : syncError;
            if (failed)
                *failed = file.path;
            if (error)
                *error = writeFailure(code);
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
    if (!isWritablePlace(path)) {
        if (error)
            *error = notAPlaceToWrite(path);
        return false;
    }
    // No name beside it can be made: written where it is, or made new.
    if (nameAtTheLimit(path))
        return QFileInfo(path).isFile() ? rewriteInPlace(path, bytes, error) : writeNewFile(path, bytes, error);
    QSaveFile file(path);
    // Unbuffered, so that a full disk fails the write itself and is not lost
    // in a flush on committing.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        errno = 0;
        if (file.write(bytes) == bytes.size() && file.commit())
            return true;
        const int code = errno;
        if (error)
            *error = code ? writeFailure(code) : file.errorString();
        return false;
    }
    // No file could be made beside it: the folder takes no new files.
    return rewriteInPlace(path, bytes, error);
}

} // namespace Calendar
