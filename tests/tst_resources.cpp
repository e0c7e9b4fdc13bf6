#include "app/mainwindow.h"
#include "output/setupfile.h"
#include "render/screenpage.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QResource>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <functional>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data();
    void pictures();
    void onlyTheseEntries();
    void pathsAreExact();
    void formShowsEveryPicture();
    void logoIsRendered();
    void logoReadsOnWindowColours_data();
    void logoReadsOnWindowColours();
    void screenshotIsTheWindow();
    void documentsTellTheTruth_data();
    void documentsTellTheTruth();
};

namespace {

const char *const iconNames[] = {"app_icon", "year", "first_shift", "font", "shift_colors", "field_size", "border",
                                 "target_folder", "confirm", "save", "load", "red", "green", "blue"};

// WCAG 2 relative luminance.
double luminance(const QColor &colour)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

} // namespace

void TestResources::pictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("ratio");
    // Each picture beside its variants for device pixel ratio 2 and 3, which
    // the toolkit looks for under the same name plus "@2x" and "@3x".
    const auto add = [](const QString &path, QSize size) {
        QTest::newRow(qPrintable(path)) << path << size << 1;
        for (int ratio : {2, 3}) {
            const QString variant = path + QStringLiteral("@%1x").arg(ratio);
            QTest::newRow(qPrintable(variant)) << variant << size * ratio << ratio;
        }
    };
    for (const char *name : iconNames)
        add(QStringLiteral(":/icon/16/") + QLatin1String(name), QSize(16, 16));
    add(QStringLiteral(":/other/logo_velmo"), QSize(256, 116));
    QTest::newRow(":/icon/app") << QStringLiteral(":/icon/app") << QSize(256, 256) << 1;
}

void TestResources::pictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(int, ratio);

    if (ratio > 1) {
        const QString base = path.left(path.size() - 3);
        QCOMPARE(qt_findAtNxFile(base, ratio), path);
        QCOMPARE(QImageReader(path).read().devicePixelRatio(), qreal(ratio));
    }

    QResource resource(path);
    QVERIFY(resource.isValid());
    QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);
    // Registered in the resource format version 1, which keeps no file times.
    QVERIFY(!resource.lastModified().isValid());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray png = file.readAll();
    // The PNG header: 8-bit depth, colour type 6 (RGBA), not interlaced.
    QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
    QCOMPARE(png.mid(12, 4), QByteArray("IHDR"));
    QCOMPARE(qFromBigEndian<quint32>(png.constData() + 16), quint32(size.width()));
    QCOMPARE(qFromBigEndian<quint32>(png.constData() + 20), quint32(size.height()));
    QCOMPARE(int(png.at(24)), 8);
    QCOMPARE(int(png.at(25)), 6);
    QCOMPARE(int(png.at(28)), 0);

    const QImage image(path);
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
    // A picture, not a blank: several colours, some of them opaque.
    QSet<QRgb> colours;
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
            opaque += qAlpha(image.pixel(x, y)) > 128;
        }
    }
    QVERIFY(colours.size() >= 2);
    QVERIFY(opaque >= image.width() * image.height() / 20);
}

void TestResources::onlyTheseEntries()
{
    QStringList entries;
    QDirIterator it(QStringLiteral(":/"), QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileInfo().isFile() && (path.startsWith(QLatin1String(":/icon/")) || path.startsWith(QLatin1String(":/other/"))))
            entries << path;
    }
    QStringList expected = {QStringLiteral(":/icon/app")};
    const auto withVariants = [&expected](const QString &path) {
        expected << path << path + QStringLiteral("@2x") << path + QStringLiteral("@3x");
    };
    for (const char *name : iconNames)
        withVariants(QStringLiteral(":/icon/16/") + QLatin1String(name));
    withVariants(QStringLiteral(":/other/logo_velmo"));
    entries.sort();
    expected.sort();
    QCOMPARE(entries, expected);


    // The three swatches are what their names say.
    const auto centre = [](const char *name) {
        return QImage(QStringLiteral(":/icon/16/") + QLatin1String(name)).pixelColor(8, 8);
    };
    QVERIFY(centre("red").red() > 180 && centre("red").green() < 100 && centre("red").blue() < 100);
    QVERIFY(centre("green").green() > 120 && centre("green").red() < 100 && centre("green").blue() < 100);
    QVERIFY(centre("blue").blue() > 180 && centre("blue").red() < 100 && centre("blue").green() < 150);
}

