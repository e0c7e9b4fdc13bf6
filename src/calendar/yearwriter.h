#ifndef LUNORIS_YEARWRITER_H
#define LUNORIS_YEARWRITER_H

#include "monthpage.h"

#include <QString>

namespace Calendar {

// Everything one run of "Dokončit" needs, gathered from the form.
struct YearRequest
{
    QString folder;     // exactly as the target-folder button shows it
    int year = 2000;
    int firstShift = 0; // 0, 1, 2 for "A", "B", "C"
    ShiftColors shiftColors;
    double boxWidthMm = 10.0;
    double boxHeightMm = 10.0;
    PageLook look;      // with its font resolved once for the run
};

struct YearResult
{
    enum class Status {
        Written,        // all twelve months
        FolderMissing,  // empty text or no such directory; nothing touched
        CannotWrite,    // `file` could not be opened or written
        FontUnavailable,// the font could not be used for `file`
        PdfFailure      // the PDF library failed on `file`, see `detail`
    };

    Status status = Status::Written;
    QString file;        // absolute path of the month that failed
    QString detail;
    int monthsWritten = 0;
};

// Writes yyyy_01.pdf to yyyy_12.pdf into the folder, stopping at the first
// failure; months written before it stay. A month's file is replaced only by
// a complete calendar: a failed month leaves no empty or truncated file.
YearResult writeYear(const YearRequest &request);

} // namespace Calendar

#endif // LUNORIS_YEARWRITER_H
