#include "pragueclock.h"

#include <utility>

namespace Calendar {

namespace {

constexpr int MinutesPerDay = 24 * 60;
constexpr qint64 EpochJulianDay = 2440588; // 1 January 1970

UtcMinutes midnightUtc(const QDate &date)
{
    return (date.toJulianDay() - EpochJulianDay) * MinutesPerDay;
}

// 01:00 UTC on the last Sunday of `month`.
UtcMinutes lastSundayChange(int year, int month)
{
    const QDate last(year, month, QDate(year, month, 1).daysInMonth());
    return midnightUtc(last.addDays(-(last.dayOfWeek() % 7))) + 60;
}

// The year's two changes, worked out once a year: a year's hours ask for
// them twice a shift.
std::pair<UtcMinutes, UtcMinutes> summerTime(int year)
{
    thread_local int known = 0; // no year 0
    thread_local std::pair<UtcMinutes, UtcMinutes> changes;
    if (year != known) {
        changes = {lastSundayChange(year, 3), lastSundayChange(year, 10)};
        known = year;
    }
    return changes;
}

} // namespace

int pragueOffset(UtcMinutes instant)
{
    // The year of the instant in UTC; near New Year the offset is 60 either way.
    const qint64 day = instant >= 0 ? instant / MinutesPerDay : (instant - MinutesPerDay + 1) / MinutesPerDay;
    const auto [spring, autumn] = summerTime(QDate::fromJulianDay(EpochJulianDay + day).year());
    return instant >= spring && instant < autumn ? 120 : 60;
}

UtcMinutes pragueInstant(const QDate &date, int minute)
{
    const UtcMinutes wall = midnightUtc(date) + minute;
    const UtcMinutes summer = wall - 120;
    return pragueOffset(summer) == 120 ? summer : wall - 60;
}

} // namespace Calendar
