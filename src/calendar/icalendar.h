#ifndef LUNORIS_ICALENDAR_H
#define LUNORIS_ICALENDAR_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace Calendar {

// One content line in UTF-8, folded after 75 octets without splitting a
// character, each part ended with CRLF.
QByteArray contentLine(const QString &line);

// "2017_A.ics" for crew 0 ("A") of 2017.
QString crewCalendarFileName(int year, int crew);

// The duty days of `crew` (0, 1, 2 for "A", "B", "C") in `year`, when
// `firstShift` works 1 January, as an iCalendar file (RFC 5545): one all-day
// event per day, with a UID of its own per crew and day, so that importing
// the file again updates the events instead of adding them twice. `stamp` is
// when the file was made.
QByteArray crewCalendar(int year, int firstShift, int crew, const QDateTime &stamp);

} // namespace Calendar

#endif // LUNORIS_ICALENDAR_H
