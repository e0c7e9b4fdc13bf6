#include "fonts/glyphoutlines.h"
#include "model/holidays.h"
#include "model/sheet.h"
#include "output/filenames.h"
#include "output/filewriter.h"
#include "output/icalendar.h"
#include "output/yearwriter.h"
#include "render/calendarpdf.h"
#include "render/pdffont.h"
#include "render/screenpage.h"
#include "support/pdfreader.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QSet>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QPainter>
#include <QProcess>
#include <QTest>

#include <poppler-qt5.h>
#include <QtMath>

#include <csignal>
#include <memory>
#include <limits>

#include <QTemporaryFile>

#include <cstdio>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <sys/stat.h>

using namespace Calendar;
using namespace TestSupport;

namespace {

// One pure ink per crew, so that a rendered pixel says which crew it is.
Look helveticaLook()
{
    Look look;
    look.font = QStringLiteral("Helvetica");
    look.crewColors[0] = {100, 0, 0, 0};
    look.crewColors[1] = {0, 100, 0, 0};
    look.crewColors[2] = {0, 0, 100, 0};
    look.fontColor = {0, 0, 0, 100};
    look.borderColor = {0, 0, 0, 100};
    return look;
}

// The crew on duty in the form's rota, worked out here afresh: one more
// every day from the first, through every month and leap day.
int crewOnDuty(const QDate &date, int firstCrew)
{
    return int((firstCrew + QDate(date.year(), 1, 1).daysTo(date)) % 3);
}

// The box of a day, worked out here afresh: one column a week, the next
// after every Sunday, one row a weekday below a free one.
QRectF boxOf(const QDate &date, double w, double h)
{
    int column = 1;
    for (QDate day(date.year(), date.month(), 1); day < date; day = day.addDays(1))
        column += day.dayOfWeek() == Qt::Sunday;
    return {column * w, -(date.dayOfWeek() + 1) * h, w, h};
}

// A full disk, as far as this process is concerned: writes past `bytes`
// fail (with EFBIG), even as root. 0 leaves the limit alone.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(int bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        if (bytes <= 0)
            return;
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_saved{};
};

// Every TrueType program the file embeds passes the font checker; `expected`
// says whether there is one.
void checkFontPrograms(const QString &path, bool expected)
{
    bool checked = false;
    const QList<QStringList> programs = fontProgramProblems(path, &checked);
    if (!checked) {
        qWarning("python3-fonttools is not installed: the font programs are not checked");
        return;
    }
    QCOMPARE(programs.size(), expected ? 1 : 0);
    for (const QStringList &problems : programs)
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral(", "))));
}

// The file's bytes with every stream uncompressed, by qpdf.
QByteArray uncompressed(const QString &path)
{
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--stream-data=uncompress"), path, QStringLiteral("-")});
    qpdf.waitForFinished(60000);
    return qpdf.readAllStandardOutput();
}

// A PDF file's text but for the time it was made and the identifier made
// from it.
QString withoutTime(const QString &path)
{
    QFile pdf(path);
    return pdf.open(QIODevice::ReadOnly) ? QString::fromLatin1(pdf.readAll())
                                               .replace(QRegularExpression(QStringLiteral("D:\\d{14}[^)]*")), QString())
                                               .replace(QRegularExpression(QStringLiteral("<[0-9A-F]{32}>")), QString())
                                         : QString();
}

// A month's calendar as a run makes it, in the look's font.
QByteArray render(int year, int month, int firstShift, double w = 10, double h = 10, Look look = helveticaLook())
{
    look.boxWidthMm = w;
    look.boxHeightMm = h;
    PdfRunFont font(resolvePdfFont(look.font));
    const MonthModel model = layOutMonth(year, month, firstShift, look, font.measure(printableCharacters(look)));
    QString problem;
    if (!font.prepare(fontCharacters(look, model.text()), &problem)) {
        qWarning("the font could not be prepared: %s", qPrintable(problem));
        return {};
    }
    const PdfBytes pdf = renderMonth(font, model);
    if (!pdf.ok())
        qWarning("rendering failed: %s", qPrintable(pdf.detail));
    return pdf.bytes;
}

// The ink inside a day's box, away from its number and its border.
int inkOfDay(const ReadPdf &page, const QDate &date, double w, double h)
{
    const QRectF box = boxOf(date, w, h);
    return dominantInk(page.colorAtMm(box.x() + 0.15 * w, box.y() + 0.15 * h));
}

YearRequest yearRequest(const QString &folder, int year = 2017)
{
    YearRequest request;
    request.folder = folder;
    request.year = year;
    request.look = helveticaLook();
    return request;
}

} // namespace

class TestCalendarPdf : public QObject
{
    Q_OBJECT

private slots:
    void pageSizeAndVersion();
    void march2017();
    void january2017SixColumns();
    void february2021FourFullColumns();
    void nonSquareBoxes();
    void dayNumbersCentred_data();
    void dayNumbersCentred();
    void textOnly();
    void borderWidths_data();
    void borderWidths();
    void embeddedFontIsTheChosenFamily_data();
    void embeddedFontIsTheChosenFamily();
    void previewAgreesWithPdf_data();
    void previewAgreesWithPdf();
    void previewGlyphShapes_data();
    void previewGlyphShapes();
    void yearSheet_data();
    void yearSheet();
    void phoneCalendars_data();
    void phoneCalendars();
    void labelsReadBack_data();
    void labelsReadBack();
    void holidaysMarkTheirBoxesOnly_data();
    void holidaysMarkTheirBoxesOnly();
    void embeddableFaces_data();
    void embeddableFaces();
    void standard14IsNotEmbedded();
    void unusableFontIsAnError();
    void yearWithTheDefaultLook();
    void rotationAcrossTheYear();
    void missingFolder();
    void stopsAtAnUnwritableMonth_data();
    void stopsAtAnUnwritableMonth();
    void failedWriteLeavesNoFile();
    void failedMonthKeepsTheEarlierCalendar_data();
    void failedMonthKeepsTheEarlierCalendar();
    void replacingAFile_data();
    void replacingAFile();
    void refusesInvalidRequests_data();
    void refusesInvalidRequests();
    void replacesExistingCalendars();
    void walletCard_data();
    void walletCard();
    void anyLettersOfTheFont_data();
    void anyLettersOfTheFont();
    void textRefusedBeforeWriting_data();
    void textRefusedBeforeWriting();
    void familyStandsIn_data();
    void familyStandsIn();
    void rotaMonthsReadBack_data();
    void rotaMonthsReadBack();
    void sameFilesAsEver_data();
    void sameFilesAsEver();
    void crewLettersReadBack_data();
    void crewLettersReadBack();
    void quietRun();
};

void TestCalendarPdf::pageSizeAndVersion()
{
    const QByteArray march = render(2017, 3, 0);
    QVERIFY(march.startsWith("%PDF-1.3"));
    const ReadPdf page = readPdf(march);
    QVERIFY(page.loaded);
    QCOMPARE(page.pageCount, 1);
    QCOMPARE(page.versionMajor, 1);
    QCOMPARE(page.versionMinor, 3);
    QVERIFY(qAbs(page.pageSizePt.width() - 226.7716535433071) < 0.01);
    QVERIFY(qAbs(page.pageSizePt.height() - 255.1181102362205) < 0.01);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("march.pdf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(march);
    file.close();
    int exitCode = -1;
    runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path}, &exitCode);
    QCOMPARE(exitCode, 0);
}

void TestCalendarPdf::march2017()
{
    const ReadPdf page = readPdf(render(2017, 3, 0), 288);
    // The worked example: day, shift ("A" = 0).
    const QList<QPair<int, int>> days = {{1, 2}, {2, 0}, {5, 0}, {6, 1}, {12, 1}, {13, 2}, {27, 1}, {31, 2}};
    for (const auto &day : days)
        QCOMPARE(inkOfDay(page, QDate(2017, 3, day.first), 10, 10), day.second);
    // Every day, against the rotation.
    for (int day = 1; day <= 31; ++day) {
        const QDate date(2017, 3, day);
        QCOMPARE(inkOfDay(page, date, 10, 10), crewOnDuty(date, 0));
    }
    // Before the first and after the last day: nothing.
    QCOMPARE(dominantInk(page.colorAtMm(12, -18)), -1); // Monday of week 1
    QCOMPARE(dominantInk(page.colorAtMm(52, -68)), -1); // Saturday of week 5
    // The free margins: one box at the left and the top, the last column
    // and row of the page.
    QCOMPARE(dominantInk(page.colorAtMm(5, -15)), -1);
    QCOMPARE(dominantInk(page.colorAtMm(15, -5)), -1);
    QCOMPARE(dominantInk(page.colorAtMm(75, -45)), -1);
    QCOMPARE(dominantInk(page.colorAtMm(45, -85)), -1);
    // Border drawn in black on the box edges.
    const QColor edge = page.colorAtMm(20.0, -35);
    QVERIFY2(edge.red() < 60 && edge.green() < 60 && edge.blue() < 60, qPrintable(edge.name()));
}

void TestCalendarPdf::january2017SixColumns()
{
    // First shift "C": 1 January is "C", 2 January "A".
    const ReadPdf page = readPdf(render(2017, 1, 2), 288);
    QCOMPARE(inkOfDay(page, QDate(2017, 1, 1), 10, 10), 2);
    QCOMPARE(inkOfDay(page, QDate(2017, 1, 2), 10, 10), 0);
    // 1 January alone in column 1, Sunday row.
    QCOMPARE(dominantInk(page.colorAtMm(12, -78)), 2);
    for (int weekday = 1; weekday <= 6; ++weekday)
        QCOMPARE(dominantInk(page.colorAtMm(12, -(weekday + 1) * 10 + 2)), -1);
    // 30 and 31 January in column 6, which ends at 7 w.
    QCOMPARE(dominantInk(page.colorAtMm(62, -18)), crewOnDuty(QDate(2017, 1, 30), 2));
    QCOMPARE(dominantInk(page.colorAtMm(62, -28)), crewOnDuty(QDate(2017, 1, 31), 2));
    QCOMPARE(dominantInk(page.colorAtMm(72, -18)), -1);
}

void TestCalendarPdf::february2021FourFullColumns()
{
    const ReadPdf page = readPdf(render(2021, 2, 1), 288);
    for (int column = 1; column <= 4; ++column) {
        for (int weekday = 1; weekday <= 7; ++weekday)
            QVERIFY(dominantInk(page.colorAtMm(column * 10 + 2, -(weekday + 1) * 10 + 2)) >= 0);
    }
    for (int weekday = 1; weekday <= 7; ++weekday)
        QCOMPARE(dominantInk(page.colorAtMm(52, -(weekday + 1) * 10 + 2)), -1);
    QCOMPARE(inkOfDay(page, QDate(2021, 2, 28), 10, 10), crewOnDuty(QDate(2021, 2, 28), 1));
}

void TestCalendarPdf::nonSquareBoxes()
{
    const ReadPdf page = readPdf(render(2017, 3, 0, 10, 15), 288);
    QVERIFY(qAbs(page.pageSizePt.width() - 80 * 72 / 25.4) < 0.01);
    QVERIFY(qAbs(page.pageSizePt.height() - 135 * 72 / 25.4) < 0.01);
    for (int day = 1; day <= 31; ++day) {
        const QDate date(2017, 3, day);
        QCOMPARE(inkOfDay(page, date, 10, 15), crewOnDuty(date, 0));
    }
    // Monday row between 15 and 30 mm below the top.
    QCOMPARE(dominantInk(page.colorAtMm(22, -29)), crewOnDuty(QDate(2017, 3, 6), 0));
    QCOMPARE(dominantInk(page.colorAtMm(22, -14)), -1);
}

void TestCalendarPdf::dayNumbersCentred_data()
{
    QTest::addColumn<bool>("textOnly");
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("fontSizePt");
    QTest::newRow("boxes 10 x 10") << false << 10.0 << 10.0 << 10.0;
    QTest::newRow("text only 10 x 10") << true << 10.0 << 10.0 << 10.0;
    QTest::newRow("boxes 12 x 20") << false << 12.0 << 20.0 << 10.0;
    // Two digits wider than the box stay on one line, centred.
    QTest::newRow("numbers wider than the box") << false << 10.0 << 10.0 << 40.0;
    QTest::newRow("numbers wider, text only") << true << 4.0 << 10.0 << 23.0;
}

void TestCalendarPdf::dayNumbersCentred()
{
    QFETCH(bool, textOnly);
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(double, fontSizePt);
    Look look = helveticaLook();
    look.textOnly = textOnly;
    look.fontSizePt = fontSizePt;
    const ReadPdf page = readPdf(render(2017, 3, 0, w, h, look));
    QCOMPARE(page.words.size(), 31);
    for (const PdfWord &word : page.words) {
        bool isNumber = false;
        const int day = word.text.toInt(&isNumber);
        QVERIFY2(isNumber && day >= 1 && day <= 31, qPrintable(word.text));
        const QDate date(2017, 3, day);
        const QRectF box = boxOf(date, w, h);
        // Word boxes are top-down; the box is y-up from the top edge.
        const QPointF boxCentre(box.x() + w / 2, -(box.y() + h / 2));
        QVERIFY2(qAbs(word.boxMm.center().x() - boxCentre.x()) < 0.3, qPrintable(word.text));
        QVERIFY2(qAbs(word.boxMm.center().y() - boxCentre.y()) < 0.6, qPrintable(word.text));
    }
}

