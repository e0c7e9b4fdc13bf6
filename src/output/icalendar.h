#ifndef LUNORIS_ICALENDAR_H
#define LUNORIS_ICALENDAR_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace Calendar {

struct Rota;

// One content line in UTF-8, folded after 75 octets without splitting a
// character, each part ended with CRLF.
QByteArray contentLine(const QString &line);

// The shifts of `crew` in `year`, when `firstCrew` stands at the start of the
// rota's pattern on 1 January, as an iCalendar file (RFC 5545): an all-day
// event for a kind worked all day, a timed one in Prague's time for a kind
// with a start time, ending after its hours, the next day where it goes on.
// Each event has a UID of its own per crew and day, so that importing the
// file again updates the events instead of adding them twice. `stamp` is
// when the file was made.
QByteArray crewCalendar(const Rota &rota, int year, int firstCrew, int crew, const QDateTime &stamp);

} // namespace Calendar

#endif // LUNORIS_ICALENDAR_H
