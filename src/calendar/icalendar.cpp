#include "icalendar.h"

#include "calendarlayout.h"

namespace Calendar {

namespace {

constexpr int MaximumLineOctets = 75;

QString crewName(int crew)
{
    return QString(QChar(u'A' + crew));
}

} // namespace

QByteArray contentLine(const QString &line)
{
    QByteArray calendar;
    const QByteArray octets = line.toUtf8();
    int start = 0;
    int limit = MaximumLineOctets;
    while (octets.size() - start > limit) {
        int end = start + limit;
        // Never inside a UTF-8 sequence: back up to the start of one.
        while (end > start && (uchar(octets.at(end)) & 0xc0) == 0x80)
            --end;
        calendar.append(octets.mid(start, end - start)).append("\r\n ");
        start = end;
        limit = MaximumLineOctets - 1; // the leading space counts
    }
    calendar.append(octets.mid(start)).append("\r\n");
    return calendar;
}

QString crewCalendarFileName(int year, int crew)
{
    return QStringLiteral("%1_%2.ics").arg(year).arg(crewName(crew));
}

QByteArray crewCalendar(int year, int firstShift, int crew, const QDateTime &stamp)
{
    const QString summary = QStringLiteral("Směna %1").arg(crewName(crew));
    const QString dtstamp = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QByteArray calendar;
    calendar.append(contentLine(QStringLiteral("BEGIN:VCALENDAR")));
    calendar.append(contentLine(QStringLiteral("VERSION:2.0")));
    calendar.append(contentLine(QStringLiteral("PRODID:-//Lunoris//Lunoris 2.0//CS")));
    calendar.append(contentLine(QStringLiteral("CALSCALE:GREGORIAN")));
    calendar.append(contentLine(QStringLiteral("METHOD:PUBLISH")));
    calendar.append(contentLine(QStringLiteral("X-WR-CALNAME:%1 %2").arg(summary).arg(year)));
    for (QDate date(year, 1, 1); date.year() == year; date = date.addDays(1)) {
        if (shiftOnDate(date, firstShift) != crew)
            continue;
        const QString day = date.toString(QStringLiteral("yyyyMMdd"));
        calendar.append(contentLine(QStringLiteral("BEGIN:VEVENT")));
        calendar.append(contentLine(QStringLiteral("UID:%1-%2@lunoris.cz").arg(day, crewName(crew))));
        calendar.append(contentLine(QStringLiteral("DTSTAMP:") + dtstamp));
        calendar.append(contentLine(QStringLiteral("DTSTART;VALUE=DATE:") + day));
        calendar.append(contentLine(QStringLiteral("DTEND;VALUE=DATE:") + date.addDays(1).toString(QStringLiteral("yyyyMMdd"))));
        calendar.append(contentLine(QStringLiteral("SUMMARY:") + summary));
        // A duty day does not make the person busy all day in shared calendars.
        calendar.append(contentLine(QStringLiteral("TRANSP:TRANSPARENT")));
        calendar.append(contentLine(QStringLiteral("END:VEVENT")));
    }
    calendar.append(contentLine(QStringLiteral("END:VCALENDAR")));
    return calendar;
}

} // namespace Calendar
