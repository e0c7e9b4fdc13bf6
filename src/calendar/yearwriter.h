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
    // Choices of the run, not of the look: also the year's print sheet
    // (yyyy.pdf) and each crew's duty days for phones (yyyy_A.ics, ...).
    bool yearSheet = false;
    bool phoneCalendars = false;
};

struct YearResult
{
    enum class Status {
        Written,        // all twelve months
        FolderMissing,  // empty text or no such directory; nothing touched
        CannotWrite,    // `file` could not be opened or written
        FontUnavailable,// the font could not be used for `file`
        PdfFailure,     // the PDF library failed on `file`, see `detail`
        InvalidRequest  // a value the form cannot produce; nothing touched
    };

    Status status = Status::Written;
    QString file;        // absolute path of the month that failed
    QString detail;
    int monthsWritten = 0;
};

// The ranges of the form's inputs; a request outside them is refused.
constexpr int FirstYear = 2000;
constexpr int LastYear = 4000;
constexpr double MinimumSize = 1.0;      // box sizes (mm) and font size (pt)
constexpr double MaximumSize = 100.0;
constexpr double MaximumBorderPt = 99.99;

// Writes yyyy_01.pdf to yyyy_12.pdf into the folder, then the sheet and the
// phone calendars when asked for, stopping at the first failure; files
// written before it stay. A month's file is replaced only by
// a complete calendar: a failed month leaves no empty or truncated file.
YearResult writeYear(const YearRequest &request);

} // namespace Calendar

#endif // LUNORIS_YEARWRITER_H
