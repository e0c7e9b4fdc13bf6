#include "model/rota.h"
#include "output/filenames.h"
#include "output/filewriter.h"
#include "output/icalendar.h"
#include "support/timezone.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <cerrno>

using namespace Calendar;
using TestSupport::TimeZone;

namespace {

// An event in one line: "uid 3 cancelled free 2027-01-01T18:00 2027-01-02T06:00
// Noční", "cancelled" and "free" only where they hold, "?" for a time that
// cannot be read.
QString described(const PhoneEvent &event)
{
    const auto when = [](const QDate &date, const QTime &time) {
        if (!date.isValid())
            return QStringLiteral("?");
        return date.toString(Qt::ISODate) + (time.isValid() ? time.toString(QStringLiteral("'T'HH:mm")) : QString());
    };
    QStringList words{event.uid, QString::number(event.sequence)};
    if (event.cancelled)
        words.append(QStringLiteral("cancelled"));
    if (!event.busy)
        words.append(QStringLiteral("free"));
    return (words + QStringList{when(event.startDate, event.startTime), when(event.endDate, event.endTime), event.summary})
        .join(QLatin1Char(' '));
}

QStringList described(const QVector<PhoneEvent> &events)
{
    QStringList lines;
    for (const PhoneEvent &event : events)
        lines.append(described(event));
    return lines;
}

// A night from 18:00 of `day` in January 2027 to 06:00 the next morning, or
// the whole day.
PhoneEvent shift(const QString &uid, int day, bool night = true, int sequence = 0, bool cancelled = false)
{
    PhoneEvent event;
    event.uid = uid;
    event.startDate = QDate(2027, 1, day);
    event.endDate = event.startDate.addDays(1);
    if (night) {
        event.startTime = QTime(18, 0);
        event.endTime = QTime(6, 0);
    }
    event.summary = night ? QStringLiteral("Noční – Směna A") : QStringLiteral("Směna A");
    event.busy = night && !cancelled;
    event.sequence = sequence;
    event.cancelled = cancelled;
    return event;
}

// A calendar file as a phone might have been given it, each line ended
// with CRLF.
QByteArray calendarFile(const QStringList &lines)
{
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

const QStringList Head{QStringLiteral("BEGIN:VCALENDAR"), QStringLiteral("VERSION:2.0"),
                       QStringLiteral("PRODID:-//Lunoris//Lunoris 2.0//CS"), QStringLiteral("METHOD:PUBLISH"),
                       QStringLiteral("X-WR-CALNAME:Směna A 2027")};

} // namespace

Q_DECLARE_METATYPE(PhoneEvent)

// What the output layer names and writes, without a window: the files' names
// and the phone calendars' lines.
class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    void fileNames_data();
    void fileNames();
    void icalendarLines_data();
    void icalendarLines();
    void writeFailures_data();
    void writeFailures();
    void publishedEvents_data();
    void publishedEvents();
    void updates_data();
    void updates();
};

namespace {


} // namespace

void TestFiles::fileNames_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");
    QTest::newRow("january") << QDate(2017, 1, 1) << "2017_01.pdf";
    QTest::newRow("any day of march") << QDate(2017, 3, 17) << "2017_03.pdf";
    QTest::newRow("december") << QDate(2017, 12, 1) << "2017_12.pdf";
    QTest::newRow("year 4000") << QDate(4000, 10, 1) << "4000_10.pdf";
}

void TestFiles::fileNames()
{
    QFETCH(QDate, date);
    QFETCH(QString, name);
    QCOMPARE(monthFileName(date), name);
}

void TestFiles::icalendarLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("parts");
    QTest::newRow("short") << QStringLiteral("SUMMARY:Směna A") << 1;
    QTest::newRow("75 octets") << QString(75, QLatin1Char('x')) << 1;
    QTest::newRow("76 octets") << QString(76, QLatin1Char('x')) << 2;
    QTest::newRow("200 octets") << QString(200, QLatin1Char('x')) << 3;
    // Two octets a letter: a fold never splits one.
    QTest::newRow("Czech letters") << QStringLiteral("X-WR-CALNAME:") + QString(60, QChar(0x0161)) << 2;
    QTest::newRow("a fold inside a letter") << QStringLiteral("yy") + QString(80, QChar(0x0159)) << 3;
}

