#include "sheet.h"

#include <cmath>

namespace Calendar {

namespace {

const QSizeF A4(210.0, 297.0);
// A crop mark starts this far from the card's corner and is this long; the
// page keeps that much free around the cards beyond the printer's margin,
// and cards that much apart twice over, so that no mark touches a card.
constexpr double MarkGap = 0.75;
constexpr double MarkLength = 2.0;
constexpr double MarkReach = MarkGap + MarkLength;
constexpr double Gutter = 2 * MarkReach;
constexpr double Border = PrinterMarginMm + MarkReach;

// Whole tenths of a millimetre keep the cards on the printer's grid.
double tenths(double mm)
{
    // Not a tenth less for a size that came through points and back.
    return std::floor(mm * 10.0 + 1e-9) / 10.0;
}

double tenthsUp(double mm)
{
    return std::ceil(mm * 10.0 - 1e-9) / 10.0;
}

// Marks in line with the card's edges, starting a little beyond its bleed.
void addCropMarks(SheetPage &page, const QPointF &origin, const QSizeF &card)
{
    // Screen-like corners first (y down), then turned to the page's y-up.
    const double left = origin.x(), top = -origin.y();
    const double right = left + card.width(), bottom = top + card.height();
    const double start = page.bleedMm + MarkGap, end = start + MarkLength;
    const auto line = [&page](double x1, double y1, double x2, double y2) {
        page.cropMarks.append(QLineF(x1, -y1, x2, -y2));
    };
    for (const double x : {left, right}) {
        const double outwards = x == left ? -1.0 : 1.0;
        for (const double y : {top, bottom}) {
            const double away = y == top ? -1.0 : 1.0;
            line(x + outwards * start, y, x + outwards * end, y);
            line(x, y + away * start, x, y + away * end);
        }
    }
}

} // namespace

bool fitsA4(const QSizeF &cardMm)
{
    return cardMm.width() <= A4.width() - 2 * Border && cardMm.height() <= A4.height() - 2 * Border;
}

QVector<SheetPage> layOutSheet(const QSizeF &cardMm, int count)
{
    QVector<SheetPage> pages;
    const double w = cardMm.width(), h = cardMm.height();
    if (!fitsA4(cardMm)) {
        const double border = tenthsUp(Border);
        for (int card = 0; card < count; ++card) {
            SheetPage page;
            page.sizeMm = QSizeF(w + 2 * border, h + 2 * border);
            page.cards.append(card);
            page.cardOrigins.append(QPointF(border, -border));
            addCropMarks(page, page.cardOrigins.last(), cardMm);
            pages.append(page);
        }
        return pages;
    }

    const double usableWidth = A4.width() - 2 * Border;
    const double usableHeight = A4.height() - 2 * Border;
    // Cards whole tenths of a millimetre apart, so that every one falls on
    // the printer's grid alike.
    const double stepX = tenthsUp(w + Gutter), stepY = tenthsUp(h + Gutter);
    const int columns = qMin(count, qMax(1, int((usableWidth - w) / stepX) + 1));
    // Only as many rows as the cards fill, so that a single page is centred
    // on what it holds.
    const int rows = qMin((count + columns - 1) / columns, qMax(1, int((usableHeight - h) / stepY) + 1));
    const double gridWidth = (columns - 1) * stepX + w;
    const double gridHeight = (rows - 1) * stepY + h;
    const double left = tenths((A4.width() - gridWidth) / 2);
    const double top = tenths((A4.height() - gridHeight) / 2);
    for (int card = 0; card < count; ++card) {
        const int index = card % (columns * rows);
        if (index == 0) {
            pages.append(SheetPage());
            pages.last().sizeMm = A4;
        }
        SheetPage &page = pages.last();
        const QPointF origin(left + (index % columns) * stepX, -(top + (index / columns) * stepY));
        page.cards.append(card);
        page.cardOrigins.append(origin);
        addCropMarks(page, origin, cardMm);
    }
    return pages;
}

QVector<SheetPage> layOutPrintShopSheet(const QSizeF &productMm, int count, double bleedMm)
{
    QVector<SheetPage> pages;
    // The marks' reach beyond the bleed, and as much again of paper.
    const double border = bleedMm + MarkReach + MarkGap;
    for (int product = 0; product < count; ++product) {
        SheetPage page;
        page.bleedMm = bleedMm;
        page.sizeMm = QSizeF(productMm.width() + 2 * border, productMm.height() + 2 * border);
        page.cards.append(product);
        page.cardOrigins.append(QPointF(border, -border));
        addCropMarks(page, page.cardOrigins.last(), productMm);
        pages.append(page);
    }
    return pages;
}

QVector<SheetPage> mirroredBacks(const QVector<SheetPage> &fronts, const QSizeF &cardMm)
{
    QVector<SheetPage> backs;
    for (const SheetPage &front : fronts) {
        SheetPage back;
        back.sizeMm = front.sizeMm;
        back.cards = front.cards;
        back.bleedMm = front.bleedMm;
        for (const QPointF &origin : front.cardOrigins) {
            // Turned over its long edge, left and right swap; top stays top.
            const QPointF mirrored(front.sizeMm.width() - origin.x() - cardMm.width(), origin.y());
            back.cardOrigins.append(mirrored);
            addCropMarks(back, mirrored, cardMm);
        }
        backs.append(back);
    }
    return backs;
}

} // namespace Calendar
