#include "calendar/calendarlayout.h"
#include "calendar/holidays.h"
#include "calendar/icalendar.h"
#include "calendar/pagemodel.h"

#include <QColor>
#include <QTest>

using namespace Calendar;

class TestCalendarLayout : public QObject
{
    Q_OBJECT

private slots:
    void shiftRotation_data();
    void shiftRotation();
    void consecutiveAcrossEveryMonthBoundary();
    void fileNames_data();
    void fileNames();
    void weekColumns_data();
    void weekColumns();
    void boxesOfMarch2017_data();
    void boxesOfMarch2017();
    void publicHolidays_data();
    void publicHolidays();
    void icalendarLines_data();
    void icalendarLines();
    void pageModel_data();
    void pageModel();
    void pageSize();
    void cmykFromColor();
};

void TestCalendarLayout::shiftRotation_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("firstShift");
    QTest::addColumn<int>("shift");

    // 0 = "A", 1 = "B", 2 = "C".
    QTest::newRow("2017-01-01 A") << QDate(2017, 1, 1) << 0 << 0;
    QTest::newRow("2017-01-02 A") << QDate(2017, 1, 2) << 0 << 1;
    QTest::newRow("2017-01-03 A") << QDate(2017, 1, 3) << 0 << 2;
    QTest::newRow("2017-01-04 A") << QDate(2017, 1, 4) << 0 << 0;
    QTest::newRow("2017-01-31 A") << QDate(2017, 1, 31) << 0 << 0;
    QTest::newRow("2017-02-01 A") << QDate(2017, 2, 1) << 0 << 1;
    QTest::newRow("2017-03-01 A") << QDate(2017, 3, 1) << 0 << 2;
    QTest::newRow("2017-12-31 A") << QDate(2017, 12, 31) << 0 << 1;
    QTest::newRow("2016-03-01 A (leap)") << QDate(2016, 3, 1) << 0 << 0;
    QTest::newRow("2016-02-29 A (leap)") << QDate(2016, 2, 29) << 0 << 2;
    QTest::newRow("2017-01-01 C") << QDate(2017, 1, 1) << 2 << 2;
    QTest::newRow("2017-01-02 C") << QDate(2017, 1, 2) << 2 << 0;
    QTest::newRow("2016-12-31 C (leap)") << QDate(2016, 12, 31) << 2 << (2 + 365) % 3;
    QTest::newRow("4000-12-31 B") << QDate(4000, 12, 31) << 1 << (1 + 365) % 3;
}

void TestCalendarLayout::shiftRotation()
{
    QFETCH(QDate, date);
    QFETCH(int, firstShift);
    QFETCH(int, shift);
    QCOMPARE(shiftOnDate(date, firstShift), shift);
}

void TestCalendarLayout::consecutiveAcrossEveryMonthBoundary()
{
    for (int year : {2016, 2017, 2000, 2100}) {
        for (int first = 0; first < 3; ++first) {
            for (QDate day(year, 1, 1); day.year() == year && day.addDays(1).year() == year; day = day.addDays(1))
                QCOMPARE(shiftOnDate(day.addDays(1), first), (shiftOnDate(day, first) + 1) % 3);
        }
    }
}

void TestCalendarLayout::fileNames_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");
    QTest::newRow("january") << QDate(2017, 1, 1) << "2017_01.pdf";
    QTest::newRow("any day of march") << QDate(2017, 3, 17) << "2017_03.pdf";
    QTest::newRow("december") << QDate(2017, 12, 1) << "2017_12.pdf";
    QTest::newRow("year 4000") << QDate(4000, 10, 1) << "4000_10.pdf";
}

void TestCalendarLayout::fileNames()
{
    QFETCH(QDate, date);
    QFETCH(QString, name);
    QCOMPARE(monthFileName(date), name);
}

void TestCalendarLayout::weekColumns_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("column");
    QTest::newRow("2017-03-01 Wed") << QDate(2017, 3, 1) << 1;
    QTest::newRow("2017-03-05 Sun") << QDate(2017, 3, 5) << 1;
    QTest::newRow("2017-03-06 Mon") << QDate(2017, 3, 6) << 2;
    QTest::newRow("2017-03-31 Fri") << QDate(2017, 3, 31) << 5;
    QTest::newRow("2017-01-01 Sun") << QDate(2017, 1, 1) << 1;
    QTest::newRow("2017-01-02 Mon") << QDate(2017, 1, 2) << 2;
    QTest::newRow("2017-01-31 Tue") << QDate(2017, 1, 31) << 6;
    QTest::newRow("2021-02-28 Sun") << QDate(2021, 2, 28) << 4;
}

