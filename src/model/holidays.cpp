#include "holidays.h"

#include <algorithm>

namespace Calendar {

QDate easterSunday(int year)
{
    // The anonymous Gregorian algorithm (Meeus, Jones, Butcher).
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return {year, month, day};
}

namespace {

struct FixedHoliday
{
    int month;
    int day;
    const char *name;
};

const FixedHoliday Fixed[] = {{1, 1, "Nový rok"},           {5, 1, "Svátek práce"},       {5, 8, "Den vítězství"},
                              {7, 5, "Cyril a Metoděj"},    {7, 6, "Jan Hus"},            {9, 28, "Den české státnosti"},
                              {10, 28, "Vznik Československa"}, {11, 17, "Den boje za svobodu"},
                              {12, 24, "Štědrý den"},       {12, 25, "1. svátek vánoční"}, {12, 26, "2. svátek vánoční"}};

} // namespace

QVector<Holiday> czechPublicHolidays(int year)
{
    QVector<Holiday> holidays;
    for (const FixedHoliday &fixed : Fixed)
        holidays.append({QDate(year, fixed.month, fixed.day), QString::fromUtf8(fixed.name)});
    const QDate easter = easterSunday(year);
    if (year >= 2016)
        holidays.append({easter.addDays(-2), QString::fromUtf8("Velký pátek")});
    holidays.append({easter.addDays(1), QString::fromUtf8("Velikonoční pondělí")});
    std::sort(holidays.begin(), holidays.end(),
              [](const Holiday &a, const Holiday &b) { return a.date < b.date; });
    return holidays;
}

bool isCzechPublicHoliday(const QDate &date)
{
    for (const FixedHoliday &holiday : Fixed) {
        if (date.month() == holiday.month && date.day() == holiday.day)
            return true;
    }
    // Easter falls between 22 March and 25 April.
    if (date.month() != 3 && date.month() != 4)
        return false;
    const QDate easter = easterSunday(date.year());
    return date == easter.addDays(1) || (date.year() >= 2016 && date == easter.addDays(-2));
}

} // namespace Calendar
