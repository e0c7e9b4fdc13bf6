#ifndef LUNORIS_ICALENDAR_H
#define LUNORIS_ICALENDAR_H

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVector>

namespace Calendar {

// One content line in UTF-8, folded after 75 octets without splitting a
// character, each part ended with CRLF.
QByteArray contentLine(const QString &line);

// One event of a phone calendar in Prague's wall-clock time: whole days
// (no times, `endDate` the day after the last), or a start and an end as the
// roster says them, also on the nights the clocks change.
struct PhoneEvent
{
    // The same shift keeps its identifier from run to run, so that a phone
    // updates it instead of adding it twice.
    QString uid;
    QDate startDate;
    QTime startTime; // invalid for whole days
    QDate endDate;
    QTime endTime;
    QString summary;
    bool busy = true; // whether it makes the person busy in shared calendars

    // How the file says it: the how-many-th change of the event, and
    // whether it no longer holds. An event to publish leaves both alone.
    int sequence = 0;
    bool cancelled = false;

    bool isAllDay() const { return !startTime.isValid(); }
    // Everything a phone shows or keeps of it, not how many changes it took.
    bool sameAs(const PhoneEvent &other) const;
};

// The events of a calendar file that this program wrote under `name`, as
// the file says them; nothing for any other file or one it cannot read.
QVector<PhoneEvent> readPhoneCalendar(const QByteArray &file, const QString &name);
// The same for the file at `path`, when it is a regular file of a size
// that one of ours can have.
QVector<PhoneEvent> readPhoneCalendarFile(const QString &path, const QString &name);

// `events` as the next version of the `published` ones: an event kept as
// it was keeps its sequence, a changed one (also one back from being
// cancelled) counts one more, a new one starts at 0; one the new events no
// longer have is cancelled with one more, and stays cancelled, so that a
// phone that missed an import still learns it. By start, cancelled ones
// after live ones of the same time.
QVector<PhoneEvent> updateOf(const QVector<PhoneEvent> &published, const QVector<PhoneEvent> &events);

// An iCalendar file (RFC 5545) named `name` that publishes `events`, made
// at `stamp`. Prague's time zone goes with it where an event has a time.
QByteArray phoneCalendar(const QString &name, const QVector<PhoneEvent> &events, const QDateTime &stamp);

} // namespace Calendar

#endif // LUNORIS_ICALENDAR_H