void TestCalendarLayout::weekColumns()
{
    QFETCH(QDate, date);
    QFETCH(int, column);
    QCOMPARE(weekColumn(date), column);
}

void TestCalendarLayout::boxesOfMarch2017_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<QRectF>("box"); // x, y (lower-left), w, h in mm
    QTest::newRow("1") << 1 << QRectF(10, -40, 10, 10);
    QTest::newRow("2") << 2 << QRectF(10, -50, 10, 10);
    QTest::newRow("5") << 5 << QRectF(10, -80, 10, 10);
    QTest::newRow("6") << 6 << QRectF(20, -20, 10, 10);
    QTest::newRow("12") << 12 << QRectF(20, -80, 10, 10);
    QTest::newRow("13") << 13 << QRectF(30, -20, 10, 10);
    QTest::newRow("27") << 27 << QRectF(50, -20, 10, 10);
    QTest::newRow("31") << 31 << QRectF(50, -60, 10, 10);
}

void TestCalendarLayout::boxesOfMarch2017()
{
    QFETCH(int, day);
    QFETCH(QRectF, box);
    const QDate date(2017, 3, day);
    QCOMPARE(dayBox(date, weekColumn(date), 10, 10), box);
}

void TestCalendarLayout::publicHolidays_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("holiday");
    // Easter dates from Python's dateutil.easter, not from this computus.
    QTest::newRow("2015 Good Friday, not yet") << QDate(2015, 4, 3) << false;
    QTest::newRow("2015 Easter Monday") << QDate(2015, 4, 6) << true;
    QTest::newRow("2016 Good Friday") << QDate(2016, 3, 25) << true;
    QTest::newRow("2016 Easter Monday") << QDate(2016, 3, 28) << true;
    QTest::newRow("2016 Easter Sunday") << QDate(2016, 3, 27) << false;
    QTest::newRow("2000 Easter Monday") << QDate(2000, 4, 24) << true;
    QTest::newRow("2000 Good Friday, not yet") << QDate(2000, 4, 21) << false;
    QTest::newRow("2024 Easter Monday, 1 April") << QDate(2024, 4, 1) << true;
    QTest::newRow("2038 Easter Monday") << QDate(2038, 4, 26) << true;
    QTest::newRow("2285 Easter Monday, earliest") << QDate(2285, 3, 23) << true;
    QTest::newRow("4000 Good Friday") << QDate(4000, 4, 7) << true;
    QTest::newRow("4000 Easter Monday") << QDate(4000, 4, 10) << true;
    QTest::newRow("4000 the Monday after") << QDate(4000, 4, 17) << false;
    const int fixed[][2] = {{1, 1}, {5, 1}, {5, 8}, {7, 5}, {7, 6}, {9, 28}, {10, 28}, {11, 17}, {12, 24}, {12, 25}, {12, 26}};
    for (const auto &day : fixed)
        QTest::newRow(qPrintable(QStringLiteral("2017-%1-%2").arg(day[0]).arg(day[1]))) << QDate(2017, day[0], day[1]) << true;
    for (const QDate &workday : {QDate(2017, 1, 2), QDate(2017, 5, 2), QDate(2017, 7, 4), QDate(2017, 12, 27),
                                 QDate(2017, 12, 31), QDate(2017, 4, 13)})
        QTest::newRow(qPrintable(workday.toString(Qt::ISODate))) << workday << false;
}

void TestCalendarLayout::publicHolidays()
{
    QFETCH(QDate, date);
    QFETCH(bool, holiday);
    QCOMPARE(isCzechPublicHoliday(date), holiday);
}

void TestCalendarLayout::icalendarLines_data()
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

void TestCalendarLayout::icalendarLines()
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