void TestCalendarPdf::textOnly()
{
    Look look = helveticaLook();
    look.textOnly = true;
    // Numbers in the font colour, never in the border colour.
    look.fontColor = {0, 100, 0, 0};
    look.borderColor = {100, 0, 0, 0};
    const QByteArray boxed = render(2017, 3, 0);
    const QByteArray plain = render(2017, 3, 0, 10, 10, look);
    const ReadPdf page = readPdf(plain, 288);
    QCOMPARE(page.pageSizePt, readPdf(boxed).pageSizePt);
    for (int day = 1; day <= 31; ++day)
        QCOMPARE(inkOfDay(page, QDate(2017, 3, day), 10, 10), -1);
    QCOMPARE(dominantInk(page.colorAtMm(20.0, -35)), -1); // no border either
    QVERIFY(!plain.contains(" re"));
    QSet<int> inks;
    for (int y = 0; y < page.image.height(); ++y) {
        for (int x = 0; x < page.image.width(); ++x)
            inks.insert(dominantInk(page.image.pixelColor(x, y)));
    }
    QVERIFY(inks.contains(1));
    QVERIFY(!inks.contains(0));
}

void TestCalendarPdf::borderWidths_data()
{
    QTest::addColumn<double>("borderPt");
    QTest::addColumn<int>("borderInk"); // 1 magenta, 3 black
    QTest::newRow("none, boxes still filled") << 0.0 << 3;
    QTest::newRow("1 pt") << 1.0 << 3;
    QTest::newRow("10 pt, 3.5 mm") << 10.0 << 3;
    QTest::newRow("10 pt, magenta") << 10.0 << 1;
}

void TestCalendarPdf::borderWidths()
{
    QFETCH(double, borderPt);
    QFETCH(int, borderInk);
    Look look = helveticaLook();
    look.borderWidthPt = borderPt;
    if (borderInk == 1)
        look.borderColor = {0, 100, 0, 0};
    const ReadPdf page = readPdf(render(2017, 3, 0, 10, 10, look), 288);
    // The stroke is centred on the box's edge, in millimetres on paper.
    const double halfStrokeMm = borderPt * 25.4 / 72 / 2;
    for (int day = 1; day <= 31; ++day) {
        const QDate date(2017, 3, day);
        const QRectF box = boxOf(date, 10, 10);
        QCOMPARE(dominantInk(page.colorAtMm(box.x() + 2.5, box.y() + 2.5)), crewOnDuty(date, 0));
        if (halfStrokeMm > 0.5)
            QCOMPARE(dominantInk(page.colorAtMm(box.x() + halfStrokeMm - 0.4, box.y() + 2.5)), borderInk);
    }
}

void TestCalendarPdf::embeddedFontIsTheChosenFamily_data()
{
    using Kind = PdfFontSource::Kind;
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("kind");
    QTest::newRow("DejaVu Sans") << "DejaVu Sans" << int(Kind::TrueType);
    QTest::newRow("Liberation Serif") << "Liberation Serif" << int(Kind::TrueType);
    QTest::newRow("DejaVu Sans Mono") << "DejaVu Sans Mono" << int(Kind::TrueType);
    QTest::newRow("Arial, not installed") << "Arial" << int(Kind::TrueType);
    QTest::newRow("Sans Serif, an alias") << "Sans Serif" << int(Kind::TrueType);
    QTest::newRow("Serif, an alias") << "Serif" << int(Kind::TrueType);
    QTest::newRow("Monospace, an alias") << "Monospace" << int(Kind::TrueType);
    // fonts-urw-base35: the CFF .otf comes first, then the .pfb and the .t1.
    QTest::newRow("Nimbus Sans, CFF before Type 1") << "Nimbus Sans" << int(Kind::Type1);
    // fonts-cantarell: CFF only.
    QTest::newRow("Cantarell, nothing embeddable") << "Cantarell" << int(Kind::Unusable);
}

void TestCalendarPdf::embeddedFontIsTheChosenFamily()
{
    QFETCH(QString, family);
    QFETCH(int, kind);
    // The family the toolkit draws for the name, as the font box shows it,
    // without the foundry it adds where several install the family.
    const QString shown = QFontInfo(QFont(family)).family().remove(QRegularExpression(QStringLiteral(" \\[.*\\]$")));
    if (kind != int(PdfFontSource::Kind::TrueType) && shown != family)
        QSKIP("the family is not installed (fonts-urw-base35, fonts-cantarell)");
    Look look = helveticaLook();
    look.font = QFontInfo(QFont(family)).family();
    const PdfFontSource source = resolvePdfFont(look.font);
    QCOMPARE(int(source.kind), kind);
    QCOMPARE(source.resolvedFamily, shown);
    if (kind == int(PdfFontSource::Kind::Unusable)) {
        // Refused before anything is written.
        QTemporaryDir dir;
        YearRequest request = yearRequest(dir.path());
        request.look = look;
        QCOMPARE(writeYear(request).status, YearResult::Status::FontUnavailable);
        QVERIFY(QDir(dir.path()).isEmpty());
        return;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("month.pdf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(render(2017, 3, 0, 10, 10, look));
    file.close();

    const QList<EmbeddedFont> fonts = fontsOf(path);
    QCOMPARE(fonts.size(), 1);
    const QString name = QString(shown).remove(QLatin1Char(' '));
    QVERIFY2(fonts.first().name == name || fonts.first().name.startsWith(name + QLatin1Char('-')),
             qPrintable(fonts.first().name));
    QVERIFY(fonts.first().embedded);
    // TrueType as a subset of the digits, Type 1 whole.
    QCOMPARE(fonts.first().subset, kind == int(PdfFontSource::Kind::TrueType));
    QVERIFY(!fonts.first().name.contains(QStringLiteral("Math")));
    QCOMPARE(readPdfFile(path).words.size(), 31);
    checkFontPrograms(path, kind == int(PdfFontSource::Kind::TrueType));
    // Numbers alone keep the face's hinting (its "fpgm" table).
    QCOMPARE(uncompressed(path).contains("fpgm"), kind == int(PdfFontSource::Kind::TrueType));
}

namespace {

// Where a kind of ink lies within `area` of an image: the bounding box of the
// pixels of one shift's ink, or the centre of the dark pixels (the day
// number).
QRectF inkBounds(const QImage &image, const QRect &area, int ink)
{
    QRect bounds;
    for (int y = qMax(area.top(), 0); y <= qMin(area.bottom(), image.height() - 1); ++y) {
        for (int x = qMax(area.left(), 0); x <= qMin(area.right(), image.width() - 1); ++x) {
            if (dominantInk(image.pixelColor(x, y)) == ink)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// The first pixel within `margin` pixels of the image's edge that is not
// paper white (lightness under 250), or (-1, -1).
QPoint inkNearEdge(const QImage &image, int margin)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const bool band = y < margin || y >= rgb.height() - margin;
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (!band && x == margin)
                x = rgb.width() - margin; // past the inside, to the right margin
            const QRgb c = line[x];
            if (qMax(qRed(c), qMax(qGreen(c), qBlue(c))) + qMin(qRed(c), qMin(qGreen(c), qBlue(c))) < 2 * 250)
                return {x, y};
        }
    }
    return {-1, -1};
}

QPointF numberCentre(const QImage &image, const QRect &area)
{
    // Mostly covered, and darker than the 50 % grey of the borders: the two
    // rasterisers smooth edges alike but not with the same weights.
    QRect bounds;
    for (int y = qMax(area.top(), 0); y <= qMin(area.bottom(), image.height() - 1); ++y) {
        for (int x = qMax(area.left(), 0); x <= qMin(area.right(), image.width() - 1); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qMax(c.red(), qMax(c.green(), c.blue())) < 100)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds.isEmpty() ? QPointF(-1, -1) : QRectF(bounds).center();
}

} // namespace

void TestCalendarPdf::previewAgreesWithPdf_data()
{
    QTest::addColumn<QDate>("month");
    QTest::addColumn<int>("firstShift");
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<bool>("textOnly");
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("labels");
    QTest::addColumn<bool>("holidays");
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("myCrew");
    QTest::addColumn<double>("borderPt");
    QTest::newRow("March 2017, squares") << QDate(2017, 3, 1) << 0 << 10.0 << 10.0 << false << "Liberation Sans"
                                         << false << false << 0 << -1 << 1.0;
    QTest::newRow("January 2017, a Sunday, wide boxes") << QDate(2017, 1, 1) << 2 << 12.0 << 8.0 << false
                                                       << "DejaVu Sans" << false << false << 0 << -1 << 1.0;
    QTest::newRow("October 2017, a Sunday, tall boxes") << QDate(2017, 10, 1) << 1 << 9.0 << 14.0 << false
                                                       << "Liberation Serif" << false << false << 0 << -1 << 1.0;
    QTest::newRow("March 2017, text only") << QDate(2017, 3, 1) << 1 << 11.0 << 9.0 << true << "Liberation Sans"
                                           << false << false << 0 << -1 << 1.0;
    QTest::newRow("February 2021, built-in Helvetica") << QDate(2021, 2, 1) << 1 << 10.0 << 10.0 << false
                                                      << "Helvetica" << false << false << 0 << -1 << 1.0;
    QTest::newRow("May 2017, labels and holidays") << QDate(2017, 5, 1) << 0 << 10.0 << 10.0 << false
                                                   << "Liberation Sans" << true << true << 0 << -1 << 1.0;
    QTest::newRow("December 2017, text only, labels and holidays") << QDate(2017, 12, 1) << 2 << 12.0 << 9.0 << true
                                                                   << "DejaVu Serif" << true << true << 0 << -1 << 1.0;
    QTest::newRow("April 2016, Easter, built-in Helvetica") << QDate(2016, 3, 1) << 0 << 10.0 << 10.0 << false
                                                            << "Helvetica" << true << true << 0 << -1 << 1.0;
    QTest::newRow("May 2027, 8 h bands and a legend") << QDate(2027, 5, 1) << 0 << 12.0 << 12.0 << false
                                                      << "Liberation Sans" << true << false << 4 << -1 << 1.0;
    QTest::newRow("May 2027, 12 h, crew B alone") << QDate(2027, 5, 1) << 1 << 10.0 << 10.0 << false
                                                  << "DejaVu Sans" << true << true << 2 << 1 << 1.0;
    // The thinnest line the screen shows, as the PDF's width 0 is; and
    // borders so thick that they reach over the holiday marks' corners,
    // where what is drawn last shows.
    QTest::newRow("March 2017, hairline borders") << QDate(2017, 3, 1) << 0 << 10.0 << 10.0 << false
                                                  << "Liberation Sans" << false << false << 0 << -1 << 0.0;
    QTest::newRow("May 2027, thick borders, 8 h bands") << QDate(2027, 5, 1) << 2 << 12.0 << 12.0 << false
                                                        << "Liberation Sans" << false << true << 4 << -1 << 4.0;
}

void TestCalendarPdf::previewAgreesWithPdf()
{
    QFETCH(QDate, month);
    QFETCH(int, firstShift);
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(bool, textOnly);
    QFETCH(QString, family);
    QFETCH(bool, labels);
    QFETCH(bool, holidays);
    QFETCH(int, preset);
    QFETCH(int, myCrew);
    QFETCH(double, borderPt);
    constexpr double PixelsPerMm = 10;

    Look look = helveticaLook();
    look.font = family;
    look.textOnly = textOnly;
    look.labels = labels;
    look.holidays = holidays;
    look.borderColor = {0, 0, 0, 50};
    look.borderWidthPt = borderPt;
    look.boxWidthMm = w;
    look.boxHeightMm = h;
    look.rota = Rota::fromPreset(preset);
    look.myCrew = myCrew;
    // Every colour one pure ink, so that a pixel says which it is.
    look.crewColors[3] = {100, 0, 0, 0};
    look.crewColors[4] = {0, 100, 0, 0};
    look.kindColors = {Ink{100, 0, 0, 0}, Ink{0, 100, 0, 0}, Ink{0, 0, 100, 0}, Ink{100, 0, 0, 0}, Ink{0, 100, 0, 0}};
    const ReadPdf pdf = readPdf(render(month.year(), month.month(), firstShift, w, h, look), PixelsPerMm * 25.4);
    QVERIFY(pdf.loaded);

    const PdfFontSource source = resolvePdfFont(family);
    PdfRunFont font(source);
    const TextFont text = font.measure(printableCharacters(look));
    const GlyphOutlines glyphs(source);
    const MonthModel model = layOutMonth(month.year(), month.month(), firstShift, look, text);
    QImage preview(pdf.image.size(), QImage::Format_ARGB32);
    preview.fill(Qt::white);
    {
        QPainter painter(&preview);
        painter.scale(PixelsPerMm, PixelsPerMm);
        paintMonth(painter, model, glyphs, text);
    }
    QCOMPARE(preview.size(), QSize(qRound(8 * w * PixelsPerMm), qRound(9 * h * PixelsPerMm)));

    const auto pixels = [](const QRectF &mm) {
        return QRect(qRound(mm.x() * PixelsPerMm), qRound(-(mm.y() + mm.height()) * PixelsPerMm),
                     qRound(mm.width() * PixelsPerMm), qRound(mm.height() * PixelsPerMm));
    };
    const auto sameCentre = [&](const QRect &area, const QString &what) {
        const QPointF inPdf = numberCentre(pdf.image, area);
        const QPointF onScreen = numberCentre(preview, area);
        QVERIFY2(inPdf.x() >= 0 && onScreen.x() >= 0, qPrintable(what));
        QVERIFY2(qAbs(inPdf.x() - onScreen.x()) <= 1 && qAbs(inPdf.y() - onScreen.y()) <= 1,
                 qPrintable(QStringLiteral("%1: PDF %2,%3 screen %4,%5")
                                .arg(what).arg(inPdf.x()).arg(inPdf.y()).arg(onScreen.x()).arg(onScreen.y())));
    };
    // The labels: the title over the columns, the weekdays beside the rows,
    // the legend in the row below the boxes.
    QCOMPARE(model.labels.size() >= 8, labels);
    QCOMPARE(model.swatches.isEmpty(), !labels || textOnly || preset == 0);
    for (int i = 0; i < qMin(8, model.labels.size()); ++i)
        sameCentre(pixels(i == 0 ? model.headerArea() : model.weekdayCell(i)).adjusted(0, 0, -3, -3),
                   model.labels.at(i).text);
    if (model.labels.size() > 8)
        sameCentre(pixels(model.footerArea()), QStringLiteral("legend"));
    for (const Fill &swatch : model.swatches) {
        const QPoint centre = pixels(swatch.area).center();
        QCOMPARE(dominantInk(preview.pixelColor(centre)), dominantInk(pdf.image.pixelColor(centre)));
        // Outlined as the boxes are.
        const QPoint edge(pixels(swatch.area).left(), centre.y());
        QCOMPARE(dominantInk(preview.pixelColor(edge)), dominantInk(pdf.image.pixelColor(edge)));
    }

    const double borderPixels = borderPt / PointsPerMm * PixelsPerMm;
    const int inset = qCeil(borderPixels / 2) + 2; // past the border's half width
    const int markPixels = qCeil(0.3 * qMin(w, h) * PixelsPerMm);
    int marked = 0;
    for (const DayCell &day : model.days) {
        const QRect box = pixels(day.box);
        const QByteArray where = day.date.toString(Qt::ISODate).toLatin1();
        QCOMPARE(day.fills.isEmpty(), textOnly || (myCrew >= 0 && look.rota.codeOf(myCrew, day.date, firstShift) == u'-'));
        // Each colour of the box in the same place, within a pixel, and as
        // printed: the preview's colour is the PDF viewer's, not the naive
        // conversion's.
        for (const Fill &fill : day.fills) {
            const QRect area = pixels(fill.area);
            // Left of the number, past the border.
            const QPoint inside(area.left() + inset + 2, area.center().y());
            const int ink = dominantInk(pdf.image.pixelColor(inside));
            QVERIFY2(ink >= 0 && ink <= 2, where.constData());
            const QRectF inPdf = inkBounds(pdf.image, area.adjusted(-3, -3, 3, 3), ink);
            const QRectF onScreen = inkBounds(preview, area.adjusted(-3, -3, 3, 3), ink);
            for (const auto &edge : {qMakePair(inPdf.left(), onScreen.left()), qMakePair(inPdf.right(), onScreen.right()),
                                     qMakePair(inPdf.top(), onScreen.top()), qMakePair(inPdf.bottom(), onScreen.bottom())})
                QVERIFY2(qAbs(edge.first - edge.second) <= 1, where.constData());
            const QColor printed = pdf.image.pixelColor(inside), shown = preview.pixelColor(inside);
            QVERIFY2(qAbs(printed.red() - shown.red()) <= 6 && qAbs(printed.green() - shown.green()) <= 6
                         && qAbs(printed.blue() - shown.blue()) <= 6,
                     qPrintable(QStringLiteral("%1: PDF %2 screen %3").arg(QString::fromLatin1(where), printed.name(), shown.name())));
        }
        // As much of the border in both across the box's left edge, and
        // outside its top left corner, which the mitre of a border of some
        // width fills: the grey of the borders is the only ink of the page
        // without a hue.
        if (!textOnly) {
            const int reach = qCeil(borderPixels / 2) + 2;
            const auto greyIn = [](const QImage &image, const QRect &area) {
                double grey = 0;
                for (int y = area.top(); y <= area.bottom(); ++y) {
                    for (int x = area.left(); x <= area.right(); ++x) {
                        const QColor c = image.pixelColor(x, y);
                        grey += (255 - qMax(c.red(), qMax(c.green(), c.blue()))) / 255.0;
                    }
                }
                return grey;
            };
            const QRect across(box.left() - reach, box.center().y(), 2 * reach + 1, 1);
            const QRect corner(box.left() - reach, box.top() - reach, reach, reach);
            for (const QRect &area : borderPt > 0 ? QVector<QRect>{across, corner} : QVector<QRect>{across}) {
                const double printed = greyIn(pdf.image, area), shown = greyIn(preview, area);
                QVERIFY2(qAbs(printed - shown) <= 0.1 + 0.25 * qMax(printed, shown),
                         qPrintable(QStringLiteral("%1: border PDF %2 screen %3")
                                        .arg(QString::fromLatin1(where)).arg(printed).arg(shown)));
            }
        }
        // The number's ink centred alike, within a pixel, below where a
        // holiday's mark would be.
        sameCentre(box.adjusted(inset, markPixels + 1, -inset, -inset), QString::fromLatin1(where));
        // A holiday's mark in its corner, in both or in neither.
        const QRect corner(box.right() - markPixels - 1, box.top(), markPixels + 2, markPixels + 2);
        QCOMPARE(day.holiday, holidays && isCzechPublicHoliday(day.date));
        QCOMPARE(numberCentre(pdf.image, corner.adjusted(2, 2, -2, -2)).x() >= 0, day.holiday);
        if (day.holiday) {
            sameCentre(corner, QString::fromLatin1(where) + QStringLiteral(" mark"));
            ++marked;
        }
    }
    QCOMPARE(marked > 0, holidays);
}

namespace {

// The ink of an image within `area`: per pixel the share of it that is
// dark, 0 to 1.
QVector<double> inkOf(const QImage &image, const QRect &area)
{
    QVector<double> ink;
    ink.reserve(area.width() * area.height());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const bool inside = x >= 0 && y >= 0 && x < image.width() && y < image.height();
            ink.append(inside ? (255 - qGray(image.pixel(x, y))) / 255.0 : 0.0);
        }
    }
    return ink;
}

QPointF centreOf(const QVector<double> &ink, int width)
{
    double sum = 0, x = 0, y = 0;
    for (int i = 0; i < ink.size(); ++i) {
        sum += ink[i];
        x += ink[i] * (i % width);
        y += ink[i] * (i / width);
    }
    return sum > 0 ? QPointF(x / sum, y / sum) : QPointF();
}

// How far two renderings of one glyph agree on its shape: the ink both have
// over the ink either has, pixel by pixel (1 when both are blank), once the
// second is moved so that the inks' centres meet. PDF viewers put a glyph
// on a whole pixel; the shape is what is compared here, the place elsewhere.
double shapeOverlap(const QImage &a, const QImage &b, const QRect &area)
{
    const QVector<double> inkA = inkOf(a, area), inkB = inkOf(b, area);
    const int w = area.width(), h = area.height();
    const QPointF shift = centreOf(inkA, w) - centreOf(inkB, w);
    const auto at = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h ? inkB[y * w + x] : 0.0; };
    double both = 0, either = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // b's ink where a's pixel is, between b's pixels.
            const double sx = x - shift.x(), sy = y - shift.y();
            const int x0 = qFloor(sx), y0 = qFloor(sy);
            const double fx = sx - x0, fy = sy - y0;
            const double moved = (1 - fy) * ((1 - fx) * at(x0, y0) + fx * at(x0 + 1, y0))
                    + fy * ((1 - fx) * at(x0, y0 + 1) + fx * at(x0 + 1, y0 + 1));
            both += qMin(inkA[y * w + x], moved);
            either += qMax(inkA[y * w + x], moved);
        }
    }
    return either > 0 ? both / either : 1.0;
}

} // namespace

