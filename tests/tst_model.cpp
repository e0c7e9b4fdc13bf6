#include "model/card.h"
#include "model/characters.h"
#include "model/holidays.h"
#include "model/hours.h"
#include "model/look.h"
#include "model/pagemodel.h"
#include "model/preflight.h"
#include "model/pragueclock.h"
#include "model/sheet.h"

#include <QColor>
#include <QTimeZone>
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
    void anchoredRotasRunOn_data();
    void anchoredRotasRunOn();
    void everyPhaseAgainstWalkingTheDays_data();
    void everyPhaseAgainstWalkingTheDays();
    void pragueClock_data();
    void pragueClock();
    void legendSaysWhichBand_data();
    void legendSaysWhichBand();
    void workingTimeMinuteByMinute_data();
    void workingTimeMinuteByMinute();
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
    void crewLetters_data();
    void crewLetters();
    void cardMonths_data();
    void cardMonths();
    void cardBack_data();
    void cardBack();
    void sheetPages_data();
    void sheetPages();
    void printShopSheet_data();
    void printShopSheet();
    void preflight_data();
    void preflight();
    void runOnToBleed_data();
    void runOnToBleed();
    void crewCards();
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
    QCOMPARE(Rota().crewsOn(u'S', date, firstShift), QVector<int>{shift});
}

void TestModel::consecutiveAcrossEveryMonthBoundary()
{
    const Rota rota;
    for (int year : {2016, 2017, 2000, 2100}) {
        for (int first = 0; first < 3; ++first) {
            for (QDate day(year, 1, 1); day.year() == year && day.addDays(1).year() == year; day = day.addDays(1)) {
                const int today = rota.crewsOn(u'S', day, first).value(0, -1);
                QCOMPARE(rota.crewsOn(u'S', day.addDays(1), first).value(0, -1), (today + 1) % 3);
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
        const QDate day = from.addDays(i);
        QString codes;
        for (int crew = 0; crew < rota.crews; ++crew)
            codes += rota.codeOf(crew, day, firstCrew);
        QCOMPARE(codes, days.at(i));
        // Every kind worked by exactly one crew a day.
        for (const ShiftKind &kind : rota.usedKinds())
            QCOMPARE(rota.crewsOn(kind.code, day, firstCrew).size(), 1);
    }
}

void TestModel::anchoredRotasRunOn_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<QDate>("anchorDate");
    QTest::addColumn<int>("anchorCrew");
    QTest::addColumn<int>("anchorDay");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QStringList>("days"); // each day: the code of crew A, B, ...
    QTest::addColumn<QString>("yearStart"); // where the rota stands on 1 January of from's year

    // Worked out by hand. 8 h of five crews, RROONN----: on 5 January 2026
    // A works day 1 (R); B is two days behind (day 9, -), C on day 7 (-),
    // D on day 5 (N), E on day 3 (O). Four days earlier, on 1 January, A
    // was on day 7 and D on day 1.
    QTest::newRow("8 h of five, on the anchor") << 4 << QDate(2026, 1, 5) << 0 << 1 << QDate(2026, 1, 5)
                                                << QStringList{"R--NO", "R--NO", "OR--N", "OR--N"} << "D 1";
    // 361 days later (36 cycles and a day) on 1 January 2027: A on day 2,
    // and the day after on day 3.
    QTest::newRow("8 h of five, into 2027") << 4 << QDate(2026, 1, 5) << 0 << 1 << QDate(2027, 1, 1)
                                            << QStringList{"R--NO", "OR--N"} << "A 2";
    // 2028 begins 365 days after that (726 from the anchor): A on day 7
    // (-), B on 5 (N), C on 3 (O), D on 1 (R), E on 9 (-).
    QTest::newRow("8 h of five, into 2028") << 4 << QDate(2026, 1, 5) << 0 << 1 << QDate(2028, 1, 1)
                                            << QStringList{"-NOR-", "-NOR-"} << "D 1";
    // 12 h, DN--: on 30 June 2027 crew C has its night (day 2). Each crew
    // runs a day behind the one before: A is on day 4 (-), B on day 3 (-),
    // D on day 1 (D). 180 days earlier, on 1 January, A was on day 4 and D
    // on day 1.
    QTest::newRow("12 h, C's night on 30 June") << 2 << QDate(2027, 6, 30) << 2 << 2 << QDate(2027, 6, 30)
                                               << QStringList{"--ND", "D--N"} << "D 1";
    // Back in time from the anchor: 29 June is a day before.
    QTest::newRow("12 h, the day before") << 2 << QDate(2027, 6, 30) << 2 << 2 << QDate(2027, 6, 29)
                                         << QStringList{"-ND-", "--ND"} << "D 1";
    // The form's rota anchored on a leap day: C on duty on 29 February
    // 2028, day 59 of the year; 59 = 3 x 19 + 2, so A was on duty on
    // 1 January.
    QTest::newRow("24 h of three, leap day") << 0 << QDate(2028, 2, 29) << 2 << 1 << QDate(2028, 2, 29)
                                             << QStringList{"--S", "S--"} << "A 1";
}

void TestModel::anchoredRotasRunOn()
{
    QFETCH(int, preset);
    QFETCH(QDate, anchorDate);
    QFETCH(int, anchorCrew);
    QFETCH(int, anchorDay);
    QFETCH(QDate, from);
    QFETCH(QStringList, days);
    QFETCH(QString, yearStart);
    Rota rota = Rota::fromPreset(preset);
    rota.anchor = {true, anchorDate, anchorCrew, anchorDay};
    QVERIFY2(rota.isValid(), qPrintable(rota.problem()));
    for (int i = 0; i < days.size(); ++i) {
        QString codes;
        for (int crew = 0; crew < rota.crews; ++crew)
            // The first crew of the form does not move an anchored rota.
            codes += rota.codeOf(crew, from.addDays(i), (crew + i) % rota.crews);
        QCOMPARE(codes, days.at(i));
    }
    const YearStart start = rota.yearStart(from.year(), 1);
    QCOMPARE(QStringLiteral("%1 %2").arg(crewName(start.crew)).arg(start.day), yearStart);
}

void TestModel::everyPhaseAgainstWalkingTheDays_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("crews");
    for (int preset = 0; preset < Rota::Custom; ++preset) {
        const Rota rota = Rota::fromPreset(preset);
        QTest::newRow(qPrintable(rota.pattern)) << rota.pattern << rota.crews;
    }
    QTest::newRow("two crews, DDNN") << "DDNN" << 2;
    QTest::newRow("three crews, RON") << "RON" << 3;
    QTest::newRow("six crews, DDNN--------") << "DDNN--------" << 6;
}

void TestModel::everyPhaseAgainstWalkingTheDays()
{
    QFETCH(QString, pattern);
    QFETCH(int, crews);
    Rota rota;
    rota.preset = Rota::Custom;
    rota.pattern = pattern;
    rota.crews = crews;
    QVERIFY2(rota.isValid(), qPrintable(rota.problem()));
    const int cycle = pattern.size(), behind = cycle / crews;
    const QDate first(2000, 1, 1), last(2100, 12, 31);
    // Every place in the cycle, each from an anchor somewhere in the
    // century: the days are walked one by one from the anchor, each crew a
    // letter on every day, never by a formula, straight across every New
    // Year.
    for (int phase = 0; phase < cycle; ++phase) {
        const QDate anchorDate = first.addDays(977 * phase + 11);
        const int anchorCrew = phase % crews;
        const int anchorDay = (5 * phase) % cycle + 1;
        rota.anchor = {true, anchorDate, anchorCrew, anchorDay};
        QVector<int> letter(crews);
        for (int crew = 0; crew < crews; ++crew)
            letter[crew] = ((anchorDay - 1 - (crew - anchorCrew) * behind) % cycle + cycle) % cycle;
        for (QDate day = anchorDate; day > first; day = day.addDays(-1)) {
            for (int &each : letter)
                each = (each + cycle - 1) % cycle;
        }
        for (QDate day = first; day <= last; day = day.addDays(1)) {
            for (int crew = 0; crew < crews; ++crew) {
                if (rota.codeOf(crew, day, 0) != pattern.at(letter[crew]))
                    QFAIL(qPrintable(QStringLiteral("phase %1, crew %2, %3").arg(phase).arg(crew).arg(day.toString(Qt::ISODate))));
                letter[crew] = (letter[crew] + 1) % cycle;
            }
        }
    }
    // Without an anchor: each year from its first crew at the pattern's
    // start, every first crew.
    rota.anchor = RotaAnchor();
    for (int firstCrew = 0; firstCrew < crews; ++firstCrew) {
        for (const int year : {2000, 2024, 2100}) {
            QVector<int> letter(crews);
            for (int crew = 0; crew < crews; ++crew)
                letter[crew] = (((firstCrew - crew) * behind) % cycle + cycle) % cycle;
            for (QDate day(year, 1, 1); day.year() == year; day = day.addDays(1)) {
                for (int crew = 0; crew < crews; ++crew) {
                    QCOMPARE(rota.codeOf(crew, day, firstCrew), pattern.at(letter[crew]));
                    letter[crew] = (letter[crew] + 1) % cycle;
                }
            }
        }
    }
}

