#include "plan.h"

#include "rota.h"

#include <QCoreApplication>

namespace Calendar {

namespace {

struct ChangeText
{
    const char *name;
    const char *key;
    const char *code;
};

const ChangeText Texts[ChangeCount] = {
    {"Dovolená", "dovolena", "DOV"}, {"Nemoc", "nemoc", "NEM"}, {"Volno", "volno", "VOL"}, {"Směna navíc", "navic", "+"}};

const ChangeText &textOf(Change change)
{
    return Texts[int(change)];
}

} // namespace

QString changeName(Change change)
{
    return QCoreApplication::translate("Plan", textOf(change).name);
}

QString changeKey(Change change)
{
    return QLatin1String(textOf(change).key);
}

QString dayCount(int days)
{
    const char *noun = days == 1 ? "den" : (days >= 2 && days <= 4) ? "dny" : "dní";
    return QStringLiteral("%1 %2").arg(days).arg(QCoreApplication::translate("Plan", noun));
}

QString DayChange::code() const
{
    const QString code = QString::fromLatin1(textOf(change).code);
    return change == Change::Extra ? code + kind : code;
}

QString DayChange::value() const
{
    QString value = changeKey(change);
    if (change == Change::Extra)
        value += QLatin1Char(':') + kind;
    if (!note.isEmpty())
        value += QLatin1Char(';') + note;
    return value;
}

bool DayChange::fromValue(const QString &value, DayChange *change)
{
    // The note is whatever follows the first ';', semicolons and all.
    const int noteAt = value.indexOf(QLatin1Char(';'));
    const QString word = noteAt < 0 ? value : value.left(noteAt);
    DayChange read;
    read.note = noteAt < 0 ? QString() : value.mid(noteAt + 1);
    if (read.note.size() > MaximumNoteLength)
        return false;
    for (int index = 0; index < ChangeCount; ++index) {
        const Change each = Change(index);
        const QString key = changeKey(each);
        if (each == Change::Extra) {
            if (word.size() == key.size() + 2 && word.startsWith(key + QLatin1Char(':'))
                && kindIndex(word.back()) >= 0) {
                read.change = each;
                read.kind = word.back();
                *change = read;
                return true;
            }
        } else if (word == key) {
            read.change = each;
            *change = read;
            return true;
        }
    }
    return false;
}

bool DayChange::operator==(const DayChange &other) const
{
    return change == other.change && kind == other.kind && note == other.note;
}

} // namespace Calendar