void TestCalendarPdf::previewGlyphShapes_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("kind");
    using Kind = PdfFontSource::Kind;
    // Outlines of quadratic curves (TrueType) and of cubic ones (Type 1, and
    // the face that stands in for the built-in Helvetica).
    QTest::newRow("Liberation Sans") << "Liberation Sans" << int(Kind::TrueType);
    QTest::newRow("DejaVu Serif") << "DejaVu Serif" << int(Kind::TrueType);
    QTest::newRow("Nimbus Sans, Type 1") << "Nimbus Sans" << int(Kind::Type1);
    QTest::newRow("built-in Helvetica") << "Helvetica" << int(Kind::Standard14);
}

void TestCalendarPdf::previewGlyphShapes()
{
    QFETCH(QString, family);
    QFETCH(int, kind);
    // Large letters alone, without boxes: each glyph's shape, not only where
    // it stands, as poppler draws it from the PDF and as the preview does.
    constexpr double PixelsPerMm = 8;
    constexpr double Box = 14;
    Look look = helveticaLook();
    look.font = family;
    look.textOnly = true;
    look.labels = true;
    look.fontSizePt = 30;
    look.boxWidthMm = look.boxHeightMm = Box;
    const ReadPdf pdf = readPdf(render(2017, 3, 0, Box, Box, look), PixelsPerMm * 25.4);
    QVERIFY(pdf.loaded);

    const PdfFontSource source = resolvePdfFont(family);
    QCOMPARE(int(source.kind), kind);
    PdfRunFont font(source);
    const GlyphOutlines glyphs(source);
    const TextFont text = font.measure(printableCharacters(look));
    const MonthModel model = layOutMonth(2017, 3, 0, look, text);
    QImage preview(pdf.image.size(), QImage::Format_ARGB32);
    preview.fill(Qt::white);
    {
        QPainter painter(&preview);
        painter.scale(PixelsPerMm, PixelsPerMm);
        paintMonth(painter, model, glyphs, text);
    }
    const auto pixels = [](const QRectF &mm) {
        return QRect(qRound(mm.x() * PixelsPerMm), qRound(-(mm.y() + mm.height()) * PixelsPerMm),
                     qRound(mm.width() * PixelsPerMm), qRound(mm.height() * PixelsPerMm));
    };
    // Every glyph of the days' numbers, the title and the weekdays' names,
    // each in the room its advance gives it.
    struct Glyph
    {
        QString text;
        QRect area;
    };
    QVector<Glyph> shapes;
    const auto addText = [&](const QString &line, const QPointF &baseline, double sizeMm) {
        double x = baseline.x();
        for (const QChar character : line) {
            const double advance = text.advances.value(character.unicode()) / 1000.0 * sizeMm;
            if (!character.isSpace())
                shapes.append({line + QStringLiteral(" ") + character,
                               pixels(QRectF(x, baseline.y() + text.descent * sizeMm, advance,
                                             (text.ascent - text.descent) * sizeMm))});
            x += advance;
        }
    };
    for (const DayCell &day : model.days)
        addText(day.number, day.baseline, model.numberSizeMm);
    for (const TextLabel &label : model.labels)
        addText(label.text, label.baseline, label.sizePt / PointsPerMm);
    QVERIFY(shapes.size() > 60);
    double worst = 1.0;
    QString worstText;
    for (const Glyph &glyph : qAsConst(shapes)) {
        const double overlap = shapeOverlap(pdf.image, preview, glyph.area);
        if (overlap < worst) {
            worst = overlap;
            worstText = glyph.text;
        }
    }
    // Rasterisers smooth edges alike but not with the same weights; a
    // curve's control points taken in the wrong order leave a shape that
    // overlaps by 0.8 at best.
    QVERIFY2(worst >= 0.86, qPrintable(QStringLiteral("%1 overlaps by %2").arg(worstText).arg(worst)));
}

void TestCalendarPdf::yearSheet_data()
{
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<bool>("labels");
    QTest::addColumn<double>("fontPt");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QSizeF>("pageMm");
    QTest::addColumn<QPointF>("first"); // the first card's top-left corner, mm from the page's
    QTest::addColumn<int>("columns");
    // Worked out by hand: cards 5.5 mm apart, centred on the page to a tenth
    // of a millimetre; the grid and its marks at least 5 mm from the edge.
    QTest::newRow("the form's defaults") << 10.0 << 10.0 << false << 10.0 << 2 << QSizeF(210, 297) << QPointF(22.2, 8.0) << 2;
    QTest::newRow("defaults, labels and holidays") << 10.0 << 10.0 << true << 10.0 << 2 << QSizeF(210, 297) << QPointF(22.2, 8.0) << 2;
    QTest::newRow("small boxes, one page") << 6.0 << 5.0 << false << 10.0 << 1 << QSizeF(210, 297) << QPointF(27.5, 50.2) << 3;
    QTest::newRow("one card to a page") << 20.0 << 20.0 << false << 10.0 << 12 << QSizeF(210, 297) << QPointF(25.0, 58.5) << 1;
    QTest::newRow("24.3125 x 10, as wide as A4 holds") << 24.3125 << 10.0 << false << 10.0 << 4 << QSizeF(210, 297)
                                                       << QPointF(7.7, 8.0) << 1;
    QTest::newRow("23 x 10, one wide column") << 23.0 << 10.0 << false << 10.0 << 4 << QSizeF(210, 297) << QPointF(13.0, 8.0) << 1;
    QTest::newRow("10 x 30, one tall row") << 10.0 << 30.0 << false << 10.0 << 6 << QSizeF(210, 297) << QPointF(22.2, 13.5) << 2;
    // Weekday names and the title larger than their places: clipped to the card.
    QTest::newRow("40 pt labels") << 10.0 << 10.0 << true << 40.0 << 2 << QSizeF(210, 297) << QPointF(22.2, 8.0) << 2;
    // Too wide for A4 with marks that a printer prints: pages of their own.
    QTest::newRow("25.3 x 10, its own pages") << 25.3 << 10.0 << false << 10.0 << 12 << QSizeF(218.0, 105.6)
                                              << QPointF(7.8, 7.8) << 1;
    QTest::newRow("larger than A4") << 30.0 << 40.0 << true << 10.0 << 12 << QSizeF(255.6, 375.6) << QPointF(7.8, 7.8) << 1;
}

