#include "hours.h"

#include "holidays.h"
#include "look.h"
#include "pragueclock.h"

#include <QVector>

#include <algorithm>

namespace Calendar {

namespace {

constexpr int MinutesPerDay = 24 * 60;
constexpr int NightEnds = 6 * 60;
constexpr int NightStarts = 22 * 60;

// The wall-clock date and minute of an instant in Prague.
QPair<QDate, int> wallClock(UtcMinutes instant)
{
    const qint64 wall = instant + pragueOffset(instant);
    const qint64 day = wall >= 0 ? wall / MinutesPerDay : (wall - MinutesPerDay + 1) / MinutesPerDay;
    return {QDate::fromJulianDay(QDate(1970, 1, 1).toJulianDay() + day), int(wall - day * MinutesPerDay)};
}

// Adds a shift of `kind` that starts on `date` to the months of `year`
// that it is worked in, cut where the calendar day, the night or the
// public holiday changes.
void addShift(YearTime &time, int year, const QDate &date, const ShiftKind &kind)
{
    const int from = kind.isAllDay() ? 0 : kind.start.msecsSinceStartOfDay() / 60000;
    const UtcMinutes start = pragueInstant(date, from);
    const UtcMinutes end = pragueInstant(date, from + kind.hours * 60);
    if (date.year() == year)
        ++time.months[size_t(date.month() - 1)].shifts;
    QVector<UtcMinutes> cuts{start, end};
    for (QDate day = date; day <= date.addDays(kind.hours / 24 + 1); day = day.addDays(1)) {
        for (const int minute : {0, NightEnds, NightStarts}) {
            const UtcMinutes cut = pragueInstant(day, minute);
            if (cut > start && cut < end)
                cuts.append(cut);
        }
    }
    std::sort(cuts.begin(), cuts.end());
    for (int i = 0; i + 1 < cuts.size(); ++i) {
        const auto [day, minute] = wallClock(cuts.at(i));
        if (day.year() != year)
            continue;
        const int minutes = int(cuts.at(i + 1) - cuts.at(i));
        WorkingTime &month = time.months[size_t(day.month() - 1)];
        month.worked += minutes;
        if (minute < NightEnds || minute >= NightStarts)
            month.night += minutes;
        if (day.dayOfWeek() >= Qt::Saturday)
            month.weekend += minutes;
        if (isCzechPublicHoliday(day))
            month.holiday += minutes;
    }
}

} // namespace

WorkingTime &WorkingTime::operator+=(const WorkingTime &other)
{
    shifts += other.shifts;
    worked += other.worked;
    night += other.night;
    weekend += other.weekend;
    holiday += other.holiday;
    fund += other.fund;
    return *this;
}

bool WorkingTime::operator==(const WorkingTime &other) const
{
    return shifts == other.shifts && worked == other.worked && night == other.night && weekend == other.weekend
           && holiday == other.holiday && fund == other.fund;
}

YearTime workingTime(const Look &look, int year, int firstCrew, int crew)
{
    YearTime time;
    // The night from the last evening of the year before runs into this one.
    for (QDate date(year - 1, 12, 31); date.year() <= year; date = date.addDays(1)) {
        for (const QChar code : look.shiftsOn(crew, date, firstCrew))
            addShift(time, year, date, look.rota.kind(code));
        if (date.year() == year && date.dayOfWeek() < Qt::Saturday && !isCzechPublicHoliday(date))
            time.months[size_t(date.month() - 1)].fund += qRound(look.weeklyHours * 60 / 5);
    }
    for (const WorkingTime &month : time.months)
        time.year += month;
    return time;
}

QString hoursFigure(int minutes)
{
    // A plain minus and no grouping: what a spreadsheet in a Czech locale
    // reads as a number.
    return QString::number(minutes / 60.0, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace Calendar
