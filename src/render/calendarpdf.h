#ifndef LUNORIS_CALENDARPDF_H
#define LUNORIS_CALENDARPDF_H

#include "model/card.h"
#include "model/pagemodel.h"
#include "model/sheet.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace Calendar {

class PdfRunFont;

// A calendar's PDF built in memory, or the PDF library's own words for why it
// could not be built.
struct PdfBytes
{
    QByteArray bytes;
    bool failed = false;
    QString detail;

    bool ok() const { return !failed; }
};

// The calendar of one month: a page of the model's size, a PDF 1.3 in compact
// mode, in the run's font (prepared). Never throws.
PdfBytes renderMonth(const PdfRunFont &font, const MonthModel &model);

// The print sheet of the year: the twelve months' cards, each drawn as its
// own file and cut to its size, at their true size on the pages of `sheet`
// with crop marks, in one document. Never throws.
PdfBytes renderSheet(const PdfRunFont &font, const QVector<MonthModel> &months, const QVector<SheetPage> &sheet);

// The wallet card's two files: the card at its true size, the front on the
// first page and the back on the second; and the card on A4 for home
// printing, as many fronts as fit on the first page, each back on the second
// page at the place behind its front when the sheet is turned over its long
// edge, with crop marks. Each face is drawn once for both. Never throws.
struct CardPdfs
{
    PdfBytes card;
    PdfBytes sheet;
};
CardPdfs renderCardFiles(const PdfRunFont &font, const CardModel &card);

// How the card sheet is laid out: its fronts, and the backs behind them.
QVector<SheetPage> cardSheet();

} // namespace Calendar

#endif // LUNORIS_CALENDARPDF_H
