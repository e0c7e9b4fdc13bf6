#ifndef LUNORIS_PDFPAGE_H
#define LUNORIS_PDFPAGE_H

#include "model/pagemodel.h"

#include <QLineF>
#include <QVector>

namespace PoDoFo {
class PdfPainter;
}

namespace Calendar {

// How a page's operators are ordered: as the month files have always had
// them, or with the fewest operators (the wallet card's many small months).
enum class PdfDrawing { AsMonthFiles, Compact };

// Draws a month's page with `painter`, whose page, font and millimetre
// coordinates (origin at the page's top-left corner, y growing upwards) are
// set. The counterpart of paintMonth for the screen, from the same model.
// Throws PoDoFo::PdfError on library errors.
void drawMonth(PoDoFo::PdfPainter &painter, const MonthModel &model, PdfDrawing drawing = PdfDrawing::AsMonthFiles);

// Strokes `marks` (millimetre coordinates as above) in the painter's stroke
// colour and width, as the painter's own lines but written at once.
void drawLines(PoDoFo::PdfPainter &painter, const QVector<QLineF> &marks);

} // namespace Calendar

#endif // LUNORIS_PDFPAGE_H