void TestModel::pragueClock_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("start"); // invalid for a kind worked all day
    QTest::addColumn<int>("hours");
    QTest::addColumn<QDateTime>("startUtc");
    QTest::addColumn<int>("minutes"); // as they pass
    const auto utc = [](int y, int mo, int d, int h, int mi) { return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC); };
    // Winter UTC+1, summer UTC+2; in 2027 the clocks go on at 2:00 on
    // 28 March and back at 3:00 on 31 October.
    QTest::newRow("a winter day") << QDate(2027, 1, 15) << QTime(6, 0) << 12 << utc(2027, 1, 15, 5, 0) << 720;
    QTest::newRow("a summer day") << QDate(2027, 7, 1) << QTime(6, 0) << 12 << utc(2027, 7, 1, 4, 0) << 720;
    QTest::newRow("the night into 28 March") << QDate(2027, 3, 27) << QTime(18, 0) << 12 << utc(2027, 3, 27, 17, 0) << 660;
    QTest::newRow("an 8 h night into 28 March") << QDate(2027, 3, 27) << QTime(22, 0) << 8 << utc(2027, 3, 27, 21, 0)
                                                << 420;
    QTest::newRow("the night into 31 October") << QDate(2027, 10, 30) << QTime(18, 0) << 12 << utc(2027, 10, 30, 16, 0)
                                               << 780;
    QTest::newRow("24 h from 7:00 across October") << QDate(2027, 10, 30) << QTime(7, 0) << 24
                                                   << utc(2027, 10, 30, 5, 0) << 1500;
    QTest::newRow("a whole 28 March") << QDate(2027, 3, 28) << QTime() << 24 << utc(2027, 3, 27, 23, 0) << 1380;
    QTest::newRow("a whole 31 October") << QDate(2027, 10, 31) << QTime() << 24 << utc(2027, 10, 30, 22, 0) << 1500;
    // 2:30 on 28 March never shows: read with the winter offset, it is 3:30
    // summer time, which is also when the hour to 3:30 ends, as a phone
    // reads the same times; on 31 October it shows twice: the first.
    QTest::newRow("from 2:30 on 28 March") << QDate(2027, 3, 28) << QTime(2, 30) << 1 << utc(2027, 3, 28, 1, 30) << 0;
    QTest::newRow("from 2:30 on 31 October") << QDate(2027, 10, 31) << QTime(2, 30) << 1 << utc(2027, 10, 31, 0, 30)
                                             << 120;
    QTest::newRow("across New Year") << QDate(2027, 12, 31) << QTime(22, 0) << 8 << utc(2027, 12, 31, 21, 0) << 480;
    // 2100: the last Sunday of March is the 28th.
    QTest::newRow("the night into 28 March 2100") << QDate(2100, 3, 27) << QTime(22, 0) << 8
                                                  << utc(2100, 3, 27, 21, 0) << 420;
}

void TestModel::pragueClock()
{
    QFETCH(QDate, date);
    QFETCH(QTime, start);
    QFETCH(int, hours);
    QFETCH(QDateTime, startUtc);
    QFETCH(int, minutes);
    const int minute = start.isValid() ? start.msecsSinceStartOfDay() / 60000 : 0;
    QCOMPARE(pragueInstant(date, minute), startUtc.toSecsSinceEpoch() / 60);
    ShiftKind kind;
    kind.start = start;
    kind.hours = hours;
    QCOMPARE(kind.minutesOn(date), minutes);
}

void TestModel::legendSaysWhichBand_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("crews");
    QTest::addColumn<int>("myCrew");
    QTest::addColumn<QStringList>("bands"); // the legend's texts after the crews' letters
    QTest::newRow("12 h") << "DN--" << 4 << -1 << QStringList{"nahoře D 6–18", "dole N 18–6"};
    QTest::newRow("8 h") << "RROONN--" << 4 << -1 << QStringList{"nahoře R 6–14", "uprostřed O 14–22", "dole N 18–6"};
    QTest::newRow("an all-day kind above") << "SD--" << 2 << -1 << QStringList{"nahoře S", "dole D 6–18"};
    // D and R both start at six: in the order of their letters' list.
    QTest::newRow("five kinds") << "SDNRO" << 5 << -1
                                << QStringList{"1. pruh S", "2. pruh D 6–18", "3. pruh R 6–14", "4. pruh O 14–22",
                                               "5. pruh N 18–6"};
    QTest::newRow("one kind: no bands") << "S---" << 4 << -1 << QStringList{};
    QTest::newRow("one crew: its kinds") << "DN--" << 4 << 1 << QStringList{"D 6–18", "N 18–6", "Směna B"};
}

void TestModel::legendSaysWhichBand()
{
    QFETCH(QString, pattern);
    QFETCH(int, crews);
    QFETCH(int, myCrew);
    QFETCH(QStringList, bands);
    Look look;
    look.labels = true;
    look.rota.preset = Rota::Custom;
    look.rota.pattern = pattern;
    look.rota.crews = crews;
    look.myCrew = myCrew;
    QVERIFY2(look.rota.isValid(), qPrintable(look.rota.problem()));
    TextFont font;
    font.ascent = 0.75;
    font.descent = -0.25;
    font.lineSpacing = 1.2;
    for (const QChar character : printableCharacters(look))
        font.advances.insert(character.unicode(), 500);
    const MonthModel page = layOutMonth(2027, 3, 0, look, font);
    // After the title and the weekdays: the legend, left to right and top
    // to bottom.
    QStringList legend;
    for (int i = 8; i < page.labels.size(); ++i)
        legend << page.labels.at(i).text;
    QStringList expected;
    if (myCrew < 0) {
        for (int crew = 0; crew < crews; ++crew)
            expected << QString(QChar(u'A' + crew));
    }
    QCOMPARE(legend, expected + bands);
    // Bands below the crews, inside the row under the boxes.
    for (int i = 8 + crews; myCrew < 0 && i < page.labels.size(); ++i) {
        QVERIFY(page.labels.at(i).baseline.y() < page.labels.at(8).baseline.y());
        QVERIFY(page.labels.at(i).baseline.y() > -9 * 10.0);
    }
}

void TestModel::workingTimeMinuteByMinute_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<bool>("withPlan"); // leave, sickness, a shift given away and extra shifts for crew B
    for (int preset = 0; preset < Rota::Custom; ++preset) {
        QTest::newRow(qPrintable(Rota::fromPreset(preset).pattern)) << preset << false;
        QTest::newRow(qPrintable(Rota::fromPreset(preset).pattern + QStringLiteral(", B's own year"))) << preset << true;
    }
}

