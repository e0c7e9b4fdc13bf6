#include "fonts/glyphoutlines.h"
#include "model/card.h"
#include "output/filenames.h"
#include "output/yearwriter.h"
#include "render/pdffont.h"
#include "support/pdfreader.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Calendar;
using namespace TestSupport;

// Every file of a run read back by readers that did not write it, day by day
// and crew by crew, against what the rota says worked out in the test.
class TestOutputs : public QObject
{
    Q_OBJECT

private slots:
    void anchoredRotaYearAfterYear_data();
    void anchoredRotaYearAfterYear();
};

namespace {

// Pure inks a reader tells apart: R cyan, O magenta, N yellow.
int inkOfKind(QChar code)
{
    return code == u'R' ? 0 : code == u'O' ? 1 : code == u'N' ? 2 : -1;
}

QString kindName(QChar code)
{
    return code == u'R' ? QStringLiteral("Ranní") : code == u'O' ? QStringLiteral("Odpolední") : QStringLiteral("Noční");
}

QJsonObject readCalendar(const QString &path)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    return QJsonDocument::fromJson(runTool(python, {QFINDTESTDATA("support/readics.py"), path}).toUtf8()).object();
}

} // namespace

void TestOutputs::anchoredRotaYearAfterYear_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("crew");
    for (const int year : {2027, 2028}) {
        for (int crew = 0; crew < 5; ++crew)
            QTest::newRow(qPrintable(QStringLiteral("%1, crew %2").arg(year).arg(QChar(u'A' + crew)))) << year << crew;
    }
}

void TestOutputs::anchoredRotaYearAfterYear()
{
    QFETCH(int, year);
    QFETCH(int, crew);
    // The factory worker's rota, set up once on 5 January 2026 (crew A on
    // the first day of RROONN----), and nothing but the year changed since.
    const QString pattern = QStringLiteral("RROONN----");
    const QDate anchorDate(2026, 1, 5);
    const auto expected = [&](const QDate &date) {
        const qint64 index = (1 - 1 + anchorDate.daysTo(date) - (crew - 0) * 10 / 5) % 10;
        return pattern.at(int((index + 10) % 10));
    };

    QTemporaryDir folder;
    YearRequest request;
    request.folder = folder.path();
    request.year = year;
    request.firstCrew = 3; // nothing of an anchored rota
    Look &look = request.look;
    look.font = QStringLiteral("Liberation Sans");
    look.fontColor = {0, 0, 0, 100};
    look.borderColor = {0, 0, 0, 100};
    look.rota = Rota::fromPreset(4);
    look.rota.anchor = {true, anchorDate, 0, 1};
    look.myCrew = crew;
    look.kindColors = {Ink{}, Ink{}, Ink{0, 0, 100, 0}, Ink{100, 0, 0, 0}, Ink{0, 100, 0, 0}};
    request.walletCard = request.phoneCalendars = true;
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);

    // The month pages: each box in its kind's ink, white on a day off.
    int mismatches = 0;
    for (int month = 1; month <= 12; ++month) {
        const ReadPdf page = readPdfFile(QDir(folder.path()).filePath(monthFileName(QDate(year, month, 1))), 36);
        QVERIFY(page.loaded);
        int column = 1;
        for (QDate date(year, month, 1); date.month() == month; date = date.addDays(1)) {
            // Near the box's top-left corner, clear of its number.
            const QColor seen = page.colorAtMm(column * 10 + 1.5, -(date.dayOfWeek() * 10.0) - 1.5);
            if (dominantInk(seen) != inkOfKind(expected(date)))
                ++mismatches;
            if (date.dayOfWeek() == Qt::Sunday)
                ++column;
        }
    }
    QCOMPARE(mismatches, 0);

    // The card's front: every day of the year where the card's model puts it.
    PdfRunFont font(resolvePdfFont(look.font));
    const CardModel card =
        layOutCard(year, request.firstCrew, look, font.measure(printableCharacters(look) + cardCharacters(year, 0, look)));
    const ReadPdf front = readPdfFile(QDir(folder.path()).filePath(cardFileName(year)), 600);
    QVERIFY(front.loaded);
    int days = 0;
    for (const MonthModel &part : card.front.parts) {
        for (const DayCell &day : part.days) {
            const QColor seen = front.colorAtMm(day.box.x() + 0.15 * day.box.width(),
                                                day.box.y() + 0.85 * day.box.height());
            if (dominantInk(seen) != inkOfKind(expected(day.date)))
                ++mismatches;
            ++days;
        }
    }
    QCOMPARE(days, QDate(year, 1, 1).daysInYear());
    QCOMPARE(mismatches, 0);

    // The crew's phone calendar: a shift on each working day, of its kind,
    // at its hours.
    for (const int each : {crew}) {
        const QJsonObject read = readCalendar(QDir(folder.path()).filePath(crewCalendarFileName(year, each)));
        QVERIFY2(!read.isEmpty(), "needs Debian's python3-icalendar");
        const QJsonArray starts = read.value(QStringLiteral("dates")).toArray();
        const QJsonArray summaries = read.value(QStringLiteral("summaryOfEach")).toArray();
        QStringList seen, wanted;
        for (int i = 0; i < starts.size(); ++i)
            seen << starts.at(i).toString().left(16) + QLatin1Char(' ') + summaries.at(i).toString();
        for (QDate date(year, 1, 1); date.year() == year; date = date.addDays(1)) {
            const qint64 index = (anchorDate.daysTo(date) - each * 2) % 10;
            const QChar code = pattern.at(int((index + 10) % 10));
            if (code == u'-')
                continue;
            const QString hour = code == u'R' ? QStringLiteral("06") : code == u'O' ? QStringLiteral("14") : QStringLiteral("22");
            wanted << date.toString(Qt::ISODate) + QStringLiteral("T%1:00 %2 – Směna %3").arg(hour, kindName(code)).arg(QChar(u'A' + each));
        }
        QCOMPARE(seen, wanted);
    }
}

QTEST_MAIN(TestOutputs)
#include "tst_outputs.moc"
