#include "output/filenames.h"
#include "output/filewriter.h"
#include "output/icalendar.h"

#include <QTest>

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
    void writeFailures_data();
    void writeFailures();
};

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

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
