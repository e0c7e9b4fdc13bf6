#ifndef LUNORIS_TEST_FINDWIDGET_H
#define LUNORIS_TEST_FINDWIDGET_H

#include <QObject>
#include <QtGlobal>

namespace TestSupport {

// The child of `window` named `name`; where there is none, a warning says
// which, before the test fails on the null pointer.
template<typename T>
T *findNamed(const QObject *window, const char *name)
{
    T *widget = window->findChild<T *>(QLatin1String(name));
    if (!widget)
        qWarning("no %s named %s", T::staticMetaObject.className(), name);
    return widget;
}

} // namespace TestSupport

#endif // LUNORIS_TEST_FINDWIDGET_H
