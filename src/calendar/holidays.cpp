#include "holidays.h"

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

bool isCzechPublicHoliday(const QDate &date)
{
    static const int fixed[][2] = {{1, 1},  {5, 1},   {5, 8},   {7, 5},   {7, 6},   {9, 28},
                                   {10, 28}, {11, 17}, {12, 24}, {12, 25}, {12, 26}};
    for (const auto &holiday : fixed) {
        if (date.month() == holiday[0] && date.day() == holiday[1])
            return true;
    }
    // Easter falls between 22 March and 25 April.
    if (date.month() != 3 && date.month() != 4)
        return false;
    const QDate easter = easterSunday(date.year());
    return date == easter.addDays(1) || (date.year() >= 2016 && date == easter.addDays(-2));
}

} // namespace Calendar
