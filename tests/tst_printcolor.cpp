#include "render/printcolor.h"

#include <QImage>
#include <QProcess>
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
    void cacheKeepsColoursApart();
    void withoutProfile_data();
    void withoutProfile();
};

void TestPrintColor::asPrinted_data()
{
    QTest::addColumn<Cmyk>("cmyk");
    QTest::addColumn<QString>("ghostscript"); // gs 10.0, png16m at 72 dpi; empty: not noted
    QTest::addColumn<QString>("naive");       // what QColor::fromCmykF makes of it

    QTest::newRow("C") << Cmyk{1, 0, 0, 0} << QStringLiteral("#00aeef") << QStringLiteral("#00ffff");
    QTest::newRow("M") << Cmyk{0, 1, 0, 0} << QStringLiteral("#ec008c") << QStringLiteral("#ff00ff");
    QTest::newRow("Y") << Cmyk{0, 0, 1, 0} << QStringLiteral("#fff200") << QString();
    QTest::newRow("K") << Cmyk{0, 0, 0, 1} << QStringLiteral("#231f20") << QStringLiteral("#000000");
    QTest::newRow("C+M") << Cmyk{1, 1, 0, 0} << QStringLiteral("#2e3092") << QStringLiteral("#0000ff");
    QTest::newRow("C+Y") << Cmyk{1, 0, 1, 0} << QStringLiteral("#00a650") << QString();
    QTest::newRow("M+Y") << Cmyk{0, 1, 1, 0} << QStringLiteral("#ed1c24") << QStringLiteral("#ff0000");
    QTest::newRow("C 20") << Cmyk{0.2, 0, 0, 0} << QString() << QString();
    QTest::newRow("C 50") << Cmyk{0.5, 0, 0, 0} << QStringLiteral("#6dcff6") << QString();
    QTest::newRow("M 50") << Cmyk{0, 0.5, 0, 0} << QString() << QString();
    QTest::newRow("Y 20") << Cmyk{0, 0, 0.2, 0} << QString() << QString();
    QTest::newRow("K 20") << Cmyk{0, 0, 0, 0.2} << QString() << QString();
    QTest::newRow("K 50") << Cmyk{0, 0, 0, 0.5} << QStringLiteral("#939598") << QStringLiteral("#7f7f7f");
    QTest::newRow("C+M 50") << Cmyk{0.5, 0.5, 0, 0} << QString() << QString();
    QTest::newRow("M+Y 20") << Cmyk{0, 0.2, 0.2, 0} << QString() << QString();
    QTest::newRow("rich black") << Cmyk{0.6, 0.4, 0.4, 1} << QStringLiteral("#000000") << QString();
}

void TestPrintColor::asPrinted()
{
    QFETCH(Cmyk, cmyk);
    QFETCH(QString, ghostscript);
    QFETCH(QString, naive);

    const PrintColors &colors = PrintColors::instance();
    QVERIFY2(colors.isCalibrated(), "Ghostscript's default_cmyk.icc (libgs-common) is missing");
    QCOMPARE(colors.profilePath(), GhostscriptDir + QStringLiteral("default_cmyk.icc"));

    const QColor screen = colors.toScreen(cmyk);
    const QColor expected = reference(cmyk);
    QVERIFY2(levelsApart(screen, expected) <= 1, qPrintable(screen.name() + QStringLiteral(" for ") + expected.name()));
    if (!ghostscript.isEmpty())
        QVERIFY2(deltaE2000(screen, QColor(ghostscript)) <= 3, qPrintable(screen.name()));
    if (!naive.isEmpty())
        QVERIFY(deltaE2000(screen, QColor(naive)) > 5);
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

void TestPrintColor::cacheKeepsColoursApart()
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