void TestModel::workingTimeMinuteByMinute()
{
    QFETCH(int, preset);
    QFETCH(bool, withPlan);
    // A reference that walks every minute worked, with the system's zone
    // data for Prague's clock, its own list of public holidays, and the
    // pattern read by hand; every cell must agree to the minute.
    const QTimeZone prague("Europe/Prague");
    if (!prague.isValid())
        QSKIP("needs the system's zone data for Europe/Prague");
    const QVector<QDate> easterSundays = {
        QDate(2015, 4, 5),  QDate(2016, 3, 27), QDate(2017, 4, 16), QDate(2018, 4, 1),  QDate(2019, 4, 21),
        QDate(2020, 4, 12), QDate(2021, 4, 4),  QDate(2022, 4, 17), QDate(2023, 4, 9),  QDate(2024, 3, 31),
        QDate(2025, 4, 20), QDate(2026, 4, 5),  QDate(2027, 3, 28), QDate(2028, 4, 16), QDate(2029, 4, 1),
        QDate(2030, 4, 21), QDate(2031, 4, 13), QDate(2032, 3, 28), QDate(2033, 4, 17), QDate(2034, 4, 9),
        QDate(2035, 3, 25)}; // from Python's dateutil.easter
    const auto holiday = [&](const QDate &day) {
        static const int fixed[][2] = {{1, 1}, {5, 1}, {5, 8}, {7, 5}, {7, 6}, {9, 28}, {10, 28}, {11, 17}, {12, 24}, {12, 25}, {12, 26}};
        for (const auto &each : fixed) {
            if (day.month() == each[0] && day.day() == each[1])
                return true;
        }
        const QDate easter = easterSundays.at(day.year() - 2015);
        return day == easter.addDays(1) || (day.year() >= 2016 && day == easter.addDays(-2));
    };
    Look look;
    look.rota = Rota::fromPreset(preset);
    const Rota &rota = look.rota;
    const int behind = rota.cycle() / rota.crews;
    const int me = 1;
    if (withPlan) {
        look.myCrew = me;
        // Leave across the spring clock change, a sick day on a holiday, a
        // night given away across New Year, extra shifts on a day off and on
        // a working day.
        for (QDate day(2027, 3, 22); day <= QDate(2027, 4, 4); day = day.addDays(1))
            look.plan.insert(day, {Change::Leave, QChar(), QString()});
        look.plan.insert(QDate(2027, 5, 8), {Change::Sick, QChar(), QString()});
        look.plan.insert(QDate(2026, 12, 31), {Change::Off, QChar(), QStringLiteral("výměna s Petrem")});
        look.plan.insert(QDate(2027, 10, 30), {Change::Extra, rota.pattern.at(0), QString()});
        look.plan.insert(QDate(2027, 6, 15), {Change::Extra, rota.usedKinds().last().code, QString()});
    }
    for (int year = 2016; year <= 2035; ++year) {
        // Where the offset changes, in minutes since 1970, and what it is after.
        QVector<QPair<qint64, int>> offsets;
        for (const QTimeZone::OffsetData &transition :
             prague.transitions(QDateTime(QDate(year - 1, 12, 1), QTime(), Qt::UTC), QDateTime(QDate(year + 1, 1, 31), QTime(), Qt::UTC)))
            offsets.append({transition.atUtc.toSecsSinceEpoch() / 60, transition.offsetFromUtc / 60});
        for (int crew = 0; crew < rota.crews; ++crew) {
            if (withPlan && (crew != me || year < 2026 || year > 2028))
                continue;
            struct Cell { int shifts = 0, worked = 0, night = 0, weekend = 0, holiday = 0, fund = 0; };
            Cell months[12];
            for (QDate day(year - 1, 12, 31); day.year() <= year; day = day.addDays(1)) {
                const int letter = ((day.dayOfYear() - 1 - crew * behind) % rota.cycle() + rota.cycle()) % rota.cycle();
                QVector<QChar> worked;
                const auto change = look.plan.constFind(day);
                if (rota.pattern.at(letter) != u'-' && !(withPlan && change != look.plan.constEnd() && change->change != Change::Extra))
                    worked << rota.pattern.at(letter);
                if (withPlan && change != look.plan.constEnd() && change->change == Change::Extra)
                    worked << change->kind;
                for (const QChar code : worked) {
                    const ShiftKind &kind = rota.kind(code);
                    const QTime start = kind.isAllDay() ? QTime(0, 0) : kind.start;
                    const QDateTime wallEnd = QDateTime(day, start, Qt::UTC).addSecs(kind.hours * 3600);
                    const qint64 from = QDateTime(day, start, prague).toSecsSinceEpoch() / 60;
                    const qint64 to = QDateTime(wallEnd.date(), wallEnd.time(), prague).toSecsSinceEpoch() / 60;
                    if (day.year() == year)
                        ++months[day.month() - 1].shifts;
                    qint64 dayOfWall = -1;
                    QDate wallDay;
                    bool weekend = false, rest = false;
                    for (qint64 minute = from; minute < to; ++minute) {
                        int offset = 60;
                        for (const auto &change : offsets) {
                            if (change.first <= minute)
                                offset = change.second;
                        }
                        const qint64 wall = minute + offset;
                        if (wall / 1440 != dayOfWall) {
                            dayOfWall = wall / 1440;
                            wallDay = QDate(1970, 1, 1).addDays(dayOfWall);
                            weekend = wallDay.dayOfWeek() >= 6;
                            rest = holiday(wallDay);
                        }
                        const int ofDay = int(wall % 1440);
                        if (wallDay.year() != year)
                            continue;
                        Cell &cell = months[wallDay.month() - 1];
                        ++cell.worked;
                        cell.night += ofDay < 360 || ofDay >= 1320;
                        cell.weekend += weekend;
                        cell.holiday += rest;
                    }
                }
                if (day.year() == year && day.dayOfWeek() <= 5 && !holiday(day))
                    months[day.month() - 1].fund += 450; // 37.5 hours a week, 7.5 a day
            }
            const YearTime time = workingTime(look, year, 0, crew);
            Cell total;
            for (int month = 0; month < 12; ++month) {
                const Cell &cell = months[month];
                const WorkingTime &got = time.months[size_t(month)];
                const QString where = QStringLiteral("%1 crew %2 month %3").arg(year).arg(crew).arg(month + 1);
                QVERIFY2(got.shifts == cell.shifts && got.worked == cell.worked && got.night == cell.night
                             && got.weekend == cell.weekend && got.holiday == cell.holiday && got.fund == cell.fund,
                         qPrintable(where));
                total.shifts += cell.shifts;
                total.worked += cell.worked;
                total.fund += cell.fund;
            }
            QCOMPARE(time.year.shifts, total.shifts);
            QCOMPARE(time.year.worked, total.worked);
            QCOMPARE(time.year.difference(), total.worked - total.fund);
            // The nurse's year: 12 h, crew A, 2027: 183 shifts, a fund of
            // 1890 hours (252 weekdays that are not holidays, 7.5 hours each).
            if (preset == 2 && crew == 0 && year == 2027 && !withPlan) {
                QCOMPARE(time.year.shifts, 183);
                QCOMPARE(time.year.fund, 1890 * 60);
                QCOMPARE(hoursFigure(time.year.fund), QStringLiteral("1890,0"));
            }
        }
    }
}

void TestModel::refusedRotas_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("crews");
    QTest::addColumn<int>("nightHours"); // of the night shift, from 18:00
    QTest::addColumn<QString>("hint"); // a word the Czech hint must hold; empty: accepted
    QTest::newRow("empty") << "" << 3 << 12 << "rozpis";
    QTest::newRow("another letter") << "DX--" << 4 << 12 << "„X“";
    QTest::newRow("lower case letter") << "dn--" << 4 << 12 << "„d“";
    QTest::newRow("length not a multiple") << "DN-" << 4 << 12 << "násobkem";
    QTest::newRow("no work at all") << "----" << 4 << 12 << "žádný";
    QTest::newRow("seven crews") << "DN-----" << 7 << 12 << "2 až 6";
    QTest::newRow("one crew") << "S" << 1 << 12 << "2 až 6";
    QTest::newRow("a pattern of one's own") << "DDNN----" << 4 << 12 << "";
    QTest::newRow("six crews of 24 hours") << "S-----" << 6 << 12 << "";
    // One crew on two shifts at once: a night from 18:00 still on when the
    // next day's shift starts at 6:00.
    QTest::newRow("a night of 24 h, then a day") << "ND--" << 4 << 24 << "Noční (18–18) ještě trvá, když další den začíná Denní (6–18)";
    QTest::newRow("a night of 13 h, then a day") << "ND--" << 4 << 13 << "překrývají";
    QTest::newRow("a night of 12 h ends as the day begins") << "ND--" << 4 << 12 << "";
    QTest::newRow("the pattern's last night into its first day") << "D--N" << 4 << 13 << "překrývají";
    QTest::newRow("a night of 24 h, then a day off") << "N-" << 2 << 24 << "";
    // A whole day of service has no hours on the clock.
    QTest::newRow("a night before a whole day of service") << "NS--" << 4 << 24 << "";
    // The character named so that it can be read: not as white space, not
    // as half of itself, not turning the hint around.
    QTest::newRow("a pasted tab") << "D\tN-" << 4 << 12 << "„U+0009“";
    QTest::newRow("an emoji") << QString::fromUtf8("D\xF0\x9F\x98\x80N-") << 4 << 12 << QString::fromUtf8("„\xF0\x9F\x98\x80“");
    QTest::newRow("a right-to-left override") << QString::fromUtf8("D\xE2\x80\xAEN-") << 4 << 12 << "„U+202E“";
}

void TestModel::refusedRotas()
{
    QFETCH(QString, pattern);
    QFETCH(int, crews);
    QFETCH(int, nightHours);
    QFETCH(QString, hint);
    Rota rota;
    rota.preset = Rota::Custom;
    rota.pattern = pattern;
    rota.crews = crews;
    rota.kinds[kindIndex(u'N')].hours = nightHours;
    QCOMPARE(rota.isValid(), hint.isEmpty());
    QVERIFY2(rota.problem().contains(hint), qPrintable(rota.problem()));
}

