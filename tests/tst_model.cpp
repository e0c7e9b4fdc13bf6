#include "model/characters.h"
#include "model/holidays.h"
#include "model/look.h"
#include "model/pagemodel.h"

#include <QColor>
#include <QTest>

using namespace Calendar;

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    void shiftRotation_data();
    void shiftRotation();
    void consecutiveAcrossEveryMonthBoundary();
    void rotaPresets_data();
    void rotaPresets();
    void refusedRotas_data();
    void refusedRotas();
    void yearInNumbers_data();
    void yearInNumbers();
    void weekColumns_data();
    void weekColumns();
    void boxesOfMarch2017_data();
    void boxesOfMarch2017();
    void publicHolidays_data();
    void publicHolidays();
    void pageModel_data();
    void pageModel();
    void pageSize();
    void inkStates_data();
    void inkStates();
    void readableCharacters_data();
    void readableCharacters();
};

void TestModel::shiftRotation_data()
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

void TestModel::shiftRotation()
{
    QFETCH(QDate, date);
    QFETCH(int, firstShift);
    QFETCH(int, shift);
    // The form's rota: one crew on duty for the whole day.
    QCOMPARE(Rota().crewsOn(u'S', dayOfYear(date), firstShift), QVector<int>{shift});
}

void TestModel::consecutiveAcrossEveryMonthBoundary()
{
    const Rota rota;
    for (int year : {2016, 2017, 2000, 2100}) {
        for (int first = 0; first < 3; ++first) {
            for (QDate day(year, 1, 1); day.year() == year && day.addDays(1).year() == year; day = day.addDays(1)) {
                const int today = rota.crewsOn(u'S', dayOfYear(day), first).value(0, -1);
                QCOMPARE(rota.crewsOn(u'S', dayOfYear(day.addDays(1)), first).value(0, -1), (today + 1) % 3);
            }
        }
    }
}

void TestModel::rotaPresets_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("firstCrew");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QStringList>("days"); // each day: the code of crew A, B, ...

    // Worked out by hand from the pattern: crew k stands k * cycle / crews
    // days behind the first crew.
    const QDate january(2027, 1, 1), leapDay(2028, 2, 29);
    QTest::newRow("24 h, A-C, A first") << 0 << 0 << january
                                        << QStringList{"S--", "-S-", "--S", "S--", "-S-", "--S", "S--", "-S-", "--S", "S--"};
    QTest::newRow("24 h, A-C, C first") << 0 << 2 << january << QStringList{"--S", "S--", "-S-", "--S"};
    QTest::newRow("24 h, A-C, 29 February") << 0 << 0 << leapDay << QStringList{"--S", "S--"};
    QTest::newRow("24 h, A-D") << 1 << 0 << january
                               << QStringList{"S---", "-S--", "--S-", "---S", "S---", "-S--", "--S-", "---S", "S---", "-S--"};
    QTest::newRow("24 h, A-D, 29 February") << 1 << 0 << leapDay << QStringList{"---S", "S---"};
    QTest::newRow("12 h, A-D") << 2 << 0 << january
                               << QStringList{"D--N", "ND--", "-ND-", "--ND", "D--N", "ND--", "-ND-", "--ND", "D--N", "ND--"};
    QTest::newRow("12 h, A-D, C first") << 2 << 2 << january << QStringList{"-ND-", "--ND", "D--N"};
    QTest::newRow("12 h, A-D, 29 February") << 2 << 0 << leapDay << QStringList{"--ND", "D--N"};
    QTest::newRow("8 h, A-D") << 3 << 0 << january
                              << QStringList{"R-NO", "R-NO", "OR-N", "OR-N", "NOR-", "NOR-", "-NOR", "-NOR", "R-NO", "R-NO"};
    QTest::newRow("8 h, A-D, 29 February") << 3 << 0 << leapDay << QStringList{"OR-N", "NOR-"};
    QTest::newRow("8 h, A-E") << 4 << 0 << january
                              << QStringList{"R--NO", "R--NO", "OR--N", "OR--N", "NOR--", "NOR--", "-NOR-", "-NOR-",
                                             "--NOR", "--NOR"};
    QTest::newRow("8 h, A-E, B first") << 4 << 1 << january << QStringList{"OR--N", "OR--N", "NOR--"};
    QTest::newRow("8 h, A-E, 29 February") << 4 << 0 << leapDay << QStringList{"--NOR", "R--NO"};
}