void TestCalendarPdf::yearSheet()
{
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(bool, labels);
    QFETCH(double, fontPt);
    QFETCH(int, pages);
    QFETCH(QSizeF, pageMm);
    QFETCH(QPointF, first);
    QFETCH(int, columns);
    QTemporaryDir dir;
    YearRequest request = yearRequest(dir.path());
    request.look.font = QStringLiteral("Liberation Sans");
    request.look.labels = request.look.holidays = labels;
    request.look.fontSizePt = fontPt;
    request.look.boxWidthMm = w;
    request.look.boxHeightMm = h;
    request.yearSheet = true;
    const YearResult result = writeYear(request);
    QCOMPARE(result.status, YearResult::Status::Written);
    QVERIFY(qAbs(result.sheetPageMm.width() - pageMm.width()) < 0.01);
    QVERIFY(qAbs(result.sheetPageMm.height() - pageMm.height()) < 0.01);
    const QString path = dir.filePath(QStringLiteral("2017.pdf"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 13);
    if (w == 10 && h == 10 && fontPt == 10)
        QVERIFY2(QFileInfo(path).size() <= 50 * 1024, qPrintable(QString::number(QFileInfo(path).size())));
    const QList<EmbeddedFont> fonts = fontsOf(path);
    QCOMPARE(fonts.size(), 1);
    QVERIFY(fonts.first().embedded && fonts.first().subset);
    checkFontPrograms(path, true);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QRegularExpression actualSize(QStringLiteral("/ViewerPreferences\\s*<<\\s*/PrintScaling\\s*/None"));
    QVERIFY2(actualSize.match(QString::fromLatin1(file.readAll())).hasMatch(), "printed at actual size");
    // Crop marks a hair wide (0.25 pt), in registration black: on every plate.
    QVERIFY(uncompressed(path).contains("1.000 1.000 1.000 1.000 K\n0.088 w"));

    // Every card at its true size, its text its month's days, and drawn as
    // its month's own file: compared pixel by pixel at 10 pixels a millimetre.
    constexpr double Dpi = 254;
    std::unique_ptr<Poppler::Document> sheet(Poppler::Document::load(path));
    QVERIFY(sheet);
    sheet->setRenderHint(Poppler::Document::Antialiasing);
    sheet->setRenderHint(Poppler::Document::TextAntialiasing);
    QCOMPARE(sheet->numPages(), pages);
    const QSizeF card(8 * w, 9 * h);
    const int perPage = (12 + pages - 1) / pages;
    const int rows = (perPage + columns - 1) / columns;
    for (int p = 0; p < pages; ++p) {
        std::unique_ptr<Poppler::Page> page(sheet->page(p));
        QVERIFY(qAbs(page->pageSizeF().width() - pageMm.width() * 72 / 25.4) < 0.01);
        QVERIFY(qAbs(page->pageSizeF().height() - pageMm.height() * 72 / 25.4) < 0.01);
        QList<Poppler::TextBox *> words = page->textList();
        const QImage image = p < 2 ? page->renderToImage(Dpi, Dpi) : QImage();
        if (!image.isNull()) {
            // Nothing in the 5 mm that printers leave unprinted (to the
            // pixel: a mark may end on the line itself).
            const QPoint ink = inkNearEdge(image, 49);
            QVERIFY2(ink.x() < 0, qPrintable(QStringLiteral("ink at %1, %2 mm").arg(ink.x() / 10.0).arg(ink.y() / 10.0)));
        }
        for (int i = 0; i < perPage && p * perPage + i < 12; ++i) {
            const int month = p * perPage + i + 1;
            const QPointF origin = first + QPointF((i % columns) * (card.width() + 5.5), (i / columns) * (card.height() + 5.5));
            QVERIFY(i / columns < rows);
            const QRectF cardPt(origin * 72 / 25.4, card * 72 / 25.4);
            QStringList days;
            for (Poppler::TextBox *word : words) {
                const int number = word->text().toInt();
                if (cardPt.contains(word->boundingBox()) && number > 0 && number <= 31)
                    days << word->text();
            }
            QCOMPARE(days.size(), QDate(2017, month, 1).daysInMonth());
            if (image.isNull())
                continue;
            // Crop marks at the corners, outside the card, leaving a gap.
            // A hair line a pixel wide: the darkest of the pixels it crosses.
            const auto darkAt = [&image](double xMm, double yMm) {
                int darkest = 255;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QColor c = image.pixelColor(qRound(xMm * 10 - 0.5) + dx, qRound(yMm * 10 - 0.5) + dy);
                        darkest = qMin(darkest, qMax(c.red(), qMax(c.green(), c.blue())));
                    }
                }
                return darkest < 128;
            };
            for (const QPointF &corner : {origin, origin + QPointF(card.width(), 0), origin + QPointF(0, card.height()),
                                          origin + QPointF(card.width(), card.height())}) {
                const double out = corner.x() == origin.x() ? -1 : 1;
                const double up = corner.y() == origin.y() ? -1 : 1;
                QVERIFY(darkAt(corner.x() + out * 2.0, corner.y()) && darkAt(corner.x(), corner.y() + up * 2.0));
                QVERIFY(!darkAt(corner.x() + out * 0.35, corner.y()) && !darkAt(corner.x(), corner.y() + up * 0.35));
            }
            // The gutter along each edge stays white: nothing spills off a card.
            for (double along = 0.05; along < 1; along += 0.1) {
                for (const double out : {0.3, 1.0, 2.5}) {
                    QVERIFY(!darkAt(origin.x() + along * card.width(), origin.y() - out));
                    QVERIFY(!darkAt(origin.x() + along * card.width(), origin.y() + card.height() + out));
                    QVERIFY(!darkAt(origin.x() - out, origin.y() + along * card.height()));
                    QVERIFY(!darkAt(origin.x() + card.width() + out, origin.y() + along * card.height()));
                }
            }
            const ReadPdf own = readPdfFile(dir.filePath(monthFileName(QDate(2017, month, 1))), Dpi);
            const QImage cut = image.copy(QRect(QPoint(qRound(origin.x() * 10), qRound(origin.y() * 10)), own.image.size()));
            const int differing = differingPixels(cut, own.image, 48);
            QVERIFY2(differing <= cut.width() * cut.height() / 200, qPrintable(QStringLiteral("month %1: %2 pixels differ").arg(month).arg(differing)));
        }
        qDeleteAll(words);
    }
}

void TestCalendarPdf::phoneCalendars_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("crew");
    QTest::addColumn<int>("events");
    QTest::addColumn<QStringList>("first"); // the first two events, from and to
    QTest::addColumn<QStringList>("summaries");
    // 2017 with "A" on 1 January: 365 days, A and B one more than C; whole
    // days that leave the person free in shared calendars.
    QTest::newRow("24 h, A") << 0 << 2017 << 0 << 122 << QStringList{"2017-01-01", "2017-01-02", "2017-01-04", "2017-01-05"}
                             << QStringList{"Směna A"};
    QTest::newRow("24 h, B") << 0 << 2017 << 1 << 122 << QStringList{"2017-01-02", "2017-01-03", "2017-01-05", "2017-01-06"}
                             << QStringList{"Směna B"};
    QTest::newRow("24 h, C") << 0 << 2017 << 2 << 121 << QStringList{"2017-01-03", "2017-01-04", "2017-01-06", "2017-01-07"}
                             << QStringList{"Směna C"};
    // 12 hours in Prague's time, busy; a night ends the next morning.
    QTest::newRow("12 h, A") << 2 << 2027 << 0 << 183
                             << QStringList{"2027-01-01T06:00:00+01:00", "2027-01-01T18:00:00+01:00",
                                            "2027-01-02T18:00:00+01:00", "2027-01-03T06:00:00+01:00"}
                             << QStringList{"Denní – Směna A", "Noční – Směna A"};
    QTest::newRow("12 h, D") << 2 << 2027 << 3 << 183
                             << QStringList{"2027-01-01T18:00:00+01:00", "2027-01-02T06:00:00+01:00",
                                            "2027-01-04T06:00:00+01:00", "2027-01-04T18:00:00+01:00"}
                             << QStringList{"Denní – Směna D", "Noční – Směna D"};
}

void TestCalendarPdf::phoneCalendars()
{
    QFETCH(int, preset);
    QFETCH(int, year);
    QFETCH(int, crew);
    QFETCH(int, events);
    QFETCH(QStringList, first);
    QFETCH(QStringList, summaries);
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    static const bool hasIcalendar = [&python] {
        int found = -1;
        if (!python.isEmpty())
            runTool(python, {QStringLiteral("-c"), QStringLiteral("import icalendar")}, &found);
        return found == 0;
    }();
    if (!hasIcalendar)
        QSKIP("needs Debian's python3-icalendar to read the files back");
    QTemporaryDir first_, second;
    YearRequest request = yearRequest(first_.path(), year);
    request.look.rota = Rota::fromPreset(preset);
    request.phoneCalendars = true;
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);
    QCOMPARE(QDir(first_.path()).entryList(QDir::Files).size(), 12 + request.look.rota.crews);
    // The same calendar made again, in a folder of its own.
    request.folder = second.path();
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);

    const QString reader = QFINDTESTDATA("support/readics.py");
    const QString name = crewCalendarFileName(year, crew);
    const QJsonObject read =
        QJsonDocument::fromJson(runTool(python, {reader, QDir(first_.path()).filePath(name)}).toUtf8()).object();
    QVERIFY2(!read.isEmpty(), qPrintable(name));
    QVERIFY(read.value(QStringLiteral("crlf")).toBool());
    QVERIFY(read.value(QStringLiteral("longestLine")).toInt() <= 75);
    QCOMPARE(read.value(QStringLiteral("version")).toString(), QStringLiteral("2.0"));
    QVERIFY(!read.value(QStringLiteral("prodid")).toString().isEmpty());
    QVERIFY(read.value(QStringLiteral("stamped")).toBool());
    const bool allDay = preset == 0;
    QCOMPARE(read.value(QStringLiteral("allDay")).toBool(), allDay);
    QCOMPARE(read.value(QStringLiteral("oneDay")).toBool(), allDay);
    QCOMPARE(read.value(QStringLiteral("timeZoneDefined")).toBool(), !allDay);
    QCOMPARE(read.value(QStringLiteral("transparency")).toArray(),
             QJsonArray{allDay ? QStringLiteral("TRANSPARENT") : QStringLiteral("OPAQUE")});
    QCOMPARE(read.value(QStringLiteral("summaries")).toArray(), QJsonArray::fromStringList(summaries));
    const QJsonArray dates = read.value(QStringLiteral("dates")).toArray();
    const QJsonArray ends = read.value(QStringLiteral("ends")).toArray();
    QCOMPARE(dates.size(), events);
    QCOMPARE((QStringList{dates.at(0).toString(), ends.at(0).toString(), dates.at(1).toString(), ends.at(1).toString()}),
             first);
    if (allDay) {
        for (const QJsonValue &date : dates)
            QCOMPARE(crewOnDuty(QDate::fromString(date.toString(), Qt::ISODate), 0), crew);
    }
    // One UID per crew and day, the same in every run: importing again
    // updates instead of doubling.
    const QJsonArray uids = read.value(QStringLiteral("uids")).toArray();
    QSet<QString> unique;
    for (const QJsonValue &uid : uids) {
        unique.insert(uid.toString());
        QVERIFY2(uid.toString().contains(QStringLiteral("-%1@").arg(crewName(crew))), qPrintable(uid.toString()));
    }
    QCOMPARE(unique.size(), events);
    const QJsonObject again =
        QJsonDocument::fromJson(runTool(python, {reader, QDir(second.path()).filePath(name)}).toUtf8()).object();
    QCOMPARE(again.value(QStringLiteral("uids")).toArray(), uids);
}

void TestCalendarPdf::labelsReadBack_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("title");
    // Each kind of font the calendar embeds or names, and the Czech letters
    // WinAnsi lacks: ř, ě and Č, Ř.
    QTest::newRow("TrueType subset, March") << "Liberation Sans" << 3 << "Březen";
    QTest::newRow("TrueType subset, October") << "DejaVu Serif" << 10 << "Říjen";
    QTest::newRow("built-in Helvetica, March") << "Helvetica" << 3 << "Březen";
    QTest::newRow("built-in Helvetica, October") << "Helvetica" << 10 << "Říjen";
    QTest::newRow("Type 1, June") << "Nimbus Sans" << 6 << "Červen";
}

void TestCalendarPdf::labelsReadBack()
{
    QFETCH(QString, family);
    QFETCH(int, month);
    QFETCH(QString, title);
    Look look = helveticaLook();
    look.font = family;
    const PdfFontSource source = resolvePdfFont(family);
    if (source.kind == PdfFontSource::Kind::Unusable)
        QSKIP("the family is not installed (fonts-urw-base35)");
    look.labels = true;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2017.pdf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(render(2017, month, 0, 10, 10, look));
    file.close();

    const QString text = runTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    QVERIFY2(text.contains(title + QStringLiteral(" 2017")) && text.contains(QStringLiteral("Čt")), qPrintable(text));
    const QList<EmbeddedFont> fonts = fontsOf(path);
    QCOMPARE(fonts.size(), 1);
    QCOMPARE(fonts.first().embedded, source.kind != PdfFontSource::Kind::Standard14);
    QCOMPARE(fonts.first().subset, source.kind == PdfFontSource::Kind::TrueType);
    checkFontPrograms(path, source.kind == PdfFontSource::Kind::TrueType);
    int exitCode = -1;
    runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path}, &exitCode);
    QCOMPARE(exitCode, 0);
    // With letters the hinting is left out, to keep the file small.
    QVERIFY(!uncompressed(path).contains("fpgm"));

    // Each label in its margin: the title over the six columns in the top
    // row, each weekday in the left column beside its row.
    const ReadPdf page = readPdfFile(path);
    const QStringList weekdays = {"Po", "Út", "St", "Čt", "Pá", "So", "Ne"};
    int found = 0;
    for (const PdfWord &word : page.words) {
        const QPointF centre = word.boxMm.center();
        if (word.text == title || word.text == QLatin1String("2017")) {
            QVERIFY2(QRectF(10, 0, 60, 10).contains(word.boxMm), qPrintable(word.text));
            ++found;
        } else if (weekdays.contains(word.text)) {
            const int row = weekdays.indexOf(word.text) + 1;
            QVERIFY2(qAbs(centre.x() - 5) < 0.5 && qAbs(centre.y() - (row + 0.5) * 10) < 1.5, qPrintable(word.text));
            ++found;
        }
    }
    QCOMPARE(found, 9);
    QCOMPARE(page.words.size(), QDate(2017, month, 1).daysInMonth() + 9);
}

