#ifndef LUNORIS_SCREENPAGE_H
#define LUNORIS_SCREENPAGE_H

#include "model/pagemodel.h"
#include "pdfpage.h"

class QColor;
class QPainter;

namespace Calendar {

class GlyphOutlines;

// Draws the month's boxes, numbers, marks and labels with `painter`, which
// maps page millimetres to the screen: origin at the page's top-left corner,
// y growing downwards. The counterpart of drawMonth for the PDF, from the
// same model and in the order `drawing` gives the PDF's operators, so that
// what overlaps covers alike; with the glyphs of the face the PDF embeds
// (advanced by `font`), cut to the page as the PDF is.
void paintMonth(QPainter &painter, const MonthModel &model, const GlyphOutlines &glyphs, const TextFont &font,
                PdfDrawing drawing = PdfDrawing::AsMonthFiles);

// A calendar's CMYK colour as the screen shows it: as printed, not as the
// toolkit's naive conversion would have it.
QColor screenColor(const Cmyk &color);

} // namespace Calendar

#endif // LUNORIS_SCREENPAGE_H
