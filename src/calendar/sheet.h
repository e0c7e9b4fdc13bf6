#ifndef LUNORIS_SHEET_H
#define LUNORIS_SHEET_H

#include <QLineF>
#include <QPointF>
#include <QSizeF>
#include <QVector>

namespace Calendar {

// One page of the print sheet: where its cards go and the crop marks that
// show where to cut. Millimetres from the page's top-left corner, y growing
// upwards as on a month's page (so negative), each card's origin its top-left
// corner.
struct SheetPage
{
    QSizeF sizeMm;
    QVector<int> months;         // 1 to 12, one per card
    QVector<QPointF> cardOrigins;
    QVector<QLineF> cropMarks;
};

// The twelve cards of `cardMm` at their true size, in the order of the
// months, as many to an A4 portrait page as fit in a centred grid with a
// gutter between cards. A card too large for that has a page of its own,
// just large enough for it and its marks.
QVector<SheetPage> layOutSheet(const QSizeF &cardMm);

} // namespace Calendar

#endif // LUNORIS_SHEET_H