void TestResources::pathsAreExact()
{
    QVERIFY(QFile::exists(QStringLiteral(":/icon/16/year")));
    QVERIFY(!QFile::exists(QStringLiteral(":/icon/16/year.png")));
    QVERIFY(!QFile::exists(QStringLiteral(":/icon/16/Year")));
    QVERIFY(!QFile::exists(QStringLiteral(":/other/logo_velmo.png")));
    QVERIFY(QImage(QStringLiteral(":/icon/16/year.png")).isNull());
}

void TestResources::formShowsEveryPicture()
{
    MainWindow window;
    QVERIFY(!window.windowIcon().isNull());
    QCOMPARE(window.windowIcon().pixmap(16, 16).size(), QSize(16, 16));

    const QList<QPair<const char *, const char *>> labels = {
        {"label_2", "year"}, {"label_4", "first_shift"}, {"label_10", "font"},
        {"label_6", "shift_colors"}, {"label_14", "field_size"}, {"label_18", "border"},
        {"label_16", "target_folder"}};
    for (const auto &label : labels) {
        auto *widget = window.findChild<QLabel *>(QLatin1String(label.first));
        QVERIFY(widget);
        const QPixmap pixmap = widget->pixmap(Qt::ReturnByValue);
        QVERIFY2(!pixmap.isNull(), label.first);
        QCOMPARE(pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 QImage(QStringLiteral(":/icon/16/") + QLatin1String(label.second))
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied));
        QCOMPARE(widget->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(widget->alignment(), Qt::AlignCenter);
    }
    const QList<QPair<const char *, const char *>> buttons = {
        {"finish", "confirm"}, {"save", "save"}, {"save_2", "load"}};
    for (const auto &button : buttons) {
        auto *widget = window.findChild<QPushButton *>(QLatin1String(button.first));
        QVERIFY2(!widget->icon().isNull(), button.first);
        QCOMPARE(widget->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 QImage(QStringLiteral(":/icon/16/") + QLatin1String(button.second))
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
}

void TestResources::logoIsRendered()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *logo = window.findChild<QLabel *>(QStringLiteral("label"));
    QVERIFY(logo->height() >= 116);
    const QImage shot = logo->grab().toImage();
    // The logo's crescent is amber: look for it in what the label paints.
    int amber = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            amber += c.red() > 220 && c.green() > 150 && c.green() < 200 && c.blue() < 80;
        }
    }
    QVERIFY2(amber > 200, qPrintable(QString::number(amber)));
}

void TestResources::logoReadsOnWindowColours_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QColor>("window");
    for (const char *variant : {"", "@2x", "@3x"}) {
        const QString path = QStringLiteral(":/other/logo_velmo") + QLatin1String(variant);
        for (const char *colour : {"#efefef", "#ffffff", "#2b2b2b", "#31363b"})
            QTest::newRow(qPrintable(path + QLatin1Char(' ') + QLatin1String(colour))) << path << QColor(colour);
    }
}

void TestResources::logoReadsOnWindowColours()
{
    QFETCH(QString, path);
    QFETCH(QColor, window);

    // The word "Lunoris" over the window colour: the commonest colour of its
    // box is what lies behind the word, the next one the letters' own.
    QImage logo(path);
    logo.setDevicePixelRatio(1); // pixel for pixel
    QImage shown(logo.size(), QImage::Format_ARGB32);
    shown.fill(window);
    QPainter(&shown).drawImage(0, 0, logo);
    const int ratio = logo.width() / 256;
    const QRect word(88 * ratio, 38 * ratio, 144 * ratio, 31 * ratio);
    QHash<QRgb, int> counts;
    for (int y = word.top(); y <= word.bottom(); ++y) {
        for (int x = word.left(); x <= word.right(); ++x)
            ++counts[shown.pixel(x, y)];
    }
    QList<QPair<int, QRgb>> byCount;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        byCount.append({it.value(), it.key()});
    std::sort(byCount.begin(), byCount.end(), std::greater<>());
    QVERIFY(byCount.size() >= 2);
    const double behind = luminance(QColor(byCount.at(0).second));
    const double letters = luminance(QColor(byCount.at(1).second));
    const double contrast = (qMax(behind, letters) + 0.05) / (qMin(behind, letters) + 0.05);
    QVERIFY2(contrast >= 4.5, qPrintable(QStringLiteral("%1:1").arg(contrast, 0, 'f', 2)));
}

