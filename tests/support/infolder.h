#ifndef LUNORIS_TEST_INFOLDER_H
#define LUNORIS_TEST_INFOLDER_H

#include <QDir>
#include <QString>

namespace TestSupport {

// Makes `folder` the current one, and the one before it current again on
// leave() or at the end of the scope: also where a check fails or a row is
// skipped on the way, so that later tests do not run in a folder deleted.
class InFolder
{
public:
    explicit InFolder(const QString &folder)
        : m_before(QDir::currentPath())
        , m_entered(QDir::setCurrent(folder))
    {
    }
    ~InFolder() { leave(); }
    InFolder(const InFolder &) = delete;
    InFolder &operator=(const InFolder &) = delete;

    bool entered() const { return m_entered; }
    void leave()
    {
        if (m_entered)
            QDir::setCurrent(m_before);
        m_entered = false;
    }

private:
    const QString m_before;
    bool m_entered;
};

} // namespace TestSupport

#endif // LUNORIS_TEST_INFOLDER_H
