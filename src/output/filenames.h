#ifndef LUNORIS_FILENAMES_H
#define LUNORIS_FILENAMES_H

#include <QDate>
#include <QString>

namespace Calendar {

// The names of a run's files: "2017_03.pdf" for any day of March 2017, the
// year's print sheet "2017.pdf", the wallet card "2017_karta.pdf" and its A4
// sheet "2017_karty_A4.pdf", and a crew's phone calendar "2017_A.ics".
QString monthFileName(const QDate &date);
QString sheetFileName(int year);
QString cardFileName(int year);
QString cardSheetFileName(int year);
QString crewCalendarFileName(int year, int crew);
// A crew's hours month by month: "2027_hodiny_A.csv".
QString hoursFileName(int year, int crew);

} // namespace Calendar

#endif // LUNORIS_FILENAMES_H
