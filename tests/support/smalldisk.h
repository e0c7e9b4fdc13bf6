#ifndef LUNORIS_TESTS_SMALLDISK_H
#define LUNORIS_TESTS_SMALLDISK_H

#include <QString>
#include <QTemporaryDir>

namespace TestSupport {

// A file system of its own in a temporary folder, for the failures only a
// real disk gives: a full one, or one mounted read-only. Needs the right to
// mount (root); isMounted() says whether it was given.
class SmallDisk
{
public:
    enum Kind { Full, ReadOnly };
    explicit SmallDisk(Kind kind);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace TestSupport

#endif // LUNORIS_TESTS_SMALLDISK_H
