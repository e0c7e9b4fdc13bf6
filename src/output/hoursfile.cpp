#include "hoursfile.h"

#include "model/pagemodel.h"

#include <QStringList>

namespace Calendar {

QByteArray hoursSpreadsheet(const YearTime &time)
{
    QStringList lines = {QStringLiteral("Měsíc;Směny;Hodiny;Noční;Víkend;Svátek;Fond;Rozdíl")};
    for (int row = 0; row <= 12; ++row) {
        const WorkingTime &cell = row < 12 ? time.months[size_t(row)] : time.year;
        lines << QStringList{row < 12 ? monthName(row + 1) : QStringLiteral("Rok"),
                             QString::number(cell.shifts),
                             hoursFigure(cell.worked),
                             hoursFigure(cell.night),
                             hoursFigure(cell.weekend),
                             hoursFigure(cell.holiday),
                             hoursFigure(cell.fund),
                             hoursFigure(cell.difference())}
                     .join(QLatin1Char(';'));
    }
    // The mark that tells a spreadsheet the file is UTF-8.
    return QByteArray("\xEF\xBB\xBF") + lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

} // namespace Calendar