void TestModel::rotaPresets()
{
    QFETCH(int, preset);
    QFETCH(int, firstCrew);
    QFETCH(QDate, from);
    QFETCH(QStringList, days);
    const Rota rota = Rota::fromPreset(preset);
    QVERIFY2(rota.isValid(), qPrintable(rota.problem()));
    QCOMPARE(rota.isDefault(), preset == 0);
    // The same pattern with its duty starting at seven is a rota of its own.
    Rota timed = rota;
    timed.kinds[0].start = QTime(7, 0);
    QVERIFY(!timed.isDefault());
    for (int i = 0; i < days.size(); ++i) {
        const int day = dayOfYear(from.addDays(i));
        QString codes;
        for (int crew = 0; crew < rota.crews; ++crew)
            codes += rota.codeOf(crew, day, firstCrew);
        QCOMPARE(codes, days.at(i));
        // Every kind worked by exactly one crew a day.
        for (const ShiftKind &kind : rota.usedKinds())
            QCOMPARE(rota.crewsOn(kind.code, day, firstCrew).size(), 1);
    }
}

void TestModel::refusedRotas_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("crews");
    QTest::addColumn<QString>("hint"); // a word the Czech hint must hold; empty: accepted
    QTest::newRow("empty") << "" << 3 << "rozpis";
    QTest::newRow("another letter") << "DX--" << 4 << "„X“";
    QTest::newRow("lower case letter") << "dn--" << 4 << "„d“";
    QTest::newRow("length not a multiple") << "DN-" << 4 << "násobkem";
    QTest::newRow("no work at all") << "----" << 4 << "žádný";
    QTest::newRow("seven crews") << "DN-----" << 7 << "2 až 6";
    QTest::newRow("one crew") << "S" << 1 << "2 až 6";
    QTest::newRow("a pattern of one's own") << "DDNN----" << 4 << "";
    QTest::newRow("six crews of 24 hours") << "S-----" << 6 << "";
    // The character named so that it can be read: not as white space, not
    // as half of itself, not turning the hint around.
    QTest::newRow("a pasted tab") << "D\tN-" << 4 << "„U+0009“";
    QTest::newRow("an emoji") << QString::fromUtf8("D\xF0\x9F\x98\x80N-") << 4 << QString::fromUtf8("„\xF0\x9F\x98\x80“");
    QTest::newRow("a right-to-left override") << QString::fromUtf8("D\xE2\x80\xAEN-") << 4 << "„U+202E“";
}

void TestModel::refusedRotas()
{
    QFETCH(QString, pattern);
    QFETCH(int, crews);
    QFETCH(QString, hint);
    Rota rota;
    rota.preset = Rota::Custom;
    rota.pattern = pattern;
    rota.crews = crews;
    QCOMPARE(rota.isValid(), hint.isEmpty());
    QVERIFY2(rota.problem().contains(hint), qPrintable(rota.problem()));
}

void TestModel::yearInNumbers_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("year");
    QTest::addColumn<QList<int>>("shifts"); // of each crew
    QTest::addColumn<QList<int>>("hours");
    // 2017 with "A" first: 365 days, A and B one more than C.
    QTest::newRow("24 h, A-C, 2017") << 0 << 2017 << QList<int>{122, 122, 121} << QList<int>{2928, 2928, 2904};
    QTest::newRow("24 h, A-D, 2028") << 1 << 2028 << QList<int>{92, 92, 91, 91} << QList<int>{2208, 2208, 2184, 2184};
    // 91 whole cycles of 4 days, then 2 days more: D, N for A; N for B;
    // none for C; D for D.
    QTest::newRow("12 h, A-D, 2028") << 2 << 2028 << QList<int>{184, 183, 182, 183}
                                     << QList<int>{2208, 2196, 2184, 2196};
    // 36 whole cycles of 10 days (216 shifts each), then 5 days more.
    QTest::newRow("8 h, A-E, 2027") << 4 << 2027 << QList<int>{221, 219, 217, 218, 220}
                                    << QList<int>{1768, 1752, 1736, 1744, 1760};
}

