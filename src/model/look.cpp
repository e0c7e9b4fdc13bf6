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

const DayChange *Look::changeOn(int crew, const QDate &date) const
{
    if (crew < 0 || crew != myCrew)
        return nullptr;
    const auto change = plan.constFind(date);
    return change == plan.constEnd() ? nullptr : &*change;
}

QVector<QChar> Look::shiftsOn(int crew, const QDate &date, int firstCrew) const
{
    QVector<QChar> shifts;
    const QChar code = rota.codeOf(crew, date, firstCrew);
    const DayChange *change = changeOn(crew, date);
    if (code != QLatin1Char('-') && !(change && change->dropsShift()))
        shifts.append(code);
    if (change && change->change == Change::Extra)
        shifts.append(change->kind);
    return shifts;
}

CrewYear Look::crewYear(int year, int firstCrew, int crew) const
{
    CrewYear total;
    for (QDate date(year, 1, 1); date.year() == year; date = date.addDays(1)) {
        for (const QChar code : shiftsOn(crew, date, firstCrew)) {
            ++total.shifts;
            total.minutes += rota.kind(code).minutesOn(date);
        }
    }
    return total;
}

bool Look::isValid() const
{
    const auto valid = [](const Ink &ink) { return ink.isValid(); };
    const auto validChange = [](const DayChange &change) {
        return change.note.size() <= MaximumNoteLength
               && (change.change != Change::Extra || kindIndex(change.kind) >= 0);
    };
    if (!std::all_of(planColors.begin(), planColors.end(), valid) || !std::all_of(plan.begin(), plan.end(), validChange)
        || std::find(std::begin(WeeklyHoursChoices), std::end(WeeklyHoursChoices), weeklyHours)
               == std::end(WeeklyHoursChoices))
        return false;
    return FontSizeRange.contains(fontSizePt) && BoxSizeRange.contains(boxWidthMm)
           && BoxSizeRange.contains(boxHeightMm) && BorderWidthRange.contains(borderWidthPt)
           && fontColor.isValid() && borderColor.isValid()
           && std::all_of(crewColors.begin(), crewColors.end(), valid)
           && std::all_of(kindColors.begin(), kindColors.end(), valid) && rota.isValid()
           && myCrew >= -1 && myCrew < rota.crews && BleedRange.contains(printShop.bleedMm)
           && InkLimitRange.contains(printShop.inkLimit);
}

bool Look::operator==(const Look &other) const
{
    return crewColors == other.crewColors && kindColors == other.kindColors && font == other.font
           && fontColor == other.fontColor && fontSizePt == other.fontSizePt && boxWidthMm == other.boxWidthMm
           && boxHeightMm == other.boxHeightMm && borderColor == other.borderColor
           && borderWidthPt == other.borderWidthPt && textOnly == other.textOnly && labels == other.labels
           && holidays == other.holidays && crewLetters == other.crewLetters && rota == other.rota && myCrew == other.myCrew
           && cardNote == other.cardNote && plan == other.plan && planColors == other.planColors
           && weeklyHours == other.weeklyHours && printShop == other.printShop;
}

} // namespace Calendar
