#ifndef LUNORIS_LOOK_H
#define LUNORIS_LOOK_H

#include "ink.h"
#include "plan.h"
#include "rota.h"

#include <QString>

#include <array>

namespace Calendar {

// The ranges of the form's inputs, in one place: the window gives them to its
// inputs, and a run or a setup file takes nothing outside them.
struct Range
{
    double minimum;
    double maximum;

    bool contains(double value) const; // false for nan
};
constexpr int FirstYear = 2000;
constexpr int LastYear = 4000;
constexpr Range FontSizeRange{1.0, 100.0};  // points
constexpr Range BoxSizeRange{1.0, 100.0};   // millimetres
constexpr Range BorderWidthRange{0.0, 99.99}; // points
constexpr Range BleedRange{0.0, 5.0};         // millimetres
constexpr Range InkLimitRange{100.0, 400.0};  // per cent of one ink
// The weeks of the Labour Code: continuous and three-shift work, two-shift
// work, and the rest.
constexpr double WeeklyHoursChoices[] = {37.5, 38.75, 40.0};

// The colours of the changes of one's own plan, in the order of Change: a
// green for leave, a pink for sickness, a grey for a day given away, an
// orange for an extra shift.
constexpr std::array<Ink, ChangeCount> StartPlanColors = {Ink{45, 0, 55, 0}, Ink{0, 45, 20, 0}, Ink{0, 0, 0, 25},
                                                          Ink{0, 35, 85, 0}};

// Files for a print shop rather than for a home printer: the card and the
// sheets with trim and bleed for the cut, made to the print shop's standard,
// and checked against what offset printing takes before they are written.
struct PrintShop
{
    bool on = false;
    double bleedMm = 3.0;     // printed beyond the cut on every side
    double inkLimit = 300.0;  // the most the four inks of a colour may add up to, in per cent

    bool operator==(const PrintShop &other) const
    {
        return on == other.on && bleedMm == other.bleedMm && inkLimit == other.inkLimit;
    }
    bool operator!=(const PrintShop &other) const { return !(*this == other); }
};

// How the calendars look, everything a setup file keeps: read from the form
// once, and what the pages, the preview and the setup file are made from.
struct Look
{
    std::array<Ink, MaximumCrews> crewColors{}; // A to F
    std::array<Ink, KindCount> kindColors{};    // in the order of kindCodes()
    QString font;
    Ink fontColor;
    double fontSizePt = 10.0;
    double boxWidthMm = 10.0;
    double boxHeightMm = 10.0;
    Ink borderColor;
    double borderWidthPt = 1.0;
    bool textOnly = false;
    bool labels = false;   // month and year above the boxes, weekday names beside them
    bool holidays = false; // a mark on public holidays
    bool crewLetters = false; // each box's crew (or kind) as a letter, for readers who cannot tell the colours apart
    Rota rota;
    int myCrew = -1;       // the crew whose shifts the boxes show; -1 for the whole team
    QString cardNote;      // a line of the user's own on the back of the wallet card
    // The crew shown's own year: its changes of the rota and their colours.
    Plan plan;
    std::array<Ink, ChangeCount> planColors = StartPlanColors;
    double weeklyHours = WeeklyHoursChoices[0]; // the working-time fund's week
    PrintShop printShop;

    // The colour of the kind `code` in one crew's view: its own, or where
    // none is set (all four inks 0), the crew's, so that a working day never
    // prints like a day off.
    Ink kindInk(QChar code) const;

    // The change of `date` for `crew`: the plan is the crew shown's own,
    // the whole team's view has none.
    const DayChange *changeOn(int crew, const QDate &date) const;
    // The kinds `crew` works on `date`, in the order worked: the rota's
    // shift unless a change drops it, and an extra shift.
    QVector<QChar> shiftsOn(int crew, const QDate &date, int firstCrew) const;
    // The shifts `crew` works in `year` and their time, its plan counted.
    CrewYear crewYear(int year, int firstCrew, int crew) const;

    // Only what the form can produce: anything else would loop over years
    // that never end, index past the colours or write nan into a PDF.
    bool isValid() const;
    // The whole team of the rota every earlier calendar had.
    bool isDefaultRota() const { return rota.isDefault() && myCrew < 0; }

    bool operator==(const Look &other) const;
    bool operator!=(const Look &other) const { return !(*this == other); }
};

} // namespace Calendar

#endif // LUNORIS_LOOK_H
