#include "render/printcolor.h"
#include "render/screenpage.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <lcms2.h>

#include <iterator>

using namespace Calendar;

Q_DECLARE_METATYPE(Calendar::Cmyk)

namespace {

const QString GhostscriptDir = QStringLiteral("/usr/share/color/icc/ghostscript/");

double deltaE2000(const QColor &a, const QColor &b)
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM toLab = cmsCreateTransform(srgb, TYPE_RGB_8, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    const quint8 rgb[6] = {quint8(a.red()), quint8(a.green()), quint8(a.blue()),
                           quint8(b.red()), quint8(b.green()), quint8(b.blue())};
    cmsCIELab out[2];
    cmsDoTransform(toLab, rgb, out, 2);
    cmsDeleteTransform(toLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(srgb);
    return cmsCIE2000DeltaE(&out[0], &out[1], 1, 1, 1);
}

// The same conversion by another route: exact floating point, not lcms's
// sampled table, into Ghostscript's own sRGB profile.
QColor reference(const Cmyk &c)
{
    cmsHPROFILE cmyk = cmsOpenProfileFromFile(QFile::encodeName(GhostscriptDir + QStringLiteral("default_cmyk.icc")), "r");
    cmsHPROFILE srgb = cmsOpenProfileFromFile(QFile::encodeName(GhostscriptDir + QStringLiteral("srgb.icc")), "r");
    cmsHTRANSFORM t = cmsCreateTransform(cmyk, TYPE_CMYK_DBL, srgb, TYPE_RGB_DBL, INTENT_RELATIVE_COLORIMETRIC,
                                         cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOOPTIMIZE);
    const double in[4] = {c.cyan * 100, c.magenta * 100, c.yellow * 100, c.black * 100};
    double rgb[3] = {-1, -1, -1};
    if (t) {
        cmsDoTransform(t, in, rgb, 1);
        cmsDeleteTransform(t);
    }
    cmsCloseProfile(srgb);
    cmsCloseProfile(cmyk);
    return QColor::fromRgbF(rgb[0], rgb[1], rgb[2]);
}

// The preview's colours as they were when the transform was sampled on
// lcms's fine grid (cmsFLAGS_HIGHRESPRECALC), for the ready looks' colours,
// in whole percentages.
QColor sampledBefore(int c, int m, int y, int k)
{
    static const QHash<QString, QString> colours = {
        {QStringLiteral("0 0 0 0"), QStringLiteral("#ffffff")},
        {QStringLiteral("0 0 0 25"), QStringLiteral("#c7c8ca")},
        {QStringLiteral("0 0 0 40"), QStringLiteral("#a7a9ac")},
        {QStringLiteral("0 0 0 50"), QStringLiteral("#939598")},
        {QStringLiteral("0 0 0 85"), QStringLiteral("#4d4d4f")},
        {QStringLiteral("0 0 0 100"), QStringLiteral("#231f20")},
        {QStringLiteral("0 10 70 0"), QStringLiteral("#ffe06a")},
        {QStringLiteral("0 15 85 0"), QStringLiteral("#ffd540")},
        {QStringLiteral("0 30 30 0"), QStringLiteral("#fbbea8")},
        {QStringLiteral("0 45 0 0"), QStringLiteral("#f5a4c7")},
        {QStringLiteral("0 50 60 0"), QStringLiteral("#f7966b")},
        {QStringLiteral("0 55 60 0"), QStringLiteral("#f68d68")},
        {QStringLiteral("25 0 30 5"), QStringLiteral("#b7d6b8")},
        {QStringLiteral("30 10 0 0"), QStringLiteral("#adceec")},
        {QStringLiteral("50 0 60 10"), QStringLiteral("#78b780")},
        {QStringLiteral("60 20 0 0"), QStringLiteral("#5da9dd")},
        {QStringLiteral("70 45 0 0"), QStringLiteral("#5481c1")},
    };
    const QString name = colours.value(QStringLiteral("%1 %2 %3 %4").arg(c).arg(m).arg(y).arg(k));
    return name.isEmpty() ? QColor() : QColor(name);
}

int levelsApart(const QColor &a, const QColor &b)
{
    return qMax(qAbs(a.red() - b.red()), qMax(qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())));
}

// A page of 100 x 100 points filled with one CMYK colour, as our PDFs fill a box.
QByteArray filledPdf(const Cmyk &c)
{
    const QByteArray content = QByteArray::number(c.cyan) + ' ' + QByteArray::number(c.magenta) + ' '
            + QByteArray::number(c.yellow) + ' ' + QByteArray::number(c.black) + " k 0 0 100 100 re f\n";
    const QByteArrayList objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /Contents 4 0 R >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "endstream"};
    QByteArray pdf = "%PDF-1.4\n", xref = "xref\n0 5\n0000000000 65535 f \n";
    for (int i = 0; i < objects.size(); ++i) {
        xref += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    return pdf + xref + "trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(pdf.size()) + "\n%%EOF\n";
}

} // namespace

