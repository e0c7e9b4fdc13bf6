#ifndef LUNORIS_PRAGUECLOCK_H
#define LUNORIS_PRAGUECLOCK_H

#include <QDate>
#include <QtGlobal>

namespace Calendar {

// Prague's clock, as the phone calendars describe it: CET (UTC+1), and CEST
// (UTC+2) from the last Sunday of March to the last Sunday of October, the
// clocks changing at 01:00 UTC. Kept here rather than asked of the system's
// zone data so that hours count alike everywhere, and as the files say.

// Minutes since 1970-01-01 00:00 UTC.
using UtcMinutes = qint64;

// Minutes ahead of UTC at `instant`: 60 or 120.
int pragueOffset(UtcMinutes instant);

// The instant at which Prague's clock shows `minute` minutes after the
// midnight that starts `date` (minute may run past a day). A time the clocks
// skip is read with the offset before the skip; a time they show twice is
// its first showing, as iCalendar reads such times.
UtcMinutes pragueInstant(const QDate &date, int minute);

} // namespace Calendar

#endif // LUNORIS_PRAGUECLOCK_H
