#ifndef LUNORIS_HOLIDAYS_H
#define LUNORIS_HOLIDAYS_H

#include <QDate>
#include <QString>
#include <QVector>

namespace Calendar {

// Easter Sunday of the Gregorian calendar.
QDate easterSunday(int year);

// Czech public holidays and days of rest: New Year, Good Friday (from 2016),
// Easter Monday, 1 and 8 May, 5 and 6 July, 28 September, 28 October,
// 17 November, 24 to 26 December.
bool isCzechPublicHoliday(const QDate &date);

// The public holidays of `year` in the order of the calendar, each with the
// short Czech name a pocket calendar gives it.
struct Holiday
{
    QDate date;
    QString name;
};
QVector<Holiday> czechPublicHolidays(int year);

} // namespace Calendar

#endif // LUNORIS_HOLIDAYS_H
