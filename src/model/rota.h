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
    bool operator==(const ShiftKind &other) const;
    bool operator!=(const ShiftKind &other) const { return !(*this == other); }
};

// The codes a pattern may use besides '-' for a day off, in a fixed order
// that the kinds' colours follow.
QString kindCodes();
constexpr int KindCount = 5;
int kindIndex(QChar code); // -1 for anything that is not a kind

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

    Rota();
    static Rota fromPreset(int index);

    int cycle() const { return pattern.size(); }
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

    // The code that `crew` works `day` days after 1 January, when `firstCrew`
    // stands at the start of the pattern on 1 January; '-' on a day off.
    QChar codeOf(int crew, int day, int firstCrew) const;
    // The crews that work `code` on `day`, in the order of their names.
    QVector<int> crewsOn(QChar code, int day, int firstCrew) const;

    bool operator==(const Rota &other) const;
    bool operator!=(const Rota &other) const { return !(*this == other); }
};

// The shifts a crew works in a year and the hours they add up to.
struct CrewYear
{
    int shifts = 0;
    int hours = 0;
};
CrewYear crewYear(const Rota &rota, int year, int firstCrew, int crew);
// "183 směn, 2196 h", with the Czech forms of the count.
QString shiftsAndHours(const CrewYear &total);
// "A: 183 směn, 2196 h".
QString crewYearText(int crew, const CrewYear &total);

// Days from 1 January of its year, 0 for 1 January.
int dayOfYear(const QDate &date);

} // namespace Calendar

#endif // LUNORIS_ROTA_H
