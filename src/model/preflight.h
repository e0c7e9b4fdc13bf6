#ifndef LUNORIS_PREFLIGHT_H
#define LUNORIS_PREFLIGHT_H

#include "pagemodel.h"

#include <QRectF>
#include <QString>
#include <QVector>

namespace Calendar {

// What offset printing takes, as print shops state it: type no smaller and
// lines no thinner than these, and nothing but a background closer to the
// cut than the safe margin, as the knife wanders that much.
constexpr double MinimumTypePt = 5.0;
constexpr double MinimumLinePt = 0.1;
constexpr double SafeMarginMm = 3.0;

// One thing of a printed page that a print shop would not print as it is.
struct PreflightFinding
{
    enum class Rule {
        InkLimit,  // a colour's inks add up to `value` per cent, more than the limit
        SmallType, // text of `value` points
        ThinLine,  // lines of `value` points
        NearCut    // something `value` millimetres from the cut
    };

    Rule rule = Rule::InkLimit;
    QString place; // the page it is on, in Czech: "Leden", "kartička, přední strana"
    double value = 0.0; // the worst of the page
    double limit = 0.0; // the rule's: the ink limit, MinimumTypePt, ...
    Cmyk color;         // the colour, for InkLimit

    bool operator==(const PreflightFinding &other) const;
};

// The parts of one printed page (a month's page, a side of the card) drawn
// on a page whose cut is `trimMm`, in the parts' coordinates, checked against
// `inkLimit` (per cent) and the rules above: each rule broken gives one
// finding, with the worst value of the page. A fill that runs on to the cut
// is the page's background, which may go beyond it.
QVector<PreflightFinding> preflightPage(const QVector<MonthModel> &parts, const QRectF &trimMm, const QString &place,
                                        double inkLimit, const TextFont &font);

// Where `area` meets an edge of `trimMm`, on to `bleedMm` beyond it: what
// touches the cut runs on, so that a knife a little off leaves no white edge.
QRectF runOnToBleed(const QRectF &area, const QRectF &trimMm, double bleedMm);
// The same for every fill of `parts`.
void runOnToBleed(QVector<MonthModel> &parts, const QRectF &trimMm, double bleedMm);

} // namespace Calendar

#endif // LUNORIS_PREFLIGHT_H