void TestCalendarPdf::holidaysMarkTheirBoxesOnly_data()
{
    QTest::addColumn<bool>("textOnly");
    QTest::newRow("boxes") << false;
    QTest::newRow("text only") << true;
}

void TestCalendarPdf::holidaysMarkTheirBoxesOnly()
{
    QFETCH(bool, textOnly);
    Look look = helveticaLook();
    look.textOnly = textOnly;
    const ReadPdf plain = readPdf(render(2017, 12, 0, 10, 10, look), 144);
    look.holidays = true;
    const ReadPdf marked = readPdf(render(2017, 12, 0, 10, 10, look), 144);
    QCOMPARE(plain.image.size(), marked.image.size());
    const double pixelsPerMm = 144 / 25.4;
    for (int day = 1; day <= 31; ++day) {
        const QDate date(2017, 12, day);
        const QRectF box = boxOf(date, 10, 10);
        const QRect area(qRound(box.x() * pixelsPerMm) + 2, qRound(-(box.y() + 10) * pixelsPerMm) + 2,
                         qRound(10 * pixelsPerMm) - 4, qRound(10 * pixelsPerMm) - 4);
        QCOMPARE(plain.image.copy(area) != marked.image.copy(area), day >= 24 && day <= 26);
    }
}

void TestCalendarPdf::embeddableFaces_data()
{
    using Kind = PdfFontSource::Kind;
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("kind");
    QTest::newRow("TrueType") << "/f/LiberationSans-Regular.ttf" << "TrueType" << 0 << int(Kind::TrueType);
    QTest::newRow("OpenType, glyf outlines") << "/f/Some.OTF" << "TrueType" << 0 << int(Kind::TrueType);
    QTest::newRow("Type 1, binary") << "/f/NimbusSans-Regular.pfb" << "Type 1" << 0 << int(Kind::Type1);
    QTest::newRow("Type 1, ASCII") << "/f/a.pfa" << "Type 1" << 0 << int(Kind::Type1);
    QTest::newRow("OpenType, CFF outlines") << "/f/NimbusSans-Regular.otf" << "CFF" << 0 << int(Kind::Unusable);
    QTest::newRow("Type 1 named .t1") << "/f/NimbusSans-Regular.t1" << "Type 1" << 0 << int(Kind::Unusable);
    QTest::newRow("collection, first face") << "/f/NotoSansCJK.ttc" << "TrueType" << 0 << int(Kind::Unusable);
    QTest::newRow("later face of a file") << "/f/Family.ttf" << "TrueType" << 2 << int(Kind::Unusable);
    QTest::newRow("bitmap") << "/f/fixed.pcf.gz" << "PCF" << 0 << int(Kind::Unusable);
}

void TestCalendarPdf::embeddableFaces()
{
    QFETCH(QString, file);
    QFETCH(QString, format);
    QFETCH(int, index);
    QFETCH(int, kind);
    QCOMPARE(int(embeddableKind(file, format, index)), kind);
}

void TestCalendarPdf::standard14IsNotEmbedded()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("month.pdf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(render(2017, 3, 0));
    file.close();
    const QList<EmbeddedFont> fonts = fontsOf(path);
    QCOMPARE(fonts.size(), 1);
    QCOMPARE(fonts.first().name, QStringLiteral("Helvetica"));
    QVERIFY(!fonts.first().embedded);
}

void TestCalendarPdf::unusableFontIsAnError()
{
    QVERIFY(!PdfRunFont(PdfFontSource{}).isOpen());
    // A file that claims to be a font and is not: refused before anything
    // is written, and the library's error never escapes as an exception.
    QTemporaryDir dir;
    const QString fake = dir.filePath(QStringLiteral("fake.ttf"));
    QFile file(fake);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a font at all");
    file.close();
    const PdfFontSource source{QStringLiteral("Fake"), QFile::encodeName(fake), QStringLiteral("Fake"),
                               PdfFontSource::Kind::TrueType, {}};
    PdfRunFont font(source);
    QString problem;
    QVERIFY(!font.isOpen() || !font.prepare(QStringLiteral("123"), &problem));
    QVERIFY(!GlyphOutlines(source).isOpen());
}

void TestCalendarPdf::yearWithTheDefaultLook()
{
    QTemporaryDir dir;
    YearRequest request = yearRequest(dir.path());
    request.look.font = QFontInfo(QFont(QStringLiteral("Arial"))).family();
    const YearResult result = writeYear(request);
    QCOMPARE(result.status, YearResult::Status::Written);
    QCOMPARE(result.monthsWritten, 12);
    qint64 total = 0;
    for (int month = 1; month <= 12; ++month) {
        const QString path = dir.filePath(QStringLiteral("2017_%1.pdf").arg(month, 2, 10, QLatin1Char('0')));
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        total += QFileInfo(path).size();
        const QList<EmbeddedFont> fonts = fontsOf(path);
        QCOMPARE(fonts.size(), 1);
        QVERIFY(fonts.first().embedded);
    }
    QVERIFY2(total <= 100 * 1024, qPrintable(QString::number(total)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 12);
}

void TestCalendarPdf::rotationAcrossTheYear()
{
    // 2016 is a leap year; first shift "C". Each month's first and last day
    // against the count of days from 1 January.
    QTemporaryDir dir;
    YearRequest request = yearRequest(dir.path(), 2016);
    request.firstCrew = 2;
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);
    for (int month = 1; month <= 12; ++month) {
        const ReadPdf page = readPdfFile(dir.filePath(QStringLiteral("2016_%1.pdf").arg(month, 2, 10, QLatin1Char('0'))), 144);
        QVERIFY(page.loaded);
        const QDate first(2016, month, 1);
        const QDate last = first.addDays(first.daysInMonth() - 1);
        QCOMPARE(inkOfDay(page, first, 10, 10), int((2 + QDate(2016, 1, 1).daysTo(first)) % 3));
        QCOMPARE(inkOfDay(page, last, 10, 10), int((2 + QDate(2016, 1, 1).daysTo(last)) % 3));
    }
    // 1 March 2016 is 60 days after 1 January: with "A" first, "A".
    const ReadPdf march = readPdfFile(dir.filePath(QStringLiteral("2016_03.pdf")), 144);
    QCOMPARE(inkOfDay(march, QDate(2016, 3, 1), 10, 10), (2 + 60) % 3);
}

void TestCalendarPdf::missingFolder()
{
    QTemporaryDir dir;
    YearRequest request = yearRequest(QString());
    QCOMPARE(writeYear(request).status, YearResult::Status::FolderMissing);
    request.folder = dir.filePath(QStringLiteral("gone"));
    QCOMPARE(writeYear(request).status, YearResult::Status::FolderMissing);
    QVERIFY(!QFileInfo::exists(request.folder));
    // A regular file is no folder either.
    QFile file(dir.filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    request.folder = file.fileName();
    QCOMPARE(writeYear(request).status, YearResult::Status::FolderMissing);
}

void TestCalendarPdf::stopsAtAnUnwritableMonth_data()
{
    QTest::addColumn<QString>("blocked");
    QTest::addColumn<bool>("pipe");
    QTest::addColumn<int>("months");
    QTest::addColumn<QStringList>("absent");
    // As root every file is writable: a folder in the place of March's file
    // is what makes it unwritable.
    QTest::newRow("March, a folder in its place") << "2017_03.pdf" << false << 2
                                                  << QStringList{"2017_04.pdf", "2017.pdf", "2017_A.ics"};
    // Opening a named pipe to write blocks until someone reads it.
    QTest::newRow("March, a named pipe in its place") << "2017_03.pdf" << true << 2
                                                      << QStringList{"2017_04.pdf", "2017.pdf"};
    // The extra files of a run stop it in the same way.
    QTest::newRow("the sheet, a folder in its place") << "2017.pdf" << false << 12 << QStringList{"2017_A.ics"};
    QTest::newRow("crew B, a named pipe in its place") << "2017_B.ics" << true << 12 << QStringList{"2017_C.ics"};
}

void TestCalendarPdf::stopsAtAnUnwritableMonth()
{
    QFETCH(QString, blocked);
    QFETCH(bool, pipe);
    QFETCH(int, months);
    QFETCH(QStringList, absent);
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).absoluteFilePath(blocked);
    if (pipe)
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(QDir(dir.path()).mkdir(blocked));
    YearRequest request = yearRequest(dir.path());
    request.yearSheet = request.phoneCalendars = true;
    const YearResult result = writeYear(request);
    QCOMPARE(result.status, YearResult::Status::CannotWrite);
    QCOMPARE(result.file, path);
    QCOMPARE(result.monthsWritten, months);
    QVERIFY(readPdfFile(dir.filePath(QStringLiteral("2017_01.pdf"))).loaded);
    QVERIFY(readPdfFile(dir.filePath(QStringLiteral("2017_02.pdf"))).loaded);
    for (const QString &name : absent)
        QVERIFY2(!QFileInfo::exists(dir.filePath(name)), qPrintable(name));
    QCOMPARE(QFileInfo(path).isDir(), !pipe);
}

void TestCalendarPdf::failedWriteLeavesNoFile()
{
    QTemporaryDir dir;
    YearRequest request = yearRequest(dir.path());
    request.look.font = QString();
    YearResult result = writeYear(request);
    QCOMPARE(result.status, YearResult::Status::FontUnavailable);
    QCOMPARE(result.monthsWritten, 0);
    QVERIFY(result.file.isEmpty());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

void TestCalendarPdf::failedMonthKeepsTheEarlierCalendar_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<int>("status");
    QTest::newRow("font unavailable") << false << int(YearResult::Status::FontUnavailable);
    QTest::newRow("disk full") << true << int(YearResult::Status::CannotWrite);
}

void TestCalendarPdf::failedMonthKeepsTheEarlierCalendar()
{
    QFETCH(bool, diskFull);
    QFETCH(int, status);
    QTemporaryDir dir;
    QFile old(dir.filePath(QStringLiteral("2017_01.pdf")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("last year's calendar");
    old.close();
    YearRequest request = yearRequest(dir.path());
    if (!diskFull)
        request.look.font = QString();
    YearResult result;
    {
        const FileSizeLimit limit(diskFull ? 1000 : 0);
        result = writeYear(request);
    }
    QCOMPARE(int(result.status), status);
    // The font is refused before any file is touched; a write past the
    // limit fails with the system's reason, not with the PDF's empty one.
    QCOMPARE(result.file, diskFull ? QFileInfo(old).absoluteFilePath() : QString());
    if (diskFull)
        QCOMPARE(result.detail, QStringLiteral("soubor je na tento disk příliš velký"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("last year's calendar"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);
    // Without an earlier calendar nothing is left, not even an empty file.
    QVERIFY(old.remove());
    {
        const FileSizeLimit limit(diskFull ? 1000 : 0);
        result = writeYear(request);
    }
    QCOMPARE(int(result.status), status);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestCalendarPdf::replacingAFile_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<int>("oldSize"); // -1: no file yet
    QTest::addColumn<int>("newSize");
    QTest::addColumn<int>("limit");   // the largest file this process may write; 0: none; -1: no new files
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<int>("nameLength"); // 0: a month's name; negative: that many bytes less than the most
    QTest::addColumn<bool>("kept");      // an old file is still the same file: written where it was, or left
    QTest::newRow("beside, shorter") << false << 5000 << 300 << 0 << true << 0 << false;
    QTest::newRow("beside, longer") << false << 300 << 5000 << 0 << true << 0 << false;
    QTest::newRow("beside, new file") << false << -1 << 300 << 0 << true << 0 << false;
    QTest::newRow("beside, disk full") << false << 300 << 5000 << 1000 << false << 0 << true;
    QTest::newRow("beside, the folder takes no new files") << false << 300 << 5000 << -1 << true << 0 << true;
    QTest::newRow("in place, shorter") << true << 5000 << 300 << 0 << true << 0 << true;
    QTest::newRow("in place, longer") << true << 300 << 5000 << 0 << true << 0 << true;
    QTest::newRow("in place, disk full") << true << 300 << 5000 << 1000 << false << 0 << true;
    // Names too long for one beside them, the most the file system takes.
    QTest::newRow("beside, a name of 255 bytes") << false << 300 << 5000 << 0 << true << 255 << true;
    QTest::newRow("beside, a new name of 255 bytes") << false << -1 << 300 << 0 << true << 255 << false;
    // A name beside it is the name and ".XXXXXX": room for one up to 7 bytes
    // less than the most.
    QTest::newRow("beside, a name 6 bytes short of the most") << false << 300 << 5000 << 0 << true << -6 << true;
    QTest::newRow("beside, a name 7 bytes short of the most") << false << 300 << 5000 << 0 << true << -7 << false;
    QTest::newRow("beside, a name 8 bytes short of the most") << false << 300 << 5000 << 0 << true << -8 << false;
    QTest::newRow("in place, nothing there") << true << -1 << 300 << 0 << false << 0 << false;
}

void TestCalendarPdf::replacingAFile()
{
    QFETCH(bool, inPlace);
    QFETCH(int, oldSize);
    QFETCH(int, newSize);
    QFETCH(int, limit);
    QFETCH(bool, replaced);
    QFETCH(int, nameLength);
    QFETCH(bool, kept);
    QTemporaryDir dir;
    if (nameLength < 0)
        nameLength += int(pathconf(QFile::encodeName(dir.path()).constData(), _PC_NAME_MAX));
    const QString path = dir.filePath(nameLength ? QString(nameLength, QLatin1Char('n')) : QStringLiteral("2017_01.pdf"));
    const QByteArray before(qMax(oldSize, 0), 'o');
    const QByteArray after(newSize, 'n');
    const auto inode = [&path] {
        struct stat status {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : ino_t(0);
    };
    if (oldSize >= 0) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    const ino_t old = inode();
    // An immutable folder takes no new files, but its file can be written.
    const int folder = limit < 0 ? ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY) : -1;
    int flags = 0;
    bool immutable = folder >= 0 && ioctl(folder, FS_IOC_GETFLAGS, &flags) == 0;
    flags |= FS_IMMUTABLE_FL;
    immutable = immutable && ioctl(folder, FS_IOC_SETFLAGS, &flags) == 0;
    if (limit < 0 && !immutable) {
        ::close(folder);
        QSKIP("the file system or our rights keep the folder from being made immutable");
    }
    bool ok = false;
    {
        const FileSizeLimit fileSizeLimit(limit);
        ok = inPlace ? rewriteInPlace(path, after) : replaceFile(path, after);
    }
    if (immutable) {
        flags &= ~FS_IMMUTABLE_FL;
        ioctl(folder, FS_IOC_SETFLAGS, &flags);
        ::close(folder);
    }
    QCOMPARE(ok, replaced);
    if (oldSize >= 0)
        QCOMPARE(inode() == old, kept);
    QFile file(path);
    QCOMPARE(file.exists(), replaced || oldSize >= 0);
    if (file.exists()) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), replaced ? after : before);
    }
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size() <= 1);
}