void TestModel::yearInNumbers()
{
    QFETCH(int, preset);
    QFETCH(int, year);
    QFETCH(QList<int>, shifts);
    QFETCH(QList<int>, hours);
    const Rota rota = Rota::fromPreset(preset);
    for (int crew = 0; crew < rota.crews; ++crew) {
        const CrewYear total = crewYear(rota, year, 0, crew);
        QCOMPARE(total.shifts, shifts.at(crew));
        QCOMPARE(total.hours, hours.at(crew));
    }
    // The Czech forms of the count: 1 směna, 2 to 4 směny, 5 and more směn.
    QCOMPARE(shiftsAndHours({1, 24}), QStringLiteral("1 směna, 24 h"));
    QCOMPARE(shiftsAndHours({4, 96}), QStringLiteral("4 směny, 96 h"));
    QCOMPARE(shiftsAndHours({5, 120}), QStringLiteral("5 směn, 120 h"));
}

void TestModel::weekColumns_data()
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

void TestModel::weekColumns()
{
    QFETCH(QDate, date);
    QFETCH(int, column);
    // The month's page puts the day in its week's column, one box wide each.
    const MonthModel page = layOutMonth(date.year(), date.month(), 0, Look(), TextFont());
    QCOMPARE(page.days.at(date.day() - 1).box.x(), column * 10.0);
}

void TestModel::boxesOfMarch2017_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("column");
    QTest::addColumn<QRectF>("box"); // x, y (lower-left), w, h in mm
    QTest::newRow("1") << 1 << 1 << QRectF(10, -40, 10, 10);
    QTest::newRow("2") << 2 << 1 << QRectF(10, -50, 10, 10);
    QTest::newRow("5") << 5 << 1 << QRectF(10, -80, 10, 10);
    QTest::newRow("6") << 6 << 2 << QRectF(20, -20, 10, 10);
    QTest::newRow("12") << 12 << 2 << QRectF(20, -80, 10, 10);
    QTest::newRow("13") << 13 << 3 << QRectF(30, -20, 10, 10);
    QTest::newRow("27") << 27 << 5 << QRectF(50, -20, 10, 10);
    QTest::newRow("31") << 31 << 5 << QRectF(50, -60, 10, 10);
}

void TestModel::boxesOfMarch2017()
{
    QFETCH(int, day);
    QFETCH(int, column);
    QFETCH(QRectF, box);
    QCOMPARE(dayBox(QDate(2017, 3, day), column, 10, 10), box);
}

void TestModel::publicHolidays_data()
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

void TestModel::publicHolidays()
{
    QFETCH(QDate, date);
    QFETCH(bool, holiday);
    QCOMPARE(isCzechPublicHoliday(date), holiday);
}

namespace {

// A look whose every crew and kind has an ink of its own, so that a fill
// tells whose it is: crew c has cyan c + 1, kind k magenta k + 1.
Look distinctLook(int preset = 0)
{
    Look look;
    look.rota = Rota::fromPreset(preset);
    for (int crew = 0; crew < MaximumCrews; ++crew)
        look.crewColors[size_t(crew)].cyan = crew + 1;
    for (int kind = 0; kind < KindCount; ++kind)
        look.kindColors[size_t(kind)].magenta = kind + 1;
    return look;
}

// "A" for crew A's colour, "kN" for kind N's.
QString whoseFill(const Cmyk &color)
{
    for (int crew = 0; crew < MaximumCrews; ++crew) {
        if (qFuzzyCompare(color.cyan, (crew + 1) / 100.0))
            return crewName(crew);
    }
    for (int kind = 0; kind < KindCount; ++kind) {
        if (qFuzzyCompare(color.magenta, (kind + 1) / 100.0))
            return QStringLiteral("k") + kindCodes().at(kind);
    }
    return QStringLiteral("?");
}

} // namespace

