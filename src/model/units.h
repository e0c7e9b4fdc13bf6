#ifndef LUNORIS_UNITS_H
#define LUNORIS_UNITS_H

namespace Calendar {

// PDF user space is scaled so that one unit is one millimetre on paper.
constexpr double PointsPerMm = 72.0 / 25.4;

} // namespace Calendar

#endif // LUNORIS_UNITS_H