void TestCalendarPdf::refusesInvalidRequests_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("accepted");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("year 1999") << "year" << 1999.0 << false;
    QTest::newRow("year 4001") << "year" << 4001.0 << false;
    QTest::newRow("year 4000, the last") << "year" << 4000.0 << true;
    QTest::newRow("first crew -1") << "firstShift" << -1.0 << false;
    QTest::newRow("first crew 3 of three") << "firstShift" << 3.0 << false;
    QTest::newRow("crew 3 of three shown") << "myCrew" << 3.0 << false;
    QTest::newRow("box 0.5 mm wide") << "boxWidth" << 0.5 << false;
    QTest::newRow("box nan wide") << "boxWidth" << nan << false;
    QTest::newRow("box infinitely high") << "boxHeight" << infinity << false;
    QTest::newRow("box 100.5 mm high") << "boxHeight" << 100.5 << false;
    QTest::newRow("box 100 mm high, the largest") << "boxHeight" << 100.0 << true;
    QTest::newRow("font 0 pt") << "fontSize" << 0.0 << false;
    QTest::newRow("font nan pt") << "fontSize" << nan << false;
    QTest::newRow("border -0.01 pt") << "borderWidth" << -0.01 << false;
    QTest::newRow("border 100 pt") << "borderWidth" << 100.0 << false;
    QTest::newRow("font colour 101 %") << "fontColor" << 101.0 << false;
    QTest::newRow("border colour -1 %") << "borderColor" << -1.0 << false;
    QTest::newRow("shift colour 150 %") << "shiftColor" << 150.0 << false;
    QTest::newRow("kind colour 101 %") << "kindColor" << 101.0 << false;
}

void TestCalendarPdf::refusesInvalidRequests()
{
    QFETCH(QString, field);
    QFETCH(double, value);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    YearRequest request = yearRequest(dir.path());
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);
    QTemporaryDir empty;
    request.folder = empty.path();
    Look &look = request.look;
    if (field == QLatin1String("year"))
        request.year = int(value);
    else if (field == QLatin1String("firstShift"))
        request.firstCrew = int(value);
    else if (field == QLatin1String("myCrew"))
        look.myCrew = int(value);
    else if (field == QLatin1String("boxWidth"))
        look.boxWidthMm = value;
    else if (field == QLatin1String("boxHeight"))
        look.boxHeightMm = value;
    else if (field == QLatin1String("fontSize"))
        look.fontSizePt = value;
    else if (field == QLatin1String("borderWidth"))
        look.borderWidthPt = value;
    else if (field == QLatin1String("fontColor"))
        look.fontColor.black = int(value);
    else if (field == QLatin1String("borderColor"))
        look.borderColor.cyan = int(value);
    else if (field == QLatin1String("kindColor"))
        look.kindColors[2].yellow = int(value);
    else
        look.crewColors[2].yellow = int(value);
    QCOMPARE(writeYear(request).status, accepted ? YearResult::Status::Written : YearResult::Status::InvalidRequest);
    QCOMPARE(QDir(empty.path()).isEmpty(), !accepted);
}

void TestCalendarPdf::replacesExistingCalendars()
{
    QTemporaryDir dir;
    QFile old(dir.filePath(QStringLiteral("2017_05.pdf")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    // A calendar shared with the group stays so when it is replaced.
    const QFile::Permissions shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup;
    QVERIFY(old.setPermissions(shared));
    QCOMPARE(writeYear(yearRequest(dir.path())).status, YearResult::Status::Written);
    QCOMPARE(QFileInfo(old.fileName()).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), shared);
    const ReadPdf may = readPdfFile(old.fileName(), 144);
    QVERIFY(may.loaded);
    QCOMPARE(inkOfDay(may, QDate(2017, 5, 1), 10, 10), crewOnDuty(QDate(2017, 5, 1), 0));
    // No temporary files left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 12);
}

void TestCalendarPdf::walletCard_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("myCrew");
    QTest::addColumn<bool>("holidays");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QStringList>("back"); // lines the back must hold
    QTest::newRow("the form's rota") << 0 << -1 << true << QString()
                                     // Hours as they pass: A's day on Sunday 31 October is 25 hours long,
                                     // C's on 28 March 23.
                                     << QStringList{"A: 122 služeb, 2929 h", "C: 121 služeb, 2903 h", "Státní svátky",
                                                    "26. 3. Velký pátek", "29. 3. Velikonoční pondělí",
                                                    "28. 10. Vznik Československa"};
    QTest::newRow("12 h, the whole team") << 2 << -1 << true << "HZS Praha, stanice 3"
                                          << QStringList{"D: 183 služeb, 2196 h", "N Noční 18–6", "HZS Praha, stanice 3"};
    QTest::newRow("12 h, crew B alone") << 2 << 1 << false << QString()
                                        << QStringList{"Směna B: 182 služeb, 2185 h", "D Denní 6–18"}; // B's night into 31 October: 13 h
    QTest::newRow("8 h, crew A alone") << 3 << 0 << false << QString()
                                       << QStringList{"Směna A v roce 2027", "R Ranní 6–14"};
}

void TestCalendarPdf::walletCard()
{
    QFETCH(int, preset);
    QFETCH(int, myCrew);
    QFETCH(bool, holidays);
    QFETCH(QString, note);
    QFETCH(QStringList, back);
    QTemporaryDir dir;
    YearRequest request = yearRequest(dir.path(), 2027);
    request.look.font = QStringLiteral("Liberation Sans");
    request.look.rota = Rota::fromPreset(preset);
    request.look.myCrew = myCrew;
    request.look.holidays = holidays;
    request.look.cardNote = note;
    request.look.crewColors[3] = {0, 0, 0, 40};
    request.look.kindColors = {Ink{100, 0, 0, 0}, Ink{0, 100, 0, 0}, Ink{0, 0, 100, 0}, Ink{}, Ink{}};
    request.walletCard = true;
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);
    const QString cardPath = dir.filePath(QStringLiteral("2027_karta.pdf"));
    const QString sheetPath = dir.filePath(QStringLiteral("2027_karty_A4.pdf"));
    for (const QString &path : {cardPath, sheetPath}) {
        int exitCode = -1;
        runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path}, &exitCode);
        QCOMPARE(exitCode, 0);
        QCOMPARE(fontsOf(path).size(), 1);
        checkFontPrograms(path, true);
    }
    if (preset == 0)
        QVERIFY2(QFileInfo(cardPath).size() <= 40 * 1024, qPrintable(QString::number(QFileInfo(cardPath).size())));
    // The months as they are without the card: its letters are in a font
    // of its own.
    QTemporaryDir without;
    YearRequest monthsOnly = request;
    monthsOnly.folder = without.path();
    monthsOnly.walletCard = false;
    QCOMPARE(writeYear(monthsOnly).status, YearResult::Status::Written);
    for (const QString &month : {QStringLiteral("2027_01.pdf"), QStringLiteral("2027_12.pdf")})
        QCOMPARE(withoutTime(dir.filePath(month)), withoutTime(without.filePath(month)));
    // The sheet is cut along its marks: printed at its actual size, the
    // marks in registration black.
    const QByteArray sheetContent = uncompressed(sheetPath);
    QVERIFY(QRegularExpression(QStringLiteral("/ViewerPreferences\\s*<<\\s*/PrintScaling\\s*/None"))
                .match(QString::fromLatin1(sheetContent)).hasMatch());
    QVERIFY(sheetContent.contains("1.000 1.000 1.000 1.000 K\n0.088 w"));
    // Without boxes the back has no swatches either.
    Look plain = request.look;
    plain.textOnly = true;
    QVERIFY(layOutCard(2027, 0, plain, TextFont()).back.parts.first().swatches.isEmpty());

    // The card at its true size, front and back; the sheet A4 with the card
    // eight times, each back behind its front when turned over the long edge.
    constexpr double Dpi = 254;
    std::unique_ptr<Poppler::Document> card(Poppler::Document::load(cardPath));
    std::unique_ptr<Poppler::Document> sheet(Poppler::Document::load(sheetPath));
    QVERIFY(card && sheet);
    for (Poppler::Document *document : {card.get(), sheet.get()}) {
        document->setRenderHint(Poppler::Document::Antialiasing);
        document->setRenderHint(Poppler::Document::TextAntialiasing);
    }
    QCOMPARE(card->numPages(), 2);
    QCOMPARE(sheet->numPages(), 2);
    const QList<double> columns[] = {{16.6, 107.7}, {107.8, 16.7}}; // mirrored: 210 - x - 85.6
    const QList<double> rows = {32.2, 91.7, 151.2, 210.7};
    for (int side = 0; side < 2; ++side) {
        std::unique_ptr<Poppler::Page> face(card->page(side));
        QVERIFY(qAbs(face->pageSizeF().width() - 85.60 * 72 / 25.4) < 0.01);
        QVERIFY(qAbs(face->pageSizeF().height() - 53.98 * 72 / 25.4) < 0.01);
        std::unique_ptr<Poppler::Page> page(sheet->page(side));
        QVERIFY(qAbs(page->pageSizeF().width() - 210 * 72 / 25.4) < 0.01);
        QVERIFY(qAbs(page->pageSizeF().height() - 297 * 72 / 25.4) < 0.01);
        const QImage own = face->renderToImage(Dpi, Dpi);
        const QImage image = page->renderToImage(Dpi, Dpi);
        const QPoint ink = inkNearEdge(image, 49);
        QVERIFY2(ink.x() < 0, qPrintable(QStringLiteral("ink at %1, %2 mm").arg(ink.x() / 10.0).arg(ink.y() / 10.0)));
        for (const double x : columns[side]) {
            for (const double y : rows) {
                const QImage cut = image.copy(QRect(qRound(x * 10), qRound(y * 10), own.width(), own.height()));
                // As the card file's page, but for glyphs and edges that
                // poppler rounds to the other pixel at another offset.
                const int differing = differingPixels(cut, own, 48);
                QVERIFY2(differing <= own.width() * own.height() / 200,
                         qPrintable(QStringLiteral("side %1 at %2, %3: %4 pixels differ").arg(side).arg(x).arg(y).arg(differing)));
            }
        }
    }

    // The front: each month's days in its place, a week a row, a weekday a
    // column; the months four to a row from 2 mm in, 19.5 mm wide, 1.2 mm
    // apart.
    std::unique_ptr<Poppler::Page> front(card->page(0));
    // Every box or band in its colour and every holiday's corner marked, as
    // the card's model has them.
    const QImage frontImage = front->renderToImage(Dpi, Dpi);
    const auto colorAt = [&frontImage](double xMm, double yMm) {
        return frontImage.pixelColor(qRound(xMm * 10 - 0.5), qRound(-yMm * 10 - 0.5));
    };
    int marked = 0;
    // Written to the thousandth of a millimetre, rounded as printf rounds.
    const QByteArray cardContent = uncompressed(cardPath);
    for (const MonthModel &part : layOutCard(2027, request.firstCrew, request.look, TextFont()).front.parts) {
        for (const DayCell &day : part.days) {
            for (const Fill &fill : day.fills) {
                const QRectF &a = fill.area;
                QVERIFY(cardContent.contains(QString::asprintf("%.3f %.3f %.3f %.3f re", a.x(), a.y(), a.width(), a.height()).toLatin1()));
                const QList<Cmyk> inks = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
                if (inks.contains(fill.color))
                    QCOMPARE(dominantInk(colorAt(fill.area.x() + 0.15 * fill.area.width(), fill.area.y() + 0.3 * fill.area.height())),
                             inks.indexOf(fill.color));
            }
            const bool dark = colorAt(day.box.right() - 0.2, day.box.y() + day.box.height() - 0.2).lightness() < 100;
            QVERIFY2(dark == day.holiday, qPrintable(day.date.toString(Qt::ISODate)));
            marked += dark;
        }
    }
    QCOMPARE(marked, holidays ? 13 : 0);
    QList<Poppler::TextBox *> words = front->textList();
    const double mmPerPoint = 25.4 / 72;
    for (int month = 1; month <= 12; ++month) {
        const double left = 2.0 + ((month - 1) % 4) * (19.5 + 1.2);
        int found = 0;
        double lastTop = 0;
        for (int day = 1; day <= QDate(2027, month, 1).daysInMonth(); ++day) {
            const QDate date(2027, month, day);
            for (Poppler::TextBox *word : words) {
                const QPointF centre = word->boundingBox().center() * mmPerPoint;
                const int column = int((centre.x() - left) / (19.5 / 7));
                if (word->text() != QString::number(day) || centre.x() < left || centre.x() > left + 19.5
                    || qAbs(centre.y() - (5.6 + ((month - 1) / 4) * (14.93 + 0.8) + 7.5)) > 7.5)
                    continue;
                QCOMPARE(column, date.dayOfWeek() - 1);
                // A new row after every Sunday, the same row within a week.
                if (day > 1)
                    QVERIFY2(date.dayOfWeek() == 1 ? centre.y() > lastTop + 1.0 : qAbs(centre.y() - lastTop) < 0.1,
                             qPrintable(date.toString(Qt::ISODate)));
                lastTop = centre.y();
                ++found;
            }
        }
        QCOMPARE(found, QDate(2027, month, 1).daysInMonth());
    }
    qDeleteAll(words);
    // The back reads back in words.
    const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QStringLiteral("2"),
                                                                QStringLiteral("-layout"), cardPath, QStringLiteral("-")});
    for (const QString &line : back)
        QVERIFY2(text.contains(line), qPrintable(text));
    // The front's title: the year, and the crew shown.
    const QString title = runTool(QStringLiteral("pdftotext"),
                                  {QStringLiteral("-l"), QStringLiteral("1"), cardPath, QStringLiteral("-")});
    const QString crewTitle = QStringLiteral("2027 · Směna %1").arg(QChar(u'A' + myCrew));
    QVERIFY2(title.contains(myCrew < 0 ? QStringLiteral("2027") : crewTitle), qPrintable(title));
    QCOMPARE(text.contains(QStringLiteral("Státní svátky")), holidays);
}

