#include "ink.h"

#include <QDataStream>

#include <algorithm>

namespace Calendar {

namespace {

constexpr int InkMaximum = 100;

bool isPercentage(int value)
{
    return value >= 0 && value <= InkMaximum;
}

} // namespace

bool Cmyk::operator==(const Cmyk &other) const
{
    return cyan == other.cyan && magenta == other.magenta && yellow == other.yellow && black == other.black;
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

} // namespace Calendar
