#ifndef LUNORIS_SCREENPAGE_H
#define LUNORIS_SCREENPAGE_H

#include "monthpage.h"
#include "pagemodel.h"

class QPainter;

namespace Calendar {

// Draws the month's boxes, numbers, marks and labels with `painter`, which maps page
// millimetres to the screen: origin at the page's top-left corner, y growing
// downwards. The counterpart of drawMonth for the PDF, from the same model.
void paintMonth(QPainter &painter, const MonthModel &model, const ShiftColors &shiftColors,
                const PageLook &look);

} // namespace Calendar

#endif // LUNORIS_SCREENPAGE_H
