#ifndef LUNORIS_MONTHPAGE_H
#define LUNORIS_MONTHPAGE_H

#include "calendarlayout.h"
#include "fontresolver.h"
#include "pagemodel.h"

#include <QByteArray>
#include <QDate>
#include <QString>

namespace PoDoFo {
class PdfPainter;
}

namespace Calendar {

// How a page looks, besides the shift colours and the box size.
struct PageLook
{
    PdfFontSource font;
    double fontSizePt = 10.0;
    Cmyk fontColor;
    Cmyk borderColor;
    double borderWidthPt = 1.0;
    bool textOnly = false;
    bool labels = false;   // month, year and weekday names
    bool holidays = false; // public holidays marked
};

// Draws the month's boxes, numbers, marks and labels with `painter`, whose
// page, font (at the layout's size) and millimetre coordinates are set. Throws
// PoDoFo::PdfError on library errors.
void drawMonth(PoDoFo::PdfPainter &painter, const MonthModel &model, const ShiftColors &shiftColors,
               const PageLook &look);

// The page's font as the PDF library measures it, for laying a page out
// without writing one; all zero when the font cannot be used.
TextFont measureText(const PdfFontSource &source);

struct FontUnavailable
{
};

// A calendar's PDF built in memory, or why it could not be built.
struct MonthPdf
{
    enum class Error { None, FontUnavailable, PdfLibrary };

    QByteArray bytes;
    Error error = Error::None;
    QString detail; // the library's own words for a PdfLibrary error

    bool ok() const { return error == Error::None; }
};

// Builds the calendar of the month that `date` stands on (its first day),
// worked first by `shift`, as a PDF 1.3 in compact mode, and returns its
// bytes. Leaves `date` on the first day of the next month and `shift` on the
// shift of that day. Never throws.
MonthPdf renderMonth(QDate &date, int &shift, const ShiftColors &shiftColors,
                     double boxWidthMm, double boxHeightMm, const PageLook &look);

// The print sheet of the year: all twelve cards, each drawn as its month's
// file, on A4 pages with crop marks, in one document with the font embedded
// once. Never throws.
MonthPdf renderSheet(int year, int firstShift, const ShiftColors &shiftColors, double boxWidthMm,
                     double boxHeightMm, const PageLook &look);

} // namespace Calendar

#endif // LUNORIS_MONTHPAGE_H