void TestModel::yearInNumbers_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("year");
    QTest::addColumn<QList<int>>("shifts"); // of each crew
    QTest::addColumn<QList<int>>("hours");
    // Hours as they pass in Prague: the clocks go on at 2:00 on the last
    // Sunday of March and back at 3:00 on the last Sunday of October, so a
    // shift across either is an hour shorter or longer.
    // 2017 with "A" first: 365 days, A and B one more than C. A's day is
    // Sunday 26 March (day 84, 84 mod 3 = 0), 23 hours; B's Sunday 29
    // October (day 301), 25.
    QTest::newRow("24 h, A-C, 2017") << 0 << 2017 << QList<int>{122, 122, 121} << QList<int>{2927, 2929, 2904};
    // From 7:00: the Saturdays before the changes, 25 March 2028 (day 84,
    // crew A) and 28 October (day 301, crew B).
    QTest::newRow("24 h, A-D, 2028") << 1 << 2028 << QList<int>{92, 92, 91, 91} << QList<int>{2207, 2209, 2184, 2184};
    // 91 whole cycles of 4 days, then 2 days more: D, N for A; N for B;
    // none for C; D for D. The nights into the changes: D's on 25 March
    // (day 84, (84 - 1) mod 4 = 3) of 11 hours, A's on 28 October of 13.
    QTest::newRow("12 h, A-D, 2028") << 2 << 2028 << QList<int>{184, 183, 182, 183}
                                     << QList<int>{2209, 2196, 2184, 2195};
    // 36 whole cycles of 10 days (216 shifts each), then 5 days more. The
    // nights from 22:00 into 28 March 2027 (A's) and 31 October (E's).
    QTest::newRow("8 h, A-E, 2027") << 4 << 2027 << QList<int>{221, 219, 217, 218, 220}
                                    << QList<int>{1767, 1752, 1736, 1744, 1761};
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
        QCOMPARE(total.minutes, hours.at(crew) * 60);
    }
    // The Czech forms of the count: 1 služba, 2 to 4 služby, 5 and more služeb;
    // part of an hour with a decimal comma.
    QCOMPARE(shiftsAndHours({1, 24 * 60}), QStringLiteral("1 služba, 24 h"));
    QCOMPARE(shiftsAndHours({4, 96 * 60}), QStringLiteral("4 služby, 96 h"));
    QCOMPARE(shiftsAndHours({5, 120 * 60}), QStringLiteral("5 služeb, 120 h"));
    QCOMPARE(shiftsAndHours({5, 2195 * 60 + 30}), QStringLiteral("5 služeb, 2195,5 h"));
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

// The same for a row's rota: a preset's number, or "pattern crews" for a
// rota of one's own.
Look distinctLookOf(const QString &rota)
{
    Look look = distinctLook(rota.section(QLatin1Char(' '), 0, 0).toInt());
    if (rota.contains(QLatin1Char(' '))) {
        look.rota.preset = Rota::Custom;
        look.rota.pattern = rota.section(QLatin1Char(' '), 0, 0);
        look.rota.crews = rota.section(QLatin1Char(' '), 1).toInt();
    }
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
    QTest::newRow("2027-01-01 Fri, 10 x 30, the mark by the shorter side") << QDate(2027, 1, 1) << 0 << 10.0 << 30.0
                                                                         << QRectF(10, -180, 10, 30) << "0" << -1 << "A";
    QTest::newRow("2016-12-01 Thu, leap") << QDate(2016, 12, 1) << 0 << 12.0 << 8.0 << QRectF(12, -40, 12, 8) << "0" << -1 << "C";
    QTest::newRow("4000-12-31 Sun, leap") << QDate(4000, 12, 31) << 1 << 10.0 << 10.0 << QRectF(50, -80, 10, 10) << "0" << -1 << "A";
    // Every rota: a band per kind, from the first to start; one crew's view.
    QTest::newRow("12 h, 2027-01-01 Fri") << QDate(2027, 1, 1) << 0 << 10.0 << 10.0 << QRectF(10, -60, 10, 10) << "2" << -1 << "A/D";
    QTest::newRow("8 h, A-D, 2027-01-03 Sun") << QDate(2027, 1, 3) << 0 << 10.0 << 12.0 << QRectF(10, -96, 10, 12) << "3" << -1 << "B/A/D";
    QTest::newRow("8 h, A-E, 2027-01-01") << QDate(2027, 1, 1) << 0 << 10.0 << 10.0 << QRectF(10, -60, 10, 10) << "4" << -1 << "A/E/D";
    QTest::newRow("all day above the day, 1 Jan: A on S") << QDate(2027, 1, 1) << 0 << 10.0 << 10.0 << QRectF(10, -60, 10, 10)
                                                      << "SD-- 2" << -1 << "A/.";
    QTest::newRow("all day above the day, 4 Jan: B on D") << QDate(2027, 1, 4) << 0 << 10.0 << 10.0 << QRectF(20, -20, 10, 10)
                                                      << "SD-- 2" << -1 << "./B";
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

    Look look = distinctLookOf(rota);
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

    // With the crews' letters: each band's crews (one crew's kind), and
    // nothing where no colour is, in the band's bottom-left corner.
    look.crewLetters = true;
    TextFont letterFont = font;
    for (const QChar letter : QStringLiteral("ABCDEFSDNRO"))
        letterFont.advances.insert(letter.unicode(), 600);
    const MonthModel lettered = layOutMonth(date.year(), date.month(), firstShift, look, letterFont);
    QStringList letters;
    for (const TextLabel &label : lettered.labels) {
        if (box.contains(label.baseline))
            letters << label.text;
    }
    QStringList expectedLetters;
    for (int band = 0; band < bands.size(); ++band) {
        const QString crews = QString(bands.at(band)).remove(QLatin1Char('+')).remove(QLatin1Char('k'));
        if (crews != QLatin1String("."))
            expectedLetters << crews;
        const double bandBottom = box.y() + h - (band + 1) * h / bands.size();
        for (const TextLabel &label : lettered.labels) {
            if (label.text == crews && box.contains(label.baseline))
                QVERIFY(label.baseline.y() > bandBottom && label.baseline.y() < bandBottom + h / bands.size() / 2);
        }
    }
    QCOMPARE(letters, expectedLetters);
    look.crewLetters = false;

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
    // Numbers without boxes have no colours to explain: the title and the
    // weekdays only.
    look.textOnly = true;
    const MonthModel textOnly = layOutMonth(date.year(), date.month(), firstShift, look, font);
    QVERIFY(textOnly.swatches.isEmpty());
    QCOMPARE(textOnly.labels.size(), 8);
    QVERIFY(textOnly.days.at(date.day() - 1).fills.isEmpty());
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

void TestModel::crewLetters_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("rota"); // a preset's number, or a pattern of one's own and its crews
    QTest::addColumn<int>("myCrew");
    QTest::addColumn<QSizeF>("boxMm");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<QString>("change"); // of one's own plan that day: "", "leave", "extra N"
    QTest::addColumn<bool>("textOnly");
    QTest::addColumn<QStringList>("letters"); // from the top
    QTest::addColumn<double>("letterPt");
    QTest::addColumn<double>("numberMovedMm");

    // Numbers of 10 pt (3.5278 mm), each letter 0.6 em wide: a letter is
    // 0.6 of the numbers' size, 6 pt, where its box or band has room for
    // it, at most 0.55 of the band's shorter side; its left 0.06 of the
    // box's shorter side and half the 1 pt border (0.1764 mm) inside.
    const QSizeF page(10, 10);
    QTest::newRow("24 h: A") << QDate(2027, 1, 1) << "0" << -1 << page << QRectF(10, -60, 10, 10) << "" << false
                             << QStringList{"A"} << 6.0 << 0.0;
    QTest::newRow("24 h: B the next day") << QDate(2027, 1, 2) << "0" << -1 << page << QRectF(10, -70, 10, 10) << ""
                                          << false << QStringList{"B"} << 6.0 << 0.0;
    QTest::newRow("12 h: A by day, D by night") << QDate(2027, 1, 1) << "2" << -1 << page << QRectF(10, -60, 10, 10) << ""
                                                << false << QStringList{"A", "D"} << 6.0 << 0.0;
    // Three bands of 3.3333 mm: 0.55 of that, 1.8333 mm, is 5.1975 pt.
    QTest::newRow("8 h of five: three bands") << QDate(2027, 1, 1) << "4" << -1 << page << QRectF(10, -60, 10, 10) << ""
                                              << false << QStringList{"A", "E", "D"} << 5.1975 << 0.0;
    QTest::newRow("two crews share a kind") << QDate(2027, 1, 1) << "DDD- 2" << -1 << page << QRectF(10, -60, 10, 10)
                                            << "" << false << QStringList{"AB"} << 6.0 << 0.0;
    QTest::newRow("one crew's view: its kind") << QDate(2027, 1, 2) << "2" << 1 << page << QRectF(10, -70, 10, 10) << ""
                                               << false << QStringList{"D"} << 6.0 << 0.0;
    QTest::newRow("one crew's view: a day off") << QDate(2027, 1, 1) << "2" << 1 << page << QRectF(10, -60, 10, 10) << ""
                                                << false << QStringList() << 6.0 << 0.0;
    QTest::newRow("one crew's view: on leave") << QDate(2027, 1, 1) << "2" << 0 << page << QRectF(10, -60, 10, 10)
                                               << "leave" << false << QStringList() << 6.0 << 0.0;
    QTest::newRow("one crew's view: an extra night") << QDate(2027, 1, 3) << "2" << 0 << page << QRectF(10, -80, 10, 10)
                                                     << "extra N" << false << QStringList{"N"} << 6.0 << 0.0;
    // Without boxes the letters are all that tells the crews apart; no
    // border to keep off.
    QTest::newRow("text only") << QDate(2027, 1, 1) << "0" << -1 << page << QRectF(10, -60, 10, 10) << "" << true
                               << QStringList{"A"} << 6.0 << 0.0;
    // Boxes 4 mm wide: the "6" (1.7639 mm) stands 1.1181 mm in; the letter
    // (1.2700 mm) and its gap (0.15 of the numbers, 0.5292 mm) from 0.4164 mm
    // would end at 2.2156 mm, so the number moves right as far as the box
    // lets it, to 0.4164 mm from the right edge: 0.7016 mm; the letter takes
    // the 0.8740 mm left, 1.4567 mm high, 4.1292 pt.
    QTest::newRow("a narrow box moves the number") << QDate(2017, 3, 6) << "0" << -1 << QSizeF(4, 20)
                                                   << QRectF(8, -40, 4, 20) << "" << false << QStringList{"B"}
                                                   << 4.1292 << 0.7016;
}

