#ifndef LUNORIS_ROTA_H
#define LUNORIS_ROTA_H

#include <QChar>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>

namespace Calendar {

constexpr int MinimumCrews = 2;
constexpr int MaximumCrews = 6;

// "A" for crew 0 up to "F" for crew 5.
QString crewName(int crew);

// One kind of shift: a one-letter code, its Czech name, when it starts and
// how many hours it lasts. A kind without a start time is worked all day.
struct ShiftKind
{
    QChar code;
    QString name;
    QTime start;
    int hours = 24;

    bool isAllDay() const { return !start.isValid(); }
    // "6–18", "7–7" for a whole day from seven; empty for an all-day kind.
    QString hoursText() const;
    // How long it lasts when it starts on `date`, as Prague's clock runs:
    // its hours, one less or more across a change of the clocks. An all-day
    // kind starts at midnight.
    int minutesOn(const QDate &date) const;
    bool operator==(const ShiftKind &other) const;
    bool operator!=(const ShiftKind &other) const { return !(*this == other); }
};

// The codes a pattern may use besides '-' for a day off, in a fixed order
// that the kinds' colours follow.
QString kindCodes();
constexpr int KindCount = 5;
int kindIndex(QChar code); // -1 for anything that is not a kind

// The rota placed in real dates: on `date`, crew `crew` (0 for "A") works
// day `day` of its pattern (1 for the pattern's first letter). With it, the
// rota runs on from year to year by itself.
struct RotaAnchor
{
    bool on = false;
    QDate date;
    int crew = 0;
    int day = 1;

    bool operator==(const RotaAnchor &other) const;
    bool operator!=(const RotaAnchor &other) const { return !(*this == other); }
};

// Where the rota stands on 1 January: crew `crew` works day `day` of its
// pattern (1 for the first letter), the crew nearest the start of it.
struct YearStart
{
    int crew = 0;
    int day = 1;
};

// How many crews share the work and what each of them works day by day: one
// pattern that every crew follows, each crew the same number of days behind
// the one before it.
struct Rota
{
    static constexpr int PresetCount = 5;
    static constexpr int Custom = PresetCount; // a pattern of the user's own

    int preset = 0;
    QString pattern = QStringLiteral("S--");
    int crews = 3;
    // A kind for every code, also those the pattern does not use, so that a
    // pattern typed anew finds its kinds' times where they were left.
    QVector<ShiftKind> kinds;
    RotaAnchor anchor;

    Rota();
    static Rota fromPreset(int index);

    int cycle() const { return pattern.size(); }
    // How many days each crew runs behind the one before it.
    int step() const { return crews > 0 ? cycle() / crews : 0; }
    // What is wrong with the pattern and the crew count, in Czech for the
    // user; empty when the rota can be used.
    QString problem() const;
    bool isValid() const { return problem().isEmpty(); }
    // The rota of the form as it always was: three crews, each on duty for
    // a whole day in turn.
    bool isDefault() const;

    const ShiftKind &kind(QChar code) const;
    // The kinds the pattern uses, by start time, all-day kinds first.
    QVector<ShiftKind> usedKinds() const;

    // The code that `crew` works on `date`; '-' on a day off. Without an
    // anchor, `firstCrew` stands at the start of the pattern on 1 January of
    // every year; with one, the anchor alone places the rota.
    QChar codeOf(int crew, const QDate &date, int firstCrew) const;
    // The crews that work `code` on `date`, in the order of their names.
    QVector<int> crewsOn(QChar code, const QDate &date, int firstCrew) const;
    // Where the rota stands on 1 January of `year`; whether that is a first
    // crew at the start of its pattern, as the form's list can say it.
    YearStart yearStart(int year, int firstCrew) const;
    bool startsWithACrew(int year, int firstCrew) const { return yearStart(year, firstCrew).day == 1; }
    // The same rota anchored where it stands on 1 January of `year`: it
    // prints that year alike and goes on into the next.
    Rota anchoredAt(int year, int firstCrew) const;

    bool operator==(const Rota &other) const;
    bool operator!=(const Rota &other) const { return !(*this == other); }
};

// Where the box's band of `band` (0 the top one) of `bands` is: "nahoře",
// "dole", "uprostřed" between two others, "2. pruh" among four or more.
QString bandPlace(int band, int bands);

// The shifts a crew works in a year and the time they add up to, counted as
// it passes in Prague: a night across a change of the clocks is an hour
// shorter or longer than its nominal hours.
struct CrewYear
{
    int shifts = 0;
    int minutes = 0;
};
CrewYear crewYear(const Rota &rota, int year, int firstCrew, int crew);
// "183 služeb, 2196 h", with the Czech forms of the count; part of an hour
// with a decimal comma, "2195,5 h".
QString shiftsAndHours(const CrewYear &total);
// "A: 183 služeb, 2196 h".
QString crewYearText(int crew, const CrewYear &total);
// Hours from minutes: "2196", or "2195,5" with a decimal comma.
QString hoursText(int minutes);

// Days from 1 January of its year, 0 for 1 January.
int dayOfYear(const QDate &date);

} // namespace Calendar

#endif // LUNORIS_ROTA_H