namespace {

// A 56-character Ukrainian note of 30 letters WinAnsi lacks: with the
// card's Czech letters more than a simple font holds.
const char *const UkrainianNote = "Зміна Б Житомир: Юрій Щусь, Євген Ґудзь, Федір Яхно, Оля";
// 58 characters, 29 letters outside WinAnsi.
const char *const GreekNote = "Ομάδα Β, Χανιά: Γιώργος, Ξένια, Φώτης, Ψυχάρης, Ζωή, Ηλίας";

// The dark pixels of `a` within `area` that have none in `b` within two
// pixels of them: a glyph where the other image has another, or none.
int unmatchedInk(const QImage &a, const QImage &b, const QRect &area, int *dark)
{
    const auto isDark = [](const QImage &image, int x, int y) {
        return x >= 0 && y >= 0 && x < image.width() && y < image.height() && image.pixelColor(x, y).lightness() < 96;
    };
    int unmatched = 0;
    *dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!isDark(a, x, y))
                continue;
            ++*dark;
            bool near = false;
            for (int dy = -2; dy <= 2 && !near; ++dy) {
                for (int dx = -2; dx <= 2 && !near; ++dx)
                    near = isDark(b, x + dx, y + dy);
            }
            unmatched += !near;
        }
    }
    return unmatched;
}

} // namespace

void TestCalendarPdf::anyLettersOfTheFont_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("note");      // typed on the card
    QTest::addColumn<QString>("printed");   // as it reads back
    QTest::addColumn<QString>("fontType");  // of the card's font, as pdffonts names it
    QTest::newRow("Ukrainian, DejaVu Sans") << "DejaVu Sans" << UkrainianNote << UkrainianNote << "CID TrueType";
    // The form's font, whose metric twin has Cyrillic.
    QTest::newRow("Ukrainian, Arial") << "Arial" << UkrainianNote << UkrainianNote << "CID TrueType";
    QTest::newRow("Greek, Liberation Serif") << "Liberation Serif" << GreekNote << GreekNote << "CID TrueType";
    // Past the 16-bit characters: an emoji and double-struck capitals.
    QTest::newRow("an emoji, DejaVu Sans") << "DejaVu Sans" << "Směna A \U0001F600 \U0001D538\U0001D539"
                                           << "Směna A \U0001F600 \U0001D538\U0001D539" << "CID TrueType";
    // Few letters beyond WinAnsi: the simple font as ever.
    QTest::newRow("a few Cyrillic letters, Arial") << "Arial" << "Зміна Б" << "Зміна Б" << "TrueType";
    // Typed as "e" and a combining accent: the "é" the font has.
    QTest::newRow("e and a combining acute") << "Liberation Sans" << "Kavárna Cafe\u0301" << "Kavárna Café"
                                             << "TrueType";
    // The font draws the middle dot and the bullet with one glyph, and the
    // fraction and division slashes with another: each shows, and reads
    // back as itself.
    const QString dots = QString::fromUtf8(UkrainianNote).replace(QStringLiteral("Б "), QStringLiteral("Б · 1\u20442 "))
                             .replace(QStringLiteral(": "), QStringLiteral(" \u2219 3\u22154 "));
    QTest::newRow("Ukrainian, two characters of one glyph, Arial") << "Arial" << dots << dots << "CID TrueType";
}

void TestCalendarPdf::anyLettersOfTheFont()
{
    QFETCH(QString, family);
    QFETCH(QString, note);
    QFETCH(QString, printed);
    QFETCH(QString, fontType);
    QTemporaryDir dir;
    YearRequest request = yearRequest(dir.path(), 2027);
    request.look.font = family;
    request.look.labels = request.look.holidays = true;
    request.look.cardNote = note;
    request.walletCard = request.yearSheet = true;
    const YearResult result = writeYear(request);
    QCOMPARE(int(result.status), int(YearResult::Status::Written));
    QCOMPARE(result.detail, QString());
    const QString cardPath = dir.filePath(QStringLiteral("2027_karta.pdf"));
    for (const QString &path : {cardPath, dir.filePath(QStringLiteral("2027_karty_A4.pdf"))}) {
        int exitCode = -1;
        runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path}, &exitCode);
        QCOMPARE(exitCode, 0);
        const QList<EmbeddedFont> fonts = fontsOf(path);
        QCOMPARE(fonts.size(), 1);
        QCOMPARE(fonts.first().type, fontType);
        QVERIFY(fonts.first().embedded && fonts.first().subset);
        checkFontPrograms(path, true);
        // The back gives its text back, every letter itself.
        const QString back = runTool(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-f"), QStringLiteral("2"), path, QStringLiteral("-")});
        QVERIFY2(back.contains(printed), qPrintable(back));
        QVERIFY2(back.contains(QStringLiteral("Velikonoční pondělí")), qPrintable(back));
    }
    // Each character of the note in the card's character map, as its UTF-16
    // units.
    const QByteArray content = uncompressed(cardPath);
    for (const uint character : composed(request).look.cardNote.toUcs4()) {
        if (character < 0x80)
            continue;
        QByteArray units;
        for (const QChar unit : QString::fromUcs4(&character, 1))
            units += QByteArray::number(unit.unicode(), 16).toUpper().rightJustified(4, '0');
        QVERIFY2(content.contains("<" + units + ">"), units.constData());
    }
    // The front's numbers in the same font.
    const QString front = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-l"), QStringLiteral("1"), cardPath,
                                                                 QStringLiteral("-")});
    QVERIFY2(front.contains(QStringLiteral("22 23 24 25 26 27 28")), qPrintable(front));

    // The months and the year's sheet as they are without the card.
    QTemporaryDir without;
    YearRequest monthsOnly = request;
    monthsOnly.folder = without.path();
    monthsOnly.walletCard = false;
    QCOMPARE(writeYear(monthsOnly).status, YearResult::Status::Written);
    QStringList files{QStringLiteral("2027.pdf")};
    for (int month = 1; month <= 12; ++month)
        files << monthFileName(QDate(2027, month, 1));
    for (const QString &file : files)
        QCOMPARE(withoutTime(dir.filePath(file)), withoutTime(without.filePath(file)));

    // The note where the preview shows it, in the glyphs it shows: its line
    // drawn large by both, so that the rasterisers' rounding counts little.
    constexpr double PixelsPerMm = 40;
    const PdfFontSource source = resolvePdfFont(family);
    PdfRunFont font(source);
    const GlyphOutlines glyphs(source);
    const YearRequest typed = composed(request);
    const TextFont text = font.measure(printableCharacters(typed.look) + cardCharacters(2027, 0, typed.look));
    const CardFace back = layOutCard(2027, 0, typed.look, text).back;
    const TextLabel *line = nullptr;
    for (const MonthModel &part : back.parts) {
        for (const TextLabel &label : part.labels) {
            if (label.text == typed.look.cardNote)
                line = &label;
        }
    }
    QVERIFY(line);
    const double sizeMm = line->sizePt / PointsPerMm;
    const QRect area(qFloor((line->baseline.x() - 1) * PixelsPerMm),
                     qFloor(-(line->baseline.y() + text.ascent * sizeMm) * PixelsPerMm),
                     qCeil((text.width(line->text) * sizeMm + 2) * PixelsPerMm),
                     qCeil((text.ascent - text.descent) * sizeMm * PixelsPerMm));
    std::unique_ptr<Poppler::Document> card(Poppler::Document::load(cardPath));
    QVERIFY(card);
    card->setRenderHint(Poppler::Document::Antialiasing);
    std::unique_ptr<Poppler::Page> page(card->page(1));
    const QImage pdf = page->renderToImage(PixelsPerMm * 25.4, PixelsPerMm * 25.4, area.x(), area.y(), area.width(),
                                           area.height());
    QImage preview(pdf.size(), QImage::Format_ARGB32);
    preview.fill(Qt::white);
    {
        QPainter painter(&preview);
        painter.translate(-area.topLeft());
        painter.scale(PixelsPerMm, PixelsPerMm);
        for (const MonthModel &part : back.parts)
            paintMonth(painter, part, glyphs, text);
    }
    // Strip by strip of half an em, so that one glyph missing or another in
    // its place counts for all it is.
    const QImage *const images[] = {&pdf, &preview};
    const int strip = qMax(1, qRound(sizeMm * PixelsPerMm / 2));
    for (int i = 0; i < 2; ++i) {
        int total = 0;
        for (int x = 0; x < pdf.width(); x += strip) {
            int dark = 0;
            const int unmatched = unmatchedInk(*images[i], *images[1 - i], QRect(x, 0, strip, pdf.height()), &dark);
            QVERIFY2(unmatched <= 10 + dark / 20,
                     qPrintable(QStringLiteral("%1 of %2 at %3 mm").arg(unmatched).arg(dark).arg(x / PixelsPerMm)));
            total += dark;
        }
        QVERIFY(total > 1000);
    }
}

void TestCalendarPdf::textRefusedBeforeWriting_data()
{
    using Status = YearResult::Status;
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("note");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("detail"); // the characters, one a line
    // Neither a built-in font nor a Type 1 font becomes a composite font:
    // the card's Czech letters, then the note's, then the months'.
    const QString beyond = QString::fromUtf8("ě\nЗ\nм\nі\nн\nа\nБ\nЖ\nи\nт\nо\nр\nЮ\nй\nЩ\nу\nс\nь\nЄ\nв\nг\nе\nҐ\n"
                                             "д\nз\nФ\nЯ\nх\nО\nл\nя\nř\nČ\nŘ");
    QTest::newRow("Ukrainian, built-in Helvetica") << "Helvetica" << UkrainianNote << int(Status::FontNeedsTrueType)
                                                   << beyond;
    QTest::newRow("Ukrainian, a Type 1 font") << "Nimbus Sans" << UkrainianNote << int(Status::FontNeedsTrueType)
                                              << beyond;
    QTest::newRow("an emoji, a font without it") << "Liberation Sans" << "Směna \U0001F600" << int(Status::FontLacksCharacters)
                                                 << "\U0001F600";
    QTest::newRow("a thumb whose skin tone the font lacks") << "DejaVu Sans" << "\U0001F44D\U0001F3FD"
                                                             << int(Status::FontLacksCharacters)
                                                             << "\U0001F44D\U0001F3FD";
    QTest::newRow("a control character") << "DejaVu Sans" << "A\u0001B" << int(Status::FontLacksCharacters)
                                         << "\u0001";
    // Set left to right, they would read backwards.
    QTest::newRow("Hebrew") << "DejaVu Sans" << "משמרת ב" << int(Status::TextRightToLeft)
                            << QString::fromUtf8("מ\nש\nר\nת\nב");
    QTest::newRow("Arabic") << "DejaVu Sans" << "نوبة" << int(Status::TextRightToLeft)
                            << QString::fromUtf8("ن\nو\nب\nة");
    QTest::newRow("a right-to-left override") << "DejaVu Sans" << "Směna \u202EA" << int(Status::TextRightToLeft)
                                              << "\u202E";
}

void TestCalendarPdf::textRefusedBeforeWriting()
{
    QFETCH(QString, family);
    QFETCH(QString, note);
    QFETCH(int, status);
    QFETCH(QString, detail);
    QTemporaryDir dir;
    YearRequest request = yearRequest(dir.path(), 2027);
    request.look.font = family;
    request.look.cardNote = note;
    request.walletCard = request.yearSheet = true;
    const PdfFontSource source = resolvePdfFont(family);
    if (family == QLatin1String("Nimbus Sans") && source.kind != PdfFontSource::Kind::Type1)
        QSKIP("Nimbus Sans is not installed as a Type 1 font (fonts-urw-base35)");
    const YearResult result = writeYear(request);
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.detail, detail);
    QCOMPARE(result.monthsWritten, 0);
    QVERIFY(QDir(dir.path()).isEmpty());
    // Refused as the preview refuses it, the card's page shown or not.
    const GlyphOutlines glyphs(source);
    const TextCheck check = checkText(source, glyphs, composed(request), true);
    QCOMPARE(int(check.status), status);
    QCOMPARE(check.detail, detail);
    // Without the card, the months print.
    request.walletCard = false;
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);
}

