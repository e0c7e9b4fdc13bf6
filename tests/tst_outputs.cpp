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
    void oneDayOfMyYear_data();
    void oneDayOfMyYear();
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

void TestOutputs::oneDayOfMyYear_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("change"); // as a setup file keeps it
    QTest::addColumn<int>("shifts");     // the change in March's shifts
    QTest::addColumn<QString>("event");  // the phone's event that comes, "" for none
    // 12 h, four crews, A first, crew A: 2 March 2027 (day 60) is its day
    // shift, 4 March a day off.
    QTest::newRow("a day of leave") << QDate(2027, 3, 2) << "dovolena" << -1 << "2027-03-02 Dovolená – Směna A";
    QTest::newRow("a sick day") << QDate(2027, 3, 2) << "nemoc" << -1 << "";
    QTest::newRow("a day given away") << QDate(2027, 3, 2) << "volno;výměna s Petrem" << -1 << "";
    QTest::newRow("an extra night on a day off") << QDate(2027, 3, 4) << "navic:N" << 1
                                                 << "2027-03-04T18:00 Noční – Směna A";
}

void TestOutputs::oneDayOfMyYear()
{
    QFETCH(QDate, day);
    QFETCH(QString, change);
    QFETCH(int, shifts);
    QFETCH(QString, event);
    // The same run with and without one change of one day: exactly that
    // day differs, on every output.
    QTemporaryDir without, with;
    YearRequest request;
    request.year = 2027;
    Look &look = request.look;
    look.font = QStringLiteral("Liberation Sans");
    look.fontColor = {0, 0, 0, 100};
    look.borderColor = {0, 0, 0, 100};
    look.rota = Rota::fromPreset(2);
    look.myCrew = 0;
    look.kindColors = {Ink{}, Ink{100, 0, 0, 0}, Ink{0, 100, 0, 0}, Ink{}, Ink{}};
    look.planColors = {Ink{0, 0, 100, 0}, Ink{0, 0, 100, 0}, Ink{0, 0, 100, 0}, Ink{0, 0, 100, 0}};
    request.walletCard = request.phoneCalendars = request.hoursFile = true;
    request.folder = without.path();
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);
    DayChange changed;
    QVERIFY(DayChange::fromValue(change, &changed));
    look.plan.insert(day, changed);
    request.folder = with.path();
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);
    const auto in = [](const QTemporaryDir &folder, const QString &name) { return QDir(folder.path()).filePath(name); };

    // The month's page: that day's box in the change's colour, no other.
    const ReadPdf before = readPdfFile(in(without, monthFileName(day)), 72);
    const ReadPdf after = readPdfFile(in(with, monthFileName(day)), 72);
    int column = 1;
    for (QDate date(2027, 3, 1); date.month() == 3; date = date.addDays(1)) {
        const double x = column * 10 + 1.5, y = -(date.dayOfWeek() * 10.0) - 1.5;
        if (date == day)
            QCOMPARE(dominantInk(after.colorAtMm(x, y)), 2);
        else
            QVERIFY2(dominantInk(after.colorAtMm(x, y)) == dominantInk(before.colorAtMm(x, y)),
                     qPrintable(date.toString(Qt::ISODate)));
        if (date.dayOfWeek() == Qt::Sunday)
            ++column;
    }
    // Its code in the box, for black and white.
    const QString words = runTool(QStringLiteral("pdftotext"), {in(with, monthFileName(day)), QStringLiteral("-")});
    QVERIFY2(words.contains(changed.code()), qPrintable(words));
    // The other months as they were: every day of April in its colour.
    const ReadPdf aprilBefore = readPdfFile(in(without, monthFileName(QDate(2027, 4, 1))), 72);
    const ReadPdf aprilAfter = readPdfFile(in(with, monthFileName(QDate(2027, 4, 1))), 72);
    column = 1;
    for (QDate date(2027, 4, 1); date.month() == 4; date = date.addDays(1)) {
        const double x = column * 10 + 1.5, y = -(date.dayOfWeek() * 10.0) - 1.5;
        QCOMPARE(dominantInk(aprilAfter.colorAtMm(x, y)), dominantInk(aprilBefore.colorAtMm(x, y)));
        if (date.dayOfWeek() == Qt::Sunday)
            ++column;
    }

    // The card: that day alone changed, and counted on the back.
    PdfRunFont font(resolvePdfFont(look.font));
    const CardModel card = layOutCard(2027, 0, look, font.measure(printableCharacters(look) + cardCharacters(2027, 0, look)));
    const ReadPdf frontBefore = readPdfFile(in(without, cardFileName(2027)), 600);
    const ReadPdf frontAfter = readPdfFile(in(with, cardFileName(2027)), 600);
    int differing = 0;
    for (const MonthModel &part : card.front.parts) {
        for (const DayCell &cell : part.days) {
            const double x = cell.box.x() + 0.15 * cell.box.width(), y = cell.box.y() + 0.5 * cell.box.height();
            if (dominantInk(frontAfter.colorAtMm(x, y)) != dominantInk(frontBefore.colorAtMm(x, y))) {
                QCOMPARE(cell.date, day);
                ++differing;
            }
        }
    }
    QCOMPARE(differing, 1);
    const QString back = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QStringLiteral("2"), in(with, cardFileName(2027)),
                                                               QStringLiteral("-")});
    QVERIFY2(back.contains(QStringLiteral("%1: 1 den").arg(changeName(changed.change))), qPrintable(back));

    // The phone: that day's shift gone (or come), nothing else.
    const auto events = [&](const QTemporaryDir &folder) {
        const QJsonObject read = readCalendar(in(folder, crewCalendarFileName(2027, 0)));
        const QJsonArray starts = read.value(QStringLiteral("dates")).toArray();
        const QJsonArray summaries = read.value(QStringLiteral("summaryOfEach")).toArray();
        const QJsonArray statuses = read.value(QStringLiteral("statusOfEach")).toArray();
        QStringList live;
        for (int i = 0; i < starts.size(); ++i) {
            if (statuses.at(i).toString() != QLatin1String("CANCELLED"))
                live << starts.at(i).toString().left(16) + QLatin1Char(' ') + summaries.at(i).toString();
        }
        return live;
    };
    QStringList gone = events(without), come = events(with);
    for (const QString &each : events(with))
        gone.removeOne(each);
    for (const QString &each : events(without))
        come.removeOne(each);
    QCOMPARE(gone.size(), shifts < 0 ? 1 : 0);
    if (shifts < 0)
        QVERIFY2(gone.first().startsWith(day.toString(Qt::ISODate)), qPrintable(gone.first()));
    QCOMPARE(come, event.isEmpty() ? QStringList() : QStringList{event});

    // The hours: March and the year one shift less (or more), 12 hours.
    const auto table = [&](const QTemporaryDir &folder) {
        QFile file(in(folder, hoursFileName(2027, 0)));
        if (!file.open(QIODevice::ReadOnly))
            return QStringList();
        const QByteArray bytes = file.readAll();
        // A spreadsheet in a Czech locale: UTF-8 told by its mark, semicolons.
        if (!bytes.startsWith("\xEF\xBB\xBF"))
            return QStringList();
        return QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    };
    const QStringList rowsBefore = table(without), rowsAfter = table(with);
    QCOMPARE(rowsAfter.size(), 14);
    QCOMPARE(rowsAfter.first(), QStringLiteral("Měsíc;Směny;Hodiny;Noční;Víkend;Svátek;Fond;Rozdíl"));
    for (int row = 1; row < 14; ++row) {
        const QStringList a = rowsBefore.at(row).split(QLatin1Char(';')), b = rowsAfter.at(row).split(QLatin1Char(';'));
        const bool counted = row == 3 || row == 13; // March and the year
        QCOMPARE(b.at(1).toInt() - a.at(1).toInt(), counted ? shifts : 0);
        QCOMPARE(QString(b.at(2)).replace(QLatin1Char(','), QLatin1Char('.')).toDouble()
                     - QString(a.at(2)).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(),
                 counted ? 12.0 * shifts : 0.0);
        QCOMPARE(b.at(6), a.at(6)); // the fund is the calendar's
    }
}

QTEST_MAIN(TestOutputs)
#include "tst_outputs.moc"
