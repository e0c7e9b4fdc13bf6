#include "sheet.h"

#include <cmath>

namespace Calendar {

namespace {

const QSizeF A4(210.0, 297.0);
// A crop mark starts this far from the card's corner and is this long; the
// page keeps that much free around the cards, and cards that much apart
// twice over, so that no mark touches another card.
constexpr double MarkGap = 1.0;
constexpr double MarkLength = 3.0;
constexpr double MarkReach = MarkGap + MarkLength;
constexpr double Gutter = 2 * MarkReach;

// Whole tenths of a millimetre keep the cards on the printer's grid.
double tenths(double mm)
{
    return std::floor(mm * 10.0) / 10.0;
}

void addCropMarks(SheetPage &page, const QPointF &origin, const QSizeF &card)
{
    // Screen-like corners first (y down), then turned to the page's y-up.
    const double left = origin.x(), top = -origin.y();
    const double right = left + card.width(), bottom = top + card.height();
    const auto line = [&page](double x1, double y1, double x2, double y2) {
        page.cropMarks.append(QLineF(x1, -y1, x2, -y2));
    };
    for (const double x : {left, right}) {
        const double outwards = x == left ? -1.0 : 1.0;
        for (const double y : {top, bottom}) {
            const double away = y == top ? -1.0 : 1.0;
            line(x + outwards * MarkGap, y, x + outwards * MarkReach, y);
            line(x, y + away * MarkGap, x, y + away * MarkReach);
        }
    }
}

} // namespace

QVector<SheetPage> layOutSheet(const QSizeF &cardMm)
{
    QVector<SheetPage> pages;
    const double w = cardMm.width(), h = cardMm.height();
    const double usableWidth = A4.width() - 2 * MarkReach;
    const double usableHeight = A4.height() - 2 * MarkReach;
    if (w > usableWidth || h > usableHeight) {
        for (int month = 1; month <= 12; ++month) {
            SheetPage page;
            page.sizeMm = QSizeF(w + 2 * MarkReach, h + 2 * MarkReach);
            page.months.append(month);
            page.cardOrigins.append(QPointF(MarkReach, -MarkReach));
            addCropMarks(page, page.cardOrigins.last(), cardMm);
            pages.append(page);
        }
        return pages;
    }

    constexpr int Cards = 12;
    const int columns = qMin(Cards, qMax(1, int((usableWidth + Gutter) / (w + Gutter))));
    // Only as many rows as the cards fill, so that a single page is centred
    // on what it holds.
    const int rows = qMin((Cards + columns - 1) / columns, qMax(1, int((usableHeight + Gutter) / (h + Gutter))));
    const double gridWidth = columns * w + (columns - 1) * Gutter;
    const double gridHeight = rows * h + (rows - 1) * Gutter;
    const double left = tenths((A4.width() - gridWidth) / 2);
    const double top = tenths((A4.height() - gridHeight) / 2);
    for (int month = 1; month <= Cards; ++month) {
        const int index = (month - 1) % (columns * rows);
        if (index == 0) {
            pages.append(SheetPage());
            pages.last().sizeMm = A4;
        }
        SheetPage &page = pages.last();
        const QPointF origin(left + (index % columns) * (w + Gutter), -(top + (index / columns) * (h + Gutter)));
        page.months.append(month);
        page.cardOrigins.append(origin);
        addCropMarks(page, origin, cardMm);
    }
    return pages;
}

} // namespace Calendar