void TestModel::pageModel_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("firstShift"); // on 1 January
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<QString>("rota");  // a preset's number, or a pattern of one's own and its crews
    QTest::addColumn<int>("myCrew");
    // The fills from the top: bands split by "/", crews sharing one by "+",
    // "." for a band nobody works; a kind's colour as "kD"; empty: none.
    QTest::addColumn<QString>("fills");

    // The worked example: March 2017, "A" first, 10 mm boxes.
    QTest::newRow("2017-03-01 Wed") << QDate(2017, 3, 1) << 0 << 10.0 << 10.0 << QRectF(10, -40, 10, 10) << "0" << -1 << "C";
    QTest::newRow("2017-03-05 Sun") << QDate(2017, 3, 5) << 0 << 10.0 << 10.0 << QRectF(10, -80, 10, 10) << "0" << -1 << "A";
    QTest::newRow("2017-03-27 Mon") << QDate(2017, 3, 27) << 0 << 10.0 << 10.0 << QRectF(50, -20, 10, 10) << "0" << -1 << "B";
    QTest::newRow("2017-03-31 Fri") << QDate(2017, 3, 31) << 0 << 10.0 << 10.0 << QRectF(50, -60, 10, 10) << "0" << -1 << "C";
    // A month that begins on a Sunday uses six columns.
    QTest::newRow("2017-01-01 Sun, C") << QDate(2017, 1, 1) << 2 << 10.0 << 10.0 << QRectF(10, -80, 10, 10) << "0" << -1 << "C";
    QTest::newRow("2017-01-31 Tue, C") << QDate(2017, 1, 31) << 2 << 10.0 << 10.0 << QRectF(60, -30, 10, 10) << "0" << -1 << "C";
    QTest::newRow("2021-02-28 Sun, B") << QDate(2021, 2, 28) << 1 << 10.0 << 10.0 << QRectF(40, -80, 10, 10) << "0" << -1 << "C";
    // Boxes that are not square, and the shift at a month's first day late
    // in a leap year and in the last year.
    QTest::newRow("2017-03-06 Mon, 10 x 15") << QDate(2017, 3, 6) << 0 << 10.0 << 15.0 << QRectF(20, -30, 10, 15) << "0" << -1 << "B";
    QTest::newRow("2017-03-06 Mon, 4 x 20, the title by its width") << QDate(2017, 3, 6) << 0 << 4.0 << 20.0
                                                                     << QRectF(8, -40, 4, 20) << "0" << -1 << "B";
    QTest::newRow("2016-12-01 Thu, leap") << QDate(2016, 12, 1) << 0 << 12.0 << 8.0 << QRectF(12, -40, 12, 8) << "0" << -1 << "C";
    QTest::newRow("4000-12-31 Sun, leap") << QDate(4000, 12, 31) << 1 << 10.0 << 10.0 << QRectF(50, -80, 10, 10) << "0" << -1 << "A";
    // Every rota: a band per kind, from the first to start; one crew's view.
    QTest::newRow("12 h, 2027-01-01 Fri") << QDate(2027, 1, 1) << 0 << 10.0 << 10.0 << QRectF(10, -60, 10, 10) << "2" << -1 << "A/D";
    QTest::newRow("8 h, A-D, 2027-01-03 Sun") << QDate(2027, 1, 3) << 0 << 10.0 << 12.0 << QRectF(10, -96, 10, 12) << "3" << -1 << "B/A/D";
    QTest::newRow("8 h, A-E, 2027-01-01") << QDate(2027, 1, 1) << 0 << 10.0 << 10.0 << QRectF(10, -60, 10, 10) << "4" << -1 << "A/E/D";
    QTest::newRow("two crews on one kind") << QDate(2027, 1, 1) << 0 << 10.0 << 10.0 << QRectF(10, -60, 10, 10) << "DDD- 2" << -1 << "A+B";
    QTest::newRow("a kind nobody works") << QDate(2027, 1, 2) << 0 << 10.0 << 10.0 << QRectF(10, -70, 10, 10) << "DN-- 2" << -1 << "./A";
    QTest::newRow("crew B, 12 h, on days") << QDate(2027, 1, 2) << 0 << 10.0 << 10.0 << QRectF(10, -70, 10, 10) << "2" << 1 << "kD";
    QTest::newRow("crew B, 12 h, off") << QDate(2027, 1, 1) << 0 << 10.0 << 10.0 << QRectF(10, -60, 10, 10) << "2" << 1 << "";
    QTest::newRow("crew A, 24 h, on duty") << QDate(2017, 3, 5) << 0 << 10.0 << 10.0 << QRectF(10, -80, 10, 10) << "0" << 0 << "kS";
}

