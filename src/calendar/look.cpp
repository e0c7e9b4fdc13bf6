#include "look.h"

#include <QDataStream>

#include <algorithm>
#include <cmath>

namespace Calendar {

namespace {

constexpr int InkMaximum = 100;

bool isPercentage(int value)
{
    return value >= 0 && value <= InkMaximum;
}

} // namespace

bool Range::contains(double value) const
{
    return std::isfinite(value) && value >= minimum && value <= maximum;
}

Cmyk Ink::cmyk() const
{
    return {cyan / 100.0, magenta / 100.0, yellow / 100.0, black / 100.0};
}

bool Ink::isValid() const
{
    return isPercentage(cyan) && isPercentage(magenta) && isPercentage(yellow) && isPercentage(black);
}

QByteArray Ink::state() const
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << qint32(cyan) << qint32(magenta) << qint32(yellow) << qint32(black);
    return bytes;
}

Ink Ink::fromState(const QByteArray &state)
{
    // A short read leaves 0 in every value it could not fill.
    QDataStream stream(state);
    qint32 values[4] = {0, 0, 0, 0};
    for (qint32 &value : values)
        stream >> value;
    const auto percent = [](qint32 value) { return int(std::clamp<qint32>(value, 0, InkMaximum)); };
    return {percent(values[0]), percent(values[1]), percent(values[2]), percent(values[3])};
}

bool Ink::operator==(const Ink &other) const
{
    return cyan == other.cyan && magenta == other.magenta && yellow == other.yellow && black == other.black;
}

bool Look::isValid() const
{
    const auto valid = [](const Ink &ink) { return ink.isValid(); };
    return FontSizeRange.contains(fontSizePt) && BoxSizeRange.contains(boxWidthMm)
           && BoxSizeRange.contains(boxHeightMm) && BorderWidthRange.contains(borderWidthPt)
           && fontColor.isValid() && borderColor.isValid()
           && std::all_of(crewColors.begin(), crewColors.end(), valid)
           && std::all_of(kindColors.begin(), kindColors.end(), valid) && rota.isValid()
           && myCrew >= -1 && myCrew < rota.crews;
}

bool Look::operator==(const Look &other) const
{
    return crewColors == other.crewColors && kindColors == other.kindColors && font == other.font
           && fontColor == other.fontColor && fontSizePt == other.fontSizePt && boxWidthMm == other.boxWidthMm
           && boxHeightMm == other.boxHeightMm && borderColor == other.borderColor
           && borderWidthPt == other.borderWidthPt && textOnly == other.textOnly && labels == other.labels
           && holidays == other.holidays && rota == other.rota && myCrew == other.myCrew
           && cardNote == other.cardNote;
}

} // namespace Calendar
