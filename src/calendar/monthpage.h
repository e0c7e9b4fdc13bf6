#ifndef LUNORIS_MONTHPAGE_H
#define LUNORIS_MONTHPAGE_H

#include "calendarlayout.h"
#include "fontresolver.h"

#include <QByteArray>
#include <QDate>
#include <QString>

namespace PoDoFo {
class PdfFont;
class PdfMemDocument;
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
};

// Draws the month that `date` stands on (its first day) as the one page of
// `document` in `font`. Leaves `date` on the first day of the next month and
// `shift` advanced by one for every day. Throws PoDoFo::PdfError on library
// errors.
void drawMonthPage(PoDoFo::PdfMemDocument &document, PoDoFo::PdfFont &font, QDate &date, int &shift,
                   const ShiftColors &shiftColors, double boxWidthMm, double boxHeightMm,
                   const PageLook &look);

struct FontUnavailable
{
};

// A month's PDF built in memory, or why it could not be built.
struct MonthPdf
{
    enum class Error { None, FontUnavailable, PdfLibrary };

    QByteArray bytes;
    Error error = Error::None;
    QString detail; // the library's own words for a PdfLibrary error

    bool ok() const { return error == Error::None; }
};

// Builds one month's calendar (PDF 1.3, compact) and returns its bytes. Never
// throws; `date` and `shift` advance as in drawMonthPage.
MonthPdf renderMonth(QDate &date, int &shift, const ShiftColors &shiftColors,
                     double boxWidthMm, double boxHeightMm, const PageLook &look);

} // namespace Calendar

#endif // LUNORIS_MONTHPAGE_H