void TestModel::crewLetters()
{
    QFETCH(QDate, date);
    QFETCH(QString, rota);
    QFETCH(int, myCrew);
    QFETCH(QSizeF, boxMm);
    QFETCH(QRectF, box);
    QFETCH(QString, change);
    QFETCH(bool, textOnly);
    QFETCH(QStringList, letters);
    QFETCH(double, letterPt);
    QFETCH(double, numberMovedMm);

    Look look = distinctLookOf(rota);
    look.myCrew = myCrew;
    look.boxWidthMm = boxMm.width();
    look.boxHeightMm = boxMm.height();
    look.textOnly = textOnly;
    if (change == QLatin1String("leave"))
        look.plan.insert(date, {Change::Leave, QChar(), QString()});
    else if (change.startsWith(QLatin1String("extra")))
        look.plan.insert(date, {Change::Extra, change.back(), QString()});
    TextFont font;
    font.ascent = 0.75;
    font.descent = -0.25;
    font.lineSpacing = 1.2;
    for (const QChar digit : QStringLiteral("0123456789"))
        font.advances.insert(digit.unicode(), 500);
    for (const QChar letter : QStringLiteral("ABCDEFSDNRO+"))
        font.advances.insert(letter.unicode(), 600);

    const MonthModel plain = layOutMonth(date.year(), date.month(), 0, look, font);
    look.crewLetters = true;
    const MonthModel lettered = layOutMonth(date.year(), date.month(), 0, look, font);
    const DayCell &day = lettered.days.at(date.day() - 1);
    QCOMPARE(day.box, box);
    // The letters of the day's box, bottom-left: their baselines in the box's
    // left fifth, below the middle of their band.
    QStringList found;
    const double border = textOnly ? 0.0 : 1.0 / 2 * 25.4 / 72;
    const double inset = 0.06 * qMin(boxMm.width(), boxMm.height());
    for (const TextLabel &label : lettered.labels) {
        // A change's code stands at the top left.
        if (!box.contains(label.baseline) || label.text.startsWith(QLatin1Char('+'))
            || QStringList({QStringLiteral("DOV"), QStringLiteral("NEM"), QStringLiteral("VOL")}).contains(label.text))
            continue;
        found << label.text;
        QVERIFY2(qAbs(label.baseline.x() - (box.x() + inset + border)) < 1e-9, qPrintable(QString::number(label.baseline.x())));
        QVERIFY2(qAbs(label.sizePt - letterPt) < 1e-3, qPrintable(QString::number(label.sizePt, 'f', 4)));
        // Never on the number: the letter, 0.6 em a character, ends left of it.
        const double letterEnd = label.baseline.x() + 0.6 * label.text.size() * label.sizePt * 25.4 / 72;
        QVERIFY(letterEnd <= day.baseline.x());
    }
    QCOMPARE(found, letters);
    // The number moves only where its box is too narrow for both, and only
    // with the letters on; everything else stays where it was.
    const DayCell &before = plain.days.at(date.day() - 1);
    QVERIFY2(qAbs(day.baseline.x() - before.baseline.x() - numberMovedMm) < 1e-4,
             qPrintable(QString::number(day.baseline.x() - before.baseline.x(), 'f', 4)));
    QCOMPARE(day.baseline.y(), before.baseline.y());
    QCOMPARE(day.fills.size(), before.fills.size());
    QCOMPARE(lettered.labels.mid(0, plain.labels.size()).size(), plain.labels.size());
    for (int i = 0; i < plain.labels.size(); ++i)
        QCOMPARE(lettered.labels.at(i).text, plain.labels.at(i).text);
    // Whatever the letters print is among the characters the font must hold.
    const QString printable = printableCharacters(look);
    for (const QString &text : qAsConst(found)) {
        for (const QChar letter : text)
            QVERIFY(printable.contains(letter));
    }
    look.crewLetters = false;
    QVERIFY(!printableCharacters(look).contains(QLatin1Char('A')));
}

namespace {

// A face whose every character is half an em wide, its lines 1.2 ems high
// from descent to ascent.
TextFont evenFont(const QString &characters)
{
    TextFont font;
    font.ascent = 0.9;
    font.descent = -0.3;
    font.lineSpacing = 1.4;
    for (const QChar character : characters)
        font.advances.insert(character.unicode(), 500);
    return font;
}

} // namespace

void TestModel::cardMonths_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<bool>("holiday");
    // Worked out by hand: months 19.5 mm wide, 1.2 mm apart, from 2 mm in;
    // (53.98 - 2 - 2 - 3.6 - 2 x 0.8) / 3 = 14.92667 mm high, 0.8 mm apart,
    // from 5.6 mm down; 27 % of that for the name and the initials, then six
    // weeks of 1.81608 mm; a seventh of the width a weekday.
    QTest::newRow("2027-01-01 Fri, first week") << QDate(2027, 1, 1) << QRectF(13.142857, -11.446278, 2.785714, 1.816078)
                                                << true;
    QTest::newRow("2027-03-29 Mon, fifth week") << QDate(2027, 3, 29) << QRectF(43.4, -18.710589, 2.785714, 1.816078)
                                                << true;
    QTest::newRow("2027-05-31 Mon, sixth week") << QDate(2027, 5, 31) << QRectF(2.0, -36.253333, 2.785714, 1.816078)
                                                << false;
    QTest::newRow("2027-07-04 Sun, first week") << QDate(2027, 7, 4) << QRectF(60.114286, -27.172944, 2.785714, 1.816078)
                                                << false;
    QTest::newRow("2027-12-26 Sun, last month") << QDate(2027, 12, 26) << QRectF(80.814286, -48.347844, 2.785714, 1.816078)
                                                << true;
}