void TestFiles::icalendarLines()
{
    QFETCH(QString, line);
    QFETCH(int, parts);
    const QByteArray folded = contentLine(line);
    QVERIFY(folded.endsWith("\r\n"));
    const QList<QByteArray> physical = folded.left(folded.size() - 2).split('\n');
    QCOMPARE(physical.size(), parts);
    for (int i = 0; i < physical.size(); ++i) {
        QByteArray part = physical.at(i);
        if (i + 1 < physical.size())
            QVERIFY(part.endsWith('\r'));
        part.chop(i + 1 < physical.size() ? 1 : 0);
        QVERIFY(part.size() <= 75);
        QCOMPARE(QString::fromUtf8(part).toUtf8(), part); // whole characters only
        if (i > 0)
            QVERIFY(part.startsWith(' '));
    }
    // Unfolded, the line as it was.
    QCOMPARE(QString::fromUtf8(QByteArray(folded).replace("\r\n ", "").chopped(2)), line);
}

void TestFiles::writeFailures_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no space left") << ENOSPC << "na disku není místo";
    QTest::newRow("quota") << EDQUOT << "je vyčerpána kvóta místa na disku";
    QTest::newRow("no permission") << EACCES << "k zápisu nemáte oprávnění";
    QTest::newRow("not permitted") << EPERM << "soubor nebo složku nelze měnit";
    QTest::newRow("read-only file system") << EROFS << "disk je připojen jen pro čtení";
    QTest::newRow("name too long") << ENAMETOOLONG << "název souboru nebo cesta je příliš dlouhá";
    QTest::newRow("a folder") << EISDIR << "na místě souboru je složka";
    QTest::newRow("file too large") << EFBIG << "soubor je na tento disk příliš velký";
    QTest::newRow("input/output error") << EIO << "disk hlásí chybu zápisu";
    // Whatever has no words of ours keeps the system's.
    QTest::newRow("another") << EXDEV << "chyba systému: Invalid cross-device link";
}

void TestFiles::writeFailures()
{
    QFETCH(int, code);
    QFETCH(QString, reason);
    QCOMPARE(writeFailure(code), reason);
}

