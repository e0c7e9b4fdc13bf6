#ifndef LUNORIS_TEST_TIMEZONE_H
#define LUNORIS_TEST_TIMEZONE_H

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

namespace TestSupport {

// The process's time zone for the C library and Qt's local time, as long
// as this lives; put back when it ends.
class TimeZone
{
public:
    explicit TimeZone(const QByteArray &zone)
        : m_saved(qgetenv("TZ"))
        , m_wasSet(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZone()
    {
        if (m_wasSet)
            qputenv("TZ", m_saved);
        else
            qunsetenv("TZ");
        tzset();
    }
    TimeZone(const TimeZone &) = delete;
    TimeZone &operator=(const TimeZone &) = delete;

private:
    QByteArray m_saved;
    bool m_wasSet;
};

} // namespace TestSupport

#endif // LUNORIS_TEST_TIMEZONE_H