void TestModel::cardMonths()
{
    QFETCH(QDate, date);
    QFETCH(QRectF, box);
    QFETCH(bool, holiday);
    Look look = distinctLook();
    look.holidays = true;
    const TextFont font = evenFont(cardCharacters(2027, 0, look));
    const CardModel card = layOutCard(2027, 0, look, font);
    QCOMPARE(card.front.parts.size(), 13); // the year, then the months
    const MonthModel &month = card.front.parts.at(date.month());
    const DayCell &day = month.days.at(date.day() - 1);
    QCOMPARE(day.date, date);
    const auto near = [](double a, double b) { return qAbs(a - b) < 1e-4; };
    QVERIFY2(near(day.box.x(), box.x()) && near(day.box.y(), box.y()) && near(day.box.width(), box.width())
                 && near(day.box.height(), box.height()),
             qPrintable(QStringLiteral("%1 %2 %3 %4").arg(day.box.x()).arg(day.box.y()).arg(day.box.width()).arg(day.box.height())));
    // The crew on duty, A first: one more every day.
    QCOMPARE(day.fills.size(), 1);
    QCOMPARE(whoseFill(day.fills.first().color), crewName((date.dayOfYear() - 1) % 3));

    // The number centred in its box as on the pages (the middle of its
    // ascent and descent on the box's), at 4.5 pt: a line of this face would
    // fit the box only smaller, and the card is read at arm's length.
    const double sizeMm = month.numberSizeMm;
    QVERIFY2(qAbs(sizeMm * 72 / 25.4 - 4.5) < 1e-5, qPrintable(QString::number(sizeMm * 72 / 25.4)));
    const double widthMm = day.number.size() * 0.5 * sizeMm;
    QVERIFY(near(day.baseline.x() + widthMm / 2, day.box.center().x()));
    QVERIFY(near(day.baseline.y() + 0.3 * sizeMm, day.box.center().y()));

    // A holiday's mark as on the pages: 0.3 of the box's shorter side, its
    // height here, in the top-right corner.
    QCOMPARE(day.holiday, holiday);
    if (holiday) {
        const QPointF corner(day.box.right(), day.box.bottom()); // y grows upwards
        const double side = 0.3 * 1.816078;
        QCOMPARE(day.mark.size(), 3);
        QVERIFY(near(day.mark.at(0).x(), corner.x()) && near(day.mark.at(0).y(), corner.y()));
        QVERIFY(near(day.mark.at(1).x(), corner.x() - side) && near(day.mark.at(1).y(), corner.y()));
        QVERIFY(near(day.mark.at(2).x(), corner.x()) && near(day.mark.at(2).y(), corner.y() - side));
    } else {
        QVERIFY(day.mark.isEmpty());
    }

    // Above the weeks the month's name, centred on the month, then the
    // weekdays' initials, each centred on its column.
    const double left = 2.0 + ((date.month() - 1) % 4) * 20.7;
    const double top = -(5.6 + ((date.month() - 1) / 4) * 15.726667);
    QCOMPARE(month.labels.size(), 8);
    const TextLabel &name = month.labels.first();
    QCOMPARE(name.text, monthName(date.month()));
    const double nameMm = name.sizePt * 25.4 / 72;
    QVERIFY(near(name.baseline.x() + name.text.size() * 0.5 * nameMm / 2, left + 19.5 / 2));
    QVERIFY(name.baseline.y() < top && name.baseline.y() > top - 0.16 * 14.926667);
    for (int weekday = 1; weekday <= 7; ++weekday) {
        const TextLabel &initial = month.labels.at(weekday);
        QCOMPARE(initial.text, weekdayName(weekday));
        const double initialMm = initial.sizePt * 25.4 / 72;
        QVERIFY(initialMm <= sizeMm + 1e-9);
        QVERIFY(near(initial.baseline.x() + initial.text.size() * 0.5 * initialMm / 2, left + (weekday - 0.5) * box.width()));
        QVERIFY(initial.baseline.y() < top - 0.16 * 14.926667 && initial.baseline.y() > top - 0.27 * 14.926667);
    }

    // With the crews' letters: each day's crew at the left of its box, the
    // number right of it and still inside the box; a two-digit number,
    // 1.5875 mm a digit here, leaves the letter less room.
    look.crewLetters = true;
    const TextFont letters = evenFont(cardCharacters(2027, 0, look) + printableCharacters(look));
    const CardModel letteredCard = layOutCard(2027, 0, look, letters);
    const MonthModel &lettered = letteredCard.front.parts.at(date.month());
    const DayCell &letteredDay = lettered.days.at(date.day() - 1);
    QStringList found;
    for (const TextLabel &label : lettered.labels) {
        if (!day.box.contains(label.baseline))
            continue;
        found << label.text;
        QVERIFY(label.baseline.x() > day.box.x());
        QVERIFY(label.baseline.x() + 0.5 * label.sizePt * 25.4 / 72 < letteredDay.baseline.x());
        QVERIFY(label.sizePt > 1.0);
    }
    QCOMPARE(found, QStringList{crewName((date.dayOfYear() - 1) % 3)});
    QVERIFY(letteredDay.baseline.x() >= day.baseline.x());
    QVERIFY(letteredDay.baseline.x() + day.number.size() * 0.5 * sizeMm < day.box.right());
}

void TestModel::cardBack_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("myCrew");
    QTest::addColumn<int>("firstCrew");
    QTest::addColumn<QStringList>("lines"); // in this order, among the back's
    // Crew C first on 1 January 2027, 365 days: in the form's rota C works
    // days 0, 3, ... 363 (122), A days 1, ... 364 (122), B days 2, ... 362
    // (121).
    // Hours as they pass: the day of 23 hours, 28 March (day 86), is B's,
    // the day of 25, 31 October (day 303), C's.
    QTest::newRow("24 h, C first") << 0 << -1 << 2
                                   << QStringList{"A: 122 služeb, 2928 h", "B: 121 služeb, 2903 h", "C: 122 služeb, 2929 h"};
    // 12 hours, C first: C on D, D, A and B a day behind each; 91 whole
    // cycles of 4 days (182 each), then 31 December: C by day, B by night.
    // The night into 28 March (from day 85) is C's, 11 hours; the night into
    // 31 October (from day 302) D's, 13 hours.
    QTest::newRow("12 h, C first") << 2 << -1 << 2
                                   << QStringList{"A: 182 služeb, 2184 h", "B: 183 služeb, 2196 h", "C: 183 služeb, 2195 h",
                                                  "D: 182 služeb, 2185 h", "nahoře: D Denní 6–18", "dole: N Noční 18–6"};
    QTest::newRow("12 h, crew B alone, C first") << 2 << 1 << 2
                                                 << QStringList{"D Denní 6–18", "N Noční 18–6", "Směna B: 183 služeb, 2196 h"};
    QTest::newRow("12 h, crew D alone, C first") << 2 << 3 << 2 << QStringList{"Směna D: 182 služeb, 2185 h"};
}

void TestModel::cardBack()
{
    QFETCH(int, preset);
    QFETCH(int, myCrew);
    QFETCH(int, firstCrew);
    QFETCH(QStringList, lines);
    Look look = distinctLook(preset);
    look.myCrew = myCrew;
    look.holidays = true;
    look.cardNote = QStringLiteral("HZS Praha, stanice 3");
    const TextFont font = evenFont(cardCharacters(2027, firstCrew, look));
    const CardModel card = layOutCard(2027, firstCrew, look, font);
    QCOMPARE(card.back.parts.size(), 1);
    const MonthModel &back = card.back.parts.first();
    QStringList texts;
    for (const TextLabel &label : back.labels)
        texts << label.text;
    int at = -1;
    for (const QString &line : lines) {
        const int found = texts.indexOf(line);
        QVERIFY2(found > at, qPrintable(line + QStringLiteral(" in ") + texts.join(QStringLiteral(" | "))));
        at = found;
    }
    // A swatch before each crew's line (or each kind's, for one crew), of
    // the height of a line, in that crew's colour.
    QCOMPARE(back.swatches.size(), myCrew < 0 ? look.rota.crews : 2);
    for (int i = 0; i < back.swatches.size(); ++i) {
        const Fill &swatch = back.swatches.at(i);
        const TextLabel &label = back.labels.at(i + 1); // after the heading
        const double sizeMm = label.sizePt * 25.4 / 72;
        QVERIFY(swatch.area.right() < label.baseline.x());
        QVERIFY(qAbs(swatch.area.center().y() - (label.baseline.y() + 0.3 * sizeMm)) < 1e-9);
        QCOMPARE(whoseFill(swatch.color), myCrew < 0 ? crewName(i) : QStringLiteral("k") + QString(label.text.at(0)));
    }
    // Every line inside the card, 2 mm from its edges, and a fifth of an em
    // clear of the line above it, so that accents and descenders never meet.
    QRectF previous;
    for (const TextLabel &label : back.labels) {
        const double sizeMm = label.sizePt * 25.4 / 72;
        const QRectF ink(label.baseline.x(), label.baseline.y() - 0.3 * sizeMm, label.text.size() * 0.5 * sizeMm, 1.2 * sizeMm);
        QVERIFY2(QRectF(2, -CardHeightMm + 2, CardWidthMm - 4, CardHeightMm - 4).contains(ink), qPrintable(label.text));
        if (!previous.isNull() && qAbs(ink.x() - previous.x()) < 1e-9)
            QVERIFY2(ink.bottom() + 0.2 * sizeMm <= previous.top(), qPrintable(label.text));
        previous = ink;
    }
}

