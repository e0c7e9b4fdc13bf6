#ifndef LUNORIS_PDFPAGE_H
#define LUNORIS_PDFPAGE_H

#include "pagemodel.h"

namespace PoDoFo {
class PdfPainter;
}

namespace Calendar {

// Draws a month's page with `painter`, whose page, font and millimetre
// coordinates (origin at the page's top-left corner, y growing upwards) are
// set. The counterpart of paintMonth for the screen, from the same model.
// Throws PoDoFo::PdfError on library errors.
void drawMonth(PoDoFo::PdfPainter &painter, const MonthModel &model);

} // namespace Calendar

#endif // LUNORIS_PDFPAGE_H
