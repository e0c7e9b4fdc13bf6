#include "preflight.h"

#include <algorithm>
#include <limits>

namespace Calendar {

namespace {

// Sizes come through single precision and millimetres: a hair below a limit
// is at it.
constexpr double Tolerance = 1e-4;

double inkSum(const Cmyk &color)
{
    return 100.0 * (color.cyan + color.magenta + color.yellow + color.black);
}

QRectF textArea(const QString &text, double sizeMm, const QPointF &baseline, const TextFont &font)
{
    const float size = float(sizeMm);
    const double top = baseline.y() + font.ascentAt(size);
    const double bottom = baseline.y() + font.descentAt(size);
    return QRectF(baseline.x(), bottom, font.widthAt(text, size), top - bottom);
}

// How far `area` keeps from the cut, inside it; negative where it crosses.
double distanceFromCut(const QRectF &area, const QRectF &trim)
{
    return std::min({area.left() - trim.left(), trim.right() - area.right(), area.top() - trim.top(),
                     trim.bottom() - area.bottom()});
}

bool touchesCut(const QRectF &area, const QRectF &trim)
{
    return area.left() <= trim.left() + Tolerance || area.right() >= trim.right() - Tolerance
           || area.top() <= trim.top() + Tolerance || area.bottom() >= trim.bottom() - Tolerance;
}

} // namespace

bool PreflightFinding::operator==(const PreflightFinding &other) const
{
    return rule == other.rule && place == other.place && value == other.value && limit == other.limit
           && color == other.color;
}

QVector<PreflightFinding> preflightPage(const QVector<MonthModel> &parts, const QRectF &trimMm, const QString &place,
                                        double inkLimit, const TextFont &font)
{
    double mostInk = 0.0;
    Cmyk inkiest;
    double smallestType = std::numeric_limits<double>::infinity();
    double thinnestLine = std::numeric_limits<double>::infinity();
    double nearest = std::numeric_limits<double>::infinity();
    const auto color = [&](const Cmyk &used) {
        if (inkSum(used) > mostInk) {
            mostInk = inkSum(used);
            inkiest = used;
        }
    };
    const auto keepsOff = [&](const QRectF &area) { nearest = std::min(nearest, distanceFromCut(area, trimMm)); };
    const auto filled = [&](const Fill &fill) {
        color(fill.color);
        if (!touchesCut(fill.area, trimMm))
            keepsOff(fill.area);
    };

    for (const MonthModel &part : parts) {
        const bool boxes = !part.textOnly && !part.days.isEmpty();
        const bool lines = boxes || !part.swatches.isEmpty();
        const double halfLine = part.borderWidthMm / 2;
        if (lines) {
            color(part.borderColor);
            thinnestLine = std::min(thinnestLine, part.borderWidthMm * PointsPerMm);
        }
        if (!part.days.isEmpty() || !part.labels.isEmpty())
            color(part.fontColor);
        for (const DayCell &day : part.days) {
            if (boxes) {
                keepsOff(QRectF(day.box.topLeft(), QSizeF(part.boxWidthMm, part.boxHeightMm))
                             .adjusted(-halfLine, -halfLine, halfLine, halfLine));
                for (const Fill &fill : day.fills)
                    filled(fill);
            }
            if (day.holiday)
                keepsOff(day.mark.boundingRect());
            smallestType = std::min(smallestType, double(part.numberSizeMm) * PointsPerMm);
            keepsOff(textArea(day.number, part.numberSizeMm, day.baseline, font));
        }
        for (const TextLabel &label : part.labels) {
            smallestType = std::min(smallestType, label.sizePt);
            keepsOff(textArea(label.text, label.sizePt / PointsPerMm, label.baseline, font));
        }
        for (const Fill &swatch : part.swatches) {
            color(swatch.color);
            if (!touchesCut(swatch.area, trimMm))
                keepsOff(swatch.area.adjusted(-halfLine, -halfLine, halfLine, halfLine));
        }
    }

    QVector<PreflightFinding> findings;
    using Rule = PreflightFinding::Rule;
    if (mostInk > inkLimit + Tolerance)
        findings.append({Rule::InkLimit, place, mostInk, inkLimit, inkiest});
    if (smallestType < MinimumTypePt - Tolerance)
        findings.append({Rule::SmallType, place, smallestType, MinimumTypePt, {}});
    if (thinnestLine < MinimumLinePt - Tolerance)
        findings.append({Rule::ThinLine, place, thinnestLine, MinimumLinePt, {}});
    if (nearest < SafeMarginMm - Tolerance)
        findings.append({Rule::NearCut, place, nearest, SafeMarginMm, {}});
    return findings;
}

QRectF runOnToBleed(const QRectF &area, const QRectF &trimMm, double bleedMm)
{
    QRectF bled = area;
    if (area.left() <= trimMm.left() + Tolerance)
        bled.setLeft(std::min(area.left(), trimMm.left() - bleedMm));
    if (area.right() >= trimMm.right() - Tolerance)
        bled.setRight(std::max(area.right(), trimMm.right() + bleedMm));
    if (area.top() <= trimMm.top() + Tolerance)
        bled.setTop(std::min(area.top(), trimMm.top() - bleedMm));
    if (area.bottom() >= trimMm.bottom() - Tolerance)
        bled.setBottom(std::max(area.bottom(), trimMm.bottom() + bleedMm));
    return bled;
}

void runOnToBleed(QVector<MonthModel> &parts, const QRectF &trimMm, double bleedMm)
{
    for (MonthModel &part : parts) {
        for (DayCell &day : part.days) {
            for (Fill &fill : day.fills)
                fill.area = runOnToBleed(fill.area, trimMm, bleedMm);
        }
        for (Fill &swatch : part.swatches)
            swatch.area = runOnToBleed(swatch.area, trimMm, bleedMm);
    }
}

} // namespace Calendar
