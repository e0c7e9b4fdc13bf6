#ifndef LUNORIS_HOURS_H
#define LUNORIS_HOURS_H

#include <QString>

#include <array>

namespace Calendar {

struct Look;

// A month's (or the year's) working time of one crew, in minutes as they
// pass in Prague, each minute counted on the calendar day and in the month
// it is worked in.
struct WorkingTime
{
    int shifts = 0;  // shifts that start in it
    int worked = 0;
    int night = 0;   // between 22:00 and 6:00
    int weekend = 0; // on Saturdays and Sundays
    int holiday = 0; // on Czech public holidays
    int fund = 0;    // its weekdays that are not public holidays at the week's fifth
    int difference() const { return worked - fund; }

    WorkingTime &operator+=(const WorkingTime &other);
    bool operator==(const WorkingTime &other) const;
};

struct YearTime
{
    std::array<WorkingTime, 12> months;
    WorkingTime year;
};

// The working time of `crew` in `year`: its rota, and where it is the crew
// shown, its own plan (leave, sickness and shifts given away are not worked,
// extra shifts are). A night that starts on 31 December of the year before
// counts its hours after midnight.
YearTime workingTime(const Look &look, int year, int firstCrew, int crew);

// Hours with one decimal and a decimal comma: "1890,0", "-7,5".
QString hoursFigure(int minutes);

} // namespace Calendar

#endif // LUNORIS_HOURS_H