void TestCalendarLayout::pageModel_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("firstShift"); // on 1 January
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<int>("shift");

    // The worked example: March 2017, "A" first, 10 mm boxes.
    QTest::newRow("2017-03-01 Wed") << QDate(2017, 3, 1) << 0 << 10.0 << 10.0 << QRectF(10, -40, 10, 10) << 2;
    QTest::newRow("2017-03-05 Sun") << QDate(2017, 3, 5) << 0 << 10.0 << 10.0 << QRectF(10, -80, 10, 10) << 0;
    QTest::newRow("2017-03-27 Mon") << QDate(2017, 3, 27) << 0 << 10.0 << 10.0 << QRectF(50, -20, 10, 10) << 1;
    QTest::newRow("2017-03-31 Fri") << QDate(2017, 3, 31) << 0 << 10.0 << 10.0 << QRectF(50, -60, 10, 10) << 2;
    // A month that begins on a Sunday uses six columns.
    QTest::newRow("2017-01-01 Sun, C") << QDate(2017, 1, 1) << 2 << 10.0 << 10.0 << QRectF(10, -80, 10, 10) << 2;
    QTest::newRow("2017-01-31 Tue, C") << QDate(2017, 1, 31) << 2 << 10.0 << 10.0 << QRectF(60, -30, 10, 10) << 2;
    QTest::newRow("2021-02-28 Sun, B") << QDate(2021, 2, 28) << 1 << 10.0 << 10.0 << QRectF(40, -80, 10, 10) << (1 + 58) % 3;
    // Boxes that are not square, and the shift at a month's first day late
    // in a leap year and in the last year.
    QTest::newRow("2017-03-06 Mon, 10 x 15") << QDate(2017, 3, 6) << 0 << 10.0 << 15.0 << QRectF(20, -30, 10, 15) << 1;
    QTest::newRow("2016-12-01 Thu, leap") << QDate(2016, 12, 1) << 0 << 12.0 << 8.0 << QRectF(12, -40, 12, 8) << 335 % 3;
    QTest::newRow("4000-12-31 Sun, leap") << QDate(4000, 12, 31) << 1 << 10.0 << 10.0 << QRectF(50, -80, 10, 10)
                                          << (1 + 365) % 3;
}

void TestCalendarLayout::pageModel()
{
    QFETCH(QDate, date);
    QFETCH(int, firstShift);
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(QRectF, box);
    QFETCH(int, shift);

    Layout layout{w, h, 10.0, {}};
    layout.font.ascent = 0.75;
    layout.font.descent = -0.25;
    for (const QChar digit : QStringLiteral("0123456789"))
        layout.font.advances.insert(digit, 0.5);
    const QDate first(date.year(), date.month(), 1);
    const MonthModel model = layOutMonth(date.year(), date.month(), shiftOnDate(first, firstShift), layout);
    QCOMPARE(model.days.size(), date.daysInMonth());
    QCOMPARE(model.shiftAfter, int((shiftOnDate(first, firstShift) + date.daysInMonth()) % 3));
    QCOMPARE(model.pageMm, QSizeF(8 * w, 9 * h));
    const DayCell &day = model.days.at(date.day() - 1);
    QCOMPARE(day.date, date);
    QCOMPARE(day.box, box);
    QCOMPARE(day.shift, shift);
    QCOMPARE(day.number, QString::number(date.day()));
    // The number centred: across by its width, and the middle of its
    // ascent and descent on the middle of the box.
    const double emMm = 10.0 * 25.4 / 72;
    QVERIFY(qAbs(day.numberWidthMm - day.number.size() * 0.5 * emMm) < 1e-9);
    QVERIFY(qAbs(day.baseline.x() + day.numberWidthMm / 2 - box.center().x()) < 1e-4);
    QVERIFY(qAbs(day.baseline.y() + 0.25 * emMm - box.center().y()) < 1e-4);
    // The free margins: the row above the boxes and the column to their left.
    QCOMPARE(model.headerArea(), QRectF(w, -h, 6 * w, h));
    QCOMPARE(model.weekdayCell(date.dayOfWeek()), QRectF(0, box.y(), w, h));
}

void TestCalendarLayout::pageSize()
{
    const QSizeF page = pageSizePoints(10, 10);
    QCOMPARE(page.width(), 226.7716535433071);
    QCOMPARE(page.height(), 255.1181102362205);
    QCOMPARE(pageSizePoints(10, 15).height(), 9 * 15 * 72 / 25.4);
    // Not square: rows 15 mm apart.
    const QDate monday(2017, 3, 6);
    QCOMPARE(dayBox(monday, 2, 10, 15).y() - dayBox(monday.addDays(1), 2, 10, 15).y(), 15.0);
}

void TestCalendarLayout::cmykFromColor()
{
    const Cmyk cmyk = Cmyk::fromColor(QColor::fromCmykF(1.0, 0.5, 0.0, 0.25));
    QCOMPARE(cmyk.cyan, 1.0);
    QVERIFY(qAbs(cmyk.magenta - 0.5) < 1.0 / 65535);
    QCOMPARE(cmyk.yellow, 0.0);
    QVERIFY(qAbs(cmyk.black - 0.25) < 1.0 / 65535);
}

QTEST_MAIN(TestCalendarLayout)
#include "tst_calendarlayout.moc"