void TestResources::screenshotIsTheWindow()
{
    // The script starts the program itself with a ready look as its argument.
    const QString script = QFINDTESTDATA("../resources/make-screenshot.sh");
    QVERIFY(!script.isEmpty());
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("shot.png"));
    QProcess process;
    process.start(script, {QStringLiteral(LUNORIS_APP), out});
    QVERIFY(process.waitForFinished(150000));
    const QString said = QString::fromUtf8(process.readAllStandardOutput());
    const QString problems = QString::fromUtf8(process.readAllStandardError());
    if (process.exitCode() == 77)
        QSKIP(qPrintable(problems));
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, qPrintable(problems));

    // A picture of the window's size, which the script read from the
    // window: at least the form's, with the panel beside it.
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("the window, (\\d+)x(\\d+)")).match(said);
    QVERIFY2(size.hasMatch(), qPrintable(said));
    const QImage shot(out);
    QCOMPARE(shot.size(), QSize(size.captured(1).toInt(), size.captured(2).toInt()));
    QVERIFY(shot.width() > 534 + 300 && shot.height() >= 582);
    // The look given as the argument is loaded, as a double-click on it
    // loads it: the preview shows its crews' colours, where a fresh window's
    // crews are white.
    const Calendar::Look look = Setup::load(QFINDTESTDATA("../resources/looks/12 h, denní a noční.lns"), Calendar::Look()).look;
    for (int crew = 0; crew < look.rota.crews; ++crew) {
        const QColor colour = Calendar::screenColor(look.crewColors[size_t(crew)].cmyk());
        int pixels = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = shot.width() / 2; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                pixels += qAbs(c.red() - colour.red()) <= 3 && qAbs(c.green() - colour.green()) <= 3
                          && qAbs(c.blue() - colour.blue()) <= 3;
            }
        }
        QVERIFY2(pixels > 500, qPrintable(QStringLiteral("crew %1: %2 pixels").arg(crew).arg(pixels)));
    }

    // What the AppStream data shows is this window, not an older one: the
    // same size, and all but a few pixels the same.
    const QImage committed(QFINDTESTDATA("../resources/linux/screenshot.png"));
    const QString stale = QStringLiteral("resources/linux/screenshot.png is not the window of today: run "
                                         "resources/make-screenshot.sh build/src/lunoris resources/linux/screenshot.png");
    QVERIFY2(committed.size() == shot.size(), qPrintable(stale));
    int differing = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb a = shot.pixel(x, y), b = committed.pixel(x, y);
            differing += qAbs(qRed(a) - qRed(b)) > 32 || qAbs(qGreen(a) - qGreen(b)) > 32 || qAbs(qBlue(a) - qBlue(b)) > 32;
        }
    }
    QVERIFY2(differing < shot.width() * shot.height() / 200, qPrintable(stale + QStringLiteral(" (%1 pixels differ)").arg(differing)));
    QFile metainfo(QFINDTESTDATA("../resources/linux/cz.lunoris.Lunoris.metainfo.xml"));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    QVERIFY2(QString::fromUtf8(metainfo.readAll())
                 .contains(QStringLiteral("width=\"%1\" height=\"%2\"").arg(shot.width()).arg(shot.height())),
             "the AppStream data gives the screenshot's size");
}

void TestResources::documentsTellTheTruth_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("namesEveryLook");
    QTest::addColumn<bool>("countsTheLooks"); // "… ready looks", the number in English words
    QTest::newRow("README") << "README.md" << true << false;
    QTest::newRow("manual page") << "packaging/lunoris.1.in" << true << false;
    QTest::newRow("Czech manual page") << "packaging/lunoris.cs.1.in" << true << false;
    QTest::newRow("Debian description") << "packaging/description.txt" << false << true;
    QTest::newRow("changelog") << "packaging/changelog" << false << true;
    QTest::newRow("AppStream") << "resources/linux/cz.lunoris.Lunoris.metainfo.xml" << false << true;
    QTest::newRow("desktop entry") << "resources/linux/cz.lunoris.Lunoris.desktop" << false << false;
}

void TestResources::documentsTellTheTruth()
{
    QFETCH(QString, document);
    QFETCH(bool, namesEveryLook);
    QFETCH(bool, countsTheLooks);
    QFile file(QFINDTESTDATA(QStringLiteral("../") + document));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\\-"), QStringLiteral("-")); // a manual page's hyphens
    // Rotas of any kind, not the three shifts the first calendars knew.
    for (const char *stale : {"three-shift", "three shift", "three ready looks", "třísměnn", "tři hotové"})
        QVERIFY2(!text.contains(QString::fromUtf8(stale), Qt::CaseInsensitive), stale);
    const QStringList looks = QDir(QFINDTESTDATA("../resources/looks")).entryList({QStringLiteral("*.lns")});
    QVERIFY(looks.size() >= 8);
    if (namesEveryLook) {
        for (const QString &look : looks)
            QVERIFY2(text.contains(look), qPrintable(look));
    }
    if (countsTheLooks) {
        const QStringList numbers = {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine",
                                     "ten", "eleven", "twelve"};
        QVERIFY2(text.contains(numbers.value(looks.size()) + QStringLiteral(" ready looks")), qPrintable(document));
    }
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