class TestPrintColor : public QObject
{
    Q_OBJECT

private slots:
    void asPrinted_data();
    void asPrinted();
    void ghostscriptRendering_data();
    void ghostscriptRendering();
    void sampledAsGhostscriptSamples_data();
    void sampledAsGhostscriptSamples();
    void readyLooksAsBefore_data();
    void readyLooksAsBefore();
    void cacheKeepsColoursApart_data();
    void cacheKeepsColoursApart();
    void cacheKeepsColoursInTurn();
    void withoutProfile_data();
    void withoutProfile();
};

void TestPrintColor::asPrinted_data()
{
    QTest::addColumn<Cmyk>("cmyk");
    QTest::addColumn<QString>("ghostscript"); // gs 10.0, png16m at 72 dpi; empty: not noted
    QTest::addColumn<QString>("naive");       // what QColor::fromCmykF makes of it
    // What the preview showed when it sampled the transform on lcms's fine
    // grid: the colours stay within 0.5 of it, which nobody can tell apart.
    QTest::addColumn<QString>("before");

    // No ink: the paper, which the preview shows without reading the profile.
    QTest::newRow("paper") << Cmyk{0, 0, 0, 0} << QStringLiteral("#ffffff") << QString() << QStringLiteral("#ffffff");
    QTest::newRow("C") << Cmyk{1, 0, 0, 0} << QStringLiteral("#00aeef") << QStringLiteral("#00ffff") << QStringLiteral("#00aeef");
    QTest::newRow("M") << Cmyk{0, 1, 0, 0} << QStringLiteral("#ec008c") << QStringLiteral("#ff00ff") << QStringLiteral("#ec008c");
    QTest::newRow("Y") << Cmyk{0, 0, 1, 0} << QStringLiteral("#fff200") << QString() << QStringLiteral("#fff200");
    QTest::newRow("K") << Cmyk{0, 0, 0, 1} << QStringLiteral("#231f20") << QStringLiteral("#000000") << QStringLiteral("#231f20");
    QTest::newRow("C+M") << Cmyk{1, 1, 0, 0} << QStringLiteral("#2e3092") << QStringLiteral("#0000ff") << QStringLiteral("#2e3092");
    QTest::newRow("C+Y") << Cmyk{1, 0, 1, 0} << QStringLiteral("#00a650") << QString() << QStringLiteral("#00a650");
    QTest::newRow("M+Y") << Cmyk{0, 1, 1, 0} << QStringLiteral("#ed1c24") << QStringLiteral("#ff0000") << QStringLiteral("#ed1c24");
    QTest::newRow("C 20") << Cmyk{0.2, 0, 0, 0} << QString() << QString() << QStringLiteral("#c7eafb");
    QTest::newRow("C 50") << Cmyk{0.5, 0, 0, 0} << QStringLiteral("#6dcff6") << QString() << QStringLiteral("#6dcff6");
    QTest::newRow("M 50") << Cmyk{0, 0.5, 0, 0} << QString() << QString() << QStringLiteral("#f49ac1");
    QTest::newRow("Y 20") << Cmyk{0, 0, 0.2, 0} << QString() << QString() << QStringLiteral("#fffcd5");
    QTest::newRow("K 20") << Cmyk{0, 0, 0, 0.2} << QString() << QString() << QStringLiteral("#d1d3d4");
    QTest::newRow("K 50") << Cmyk{0, 0, 0, 0.5} << QStringLiteral("#939598") << QStringLiteral("#7f7f7f") << QStringLiteral("#939598");
    QTest::newRow("C+M 50") << Cmyk{0.5, 0.5, 0, 0} << QString() << QString() << QStringLiteral("#8781bd");
    QTest::newRow("M+Y 20") << Cmyk{0, 0.2, 0.2, 0} << QString() << QString() << QStringLiteral("#fcd3c1");
    QTest::newRow("rich black") << Cmyk{0.6, 0.4, 0.4, 1} << QStringLiteral("#000000") << QString() << QStringLiteral("#000000");
}

