#ifndef LUNORIS_INK_H
#define LUNORIS_INK_H

#include <QByteArray>

namespace Calendar {

// A colour as the PDF gets it: CMYK fractions from 0 to 1.
struct Cmyk
{
    double cyan = 0.0;
    double magenta = 0.0;
    double yellow = 0.0;
    double black = 0.0;

    bool operator==(const Cmyk &other) const;
    bool operator!=(const Cmyk &other) const { return !(*this == other); }
};

// A colour as the user enters it: whole percentages of cyan, magenta, yellow
// and black, 0 to 100 each.
struct Ink
{
    int cyan = 0;
    int magenta = 0;
    int yellow = 0;
    int black = 0;

    Cmyk cmyk() const;
    bool isWhite() const { return cyan == 0 && magenta == 0 && yellow == 0 && black == 0; }
    bool isValid() const;

    // The colour state a setup file keeps: four big-endian 32-bit integers.
    QByteArray state() const;
    // Reads a state as the colour pickers do: missing values are 0, the rest
    // kept within 0 to 100.
    static Ink fromState(const QByteArray &state);

    bool operator==(const Ink &other) const;
    bool operator!=(const Ink &other) const { return !(*this == other); }
};

} // namespace Calendar

#endif // LUNORIS_INK_H
