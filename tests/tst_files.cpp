#include "model/rota.h"
#include "output/filenames.h"
#include "output/filewriter.h"
#include "output/icalendar.h"

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
    void nightAcrossTheClockChange_data();
    void nightAcrossTheClockChange();
    void writeFailures_data();
    void writeFailures();
};

namespace {

// The process's time zone for as long as it lives.
class TimeZone
{
public:
    explicit TimeZone(const QByteArray &zone)
        : m_saved(qgetenv("TZ"))
        , m_wasSet(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZone()
    {
        if (m_wasSet)
            qputenv("TZ", m_saved);
        else
            qunsetenv("TZ");
        tzset();
    }
    TimeZone(const TimeZone &) = delete;
    TimeZone &operator=(const TimeZone &) = delete;

private:
    QByteArray m_saved;
    bool m_wasSet;
};

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

void TestFiles::nightAcrossTheClockChange_data()
{
    QTest::addColumn<QByteArray>("zone"); // the computer's
    QTest::addColumn<int>("crew");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    // 12 hours, A first: on day 85 (27 March 2027) A works its night, on
    // day 302 (30 October) B; each ends at 6 on the clock, an hour sooner
    // or later than twelve hours on.
    QTest::newRow("spring, computer in UTC") << QByteArray("UTC") << 0 << "2027-03-27T18:00:00+01:00"
                                             << "2027-03-28T06:00:00+02:00";
    QTest::newRow("spring, computer in Prague") << QByteArray("Europe/Prague") << 0 << "2027-03-27T18:00:00+01:00"
                                                << "2027-03-28T06:00:00+02:00";
    QTest::newRow("autumn, computer in UTC") << QByteArray("UTC") << 1 << "2027-10-30T18:00:00+02:00"
                                             << "2027-10-31T06:00:00+01:00";
    QTest::newRow("autumn, computer in Prague") << QByteArray("Europe/Prague") << 1 << "2027-10-30T18:00:00+02:00"
                                                << "2027-10-31T06:00:00+01:00";
}

void TestFiles::nightAcrossTheClockChange()
{
    QFETCH(QByteArray, zone);
    QFETCH(int, crew);
    QFETCH(QString, start);
    QFETCH(QString, end);
    const QString python = QStringLiteral("/usr/bin/python3");
    static const bool readable = QProcess::execute(python, {QStringLiteral("-c"), QStringLiteral("import icalendar")}) == 0;
    if (!readable)
        QSKIP("needs Debian's python3-icalendar to read the calendar back");
    QByteArray calendar;
    {
        const TimeZone computer(zone);
        calendar = crewCalendar(Rota::fromPreset(2), 2027, 0, crew, QDateTime(QDate(2027, 1, 1), QTime(0, 0), Qt::UTC));
    }
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("night.ics")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(calendar);
    file.close();
    QProcess reader;
    reader.start(python, {QFINDTESTDATA("support/readics.py"), file.fileName()});
    QVERIFY(reader.waitForFinished(60000));
    const QJsonObject read = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    const QJsonArray starts = read.value(QStringLiteral("dates")).toArray();
    const QJsonArray ends = read.value(QStringLiteral("ends")).toArray();
    QCOMPARE(ends.size(), starts.size());
    int found = 0;
    for (int i = 0; i < starts.size(); ++i) {
        if (starts.at(i).toString() == start) {
            QCOMPARE(ends.at(i).toString(), end);
            ++found;
        }
    }
    QCOMPARE(found, 1);
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

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
