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

// How a file goes to a print shop, where `on`: a PDF/X-1a:2001 file for
// coated offset paper (FOGRA39), each page with the cut of its product as its
// trim box and `bleedMm` printed beyond it on every side as its bleed box,
// the crop marks in the colour of every plate, and `title` as its title.
struct PrintShopFile
{
    bool on = false;
    double bleedMm = 0.0;
    QString title;
};

// The output condition the print-shop files name: a characterisation of
// the ICC's registry, which a print shop's software knows by this name.
constexpr char PrintShopCondition[] = "FOGRA39";
constexpr char PrintShopConditionRegistry[] = "http://www.color.org";

// The calendar of one month: a page of the model's size, a PDF 1.3 in compact
// mode, in the run's font (prepared); with `trimBox` the page is the cut.
// Never throws.
PdfBytes renderMonth(const PdfRunFont &font, const MonthModel &model, bool trimBox = false);

// The print sheet of the year: the twelve months' cards, each drawn as its
// own file and cut to its size, at their true size on the pages of `sheet`
// with crop marks, in one document; for a print shop a month to a page, see
// layOutPrintShopSheet. Never throws.
PdfBytes renderSheet(const PdfRunFont &font, const QVector<MonthModel> &months, const QVector<SheetPage> &sheet,
                     const PrintShopFile &printShop = {});

// The wallet card's two files: the card at its true size, the front on the
// first page and the back on the second; and the card on A4 for home
// printing, as many fronts as fit on the first page, each back on the second
// page at the place behind its front when the sheet is turned over its long
// edge, with crop marks. Each face is drawn once for both. With `crewCards`
// the sheet holds those cards instead, one each. For a print shop
// (`cardFile`, `sheetFile`) the card is printed with its bleed, the sheet a
// card to a page. Never throws.
struct CardPdfs
{
    PdfBytes card;
    PdfBytes sheet;
};
CardPdfs renderCardFiles(const PdfRunFont &font, const CardModel &card, const QVector<CardModel> &crewCards = {},
                         const PrintShopFile &cardFile = {}, const PrintShopFile &sheetFile = {});

// How the card sheet is laid out: its fronts, each page of them followed by
// the backs behind them; copies of one card on a page where `cards` is 0.
QVector<SheetPage> cardSheet(int cards = 0, const PrintShopFile &printShop = {});

} // namespace Calendar

#endif // LUNORIS_CALENDARPDF_H
