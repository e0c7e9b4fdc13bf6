#include "filenames.h"

#include "model/rota.h"

namespace Calendar {

QString monthFileName(const QDate &date)
{
    const QDate first(date.year(), date.month(), 1);
    return QStringLiteral("%1.pdf").arg(first.toString(QStringLiteral("yyyy_MM")));
}

QString sheetFileName(int year)
{
    return QStringLiteral("%1.pdf").arg(year);
}

QString cardFileName(int year)
{
    return QStringLiteral("%1_karta.pdf").arg(year);
}

QString cardSheetFileName(int year)
{
    return QStringLiteral("%1_karty_A4.pdf").arg(year);
}

QString crewCalendarFileName(int year, int crew)
{
    return QStringLiteral("%1_%2.ics").arg(year).arg(crewName(crew));
}

QString hoursFileName(int year, int crew)
{
    return QStringLiteral("%1_hodiny_%2.csv").arg(year).arg(crewName(crew));
}

} // namespace Calendar
