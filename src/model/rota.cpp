#include "rota.h"

#include "characters.h"
#include "pragueclock.h"

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

int floorMod(qint64 value, int modulus)
{
    return int(((value % modulus) + modulus) % modulus);
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

bool RotaAnchor::operator==(const RotaAnchor &other) const
{
    return on == other.on && (!on || (date == other.date && crew == other.crew && day == other.day));
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
    // A crew works the pattern day after day, its end followed by its start:
    // a shift that lasts into the next day's one would put one crew on two
    // shifts at once. A kind worked all day has no hours on the clock.
    for (int day = 0; day < pattern.size(); ++day) {
        const QChar today = pattern.at(day);
        const QChar tomorrow = pattern.at((day + 1) % pattern.size());
        if (today == QLatin1Char('-') || tomorrow == QLatin1Char('-'))
            continue;
        const ShiftKind &first = kind(today);
        const ShiftKind &next = kind(tomorrow);
        if (!first.isAllDay() && !next.isAllDay()
            && first.start.msecsSinceStartOfDay() / 1000 + first.hours * 3600 > 24 * 3600 + next.start.msecsSinceStartOfDay() / 1000)
            return tr("Směny se překrývají: %1 (%2) ještě trvá, když další den začíná %3 (%4). "
                      "Zkraťte ji, posuňte začátek, nebo mezi ně dejte volno (-).")
                .arg(first.name, first.hoursText(), next.name, next.hoursText());
    }
    if (anchor.on) {
        if (!anchor.date.isValid())
            return tr("Zadejte datum, podle kterého se rozpis řídí.");
        if (anchor.crew < 0 || anchor.crew >= crews)
            return tr("Směna %1 v rozpisu není: směny jsou A až %2.").arg(crewName(anchor.crew), crewName(crews - 1));
        if (anchor.day < 1 || anchor.day > cycle())
            return tr("Den cyklu musí být 1 až %1.").arg(cycle());
    }
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

namespace {

// The letter of the pattern crew 0 works on 1 January of `year`: every crew
// runs `step` letters behind the one before it, and each day moves every
// crew on by one letter.
int patternStart(const Rota &rota, int year, int firstCrew)
{
    if (!rota.anchor.on || !rota.anchor.date.isValid())
        return floorMod(qint64(firstCrew) * rota.step(), rota.cycle());
    const qint64 days = rota.anchor.date.daysTo(QDate(year, 1, 1));
    return floorMod(rota.anchor.day - 1 + days + qint64(rota.anchor.crew) * rota.step(), rota.cycle());
}

} // namespace

QChar Rota::codeOf(int crew, const QDate &date, int firstCrew) const
{
    // Cheap enough for every day of a year; the rest of problem() is the
    // caller's to check once.
    if (crews <= 0 || cycle() == 0 || cycle() % crews != 0)
        return QLatin1Char('-');
    const int start = patternStart(*this, date.year(), firstCrew);
    return pattern.at(floorMod(start + qint64(dayOfYear(date)) - qint64(crew) * step(), cycle()));
}

QVector<int> Rota::crewsOn(QChar code, const QDate &date, int firstCrew) const
{
    QVector<int> on;
    for (int crew = 0; crew < crews; ++crew) {
        if (codeOf(crew, date, firstCrew) == code)
            on.append(crew);
    }
    return on;
}

YearStart Rota::yearStart(int year, int firstCrew) const
{
    if (crews <= 0 || cycle() == 0 || cycle() % crews != 0)
        return {};
    const int start = patternStart(*this, year, firstCrew);
    return {start / step(), start % step() + 1};
}

Rota Rota::anchoredAt(int year, int firstCrew) const
{
    const YearStart start = yearStart(year, firstCrew);
    Rota anchored = *this;
    anchored.anchor = {true, QDate(year, 1, 1), start.crew, start.day};
    return anchored;
}

bool Rota::operator==(const Rota &other) const
{
    return preset == other.preset && pattern == other.pattern && crews == other.crews && kinds == other.kinds
           && anchor == other.anchor;
}

int ShiftKind::minutesOn(const QDate &date) const
{
    // From its start (an all-day kind from midnight) to the hour the
    // roster gives, on Prague's clock.
    const int from = isAllDay() ? 0 : start.msecsSinceStartOfDay() / 60000;
    return int(pragueInstant(date, from + hours * 60) - pragueInstant(date, from));
}

QString bandPlace(int band, int bands)
{
    if (bands > 3)
        return tr("%1. pruh").arg(band + 1);
    if (band == 0)
        return tr("nahoře");
    return band == bands - 1 ? tr("dole") : tr("uprostřed");
}

CrewYear crewYear(const Rota &rota, int year, int firstCrew, int crew)
{
    CrewYear total;
    for (QDate date(year, 1, 1); date.year() == year; date = date.addDays(1)) {
        const QChar code = rota.codeOf(crew, date, firstCrew);
        if (code == QLatin1Char('-'))
            continue;
        ++total.shifts;
        total.minutes += rota.kind(code).minutesOn(date);
    }
    return total;
}

QString hoursText(int minutes)
{
    if (minutes % 60 == 0)
        return QString::number(minutes / 60);
    return QString::number(minutes / 60.0, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString shiftsAndHours(const CrewYear &total)
{
    // Duties, not crews: 1 služba, 2 to 4 služby, 5 and more služeb.
    const int shifts = total.shifts;
    const char *noun = shifts == 1 ? "služba" : (shifts >= 2 && shifts <= 4) ? "služby" : "služeb";
    return tr("%1 %2, %3 h").arg(shifts).arg(tr(noun)).arg(hoursText(total.minutes));
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