void TestFiles::publishedEvents_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("events");
    const QStringList night{QStringLiteral("BEGIN:VEVENT"), QStringLiteral("UID:20270102-A@lunoris.cz"),
                            QStringLiteral("SEQUENCE:2"), QStringLiteral("DTSTAMP:20270101T000000Z"),
                            QStringLiteral("DTSTART;TZID=Europe/Prague:20270102T180000"),
                            QStringLiteral("DTEND;TZID=Europe/Prague:20270103T060000"), QStringLiteral("STATUS:CANCELLED"),
                            QStringLiteral("SUMMARY:Noční – Směna A"), QStringLiteral("TRANSP:TRANSPARENT"),
                            QStringLiteral("END:VEVENT")};
    const QStringList day{QStringLiteral("BEGIN:VEVENT"), QStringLiteral("UID:20270104-A@lunoris.cz"),
                          QStringLiteral("DTSTART;VALUE=DATE:20270104"), QStringLiteral("DTEND;VALUE=DATE:20270105"),
                          QStringLiteral("SUMMARY:Směna A"), QStringLiteral("END:VEVENT")};
    const QString cancelledNight = QStringLiteral("20270102-A@lunoris.cz 2 cancelled free 2027-01-02T18:00 2027-01-03T06:00 Noční – Směna A");
    // No SEQUENCE is the first version, no TRANSP a busy time.
    const QString wholeDay = QStringLiteral("20270104-A@lunoris.cz 0 2027-01-04 2027-01-05 Směna A");
    const QStringList both{cancelledNight, wholeDay};
    const QStringList end{QStringLiteral("END:VCALENDAR")};

    QTest::newRow("ours") << calendarFile(Head + night + day + end) << both;
    // Lines folded anywhere, also inside a letter of two octets, with a
    // space or a tab; line feeds alone.
    QByteArray folded = calendarFile(Head + night + day + end);
    folded.replace("UID:2027", "UID:20\r\n 27").replace("Noční", "No\xc4\r\n\t\x8dní").replace("Prague:", "Pra\r\n gue:");
    QTest::newRow("folded") << folded << both;
    QTest::newRow("line feeds alone") << QByteArray(folded).replace("\r\n", "\n") << both;
    QTest::newRow("another program's") << calendarFile(QStringList(Head).replaceInStrings(QStringLiteral("Lunoris"), QStringLiteral("Other")) + night + end)
                                       << QStringList();
    QTest::newRow("another crew's") << calendarFile(QStringList(Head).replaceInStrings(QStringLiteral("Směna A"), QStringLiteral("Směna B")) + night + end)
                                    << QStringList();
    QTest::newRow("no calendar") << QByteArray("PRODID:-//Lunoris//\r\nX-WR-CALNAME:Směna A 2027\r\n") << QStringList();
    QTest::newRow("empty") << QByteArray() << QStringList();
    // Text as the format escapes it; an alarm's lines are not the event's.
    QTest::newRow("escapes and an alarm")
        << calendarFile(Head
                        + QStringList{QStringLiteral("BEGIN:VEVENT"), QStringLiteral("UID:x"),
                                      QStringLiteral("DTSTART;VALUE=DATE:20270104"), QStringLiteral("DTEND;VALUE=DATE:20270105"),
                                      QStringLiteral("SUMMARY:Noční\\, dlouhá\\; \\\\ a\\nb"), QStringLiteral("BEGIN:VALARM"),
                                      QStringLiteral("SUMMARY:Vstávat"), QStringLiteral("STATUS:CANCELLED"),
                                      QStringLiteral("END:VALARM"), QStringLiteral("END:VEVENT")}
                        + end)
        << QStringList{QStringLiteral("x 0 2027-01-04 2027-01-05 Noční, dlouhá; \\ a\nb")};
    // A time in UTC or in another zone is not one of ours: only the
    // identifier and its sequence count.
    QTest::newRow("times of another kind")
        << calendarFile(Head + QStringList(night).replaceInStrings(QStringLiteral(";TZID=Europe/Prague:20270102T180000"), QStringLiteral(":20270102T170000Z")) + end)
        << QStringList{QStringLiteral("20270102-A@lunoris.cz 2 cancelled free ? 2027-01-03T06:00 Noční – Směna A")};
    // One identifier twice is one event: its latest version.
    QTest::newRow("an identifier twice")
        << calendarFile(Head + night + QStringList(night).replaceInStrings(QStringLiteral("SEQUENCE:2"), QStringLiteral("SEQUENCE:5")) + night + end)
        << QStringList{QString(cancelledNight).replace(QStringLiteral(" 2 "), QStringLiteral(" 5 "))};
}

void TestFiles::publishedEvents()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, events);
    QCOMPARE(described(readPhoneCalendar(file, QStringLiteral("Směna A 2027"))), events);
}