void TestModel::pageModel()
{
    QFETCH(QDate, date);
    QFETCH(int, firstShift);
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(QRectF, box);
    QFETCH(QString, rota);
    QFETCH(int, myCrew);
    QFETCH(QString, fills);

    Look look = distinctLook(rota.section(QLatin1Char(' '), 0, 0).toInt());
    if (rota.contains(QLatin1Char(' '))) {
        look.rota.preset = Rota::Custom;
        look.rota.pattern = rota.section(QLatin1Char(' '), 0, 0);
        look.rota.crews = rota.section(QLatin1Char(' '), 1).toInt();
    }
    look.myCrew = myCrew;
    look.holidays = true;
    look.boxWidthMm = w;
    look.boxHeightMm = h;
    TextFont font;
    font.ascent = 0.75;
    font.descent = -0.25;
    font.lineSpacing = 1.2;
    for (const QChar digit : QStringLiteral("0123456789"))
        font.advances.insert(digit.unicode(), 500);
    const MonthModel model = layOutMonth(date.year(), date.month(), firstShift, look, font);
    QCOMPARE(model.days.size(), date.daysInMonth());
    QCOMPARE(model.pageMm, QSizeF(8 * w, 9 * h));
    const DayCell &day = model.days.at(date.day() - 1);
    QCOMPARE(day.date, date);
    QCOMPARE(day.box, box);
    QCOMPARE(day.number, QString::number(date.day()));

    // The fills, band by band from the top of the box.
    QStringList bands = fills.isEmpty() ? QStringList() : fills.split(QLatin1Char('/'));
    int fill = 0;
    for (int band = 0; band < bands.size(); ++band) {
        const QStringList crews = bands.at(band).split(QLatin1Char('+'));
        if (crews == QStringList{QStringLiteral(".")})
            continue;
        for (int i = 0; i < crews.size(); ++i, ++fill) {
            QVERIFY(fill < day.fills.size());
            const QRectF expected(box.x() + i * w / crews.size(), box.y() + h - (band + 1) * h / bands.size(),
                                  w / crews.size(), h / bands.size());
            QCOMPARE(day.fills.at(fill).area, expected);
            QCOMPARE(whoseFill(day.fills.at(fill).color), crews.at(i));
        }
    }
    QCOMPARE(day.fills.size(), fill);

    // The number centred: across by its width, and the middle of its
    // ascent and descent on the middle of the box.
    const double emMm = 10.0 * 25.4 / 72;
    const double widthMm = day.number.size() * 0.5 * emMm;
    QVERIFY(qAbs(day.baseline.x() + widthMm / 2 - box.center().x()) < 1e-4);
    QVERIFY(qAbs(day.baseline.y() + 0.25 * emMm - box.center().y()) < 1e-4);
    // The free margins: the rows above and below the boxes and the column
    // to their left.
    QCOMPARE(model.headerArea(), QRectF(w, -h, 6 * w, h));
    QCOMPARE(model.footerArea(), QRectF(w, -9 * h, 6 * w, h));
    QCOMPARE(model.weekdayCell(date.dayOfWeek()), QRectF(0, box.y(), w, h));

    // Of these days only 1 January is a holiday: a triangle in the box's
    // top-right corner, 0.3 of its shorter side.
    QCOMPARE(day.holiday, date.dayOfYear() == 1);
    const QPointF corner(box.x() + w, box.y() + h);
    const double side = 0.3 * qMin(w, h);
    const QPolygonF mark({corner, corner - QPointF(side, 0), corner - QPointF(0, side)});
    QCOMPARE(day.mark, day.holiday ? mark : QPolygonF());

    // Labels at 40 pt: the title 60 pt unless that is more than 90 % of its
    // row's width (the year's digits, two ems here) or height (an em), and
    // centred on the row; a swatch for every crew of a rota of its own.
    look.labels = true;
    look.fontSizePt = 40;
    const MonthModel labelled = layOutMonth(date.year(), date.month(), firstShift, look, font);
    const TextLabel &title = labelled.labels.first();
    const double titleMm = qMin(qMin(60 * 25.4 / 72, 0.9 * 6 * w / 2), 0.9 * h);
    QVERIFY2(qAbs(title.sizePt * 25.4 / 72 - titleMm) < 1e-9, qPrintable(QString::number(title.sizePt)));
    QVERIFY(qAbs(title.baseline.x() + titleMm - 4 * w) < 1e-9);
    QVERIFY(qAbs(title.baseline.y() + 0.25 * titleMm + h / 2) < 1e-9);
    if (myCrew < 0)
        QCOMPARE(labelled.swatches.size(), rota == QLatin1String("0") ? 0 : look.rota.crews);
}

void TestModel::pageSize()
{
    const QSizeF page = pageSizePoints(10, 10);
    QCOMPARE(page.width(), 226.7716535433071);
    QCOMPARE(page.height(), 255.1181102362205);
    QCOMPARE(pageSizePoints(10, 15).height(), 9 * 15 * 72 / 25.4);
    // Not square: rows 15 mm apart.
    const QDate monday(2017, 3, 6);
    QCOMPARE(dayBox(monday, 2, 10, 15).y() - dayBox(monday.addDays(1), 2, 10, 15).y(), 15.0);
}