void TestModel::sheetPages_data()
{
    QTest::addColumn<QSizeF>("card");
    QTest::addColumn<int>("pages");    // for twelve cards
    QTest::addColumn<QSizeF>("pageMm");
    QTest::addColumn<QPointF>("first"); // the first card's top-left corner, y down
    // A4 keeps 5 mm for the printer and 2.75 mm for the marks on each side:
    // 194.5 x 281.5 mm for the cards.
    QTest::newRow("8 x 24.3125 mm wide, as wide as A4 holds") << QSizeF(194.5, 90) << 4 << QSizeF(210, 297) << QPointF(7.7, 8.0);
    QTest::newRow("8 x 25 mm wide, pages of their own") << QSizeF(200, 90) << 12 << QSizeF(215.6, 105.6) << QPointF(7.8, 7.8);
    QTest::newRow("9 x 31.25 mm high, as high as A4 holds") << QSizeF(80, 281.25) << 6 << QSizeF(210, 297)
                                                            << QPointF(22.2, 7.8);
    QTest::newRow("9 x 31.3 mm high, pages of their own") << QSizeF(80, 281.7) << 12 << QSizeF(95.6, 297.3)
                                                          << QPointF(7.8, 7.8);
}

void TestModel::sheetPages()
{
    QFETCH(QSizeF, card);
    QFETCH(int, pages);
    QFETCH(QSizeF, pageMm);
    QFETCH(QPointF, first);
    const QVector<SheetPage> sheet = layOutSheet(card, 12);
    QCOMPARE(fitsA4(card), pageMm == QSizeF(210, 297));
    QCOMPARE(sheet.size(), pages);
    int cards = 0;
    for (const SheetPage &page : sheet) {
        QVERIFY(qAbs(page.sizeMm.width() - pageMm.width()) < 1e-9 && qAbs(page.sizeMm.height() - pageMm.height()) < 1e-9);
        cards += page.cards.size();
    }
    QCOMPARE(cards, 12);
    const QPointF origin = sheet.first().cardOrigins.first();
    QVERIFY2(qAbs(origin.x() - first.x()) < 1e-9 && qAbs(-origin.y() - first.y()) < 1e-9,
             qPrintable(QStringLiteral("%1, %2").arg(origin.x()).arg(-origin.y())));
}

void TestModel::printShopSheet_data()
{
    QTest::addColumn<QSizeF>("product");
    QTest::addColumn<double>("bleed");
    QTest::addColumn<int>("count");
    QTest::addColumn<QSizeF>("pageMm");
    QTest::addColumn<double>("border"); // from the page's edge to the cut
    // Around the cut: the bleed, 0.75 mm, a 2 mm mark, 0.75 mm of paper.
    QTest::newRow("the card, 3 mm") << QSizeF(85.6, 53.98) << 3.0 << 2 << QSizeF(98.6, 66.98) << 6.5;
    QTest::newRow("the card, no bleed") << QSizeF(85.6, 53.98) << 0.0 << 1 << QSizeF(92.6, 60.98) << 3.5;
    QTest::newRow("twelve months, 2 mm") << QSizeF(80, 90) << 2.0 << 12 << QSizeF(91, 101) << 5.5;
    QTest::newRow("a month of 25 mm boxes, 5 mm") << QSizeF(200, 225) << 5.0 << 12 << QSizeF(217, 242) << 8.5;
}

void TestModel::printShopSheet()
{
    QFETCH(QSizeF, product);
    QFETCH(double, bleed);
    QFETCH(int, count);
    QFETCH(QSizeF, pageMm);
    QFETCH(double, border);
    const QVector<SheetPage> fronts = layOutPrintShopSheet(product, count, bleed);
    const QVector<SheetPage> backs = mirroredBacks(fronts, product);
    QCOMPARE(fronts.size(), count);
    const auto near = [](double a, double b) { return qAbs(a - b) < 1e-9; };
    for (const QVector<SheetPage> &pages : {fronts, backs}) {
        for (int index = 0; index < pages.size(); ++index) {
            const SheetPage &page = pages.at(index);
            QVERIFY(near(page.sizeMm.width(), pageMm.width()) && near(page.sizeMm.height(), pageMm.height()));
            QCOMPARE(page.cards, QVector<int>{index});
            QCOMPARE(page.bleedMm, bleed);
            const QPointF origin = page.cardOrigins.first();
            QVERIFY2(near(origin.x(), border) && near(origin.y(), -border),
                     qPrintable(QStringLiteral("%1, %2").arg(origin.x()).arg(origin.y())));
            // Eight marks, each 2 mm long in line with an edge of the cut,
            // starting 0.75 mm beyond the bleed, all within the page.
            QCOMPARE(page.cropMarks.size(), 8);
            const QRectF cut(QPointF(border, -border - product.height()), product);
            const QRectF bled = cut.adjusted(-bleed, -bleed, bleed, bleed);
            for (const QLineF &mark : page.cropMarks) {
                QVERIFY(near(mark.length(), 2.0));
                const bool horizontal = near(mark.y1(), mark.y2());
                const double along = horizontal ? mark.y1() : mark.x1();
                const QList<double> edges = horizontal ? QList<double>{cut.top(), cut.bottom()}
                                                       : QList<double>{cut.left(), cut.right()};
                QVERIFY(std::any_of(edges.begin(), edges.end(), [&](double edge) { return near(along, edge); }));
                const double from = horizontal ? qMin(qAbs(mark.x1() - bled.left()), qAbs(mark.x1() - bled.right()))
                                               : qMin(qAbs(mark.y1() - bled.top()), qAbs(mark.y1() - bled.bottom()));
                const QRectF extent = QRectF(mark.p1(), mark.p2()).normalized();
                QVERIFY2(!extent.intersects(bled) && !bled.contains(mark.p1()) && !bled.contains(mark.p2()),
                         qPrintable(QStringLiteral("%1,%2 %3,%4").arg(mark.x1()).arg(mark.y1()).arg(mark.x2()).arg(mark.y2())));
                QVERIFY2(near(from, 0.75) || near(from, 2.75), qPrintable(QString::number(from)));
                QVERIFY(extent.left() >= 0 && extent.right() <= pageMm.width() + 1e-9 && extent.top() >= -pageMm.height() - 1e-9
                        && extent.bottom() <= 0);
            }
        }
    }
}

namespace {

// "InkLimit=400 SmallType=4": each rule found once at least, with its worst
// value over the pages ("*": any), and no other.
void compareFindings(const QVector<PreflightFinding> &findings, const QString &expected)
{
    QMap<QString, double> worst;
    const QStringList names = {"InkLimit", "SmallType", "ThinLine", "NearCut"};
    for (const PreflightFinding &finding : findings) {
        const QString name = names.at(int(finding.rule));
        const double value = finding.value;
        if (!worst.contains(name))
            worst.insert(name, value);
        else
            worst[name] = finding.rule == PreflightFinding::Rule::InkLimit ? qMax(worst[name], value) : qMin(worst[name], value);
    }
    QStringList found;
    for (auto rule = worst.constBegin(); rule != worst.constEnd(); ++rule)
        found << QStringLiteral("%1=%2").arg(rule.key()).arg(rule.value());
    QMap<QString, QString> wanted;
    for (const QString &item : expected.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        wanted.insert(item.section(QLatin1Char('='), 0, 0), item.section(QLatin1Char('='), 1));
    QVERIFY2(QSet<QString>(worst.keyBegin(), worst.keyEnd()) == QSet<QString>(wanted.keyBegin(), wanted.keyEnd()),
             qPrintable(found.join(QLatin1Char(' '))));
    for (auto rule = wanted.constBegin(); rule != wanted.constEnd(); ++rule) {
        if (rule.value() != QLatin1String("*"))
            QVERIFY2(qAbs(worst.value(rule.key()) - rule.value().toDouble()) < 1e-3, qPrintable(found.join(QLatin1Char(' '))));
    }
}

} // namespace

void TestModel::preflight_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("months"); // found on the twelve pages
    QTest::addColumn<QString>("card");   // found on the card's two sides
    QTest::newRow("the form's look") << "" << "" << "";
    QTest::newRow("crew A 100/100/100/100") << "black" << "InkLimit=400" << "InkLimit=400";
    QTest::newRow("the same under a limit of 400") << "black limit400" << "" << "";
    QTest::newRow("a limit of 190 for red 0/100/100/0") << "limit190" << "InkLimit=200" << "InkLimit=200";
    // The card's numbers are set no smaller than the print shop prints.
    QTest::newRow("4 pt numbers") << "4pt" << "SmallType=4" << "";
    QTest::newRow("borders of 0.05 pt") << "thin" << "ThinLine=0.05" << "ThinLine=*";
    // A width of 0 is the thinnest line the device draws.
    QTest::newRow("no border width") << "hairline" << "ThinLine=0" << "ThinLine=0";
    // Without boxes neither fills nor outlines print.
    QTest::newRow("text only, crew A 400 %, no border") << "textOnly black hairline" << "" << "";
    QTest::newRow("text only, the font 400 %") << "textOnly blackText" << "InkLimit=400" << "InkLimit=400";
    // Boxes 2 mm from each cut, their outline half a point nearer.
    QTest::newRow("2 mm boxes, 2 pt") << "small" << "SmallType=2 NearCut=1.82361" << "";
    // The legend's second line comes close to the foot of the page.
    QTest::newRow("labels, 12 h") << "labels preset2" << "NearCut=*" << "";
    // The card for a home printer: 2 mm in, 4.5 pt numbers.
    QTest::newRow("the home card") << "home" << "" << "SmallType=* NearCut=*";
}

