#include "smalldisk.h"

#include <QFile>

#include <sys/mount.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace TestSupport {

namespace {

// Writes a file until the disk takes no more.
void fill(const QString &folder)
{
    const int file = ::open(QFile::encodeName(folder + QStringLiteral("/filler")).constData(), O_WRONLY | O_CREAT, 0600);
    if (file < 0)
        return;
    const QByteArray block(4096, 'f');
    while (::write(file, block.constData(), size_t(block.size())) > 0) {
    }
    // Less than a block may still be free.
    while (::write(file, "f", 1) > 0) {
    }
    ::close(file);
}

} // namespace

SmallDisk::SmallDisk(Kind kind)
{
    const QByteArray where = QFile::encodeName(m_dir.path());
    m_mounted = m_dir.isValid()
                && ::mount("tmpfs", where.constData(), "tmpfs", kind == ReadOnly ? MS_RDONLY : 0, "size=64k,mode=0755") == 0;
    if (m_mounted && kind == Full)
        fill(m_dir.path());
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

} // namespace TestSupport
