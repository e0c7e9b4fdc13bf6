#include "output/filenames.h"
#include "output/icalendar.h"
#include "output/yearwriter.h"
#include "support/pdfreader.h"
#include "support/timezone.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

using namespace Calendar;
using namespace TestSupport;

namespace {

// A kind of shift as the roster prints it: from "06:00" for `hours`, or a
// whole day where there is no start; the name before the crew in the title,
// none for the form's own rota.
struct Shift
{
    QString start;
    int hours = 24;
    QString name;
};

// One run of the window: the rota as the form sets it, and the same rota
// written out again by hand for the expected shifts.
struct PhoneRun
{
    Rota rota;
    int firstCrew = 0;
    QString pattern;
    int crews = 3;
    QHash<QChar, Shift> shifts;
};

} // namespace

Q_DECLARE_METATYPE(PhoneRun)

namespace {

constexpr int Year = 2027;

const Shift Day{QStringLiteral("06:00"), 12, QStringLiteral("Denní")};
const Shift Night{QStringLiteral("18:00"), 12, QStringLiteral("Noční")};

PhoneRun twelveHours(int firstCrew)
{
    return {Rota::fromPreset(2), firstCrew, QStringLiteral("DN--"), 4, {{u'D', Day}, {u'N', Night}}};
}

PhoneRun threeCrewsAllDay(int firstCrew)
{
    return {Rota(), firstCrew, QStringLiteral("S--"), 3, {{u'S', Shift{QString(), 24, QString()}}}};
}

PhoneRun ownTwelveHours(const QTime &dayStart)
{
    Rota rota;
    rota.preset = Rota::Custom;
    rota.pattern = QStringLiteral("DN--");
    rota.crews = 4;
    rota.kinds[kindIndex(u'D')].start = dayStart;
    const Shift day{dayStart.toString(QStringLiteral("HH:mm")), 12, QStringLiteral("Denní")};
    return {rota, 0, QStringLiteral("DN--"), 4, {{u'D', day}, {u'N', Night}}};
}

// What `crew` works in the year, worked out here afresh: each crew is the
// same number of days behind the one before it, the first crew at the
// pattern's start on 1 January; an end past midnight on the next day's clock.
QStringList expectedShifts(const PhoneRun &run, int crew)
{
    QStringList shifts;
    if (crew >= run.crews)
        return shifts;
    const int cycle = run.pattern.size();
    const int behind = ((crew - run.firstCrew) % run.crews + run.crews) % run.crews;
    const QDate newYear(Year, 1, 1);
    for (int day = 0; day < newYear.daysInYear(); ++day) {
        const QChar code = run.pattern.at(((day - behind * cycle / run.crews) % cycle + cycle) % cycle);
        if (code == QLatin1Char('-'))
            continue;
        const Shift &shift = run.shifts.value(code);
        const QDate date = newYear.addDays(day);
        const QString crewTitle = QStringLiteral("Směna ") + QChar(u'A' + crew);
        const QString title = shift.name.isEmpty() ? crewTitle : shift.name + QStringLiteral(" – ") + crewTitle;
        if (shift.start.isEmpty()) {
            shifts.append(QStringList{date.toString(Qt::ISODate), date.addDays(1).toString(Qt::ISODate), title}.join(u'|'));
            continue;
        }
        const int minutes = shift.start.left(2).toInt() * 60 + shift.start.mid(3).toInt() + shift.hours * 60;
        const QString end = QStringLiteral("%1T%2:%3")
                                .arg(date.addDays(minutes / 1440).toString(Qt::ISODate))
                                .arg(minutes % 1440 / 60, 2, 10, QLatin1Char('0'))
                                .arg(minutes % 60, 2, 10, QLatin1Char('0'));
        shifts.append(QStringList{date.toString(Qt::ISODate) + QLatin1Char('T') + shift.start, end, title}.join(u'|'));
    }
    shifts.sort();
    return shifts;
}

QString python()
{
    return QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
}

bool hasIcalendar()
{
    static const bool found = [] {
        int exitCode = -1;
        if (!python().isEmpty())
            runTool(python(), {QStringLiteral("-c"), QStringLiteral("import icalendar")}, &exitCode);
        return exitCode == 0;
    }();
    return found;
}

// What a calendar holds after each of `files` imported in turn: "rfc" for
// the store that goes by UID and SEQUENCE (then DTSTAMP), "strict" for one
// that goes by SEQUENCE alone, "khal" for khal's own.
QJsonArray imported(const QString &client, const QStringList &files)
{
    QProcess process;
    process.start(python(), QStringList{QFINDTESTDATA("support/importics.py"), client} + files);
    if (!process.waitForFinished(150000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("%s", process.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(process.readAllStandardOutput()).array();
}

// A JSON array of texts as it is, or sorted.
QStringList strings(const QJsonValue &array, bool sorted = true)
{
    QStringList list;
    for (const QJsonValue &each : array.toArray())
        list.append(each.toString());
    if (sorted)
        list.sort();
    return list;
}

// Shifts the calendar shows that the run does not have, and the run's
// shifts it lacks: both none.
void compareHeld(const QJsonObject &held, const QStringList &expected, const char *what)
{
    QVERIFY2(!held.isEmpty(), what);
    const QStringList shown = strings(held.value(QStringLiteral("live")));
    const QSet<QString> live(shown.begin(), shown.end());
    const QSet<QString> wanted(expected.begin(), expected.end());
    const QStringList stale = QSet<QString>(live).subtract(wanted).values();
    const QStringList missing = QSet<QString>(wanted).subtract(live).values();
    QVERIFY2(stale.isEmpty() && missing.isEmpty(),
             qPrintable(QStringLiteral("%1: %2 stale (%3), %4 missing (%5)")
                            .arg(QLatin1String(what))
                            .arg(stale.size())
                            .arg(stale.value(0))
                            .arg(missing.size())
                            .arg(missing.value(0))));
    QCOMPARE(strings(held.value(QStringLiteral("live"))).size(), expected.size());
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int count(const QByteArray &file, const QString &pattern)
{
    int found = 0;
    auto match = QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(QString::fromUtf8(file));
    for (; match.hasNext(); match.next())
        ++found;
    return found;
}


} // namespace

// The phone calendars of runs one after another in one folder: each file
// updates what the one before it gave the phones.
class TestPhoneCalendars : public QObject
{
    Q_OBJECT

private slots:
    void updates_data();
    void updates();
    void clockChangeNights_data();
    void clockChangeNights();
};

void TestPhoneCalendars::updates_data()
{
    QTest::addColumn<QVector<PhoneRun>>("runs");
    QTest::addColumn<int>("crew");
    // Per run, counted by hand: the crew's shifts in the year, the events
    // of its file that are cancelled, and those whose SEQUENCE is above 0.
    QTest::addColumn<QVector<int>>("shifts");
    QTest::addColumn<QVector<int>>("cancelled");
    QTest::addColumn<QVector<int>>("raised");
    // khal takes seconds a file: it is given the nurse's correction; the
    // stores in Python take every row.
    QTest::addColumn<bool>("khal");

    // Crew A works days 0 and 1 of every four (A first), 0 and 3 (B first),
    // 2 and 3 (C first); 2027 has 92 days of the first kind, 91 of the rest.
    // A → B: 92 days change from day to night, 91 nights go, 91 days come.
    // B → C: 91 days change, 92 go (and the 91 gone before stay gone), 91 come.
    QTest::newRow("first crew A, B, then C") << QVector<PhoneRun>{twelveHours(0), twelveHours(1), twelveHours(2)} << 0
                                             << QVector<int>{183, 183, 182} << QVector<int>{0, 91, 183} << QVector<int>{0, 183, 274}
                                             << true;
    // Crew B works days 1 and 2 of every four: its 91 day shifts start an
    // hour later, its nights stay as they were.
    QTest::newRow("day shifts from 7, crew B")
        << QVector<PhoneRun>{ownTwelveHours(QTime(6, 0)), ownTwelveHours(QTime(7, 0))} << 1 << QVector<int>{182, 182}
        << QVector<int>{0, 0} << QVector<int>{0, 91} << false;
    // Every third day of 24 h becomes days 0 and 1 of four: 61 days have a
    // shift in both (day mod 12 is 0 or 9), 61 whole days go, 122 shifts come.
    QTest::newRow("3 crews of 24 h, then 4 of 12 h")
        << QVector<PhoneRun>{threeCrewsAllDay(0), twelveHours(0)} << 0 << QVector<int>{122, 183} << QVector<int>{0, 61}
        << QVector<int>{0, 122} << false;
    // And back: the same 61 days change, 122 shifts go, 61 whole days come.
    QTest::newRow("4 crews of 12 h, then 3 of 24 h")
        << QVector<PhoneRun>{twelveHours(0), threeCrewsAllDay(0)} << 0 << QVector<int>{183, 122} << QVector<int>{0, 122}
        << QVector<int>{0, 183} << false;
    // Crew D, gone from the rota, gets its 92 nights and 91 days cancelled
    // once; the next run leaves its file alone.
    QTest::newRow("4 crews of 12 h, then 3 of 24 h, crew D")
        << QVector<PhoneRun>{twelveHours(0), threeCrewsAllDay(0), threeCrewsAllDay(0)} << 3 << QVector<int>{183, 0, 0}
        << QVector<int>{0, 183, 183} << QVector<int>{0, 183, 183} << false;
    QTest::newRow("the same run twice") << QVector<PhoneRun>{twelveHours(0), twelveHours(0)} << 0 << QVector<int>{183, 183}
                                        << QVector<int>{0, 0} << QVector<int>{0, 0} << false;
}

void TestPhoneCalendars::updates()
{
    QFETCH(QVector<PhoneRun>, runs);
    QFETCH(int, crew);
    QFETCH(QVector<int>, shifts);
    QFETCH(QVector<int>, cancelled);
    QFETCH(QVector<int>, raised);
    QFETCH(bool, khal);
    if (!hasIcalendar())
        QSKIP("needs Debian's python3-icalendar to import the files");

    QTemporaryDir folder, given;
    QStringList files; // the crew's file of each run, as its phone was given it
    for (int run = 0; run < runs.size(); ++run) {
        YearRequest request;
        request.folder = folder.path();
        request.year = Year;
        request.firstCrew = runs.at(run).firstCrew;
        request.look.font = QStringLiteral("Helvetica");
        request.look.rota = runs.at(run).rota;
        request.phoneCalendars = true;
        QCOMPARE(writeYear(request).status, YearResult::Status::Written);
        const QString path = QDir(folder.path()).filePath(crewCalendarFileName(Year, crew));
        files.append(QDir(given.path()).filePath(QStringLiteral("run%1.ics").arg(run + 1)));
        QVERIFY(QFile::copy(path, files.last()));
        // A crew without shifts twice: the file that cancelled them is left
        // alone, not made again.
        const QDateTime past(QDate(2020, 1, 1), QTime(12, 0), Qt::UTC);
        if (run > 0 && shifts.at(run) == 0 && shifts.at(run - 1) == 0)
            QCOMPARE(QFileInfo(path).lastModified().toUTC(), past);
        QFile made(path);
        QVERIFY(made.open(QIODevice::ReadWrite) && made.setFileTime(past, QFileDevice::FileModificationTime));

        const QByteArray file = contents(files.last());
        QCOMPARE(count(file, QStringLiteral("^STATUS:CANCELLED\r$")), cancelled.at(run));
        QCOMPARE(count(file, QStringLiteral("^SEQUENCE:[1-9][0-9]*\r$")), raised.at(run));
        QCOMPARE(count(file, QStringLiteral("^SEQUENCE:0*\r$")), 0); // what no SEQUENCE says
        if (run > 0 && cancelled.at(run) == 0 && raised.at(run) == 0) {
            // Nothing to tell a phone: the file as it was but for its time.
            const QRegularExpression stamp(QStringLiteral("\r\nDTSTAMP:[^\r]*"));
            QCOMPARE(QString::fromUtf8(file).remove(stamp), QString::fromUtf8(contents(files.at(run - 1))).remove(stamp));
        }
    }

    QStringList clients = {QStringLiteral("rfc"), QStringLiteral("strict")};
    if (khal)
        clients << QStringLiteral("khal");
    for (const QString &client : qAsConst(clients)) {
        if (client == QLatin1String("khal") && QStandardPaths::findExecutable(client).isEmpty())
            QSKIP("needs khal to import the files as a calendar program does");
        // A phone given every file in turn holds each run's shifts and
        // nothing else; the first file shows nothing cancelled. khal takes
        // seconds a file: it is given the correction, the first two files.
        const bool slow = client == QLatin1String("khal");
        const QStringList given = slow ? files.mid(0, 2) : files;
        const QJsonArray after = imported(client, given);
        QCOMPARE(after.size(), given.size());
        for (int run = 0; run < given.size(); ++run) {
            QCOMPARE(expectedShifts(runs.at(run), crew).size(), shifts.at(run));
            compareHeld(after.at(run).toObject(), expectedShifts(runs.at(run), crew),
                        qPrintable(QStringLiteral("%1, run %2").arg(client).arg(run + 1)));
        }
        QCOMPARE(strings(after.first()[QStringLiteral("cancelled")]), QStringList());
        // It keeps every event it was ever given, those gone as cancelled.
        const int lastCancelled = cancelled.at(given.size() - 1);
        const QJsonObject last = after.last().toObject();
        QCOMPARE(last[QStringLiteral("stored")].toInt(), strings(last[QStringLiteral("live")]).size() + lastCancelled);
        QCOMPARE(strings(last[QStringLiteral("cancelled")]).size(), lastCancelled);
        // One given only the first and the last file learns as much.
        if (runs.size() > 2 && !slow)
            compareHeld(imported(client, {files.first(), files.last()}).last().toObject(), expectedShifts(runs.last(), crew),
                        qPrintable(client + QStringLiteral(", the first and the last run")));
    }
}

void TestPhoneCalendars::clockChangeNights_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<int>("crew");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    // Nights end at 06:00 on the clock, whatever zone the computer is in:
    // 11 hours in March, 13 in October. Crew A (first) works the night of
    // day 85, crew B that of day 302.
    QTest::newRow("March, in UTC") << QByteArray("UTC") << 0 << "2027-03-27T18:00:00+01:00" << "2027-03-28T06:00:00+02:00";
    QTest::newRow("March, in Prague") << QByteArray("Europe/Prague") << 0 << "2027-03-27T18:00:00+01:00"
                                      << "2027-03-28T06:00:00+02:00";
    QTest::newRow("October, in UTC") << QByteArray("UTC") << 1 << "2027-10-30T18:00:00+02:00" << "2027-10-31T06:00:00+01:00";
    QTest::newRow("October, in Prague") << QByteArray("Europe/Prague") << 1 << "2027-10-30T18:00:00+02:00"
                                        << "2027-10-31T06:00:00+01:00";
}

void TestPhoneCalendars::clockChangeNights()
{
    QFETCH(QByteArray, zone);
    QFETCH(int, crew);
    QFETCH(QString, start);
    QFETCH(QString, end);
    if (!hasIcalendar())
        QSKIP("needs Debian's python3-icalendar to read the files back");
    const TimeZone local(zone);
    QTemporaryDir folder;
    YearRequest request;
    request.folder = folder.path();
    request.year = Year;
    request.look.font = QStringLiteral("Helvetica");
    request.look.rota = Rota::fromPreset(2);
    request.phoneCalendars = true;
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);
    const QJsonObject read = QJsonDocument::fromJson(
                                 runTool(python(), {QFINDTESTDATA("support/readics.py"),
                                                    QDir(folder.path()).filePath(crewCalendarFileName(Year, crew))})
                                     .toUtf8())
                                 .object();
    const int night = strings(read.value(QStringLiteral("dates")), false).indexOf(start);
    QVERIFY2(night >= 0, qPrintable(start));
    QCOMPARE(strings(read.value(QStringLiteral("ends")), false).value(night), end);
}

QTEST_MAIN(TestPhoneCalendars)
#include "tst_phonecalendars.moc"
