#ifndef LUNORIS_LOOK_H
#define LUNORIS_LOOK_H

#include "ink.h"
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
    Rota rota;
    int myCrew = -1;       // the crew whose shifts the boxes show; -1 for the whole team
    QString cardNote;      // a line of the user's own on the back of the wallet card

    // The colour of the kind `code` in one crew's view: its own, or where
    // none is set (all four inks 0), the crew's, so that a working day never
    // prints like a day off.
    Ink kindInk(QChar code) const;

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
