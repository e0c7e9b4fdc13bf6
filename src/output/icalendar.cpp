#include "icalendar.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace Calendar {

namespace {

constexpr int MaximumLineOctets = 75;
// A year of shifts with every day cancelled once is a few hundred
// kilobytes; anything much larger is not a file of ours.
constexpr qint64 MaximumFileOctets = 1 << 20;

const char *const PragueTimeZone[] = {
    "BEGIN:VTIMEZONE",         "TZID:Europe/Prague",
    "BEGIN:DAYLIGHT",          "TZOFFSETFROM:+0100",
    "TZOFFSETTO:+0200",        "TZNAME:CEST",
    "DTSTART:19700329T020000", "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU",
    "END:DAYLIGHT",            "BEGIN:STANDARD",
    "TZOFFSETFROM:+0200",      "TZOFFSETTO:+0100",
    "TZNAME:CET",              "DTSTART:19701025T030000",
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU", "END:STANDARD",
    "END:VTIMEZONE"};

const QString Zone = QStringLiteral("Europe/Prague");
const QString DateFormat = QStringLiteral("yyyyMMdd");
const QString TimeFormat = QStringLiteral("yyyyMMdd'T'HHmmss");

QString escapedText(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char(';'), QLatin1String("\\;"))
        .replace(QLatin1Char(','), QLatin1String("\\,"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

QString unescapedText(const QString &text)
{
    QString plain;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('\\') || i + 1 == text.size()) {
            plain.append(text.at(i));
            continue;
        }
        const QChar next = text.at(++i);
        plain.append(next == QLatin1Char('n') || next == QLatin1Char('N') ? QChar(QLatin1Char('\n')) : next);
    }
    return plain;
}

// ";VALUE=DATE:20270305" or ";TZID=Europe/Prague:20270305T060000".
QString whenText(const QDate &date, const QTime &time)
{
    if (!time.isValid())
        return QStringLiteral(";VALUE=DATE:") + date.toString(DateFormat);
    return QStringLiteral(";TZID=%1:").arg(Zone) + QDateTime(date, time, Qt::UTC).toString(TimeFormat);
}

// One unfolded content line taken apart: its name in capitals, its
// parameters as written and its value.
struct Property
{
    QString name;
    QStringList parameters;
    QString value;
};

Property property(const QString &line)
{
    Property parsed;
    // The value starts at the first colon that is not inside a quoted
    // parameter value.
    bool quoted = false;
    int colon = -1;
    for (int i = 0; i < line.size() && colon < 0; ++i) {
        if (line.at(i) == QLatin1Char('"'))
            quoted = !quoted;
        else if (line.at(i) == QLatin1Char(':') && !quoted)
            colon = i;
    }
    if (colon < 0)
        return parsed;
    QStringList head = line.left(colon).split(QLatin1Char(';'));
    parsed.name = head.takeFirst().trimmed().toUpper();
    parsed.parameters = head;
    parsed.value = line.mid(colon + 1);
    return parsed;
}

bool hasParameter(const Property &property, const QString &parameter)
{
    for (const QString &each : property.parameters) {
        if (each.compare(parameter, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The number written by `count` digits of `text` from `from`, or -1.
int digitsAt(const QString &text, int from, int count)
{
    int number = 0;
    for (int i = from; i < from + count; ++i) {
        if (i >= text.size() || text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9'))
            return -1;
        number = number * 10 + (text.at(i).unicode() - '0');
    }
    return number;
}

// "yyyyMMdd" at the start of `text`, or an invalid date.
QDate dateAt(const QString &text)
{
    const int year = digitsAt(text, 0, 4), month = digitsAt(text, 4, 2), day = digitsAt(text, 6, 2);
    return year < 0 || month < 0 || day < 0 ? QDate() : QDate(year, month, day);
}

// A start or end as written by phoneCalendar(): a date, or a wall-clock
// time in Prague ("yyyyMMddTHHmmss"). Anything else leaves `date` invalid.
// Read digit by digit: a date-time parser of the toolkit would take the
// wall clock as the process's local time, looking the zone up for every
// event, and lose the hour that a change of clock skips there.
void readWhen(const Property &property, QDate *date, QTime *time)
{
    *date = QDate();
    *time = QTime();
    const QString &value = property.value;
    if (hasParameter(property, QStringLiteral("VALUE=DATE"))) {
        if (value.size() == 8)
            *date = dateAt(value);
        return;
    }
    if (!hasParameter(property, QStringLiteral("TZID=") + Zone) || value.size() != 15 || value.at(8) != QLatin1Char('T'))
        return;
    const QDate day = dateAt(value);
    const int hour = digitsAt(value, 9, 2), minute = digitsAt(value, 11, 2), second = digitsAt(value, 13, 2);
    const QTime clock = hour < 0 || minute < 0 || second < 0 ? QTime() : QTime(hour, minute, second);
    if (day.isValid() && clock.isValid()) {
        *date = day;
        *time = clock;
    }
}

// The file's content lines with folds undone; CRLF or bare line feeds.
QStringList unfoldedLines(QByteArray file)
{
    file.replace("\r\n", "\n");
    file.replace("\n ", "").replace("\n\t", "");
    QStringList lines;
    for (const QByteArray &line : file.split('\n')) {
        if (!line.isEmpty())
            lines.append(QString::fromUtf8(line));
    }
    return lines;
}

bool startsBefore(const PhoneEvent &a, const PhoneEvent &b)
{
    if (a.startDate != b.startDate)
        return a.startDate < b.startDate;
    if (a.isAllDay() != b.isAllDay())
        return a.isAllDay();
    if (a.startTime != b.startTime)
        return a.startTime < b.startTime;
    return !a.cancelled && b.cancelled;
}

} // namespace

QByteArray contentLine(const QString &line)
{
    QByteArray calendar;
    const QByteArray octets = line.toUtf8();
    int start = 0;
    int limit = MaximumLineOctets;
    while (octets.size() - start > limit) {
        int end = start + limit;
        // Never inside a UTF-8 sequence: back up to the start of one.
        while (end > start && (uchar(octets.at(end)) & 0xc0) == 0x80)
            --end;
        calendar.append(octets.mid(start, end - start)).append("\r\n ");
        start = end;
        limit = MaximumLineOctets - 1; // the leading space counts
    }
    calendar.append(octets.mid(start)).append("\r\n");
    return calendar;
}

bool PhoneEvent::sameAs(const PhoneEvent &other) const
{
    return uid == other.uid && startDate == other.startDate && startTime == other.startTime
           && endDate == other.endDate && endTime == other.endTime && summary == other.summary
           && busy == other.busy && cancelled == other.cancelled;
}

QVector<PhoneEvent> readPhoneCalendar(const QByteArray &file, const QString &name)
{
    const QStringList lines = unfoldedLines(file);
    if (lines.isEmpty() || lines.first().compare(QLatin1String("BEGIN:VCALENDAR"), Qt::CaseInsensitive) != 0)
        return {};
    bool ours = false;
    bool named = false;
    QVector<PhoneEvent> events;
    QHash<QString, int> byUid;
    PhoneEvent event;
    QStringList components;
    static const QStringList InCalendar{QStringLiteral("VCALENDAR")};
    static const QStringList InEvent{QStringLiteral("VCALENDAR"), QStringLiteral("VEVENT")};
    for (const QString &line : lines) {
        const Property read = property(line);
        if (read.name == QLatin1String("BEGIN")) {
            components.append(read.value.toUpper());
            if (components == InEvent)
                event = PhoneEvent();
            continue;
        }
        if (read.name == QLatin1String("END")) {
            if (components == InEvent
                && !event.uid.isEmpty()) {
                // An identifier twice is one event; its latest change counts.
                const auto seen = byUid.constFind(event.uid);
                if (seen == byUid.constEnd()) {
                    byUid.insert(event.uid, events.size());
                    events.append(event);
                } else if (events.at(*seen).sequence < event.sequence) {
                    events[*seen] = event;
                }
            }
            if (!components.isEmpty())
                components.removeLast();
            continue;
        }
        if (components == InCalendar) {
            if (read.name == QLatin1String("PRODID"))
                ours = read.value.startsWith(QLatin1String("-//Lunoris//"));
            else if (read.name == QLatin1String("X-WR-CALNAME"))
                named = unescapedText(read.value) == name;
            continue;
        }
        if (components != InEvent)
            continue;
        if (read.name == QLatin1String("UID"))
            event.uid = read.value;
        else if (read.name == QLatin1String("SEQUENCE"))
            event.sequence = qMax(0, read.value.trimmed().toInt());
        else if (read.name == QLatin1String("STATUS"))
            event.cancelled = read.value.trimmed().compare(QLatin1String("CANCELLED"), Qt::CaseInsensitive) == 0;
        else if (read.name == QLatin1String("DTSTART"))
            readWhen(read, &event.startDate, &event.startTime);
        else if (read.name == QLatin1String("DTEND"))
            readWhen(read, &event.endDate, &event.endTime);
        else if (read.name == QLatin1String("SUMMARY"))
            event.summary = unescapedText(read.value);
        else if (read.name == QLatin1String("TRANSP"))
            event.busy = read.value.trimmed().compare(QLatin1String("TRANSPARENT"), Qt::CaseInsensitive) != 0;
    }
    if (!ours || !named)
        return {};
    // An event whose times cannot be read cannot be said again; only its
    // identifier and sequence are of use.
    for (PhoneEvent &each : events) {
        if (!each.endDate.isValid() || each.isAllDay() != !each.endTime.isValid())
            each.startDate = QDate();
    }
    return events;
}

QVector<PhoneEvent> readPhoneCalendarFile(const QString &path, const QString &name)
{
    // A named pipe or a device would block or never end; a folder or a
    // large file is no calendar of ours.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaximumFileOctets)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readPhoneCalendar(file.read(MaximumFileOctets), name);
}

QVector<PhoneEvent> updateOf(const QVector<PhoneEvent> &published, const QVector<PhoneEvent> &events)
{
    QHash<QString, const PhoneEvent *> before;
    for (const PhoneEvent &event : published)
        before.insert(event.uid, &event);
    QVector<PhoneEvent> update;
    QSet<QString> kept;
    for (PhoneEvent event : events) {
        event.cancelled = false;
        const PhoneEvent *old = before.value(event.uid);
        event.sequence = !old ? 0 : old->sameAs(event) ? old->sequence : old->sequence + 1;
        kept.insert(event.uid);
        update.append(event);
    }
    for (const PhoneEvent &old : published) {
        if (kept.contains(old.uid) || !old.startDate.isValid())
            continue;
        PhoneEvent gone = old;
        gone.cancelled = true;
        gone.busy = false;
        gone.sequence = old.sameAs(gone) ? old.sequence : old.sequence + 1;
        update.append(gone);
    }
    std::stable_sort(update.begin(), update.end(), startsBefore);
    return update;
}

QByteArray phoneCalendar(const QString &name, const QVector<PhoneEvent> &events, const QDateTime &stamp)
{
    const QString dtstamp = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    const bool timed = std::any_of(events.begin(), events.end(), [](const PhoneEvent &event) { return !event.isAllDay(); });

    QByteArray calendar;
    calendar.append(contentLine(QStringLiteral("BEGIN:VCALENDAR")));
    calendar.append(contentLine(QStringLiteral("VERSION:2.0")));
    calendar.append(contentLine(QStringLiteral("PRODID:-//Lunoris//Lunoris 2.0//CS")));
    calendar.append(contentLine(QStringLiteral("CALSCALE:GREGORIAN")));
    calendar.append(contentLine(QStringLiteral("METHOD:PUBLISH")));
    calendar.append(contentLine(QStringLiteral("X-WR-CALNAME:") + escapedText(name)));
    if (timed) {
        for (const char *line : PragueTimeZone)
            calendar.append(contentLine(QString::fromLatin1(line)));
    }
    for (const PhoneEvent &event : events) {
        calendar.append(contentLine(QStringLiteral("BEGIN:VEVENT")));
        calendar.append(contentLine(QStringLiteral("UID:") + event.uid));
        // 0 is what a missing sequence means: a first file says nothing of it.
        if (event.sequence > 0)
            calendar.append(contentLine(QStringLiteral("SEQUENCE:%1").arg(event.sequence)));
        calendar.append(contentLine(QStringLiteral("DTSTAMP:") + dtstamp));
        calendar.append(contentLine(QStringLiteral("DTSTART") + whenText(event.startDate, event.startTime)));
        calendar.append(contentLine(QStringLiteral("DTEND") + whenText(event.endDate, event.endTime)));
        if (event.cancelled)
            calendar.append(contentLine(QStringLiteral("STATUS:CANCELLED")));
        calendar.append(contentLine(QStringLiteral("SUMMARY:") + escapedText(event.summary)));
        calendar.append(contentLine(event.busy ? QStringLiteral("TRANSP:OPAQUE") : QStringLiteral("TRANSP:TRANSPARENT")));
        calendar.append(contentLine(QStringLiteral("END:VEVENT")));
    }
    calendar.append(contentLine(QStringLiteral("END:VCALENDAR")));
    return calendar;
}

} // namespace Calendar