void TestPrintColor::asPrinted()
{
    QFETCH(Cmyk, cmyk);
    QFETCH(QString, ghostscript);
    QFETCH(QString, naive);
    QFETCH(QString, before);

    const PrintColors &colors = PrintColors::instance();
    QVERIFY2(colors.isCalibrated(), "Ghostscript's default_cmyk.icc (libgs-common) is missing");
    QCOMPARE(colors.profilePath(), GhostscriptDir + QStringLiteral("default_cmyk.icc"));

    const QColor screen = colors.toScreen(cmyk);
    QCOMPARE(screenColor(cmyk), screen); // as the preview paints it
    const QColor expected = reference(cmyk);
    QVERIFY2(levelsApart(screen, expected) <= 1, qPrintable(screen.name() + QStringLiteral(" for ") + expected.name()));
    if (!ghostscript.isEmpty())
        QVERIFY2(deltaE2000(screen, QColor(ghostscript)) <= 3, qPrintable(screen.name()));
    if (!naive.isEmpty())
        QVERIFY(deltaE2000(screen, QColor(naive)) > 5);
    QVERIFY2(deltaE2000(screen, QColor(before)) <= 0.5, qPrintable(screen.name() + QStringLiteral(" for ") + before));
}

void TestPrintColor::sampledAsGhostscriptSamples_data()
{
    QTest::addColumn<QString>("profile");
    QTest::newRow("default CMYK") << GhostscriptDir + QStringLiteral("default_cmyk.icc");
    QTest::newRow("PostScript CMYK") << GhostscriptDir + QStringLiteral("ps_cmyk.icc");
}

void TestPrintColor::sampledAsGhostscriptSamples()
{
    QFETCH(QString, profile);
    // The transform lcms builds on its finest grid (which Ghostscript
    // renders with), sampled whole: the preview's colours are its colours,
    // to the bit, across the inks, not only where a node lies.
    const PrintColors colors(profile);
    QVERIFY(colors.isCalibrated());
    cmsHPROFILE cmyk = cmsOpenProfileFromFile(QFile::encodeName(profile), "r");
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM sampled = cmsCreateTransform(cmyk, TYPE_CMYK_16, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC,
                                               cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_HIGHRESPRECALC);
    cmsCloseProfile(srgb);
    cmsCloseProfile(cmyk);
    QVERIFY(sampled);
    QVector<Cmyk> inks;
    for (int c = 0; c <= 100; c += 20)
        for (int m = 0; m <= 100; m += 20)
            for (int y = 0; y <= 100; y += 20)
                for (int k = 0; k <= 100; k += 20)
                    inks.append(Ink{c, m, y, k}.cmyk());
    // Between the nodes, and next to full and no ink.
    quint32 seed = 2027;
    for (int i = 0; i < 500; ++i) {
        double ink[4];
        for (double &value : ink) {
            seed = seed * 1664525u + 1013904223u;
            value = (seed >> 8) / double(1 << 24);
        }
        inks.append({ink[0], ink[1], ink[2], ink[3]});
    }
    inks.append({0.999, 0.001, 0, 1});
    inks.append({0.0001, 0, 0, 0});
    int differing = 0;
    QString first;
    for (const Cmyk &c : qAsConst(inks)) {
        const quint16 ink[4] = {quint16(c.cyan * 65535 + 0.5), quint16(c.magenta * 65535 + 0.5),
                                quint16(c.yellow * 65535 + 0.5), quint16(c.black * 65535 + 0.5)};
        quint8 rgb[3];
        cmsDoTransform(sampled, ink, rgb, 1);
        const QColor expected(rgb[0], rgb[1], rgb[2]);
        const QColor screen = colors.toScreen(c);
        if (screen != expected && !differing++)
            first = QStringLiteral("%1 %2 %3 %4: %5 for %6").arg(c.cyan).arg(c.magenta).arg(c.yellow).arg(c.black)
                        .arg(screen.name(), expected.name());
    }
    cmsDeleteTransform(sampled);
    QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1 of %2 differ, first %3").arg(differing).arg(inks.size()).arg(first)));
}

