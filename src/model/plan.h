#ifndef LUNORIS_PLAN_H
#define LUNORIS_PLAN_H

#include <QChar>
#include <QDate>
#include <QMap>
#include <QString>

namespace Calendar {

// How a day of one's own year differs from the rota.
enum class Change {
    Leave, // "Dovolená": the shift is not worked
    Sick,  // "Nemoc": sick leave or a doctor's day, not worked
    Off,   // "Volno": a shift given away or swapped out
    Extra  // "Směna navíc": an extra or swapped-in shift of one of the kinds
};
constexpr int ChangeCount = 4;

// The Czech name ("Dovolená"), the word a setup file keeps ("dovolena") and
// the short code a page prints ("DOV") of each change.
QString changeName(Change change);
QString changeKey(Change change);

// One day's change, with the kind of an extra shift and a note of the
// user's own ("výměna s Petrem").
struct DayChange
{
    Change change = Change::Leave;
    QChar kind; // the kind worked, for Change::Extra only
    QString note;

    // "DOV", "NEM", "VOL", or "+" and the kind: "+N".
    QString code() const;
    // Whether the rota's shift of the day is not worked.
    bool dropsShift() const { return change != Change::Extra; }

    // As a setup file keeps it: "dovolena", "navic:N", "volno;výměna s
    // Petrem".
    QString value() const;
    // Reads such a value; false for anything else.
    static bool fromValue(const QString &value, DayChange *change);

    bool operator==(const DayChange &other) const;
    bool operator!=(const DayChange &other) const { return !(*this == other); }
};

// "1 den", "3 dny", "15 dní".
QString dayCount(int days);

// One's own changes of the rota, at most one a day.
using Plan = QMap<QDate, DayChange>;

// The longest note a change keeps: a few words on a card.
constexpr int MaximumNoteLength = 60;

} // namespace Calendar

#endif // LUNORIS_PLAN_H
