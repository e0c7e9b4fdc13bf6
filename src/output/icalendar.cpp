#include "icalendar.h"

#include "model/rota.h"

namespace Calendar {

namespace {

constexpr int MaximumLineOctets = 75;

const char *const PragueTimeZone[] = {
    "BEGIN:VTIMEZONE",         "TZID:Europe/Prague",
    "BEGIN:DAYLIGHT",          "TZOFFSETFROM:+0100",
    "TZOFFSETTO:+0200",        "TZNAME:CEST",
    "DTSTART:19700329T020000", "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU",
    "END:DAYLIGHT",            "BEGIN:STANDARD",
    "TZOFFSETFROM:+0200",      "TZOFFSETTO:+0100",
    "TZNAME:CET",              "DTSTART:19701025T030000",
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU", "END:STANDARD",
    "END:VTIMEZONE"};

QString localTime(const QDateTime &wallClock)
{
    return QStringLiteral("TZID=Europe/Prague:") + wallClock.toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
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

QByteArray crewCalendar(const Rota &rota, int year, int firstCrew, int crew, const QDateTime &stamp)
{
    const QString crewSummary = QStringLiteral("Směna %1").arg(crewName(crew));
    const QString dtstamp = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    bool timed = false;
    for (const ShiftKind &kind : rota.usedKinds())
        timed = timed || !kind.isAllDay();

    QByteArray calendar;
    calendar.append(contentLine(QStringLiteral("BEGIN:VCALENDAR")));
    calendar.append(contentLine(QStringLiteral("VERSION:2.0")));
    calendar.append(contentLine(QStringLiteral("PRODID:-//Lunoris//Lunoris 2.0//CS")));
    calendar.append(contentLine(QStringLiteral("CALSCALE:GREGORIAN")));
    calendar.append(contentLine(QStringLiteral("METHOD:PUBLISH")));
    calendar.append(contentLine(QStringLiteral("X-WR-CALNAME:%1 %2").arg(crewSummary).arg(year)));
    if (timed) {
        for (const char *line : PragueTimeZone)
            calendar.append(contentLine(QString::fromLatin1(line)));
    }
    for (QDate date(year, 1, 1); date.year() == year; date = date.addDays(1)) {
        const QChar code = rota.codeOf(crew, date, firstCrew);
        if (code == QLatin1Char('-'))
            continue;
        const ShiftKind &kind = rota.kind(code);
        const QString day = date.toString(QStringLiteral("yyyyMMdd"));
        calendar.append(contentLine(QStringLiteral("BEGIN:VEVENT")));
        calendar.append(contentLine(QStringLiteral("UID:%1-%2@lunoris.cz").arg(day, crewName(crew))));
        calendar.append(contentLine(QStringLiteral("DTSTAMP:") + dtstamp));
        if (kind.isAllDay()) {
            calendar.append(contentLine(QStringLiteral("DTSTART;VALUE=DATE:") + day));
            calendar.append(contentLine(QStringLiteral("DTEND;VALUE=DATE:")
                                        + date.addDays(1).toString(QStringLiteral("yyyyMMdd"))));
        } else {
            // Wall-clock times: a shift ends at the hour on the roster, also
            // on the nights the clocks change.
            const QDateTime start(date, kind.start, Qt::UTC);
            calendar.append(contentLine(QStringLiteral("DTSTART;") + localTime(start)));
            calendar.append(contentLine(QStringLiteral("DTEND;") + localTime(start.addSecs(kind.hours * 3600))));
        }
        calendar.append(contentLine(QStringLiteral("SUMMARY:")
                                    + (rota.isDefault() ? crewSummary
                                                        : QStringLiteral("%1 – %2").arg(kind.name, crewSummary))));
        // A whole day of duty does not make the person busy all day in shared
        // calendars; the hours of a shift do.
        calendar.append(contentLine(kind.isAllDay() ? QStringLiteral("TRANSP:TRANSPARENT")
                                                    : QStringLiteral("TRANSP:OPAQUE")));
        calendar.append(contentLine(QStringLiteral("END:VEVENT")));
    }
    calendar.append(contentLine(QStringLiteral("END:VCALENDAR")));
    return calendar;
}

} // namespace Calendar
