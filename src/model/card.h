#ifndef LUNORIS_CARD_H
#define LUNORIS_CARD_H

#include "look.h"
#include "pagemodel.h"

#include <QSizeF>
#include <QString>
#include <QVector>

namespace Calendar {

// A bank card's size (ISO/IEC 7810 ID-1): the card fits a wallet behind it.
constexpr double CardWidthMm = 85.60;
constexpr double CardHeightMm = 53.98;

// One side of the wallet card: its parts drawn as pages are, each in the
// card's own coordinates (millimetres from its top-left corner, y growing
// upwards) and each cut to the card.
struct CardFace
{
    QVector<MonthModel> parts;

    QSizeF sizeMm() const { return {CardWidthMm, CardHeightMm}; }
    QString text() const;
};

// The whole year on a card: on the front the twelve months, a week a row,
// each day coloured as the month cards colour it; on the back what the
// colours mean, the year's shifts and hours, the public holidays when they
// are marked, and the user's own line.
struct CardModel
{
    CardFace front;
    CardFace back;
};

// Day numbers on the card are never smaller than this, so that it reads at
// arm's length.
constexpr double CardNumberMinimumPt = 4.5;

CardModel layOutCard(int year, int firstCrew, const Look &look, const TextFont &font);

// Every character the card of `year` may print, to measure the font with.
QString cardCharacters(int year, int firstCrew, const Look &look);

// A card for every crew of the rota, for one person to print for everyone:
// `crew`'s card shows that crew's shifts, and one's own plan only where it
// is that crew's.
Look crewLook(const Look &look, int crew);
QVector<CardModel> layOutCrewCards(int year, int firstCrew, const Look &look, const TextFont &font);
// Every character those cards may print.
QString crewCardCharacters(int year, int firstCrew, const Look &look);

} // namespace Calendar

#endif // LUNORIS_CARD_H
