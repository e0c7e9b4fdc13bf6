#include "rota.h"

#include "characters.h"

#include <QCoreApplication>

#include <algorithm>

namespace Calendar {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Rota", text);
}

ShiftKind makeKind(char16_t code, const char *name, QTime start, int hours)
{
    return {QChar(code), QString::fromUtf8(name), start, hours};
}

// Every kind as a pattern of one's own starts with it.
QVector<ShiftKind> standardKinds()
{
    return {makeKind(u'S', "Služba", QTime(), 24), makeKind(u'D', "Denní", QTime(6, 0), 12),
            makeKind(u'N', "Noční", QTime(18, 0), 12), makeKind(u'R', "Ranní", QTime(6, 0), 8),
            makeKind(u'O', "Odpolední", QTime(14, 0), 8)};
}

int floorMod(int value, int modulus)
{
    return ((value % modulus) + modulus) % modulus;
}

QString hourText(const QTime &time)
{
    return time.minute() == 0 ? QString::number(time.hour())
                              : QStringLiteral("%1:%2").arg(time.hour()).arg(time.minute(), 2, 10, QLatin1Char('0'));
}

} // namespace

QString crewName(int crew)
{
    return QString(QChar(u'A' + crew));
}

QString ShiftKind::hoursText() const
{
    if (isAllDay())
        return {};
    return QStringLiteral("%1–%2").arg(hourText(start), hourText(start.addSecs(hours * 3600)));
}

bool ShiftKind::operator==(const ShiftKind &other) const
{
    return code == other.code && name == other.name && start == other.start && hours == other.hours;
}

QString kindCodes()
{
    return QStringLiteral("SDNRO");
}

int kindIndex(QChar code)
{
    return kindCodes().indexOf(code);
}

Rota::Rota()
    : kinds(standardKinds())
{
}

Rota Rota::fromPreset(int index)
{
    Rota rota;
    rota.preset = index;
    ShiftKind &service = rota.kinds[kindIndex(u'S')];
    ShiftKind &night = rota.kinds[kindIndex(u'N')];
    switch (index) {
    case 1:
        rota.pattern = QStringLiteral("S---");
        rota.crews = 4;
        service.start = QTime(7, 0);
        break;
    case 2:
        rota.pattern = QStringLiteral("DN--");
        rota.crews = 4;
        break;
    case 3:
    case 4:
        rota.pattern = index == 3 ? QStringLiteral("RROONN--") : QStringLiteral("RROONN----");
        rota.crews = index == 3 ? 4 : 5;
        night.start = QTime(22, 0);
        night.hours = 8;
        break;
    default:
        rota.preset = 0;
        break;
    }
    return rota;
}

QStringList Rota::presetNames()
{
    return {tr("Tři směny po 24 h (A–C)"), tr("Čtyři směny po 24 h (A–D)"),
            tr("12 h: denní, noční, 2 dny volna (A–D)"), tr("8 h: 2 ranní, 2 odpolední, 2 noční, 2 volna (A–D)"),
            tr("8 h: 2 ranní, 2 odpolední, 2 noční, 4 volna (A–E)"), tr("Vlastní")};
}

QString Rota::problem() const
{
    if (crews < MinimumCrews || crews > MaximumCrews)
        return tr("Počet směn musí být %1 až %2.").arg(MinimumCrews).arg(MaximumCrews);
    if (pattern.isEmpty())
        return tr("Napište rozpis jedné směny den po dni, například DN-- "
                  "(D denní, N noční, R ranní, O odpolední, S služba, - volno).");
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar code = pattern.at(i);
        if (code != QLatin1Char('-') && kindIndex(code) < 0)
            return tr("Znak „%1“ v rozpisu nelze použít: jen S, D, N, R, O a - (volno).")
                .arg(readableCharacter(clusterAt(pattern, i)));
    }
    if (pattern.count(QLatin1Char('-')) == pattern.size())
        return tr("V rozpisu není žádný den služby.");
    if (pattern.size() % crews != 0)
        return tr("Délka rozpisu (%1) musí být násobkem počtu směn (%2).").arg(pattern.size()).arg(crews);
    return {};
}

bool Rota::isDefault() const
{
    return pattern == QLatin1String("S--") && crews == 3 && kind(u'S').isAllDay();
}

const ShiftKind &Rota::kind(QChar code) const
{
    const int index = kindIndex(code);
    return kinds.at(index >= 0 ? index : 0);
}

QVector<ShiftKind> Rota::usedKinds() const
{
    QVector<ShiftKind> used;
    for (const ShiftKind &each : kinds) {
        if (pattern.contains(each.code))
            used.append(each);
    }
    // By start time from the top of the box: an all-day kind, then the day
    // in the order it is worked.
    std::stable_sort(used.begin(), used.end(), [](const ShiftKind &a, const ShiftKind &b) {
        if (a.isAllDay() != b.isAllDay())
            return a.isAllDay();
        return !a.isAllDay() && a.start < b.start;
    });
    return used;
}

QChar Rota::codeOf(int crew, int day, int firstCrew) const
{
    // Cheap enough for every day of a year; the rest of problem() is the
    // caller's to check once.
    if (crews <= 0 || cycle() == 0 || cycle() % crews != 0)
        return QLatin1Char('-');
    const int behind = floorMod(crew - firstCrew, crews);
    return pattern.at(floorMod(day - behind * (cycle() / crews), cycle()));
}

QVector<int> Rota::crewsOn(QChar code, int day, int firstCrew) const
{
    QVector<int> on;
    for (int crew = 0; crew < crews; ++crew) {
        if (codeOf(crew, day, firstCrew) == code)
            on.append(crew);
    }
    return on;
}

bool Rota::operator==(const Rota &other) const
{
    return preset == other.preset && pattern == other.pattern && crews == other.crews && kinds == other.kinds;
}

CrewYear crewYear(const Rota &rota, int year, int firstCrew, int crew)
{
    CrewYear total;
    const int days = QDate(year, 1, 1).daysInYear();
    for (int day = 0; day < days; ++day) {
        const QChar code = rota.codeOf(crew, day, firstCrew);
        if (code == QLatin1Char('-'))
            continue;
        ++total.shifts;
        total.hours += rota.kind(code).hours;
    }
    return total;
}

QString shiftsAndHours(const CrewYear &total)
{
    // 1 směna, 2 to 4 směny, 5 and more směn.
    const int shifts = total.shifts;
    const char *noun = shifts == 1 ? "směna" : (shifts >= 2 && shifts <= 4) ? "směny" : "směn";
    return tr("%1 %2, %3 h").arg(shifts).arg(tr(noun)).arg(total.hours);
}

QString crewYearText(int crew, const CrewYear &total)
{
    return QStringLiteral("%1: %2").arg(crewName(crew), shiftsAndHours(total));
}

int dayOfYear(const QDate &date)
{
    return int(QDate(date.year(), 1, 1).daysTo(date));
}

} // namespace Calendar