void TestCalendarPdf::familyStandsIn_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("standsIn");
    QTest::newRow("installed") << "DejaVu Sans" << false;
    QTest::newRow("installed, written otherwise") << "dejavusans" << false;
    QTest::newRow("by another of its names") << "DejaVu Sans Condensed" << false;
    QTest::newRow("Arial, its metric twin") << "Arial" << false;
    QTest::newRow("Times New Roman, its metric twin") << "Times New Roman" << false;
    QTest::newRow("Courier New, its metric twin") << "Courier New" << false;
    QTest::newRow("built-in Helvetica") << "Helvetica" << false;
    QTest::newRow("the system's sans serif") << "Sans Serif" << false;
    QTest::newRow("a name made up") << "Zzyzx Grotesk" << true;
    QTest::newRow("an emoji font not installed") << "Noto Color Emoji" << true;
}

void TestCalendarPdf::familyStandsIn()
{
    QFETCH(QString, family);
    QFETCH(bool, standsIn);
    // What fontconfig's own tool picks for the name.
    const QString picked = runTool(QStringLiteral("fc-match"), {QStringLiteral("-f"), QStringLiteral("%{family[0]}"), family});
    if (!standsIn && family != QLatin1String("Helvetica") && picked.isEmpty())
        QSKIP("fc-match is missing");
    const PdfFontSource source = resolvePdfFont(family);
    QCOMPARE(source.standsIn, standsIn);
    QTemporaryDir dir;
    YearRequest request = yearRequest(dir.path(), 2027);
    request.look.font = family;
    const YearResult result = writeYear(request);
    QCOMPARE(result.status, YearResult::Status::Written);
    QCOMPARE(result.fontStandIn, standsIn ? picked : QString());
    if (standsIn)
        QCOMPARE(fontsOf(dir.filePath(QStringLiteral("2027_01.pdf"))).first().name, QString(picked).remove(QLatin1Char(' ')));
}

void TestCalendarPdf::rotaMonthsReadBack_data()
{
    QTest::addColumn<int>("myCrew");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("top");    // the ink at the top band's centre: 0 cyan, 1 magenta, 2 yellow, -1 none
    QTest::addColumn<int>("bottom");
    // 12 hours, A first: crews A cyan, B magenta, C yellow, D without a
    // colour; day shifts above nights. Worked out by hand: D--N, ND--, -ND-,
    // --ND on 1 to 4 January 2027.
    QTest::newRow("1 Jan, A by day, D by night") << -1 << QDate(2027, 1, 1) << 0 << -1;
    QTest::newRow("2 Jan, B by day, A by night") << -1 << QDate(2027, 1, 2) << 1 << 0;
    QTest::newRow("3 Jan, C by day, B by night") << -1 << QDate(2027, 1, 3) << 2 << 1;
    QTest::newRow("4 Jan, D by day, C by night") << -1 << QDate(2027, 1, 4) << -1 << 2;
    // Crew B alone: days yellow, nights cyan, days off white.
    QTest::newRow("crew B, 1 Jan off") << 1 << QDate(2027, 1, 1) << -1 << -1;
    QTest::newRow("crew B, 2 Jan by day") << 1 << QDate(2027, 1, 2) << 2 << 2;
    QTest::newRow("crew B, 3 Jan by night") << 1 << QDate(2027, 1, 3) << 0 << 0;
    QTest::newRow("crew B, 31 Mar by day") << 1 << QDate(2027, 3, 31) << 2 << 2;
}

void TestCalendarPdf::rotaMonthsReadBack()
{
    QFETCH(int, myCrew);
    QFETCH(QDate, date);
    QFETCH(int, top);
    QFETCH(int, bottom);
    Look look = helveticaLook();
    look.rota = Rota::fromPreset(2);
    look.myCrew = myCrew;
    look.kindColors = {Ink{}, Ink{0, 0, 100, 0}, Ink{100, 0, 0, 0}, Ink{}, Ink{}};
    const ReadPdf page = readPdf(render(date.year(), date.month(), 0, 10, 10, look), 144);
    const QRectF box = boxOf(date, 10, 10);
    // Left of the number, in the middle of each half of the box.
    QCOMPARE(dominantInk(page.colorAtMm(box.x() + 1.5, box.y() + 7.5)), top);
    QCOMPARE(dominantInk(page.colorAtMm(box.x() + 1.5, box.y() + 2.5)), bottom);
}

void TestCalendarPdf::crewLettersReadBack_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("myCrew");
    QTest::addColumn<QDate>("month");
    QTest::addColumn<QStringList>("days"); // "day letters", the letters from the top, "/" between bands
    // The worked example, A first: 1 March 2017 is C's, 5th A's, 6th B's.
    QTest::newRow("24 h, March 2017") << "Helvetica" << 0 << -1 << QDate(2017, 3, 1)
                                      << QStringList{"1 C", "2 A", "5 A", "6 B", "13 C", "31 C"};
    QTest::newRow("24 h, March 2017, TrueType") << "Liberation Sans" << 0 << -1 << QDate(2017, 3, 1)
                                                << QStringList{"1 C", "2 A", "6 B"};
    // 12 h, A first on 1 January 2027: 1 May is day 120, where crew k works
    // day 120 - k of DN--: A by day, D by night; on the 2nd B and A.
    QTest::newRow("12 h, May 2027") << "Liberation Sans" << 2 << -1 << QDate(2027, 5, 1)
                                    << QStringList{"1 A/D", "2 B/A", "3 C/B", "4 D/C", "5 A/D"};
    // Crew B alone: 1 May off, 2nd by day, 3rd by night, 4th off.
    QTest::newRow("12 h, crew B, May 2027") << "DejaVu Sans" << 2 << 1 << QDate(2027, 5, 1)
                                            << QStringList{"1 ", "2 D", "3 N", "4 ", "6 D"};
}

void TestCalendarPdf::crewLettersReadBack()
{
    QFETCH(QString, family);
    QFETCH(int, preset);
    QFETCH(int, myCrew);
    QFETCH(QDate, month);
    QFETCH(QStringList, days);
    constexpr double PixelsPerMm = 10;
    Look look = helveticaLook();
    look.font = family;
    look.rota = Rota::fromPreset(preset);
    look.myCrew = myCrew;
    look.crewColors[3] = {0, 0, 0, 30};
    look.kindColors = {Ink{100, 0, 0, 0}, Ink{0, 100, 0, 0}, Ink{0, 0, 100, 0}, Ink{100, 0, 0, 0}, Ink{0, 100, 0, 0}};
    look.crewLetters = true;
    const ReadPdf pdf = readPdf(render(month.year(), month.month(), 0, 10, 10, look), PixelsPerMm * 25.4);
    QVERIFY(pdf.loaded);

    // The words poppler reads in each listed day's box besides its number,
    // from the top, a band's in its lower half and in the box's left third.
    const int bands = look.myCrew >= 0 ? 1 : look.rota.usedKinds().size();
    for (const QString &expected : days) {
        const QDate date(month.year(), month.month(), expected.section(QLatin1Char(' '), 0, 0).toInt());
        const QRectF box = boxOf(date, 10, 10);
        const QRectF boxOnPage(box.x(), -(box.y() + box.height()), 10, 10);
        QList<PdfWord> inBox;
        for (const PdfWord &word : pdf.words) {
            if (boxOnPage.contains(word.boxMm.center()) && word.text != QString::number(date.day()))
                inBox << word;
        }
        std::sort(inBox.begin(), inBox.end(), [](const PdfWord &a, const PdfWord &b) { return a.boxMm.top() < b.boxMm.top(); });
        QStringList letters;
        for (const PdfWord &word : qAsConst(inBox)) {
            letters << word.text;
            const int band = int((word.boxMm.center().y() - boxOnPage.top()) / (10.0 / bands));
            const double bandTop = boxOnPage.top() + band * 10.0 / bands;
            QVERIFY2(word.boxMm.center().y() > bandTop + 10.0 / bands / 2 && word.boxMm.right() < boxOnPage.left() + 10.0 / 3,
                     qPrintable(expected + QLatin1Char(' ') + word.text));
            // Small: at most 0.6 of the numbers' 10 pt, a glyph box of
            // that size less than 2.6 mm high.
            QVERIFY2(word.boxMm.height() < 2.6, qPrintable(QString::number(word.boxMm.height())));
        }
        QCOMPARE(letters.join(QLatin1Char('/')), expected.section(QLatin1Char(' '), 1));
    }

    // The preview draws them where the file has them.
    const PdfFontSource source = resolvePdfFont(family);
    PdfRunFont font(source);
    const TextFont text = font.measure(printableCharacters(look));
    const GlyphOutlines glyphs(source);
    const MonthModel model = layOutMonth(month.year(), month.month(), 0, look, text);
    QImage preview(pdf.image.size(), QImage::Format_ARGB32);
    preview.fill(Qt::white);
    {
        QPainter painter(&preview);
        painter.scale(PixelsPerMm, PixelsPerMm);
        paintMonth(painter, model, glyphs, text);
    }
    int compared = 0;
    for (const TextLabel &label : model.labels) {
        const double sizeMm = label.sizePt / PointsPerMm;
        const QRect area(qFloor(label.baseline.x() * PixelsPerMm) - 1, qFloor(-(label.baseline.y() + sizeMm) * PixelsPerMm),
                         qCeil(sizeMm * label.text.size() * PixelsPerMm), qCeil(1.1 * sizeMm * PixelsPerMm));
        const QPointF inPdf = numberCentre(pdf.image, area), onScreen = numberCentre(preview, area);
        QVERIFY2(inPdf.x() >= 0 && qAbs(inPdf.x() - onScreen.x()) <= 1 && qAbs(inPdf.y() - onScreen.y()) <= 1,
                 qPrintable(QStringLiteral("%1: PDF %2,%3 screen %4,%5").arg(label.text).arg(inPdf.x()).arg(inPdf.y())
                                .arg(onScreen.x()).arg(onScreen.y())));
        ++compared;
    }
    QVERIFY(compared >= 15);

    // The year's print sheet and the wallet card carry them too: for the
    // whole team a letter a crew's box and band, for one crew a letter a
    // day it works.
    YearRequest request;
    request.year = month.year();
    request.look = look;
    request.yearSheet = request.walletCard = true;
    const YearCalendars calendars(request);
    QCOMPARE(calendars.status(), YearResult::Status::Written);
    int worked = 0;
    for (QDate day(month.year(), 1, 1); day.year() == month.year(); day = day.addDays(1))
        worked += look.myCrew >= 0 ? look.rota.codeOf(look.myCrew, day, 0) != u'-' : bands;
    const QRegularExpression letter(QStringLiteral("^[A-FSDNRO]{1,2}[0-9]*$"));
    const auto lettersIn = [&](const QByteArray &bytes, int page) {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("x.pdf")));
        if (!file.open(QIODevice::WriteOnly))
            return -1;
        file.write(bytes);
        file.close();
        const QString words = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                                                     QString::number(page), file.fileName(), QStringLiteral("-")});
        int count = 0;
        for (const QString &word : words.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            count += letter.match(word).hasMatch();
        return count;
    };
    int onSheet = 0;
    const PdfBytes sheet = calendars.sheet();
    for (int page = 1; page <= 2; ++page)
        onSheet += lettersIn(sheet.bytes, page);
    QCOMPARE(onSheet, worked);
    // On the card's front, besides them, the title names the crew shown.
    QCOMPARE(lettersIn(calendars.cardFiles().card.bytes, 1), worked + (look.myCrew >= 0 ? 1 : 0));
}

void TestCalendarPdf::sameFilesAsEver_data()
{
    QTest::addColumn<QString>("file"); // made by the calendars' first release, in tests/data
    QTest::addColumn<int>("month");
    QTest::addColumn<bool>("textOnly");
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("fontSizePt");
    QTest::newRow("January, six columns") << "2017_01_helvetica.pdf" << 1 << false << 10.0 << 10.0 << 10.0;
    QTest::newRow("March") << "2017_03_helvetica.pdf" << 3 << false << 10.0 << 10.0 << 10.0;
    QTest::newRow("March, text only, numbers wider than the boxes") << "2017_03_helvetica_text_only.pdf" << 3 << true
                                                                     << 12.0 << 8.0 << 40.0;
}

void TestCalendarPdf::sameFilesAsEver()
{
    QFETCH(QString, file);
    QFETCH(int, month);
    QFETCH(bool, textOnly);
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(double, fontSizePt);
    // The form's rota with every option off: the same bytes as ever, but
    // for the time the file was made and the identifier made from it.
    QTemporaryDir dir;
    YearRequest request = yearRequest(dir.path());
    request.look.crewColors[0] = {0, 100, 100, 0};
    request.look.crewColors[1] = {100, 0, 0, 0};
    request.look.textOnly = textOnly;
    request.look.boxWidthMm = w;
    request.look.boxHeightMm = h;
    request.look.fontSizePt = fontSizePt;
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);
    const QString made = withoutTime(dir.filePath(monthFileName(QDate(2017, month, 1))));
    QVERIFY(!made.isEmpty());
    QCOMPARE(made, withoutTime(QFINDTESTDATA(QStringLiteral("data/") + file)));
}

void TestCalendarPdf::quietRun()
{
    // Nothing on the terminal while a year with every text is made.
    QTemporaryDir dir;
    YearRequest request = yearRequest(dir.path());
    request.look.font = QStringLiteral("Liberation Sans");
    request.look.labels = request.look.holidays = true;
    request.look.rota = Rota::fromPreset(3);
    request.yearSheet = request.walletCard = true;
    QTemporaryFile terminal;
    QVERIFY(terminal.open());
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(terminal.handle(), STDOUT_FILENO);
    const YearResult result = writeYear(request);
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    ::close(saved);
    QCOMPARE(result.status, YearResult::Status::Written);
    QCOMPARE(terminal.readAll(), QByteArray());
}

QTEST_MAIN(TestCalendarPdf)
#include "tst_calendarpdf.moc"