void TestModel::inkStates_data()
{
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QList<int>>("percentages");
    QTest::addColumn<bool>("roundTrip");
    QTest::newRow("10 20 30 40") << QByteArray::fromHex("0000000a000000140000001e00000028") << QList<int>{10, 20, 30, 40} << true;
    QTest::newRow("empty is white") << QByteArray() << QList<int>{0, 0, 0, 0} << false;
    QTest::newRow("six bytes: cyan only") << QByteArray::fromHex("000000640000") << QList<int>{100, 0, 0, 0} << false;
    QTest::newRow("255 and -5 kept within 0 to 100") << QByteArray::fromHex("000000ffffffffb00000000000000064")
                                                     << QList<int>{100, 0, 0, 100} << false;
    QTest::newRow("bytes after the 16th ignored") << QByteArray::fromHex("00000001000000020000000300000004ff")
                                                  << QList<int>{1, 2, 3, 4} << false;
}

void TestModel::inkStates()
{
    QFETCH(QByteArray, state);
    QFETCH(QList<int>, percentages);
    QFETCH(bool, roundTrip);
    const Ink ink = Ink::fromState(state);
    QCOMPARE((QList<int>{ink.cyan, ink.magenta, ink.yellow, ink.black}), percentages);
    QCOMPARE(ink.state().size(), 16);
    QCOMPARE(ink.state() == state, roundTrip);
    const Cmyk cmyk = ink.cmyk();
    QCOMPARE(cmyk.cyan, percentages.at(0) / 100.0);
    QCOMPARE(cmyk.black, percentages.at(3) / 100.0);
}

void TestModel::readableCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");     // each character as a message shows it
    QTest::addColumn<bool>("rightToLeft");  // whether any of them is written right to left
    QTest::newRow("letters") << "aé" << "a é" << false;
    // One character, however many code points: never two broken halves.
    QTest::newRow("an emoji") << QString::fromUtf8("\xF0\x9F\x98\x80") << QString::fromUtf8("\xF0\x9F\x98\x80") << false;
    QTest::newRow("a thumb with a skin tone") << QString::fromUtf8("\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD")
                                              << QString::fromUtf8("\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD") << false;
    QTest::newRow("e and a combining acute") << QString::fromUtf8("e\xCC\x81x") << QString::fromUtf8("e\xCC\x81 x") << false;
    // What shows as nothing, by its number.
    QTest::newRow("a tab") << "\t" << "U+0009" << false;
    QTest::newRow("nothing at all") << QString(QChar(0)) << "U+0000" << false;
    QTest::newRow("a no-break space") << QString::fromUtf8("\xC2\xA0") << "U+00A0" << false;
    QTest::newRow("an accent alone") << QString::fromUtf8("\xCC\x81") << "U+0301" << false;
    QTest::newRow("half an emoji") << QString(QChar(0xd83d)) << "U+D83D" << false;
    // What would turn the message around, by its number, and known for
    // what it is.
    QTest::newRow("a right-to-left override") << QString::fromUtf8("a\xE2\x80\xAE") << "a U+202E" << true;
    QTest::newRow("a right-to-left mark") << QString::fromUtf8("\xE2\x80\x8F") << "U+200F" << true;
    QTest::newRow("a left-to-right isolate") << QString::fromUtf8("\xE2\x81\xA6") << "U+2066" << true;
    QTest::newRow("Hebrew") << QString::fromUtf8("\xD7\xA9\xD7\x9C") << QString::fromUtf8("\xD7\xA9 \xD7\x9C") << true;
    QTest::newRow("Arabic") << QString::fromUtf8("\xD9\x85") << QString::fromUtf8("\xD9\x85") << true;
    QTest::newRow("Cyrillic and Greek") << QString::fromUtf8("\xD0\x96\xCE\xA9") << QString::fromUtf8("\xD0\x96 \xCE\xA9") << false;
}

void TestModel::readableCharacters()
{
    QFETCH(QString, text);
    QFETCH(QString, named);
    QFETCH(bool, rightToLeft);
    const QStringList clusters = graphemeClusters(text);
    QCOMPARE(clusters.join(QString()), text);
    QCOMPARE(Calendar::readableCharacters(clusters), named);
    bool any = false;
    forEachCodePoint(text, [&](uint character) { any = any || isRightToLeft(character); });
    QCOMPARE(any, rightToLeft);
    // Each unit of the text in the cluster that holds it.
    for (int i = 0; i < text.size(); ++i)
        QVERIFY(clusters.contains(clusterAt(text, i)));
}

QTEST_MAIN(TestModel)
#include "tst_model.moc"