void TestPrintColor::readyLooksAsBefore_data()
{
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("k");
    // Every colour of every ready look, read as the window reads them.
    const QDir looks(QFINDTESTDATA("../resources/looks"));
    const QStringList files = looks.entryList({QStringLiteral("*.lns")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 7);
    for (const QString &file : files) {
        QSettings look(looks.filePath(file), QSettings::IniFormat);
        const QStringList keys = look.allKeys();
        for (const QString &key : keys) {
            // A colour is kept as its state of 16 bytes, nothing else is.
            const QVariant value = look.value(key);
            if (value.type() != QVariant::ByteArray || value.toByteArray().size() != 16)
                continue;
            const Ink ink = Ink::fromState(value.toByteArray());
            QTest::addRow("%s %s", qPrintable(file), qPrintable(key)) << ink.cyan << ink.magenta << ink.yellow << ink.black;
        }
    }
}

void TestPrintColor::readyLooksAsBefore()
{
    QFETCH(int, c);
    QFETCH(int, m);
    QFETCH(int, y);
    QFETCH(int, k);
    const PrintColors &colors = PrintColors::instance();
    QVERIFY(colors.isCalibrated());
    const Cmyk cmyk = Ink{c, m, y, k}.cmyk();
    const QColor screen = colors.toScreen(cmyk);
    // A colour a look gains later is held to the exact conversion instead.
    const QColor before = sampledBefore(c, m, y, k);
    const QColor expected = before.isValid() ? before : reference(cmyk);
    QVERIFY2(deltaE2000(screen, expected) <= 0.5, qPrintable(screen.name() + QStringLiteral(" for ") + expected.name()));
}

void TestPrintColor::ghostscriptRendering_data()
{
    QTest::addColumn<Cmyk>("cmyk");
    QTest::newRow("M+Y") << Cmyk{0, 1, 1, 0};
    QTest::newRow("C+M 50") << Cmyk{0.5, 0.5, 0, 0};
}

void TestPrintColor::ghostscriptRendering()
{
    QFETCH(Cmyk, cmyk);
    const QString gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
    if (gs.isEmpty())
        QSKIP("needs Ghostscript (Debian's ghostscript) to render the PDF");

    QTemporaryDir dir;
    QFile pdf(dir.filePath(QStringLiteral("fill.pdf")));
    QVERIFY(pdf.open(QIODevice::WriteOnly) && pdf.write(filledPdf(cmyk)) > 0);
    pdf.close();
    const QString png = dir.filePath(QStringLiteral("fill.png"));
    QProcess process;
    process.start(gs, {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                       QStringLiteral("-dSAFER"), QStringLiteral("-sDEVICE=png16m"), QStringLiteral("-r72"),
                       QStringLiteral("-sOutputFile=") + png, pdf.fileName()});
    QVERIFY(process.waitForFinished(60000) && process.exitCode() == 0);
    const QImage image(png);
    QCOMPARE(image.size(), QSize(100, 100));

    const QColor rendered = image.pixelColor(50, 50);
    const QColor screen = PrintColors::instance().toScreen(cmyk);
    QVERIFY2(deltaE2000(screen, rendered) <= 3, qPrintable(screen.name() + QStringLiteral(", gs ") + rendered.name()));
}

void TestPrintColor::cacheKeepsColoursApart_data()
{
    QTest::addColumn<Cmyk>("first");
    QTest::addColumn<Cmyk>("second");
    // Inks that share most of their bits, or whose channels would land on
    // each other's if a key packed them too tightly.
    QTest::newRow("Y100 K75, Y100 K100") << Cmyk{0, 0, 1, 0.75} << Cmyk{0, 0, 1, 1};
    QTest::newRow("Y100 K100, Y100 K75") << Cmyk{0, 0, 1, 1} << Cmyk{0, 0, 1, 0.75};
    QTest::newRow("C100, Y100") << Cmyk{1, 0, 0, 0} << Cmyk{0, 0, 1, 0};
    QTest::newRow("M100, K100") << Cmyk{0, 1, 0, 0} << Cmyk{0, 0, 0, 1};
    QTest::newRow("C50 M50, C50 Y50") << Cmyk{0.5, 0.5, 0, 0} << Cmyk{0.5, 0, 0.5, 0};
    QTest::newRow("K20, K21") << Cmyk{0, 0, 0, 0.2} << Cmyk{0, 0, 0, 0.21};
}

void TestPrintColor::cacheKeepsColoursApart()
{
    QFETCH(Cmyk, first);
    QFETCH(Cmyk, second);
    // One object asked for both, in turn: the second is not the first's
    // colour out of the cache.
    const PrintColors colors;
    const QColor a = colors.toScreen(first), b = colors.toScreen(second);
    QVERIFY2(levelsApart(a, reference(first)) <= 1, qPrintable(a.name()));
    QVERIFY2(levelsApart(b, reference(second)) <= 1, qPrintable(b.name()));
    QVERIFY(a != b);
    QCOMPARE(colors.toScreen(first), a);
}

void TestPrintColor::cacheKeepsColoursInTurn()
{
    // Neighbours one ink apart, asked in turn and again in reverse of one
    // object, each keep their own colour.
    const PrintColors colors;
    const Cmyk inks[] = {{0, 0, 0, 0.2}, {0, 0, 0, 1}, {1, 0, 0, 0}, {1, 1, 0, 0},
                         {1, 1, 1, 0}, {0, 1, 1, 0}, {0, 0, 1, 0}, {0.6, 0.4, 0.4, 1}};
    QVector<QColor> first;
    for (const Cmyk &c : inks)
        first.append(colors.toScreen(c));
    for (int i = int(std::size(inks)) - 1; i >= 0; --i) {
        QCOMPARE(colors.toScreen(inks[i]), first[i]);
        QVERIFY(levelsApart(first[i], reference(inks[i])) <= 1);
    }
}

void TestPrintColor::withoutProfile_data()
{
    QTest::addColumn<QString>("profile");
    QTest::newRow("missing file") << QStringLiteral("/nonexistent/default_cmyk.icc");
    QTest::newRow("RGB profile") << GhostscriptDir + QStringLiteral("srgb.icc");
    QTest::newRow("not a profile") << QCoreApplication::applicationFilePath();
}

void TestPrintColor::withoutProfile()
{
    QFETCH(QString, profile);
    const PrintColors colors(profile);
    QVERIFY(!colors.isCalibrated());
    QVERIFY(colors.profilePath().isEmpty());
    QCOMPARE(colors.toScreen({0.1, 0.7, 0.3, 0.2}).rgb(), QColor::fromCmykF(0.1, 0.7, 0.3, 0.2).rgb());
}

QTEST_GUILESS_MAIN(TestPrintColor)
#include "tst_printcolor.moc"