void TestFiles::updates_data()
{
    QTest::addColumn<QVector<PhoneEvent>>("published");
    QTest::addColumn<QVector<PhoneEvent>>("events");
    QTest::addColumn<QStringList>("update");
    const QString a = QStringLiteral("a");
    const QString b = QStringLiteral("b");
    const QString c = QStringLiteral("c");
    QTest::newRow("first file") << QVector<PhoneEvent>{} << QVector<PhoneEvent>{shift(a, 1), shift(b, 2, false)}
                                << QStringList{"a 0 2027-01-01T18:00 2027-01-02T06:00 Noční – Směna A",
                                               "b 0 free 2027-01-02 2027-01-03 Směna A"};
    QTest::newRow("unchanged") << QVector<PhoneEvent>{shift(a, 1, true, 3)} << QVector<PhoneEvent>{shift(a, 1)}
                               << QStringList{"a 3 2027-01-01T18:00 2027-01-02T06:00 Noční – Směna A"};
    PhoneEvent later = shift(a, 1);
    later.endTime = QTime(7, 0);
    QTest::newRow("an hour longer") << QVector<PhoneEvent>{shift(a, 1, true, 3)} << QVector<PhoneEvent>{later}
                                    << QStringList{"a 4 2027-01-01T18:00 2027-01-02T07:00 Noční – Směna A"};
    QTest::newRow("a whole day instead") << QVector<PhoneEvent>{shift(a, 1, true, 1)} << QVector<PhoneEvent>{shift(a, 1, false)}
                                         << QStringList{"a 2 free 2027-01-01 2027-01-02 Směna A"};
    PhoneEvent renamed = shift(a, 1);
    renamed.summary = QStringLiteral("Denní – Směna A");
    QTest::newRow("another title") << QVector<PhoneEvent>{shift(a, 1)} << QVector<PhoneEvent>{renamed}
                                   << QStringList{"a 1 2027-01-01T18:00 2027-01-02T06:00 Denní – Směna A"};
    QTest::newRow("gone") << QVector<PhoneEvent>{shift(a, 1, true, 0)} << QVector<PhoneEvent>{}
                          << QStringList{"a 1 cancelled free 2027-01-01T18:00 2027-01-02T06:00 Noční – Směna A"};
    QTest::newRow("gone before") << QVector<PhoneEvent>{shift(a, 1, true, 4, true)} << QVector<PhoneEvent>{}
                                 << QStringList{"a 4 cancelled free 2027-01-01T18:00 2027-01-02T06:00 Noční – Směna A"};
    QTest::newRow("back") << QVector<PhoneEvent>{shift(a, 1, true, 4, true)} << QVector<PhoneEvent>{shift(a, 1)}
                          << QStringList{"a 5 2027-01-01T18:00 2027-01-02T06:00 Noční – Směna A"};
    PhoneEvent unreadable = shift(a, 1, true, 7);
    unreadable.startDate = QDate();
    QTest::newRow("unreadable, said again") << QVector<PhoneEvent>{unreadable} << QVector<PhoneEvent>{shift(a, 1)}
                                            << QStringList{"a 8 2027-01-01T18:00 2027-01-02T06:00 Noční – Směna A"};
    QTest::newRow("unreadable, gone") << QVector<PhoneEvent>{unreadable, shift(b, 2)} << QVector<PhoneEvent>{shift(b, 2)}
                                      << QStringList{"b 0 2027-01-02T18:00 2027-01-03T06:00 Noční – Směna A"};
    // By start; a cancelled event after a live one of the same start.
    PhoneEvent early = shift(QStringLiteral("d"), 2);
    early.startTime = QTime(6, 0);
    early.endDate = early.startDate;
    early.endTime = QTime(18, 0);
    QTest::newRow("by start") << QVector<PhoneEvent>{shift(b, 2), shift(a, 3)} << QVector<PhoneEvent>{shift(c, 3), early, shift(a, 1)}
                              << QStringList{"a 1 2027-01-01T18:00 2027-01-02T06:00 Noční – Směna A",
                                             "d 0 2027-01-02T06:00 2027-01-02T18:00 Noční – Směna A",
                                             "b 1 cancelled free 2027-01-02T18:00 2027-01-03T06:00 Noční – Směna A",
                                             "c 0 2027-01-03T18:00 2027-01-04T06:00 Noční – Směna A"};
}

void TestFiles::updates()
{
    QFETCH(QVector<PhoneEvent>, published);
    QFETCH(QVector<PhoneEvent>, events);
    QFETCH(QStringList, update);
    const QVector<PhoneEvent> made = updateOf(published, events);
    QCOMPARE(described(made), update);
    // The file says every event as it is, to be read back next time.
    const QString name = QStringLiteral("Směna A 2027");
    QCOMPARE(described(readPhoneCalendar(phoneCalendar(name, made, QDateTime::currentDateTimeUtc()), name)), update);
}

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
