#include "look.h"

#include <algorithm>
#include <cmath>

namespace Calendar {

bool Range::contains(double value) const
{
    return std::isfinite(value) && value >= minimum && value <= maximum;
}

Ink Look::kindInk(QChar code) const
{
    const int kind = kindIndex(code);
    const Ink own = kind >= 0 ? kindColors[size_t(kind)] : Ink();
    if (!own.isWhite() || myCrew < 0 || myCrew >= MaximumCrews)
        return own;
    return crewColors[size_t(myCrew)];
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
