#ifndef LUNORIS_HOURSFILE_H
#define LUNORIS_HOURSFILE_H

#include "model/hours.h"

#include <QByteArray>

namespace Calendar {

// A crew's hours month by month as a spreadsheet in a Czech locale opens
// them as a table: the rows "Leden" to "Prosinec" and "Rok", the columns of
// the panel's table, separated by semicolons, hours with a decimal comma,
// in UTF-8 after a byte-order mark, each line ended with CR LF.
QByteArray hoursSpreadsheet(const YearTime &time);

} // namespace Calendar

#endif // LUNORIS_HOURSFILE_H
