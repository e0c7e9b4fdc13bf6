#ifndef LUNORIS_SHEET_H
#define LUNORIS_SHEET_H

#include <QLineF>
#include <QPointF>
#include <QSizeF>
#include <QVector>

namespace Calendar {

// One page of a print sheet: where its cards go and the crop marks that show
// where to cut. Millimetres from the page's top-left corner, y growing
// upwards as on a month's page (so negative), each card's origin its top-left
// corner.
struct SheetPage
{
    QSizeF sizeMm;
    QVector<int> cards;          // 0 for the first card of the sheet, one per place
    QVector<QPointF> cardOrigins;
    QVector<QLineF> cropMarks;
    // Printed around each card beyond its cut; its marks start outside it.
    double bleedMm = 0.0;
};

// Home printers leave this much of the paper's edge unprinted; nothing of a
// sheet comes closer to it.
constexpr double PrinterMarginMm = 5.0;

// Whether cards of `cardMm` fit on A4 with their crop marks inside the
// printer's margin.
bool fitsA4(const QSizeF &cardMm);

// `count` cards of `cardMm` at their true size, in order, as many to an A4
// portrait page as fit in a centred grid with a gutter between cards. A card
// too large for that has a page of its own, just large enough for it, its
// marks and the printer's margin.
QVector<SheetPage> layOutSheet(const QSizeF &cardMm, int count);

// `count` products of `productMm` for a print shop, which puts them on its
// own press sheets: one to a page, printed `bleedMm` beyond its cut on every
// side, its crop marks outside that, the page just large enough for them.
QVector<SheetPage> layOutPrintShopSheet(const QSizeF &productMm, int count, double bleedMm);

// The backs of `fronts`: the same pages with each card at the place that
// comes behind its front when the sheet is printed on both sides and turned
// over its long edge.
QVector<SheetPage> mirroredBacks(const QVector<SheetPage> &fronts, const QSizeF &cardMm);

} // namespace Calendar

#endif // LUNORIS_SHEET_H