void TestModel::preflight()
{
    QFETCH(QString, change);
    QFETCH(QString, months);
    QFETCH(QString, card);
    const QStringList changes = change.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    Look look;
    look.crewColors = {Ink{0, 100, 100, 0}, Ink{100, 0, 0, 0}, Ink{0, 0, 100, 0}, Ink{0, 0, 0, 40}, Ink{}, Ink{}};
    look.fontColor = look.borderColor = Ink{0, 0, 0, 100};
    look.printShop.on = !changes.contains(QLatin1String("home"));
    if (changes.contains(QLatin1String("black")))
        look.crewColors[0] = Ink{100, 100, 100, 100};
    if (changes.contains(QLatin1String("blackText")))
        look.fontColor = Ink{100, 100, 100, 100};
    if (changes.contains(QLatin1String("limit400")))
        look.printShop.inkLimit = 400;
    if (changes.contains(QLatin1String("limit190")))
        look.printShop.inkLimit = 190;
    if (changes.contains(QLatin1String("4pt")))
        look.fontSizePt = 4;
    if (changes.contains(QLatin1String("thin")))
        look.borderWidthPt = 0.05;
    if (changes.contains(QLatin1String("hairline")))
        look.borderWidthPt = 0;
    look.textOnly = changes.contains(QLatin1String("textOnly"));
    if (changes.contains(QLatin1String("small"))) {
        look.boxWidthMm = look.boxHeightMm = 2;
        look.fontSizePt = 2;
    }
    look.labels = changes.contains(QLatin1String("labels"));
    if (changes.contains(QLatin1String("preset2")))
        look.rota = Rota::fromPreset(2);
    QVERIFY(look.isValid());
    const TextFont font = evenFont(printableCharacters(look) + cardCharacters(2027, 0, look));
    QVector<PreflightFinding> found;
    for (int month = 1; month <= 12; ++month) {
        const MonthModel page = layOutMonth(2027, month, 0, look, font);
        const QVector<PreflightFinding> own = preflightPage({page}, page.pageArea(), monthName(month),
                                                            look.printShop.inkLimit, font);
        // Every finding is the page's own.
        for (const PreflightFinding &finding : own)
            QCOMPARE(finding.place, monthName(month));
        found += own;
    }
    compareFindings(found, months);
    const CardModel model = layOutCard(2027, 0, look, font);
    const QRectF cut(0, -53.98, 85.6, 53.98);
    compareFindings(preflightPage(model.front.parts, cut, QStringLiteral("přední"), look.printShop.inkLimit, font)
                        + preflightPage(model.back.parts, cut, QStringLiteral("zadní"), look.printShop.inkLimit, font),
                    card);
}

void TestModel::runOnToBleed_data()
{
    QTest::addColumn<QRectF>("area");
    QTest::addColumn<double>("bleed");
    QTest::addColumn<QRectF>("bled");
    QTest::addColumn<bool>("nearCut"); // what the checks make of the area filled
    // The card's cut: 85.6 x 53.98 mm, y growing upwards from its top.
    QTest::newRow("inside") << QRectF(10, -20, 5, 5) << 3.0 << QRectF(10, -20, 5, 5) << false;
    QTest::newRow("1 mm from the left cut") << QRectF(1, -20, 5, 5) << 3.0 << QRectF(1, -20, 5, 5) << true;
    QTest::newRow("on the left cut") << QRectF(0, -20, 5, 5) << 3.0 << QRectF(-3, -20, 8, 5) << false;
    QTest::newRow("on the top cut") << QRectF(10, -5, 5, 5) << 2.0 << QRectF(10, -5, 5, 7) << false;
    QTest::newRow("in the bottom right corner") << QRectF(80.6, -53.98, 5, 5) << 3.0 << QRectF(80.6, -56.98, 8, 8) << false;
    QTest::newRow("the whole card") << QRectF(0, -53.98, 85.6, 53.98) << 3.0 << QRectF(-3, -56.98, 91.6, 59.98) << false;
    QTest::newRow("across the right cut already") << QRectF(84, -20, 4, 5) << 3.0 << QRectF(84, -20, 4.6, 5) << false;
    QTest::newRow("on the cut, no bleed") << QRectF(0, -20, 5, 5) << 0.0 << QRectF(0, -20, 5, 5) << false;
}

void TestModel::runOnToBleed()
{
    QFETCH(QRectF, area);
    QFETCH(double, bleed);
    QFETCH(QRectF, bled);
    QFETCH(bool, nearCut);
    const QRectF cut(0, -53.98, 85.6, 53.98);
    const QRectF result = Calendar::runOnToBleed(area, cut, bleed);
    const auto near = [](double a, double b) { return qAbs(a - b) < 1e-9; };
    QVERIFY2(near(result.x(), bled.x()) && near(result.y(), bled.y()) && near(result.width(), bled.width())
                 && near(result.height(), bled.height()),
             qPrintable(QStringLiteral("%1 %2 %3 %4").arg(result.x()).arg(result.y()).arg(result.width()).arg(result.height())));
    // A fill in a day of the card's parts, run on as the area alone.
    MonthModel part;
    part.pageMm = QSizeF(85.6, 53.98);
    part.textOnly = true; // no outline: the fill alone
    DayCell day;
    day.fills.append({area, Cmyk{0, 0.5, 0, 0}});
    part.days.append(day);
    part.swatches.append({area, Cmyk{0.5, 0, 0, 0}});
    QVector<MonthModel> parts{part};
    Calendar::runOnToBleed(parts, cut, bleed);
    QCOMPARE(parts.first().swatches.first().area, result);
    // A fill at the cut is a background, one just inside it is too near.
    part.textOnly = false;
    part.swatches.clear();
    part.boxWidthMm = part.boxHeightMm = 10.0;
    part.days.first().box = QRectF(30, -30, 10, 10);
    part.days.first().number = QStringLiteral("1");
    part.days.first().baseline = QPointF(34, -26);
    part.borderWidthMm = 1.0;
    const QVector<PreflightFinding> found = preflightPage({part}, cut, QStringLiteral("x"), 300, TextFont());
    QCOMPARE(std::any_of(found.begin(), found.end(),
                         [](const PreflightFinding &f) { return f.rule == PreflightFinding::Rule::NearCut; }),
             nearCut);
}

void TestModel::crewCards()
{
    // The 12 h rota: four crews, each on its own card, the plan on B's alone.
    Look look = distinctLook(2);
    look.myCrew = 1;
    look.plan.insert(QDate(2027, 3, 5), {Change::Leave, QChar(), QString()});
    look.planColors[0] = Ink{45, 0, 55, 0};
    const TextFont font = evenFont(crewCardCharacters(2027, 0, look));
    const QVector<CardModel> cards = layOutCrewCards(2027, 0, look, font);
    QCOMPARE(cards.size(), 4);
    const Cmyk leave = Ink{45, 0, 55, 0}.cmyk();
    QSet<QString> fronts;
    for (int crew = 0; crew < 4; ++crew) {
        const CardModel &card = cards.at(crew);
        QCOMPARE(card.front.parts.first().labels.first().text, QStringLiteral("2027 · Směna %1").arg(QChar(u'A' + crew)));
        QCOMPARE(card.back.parts.first().labels.first().text, QStringLiteral("Směna %1 v roce 2027").arg(QChar(u'A' + crew)));
        // 5 March on the card: March is the third small month.
        const DayCell &fifth = card.front.parts.at(3).days.at(4);
        QCOMPARE(fifth.date, QDate(2027, 3, 5));
        const bool onLeave = std::any_of(fifth.fills.begin(), fifth.fills.end(),
                                         [&](const Fill &fill) { return fill.color == leave; });
        QCOMPARE(onLeave, crew == 1);
        // The crew's own days in the colours of their kinds: no two cards alike.
        QString days;
        for (int month = 1; month <= 12; ++month) {
            for (const DayCell &day : card.front.parts.at(month).days)
                days += day.fills.isEmpty() ? QStringLiteral("-") : whoseFill(day.fills.first().color);
        }
        fronts.insert(days);
    }
    QCOMPARE(fronts.size(), 4);
    QCOMPARE(crewCardCharacters(2027, 0, look).contains(QStringLiteral("Směna D")), true);
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
