#include "app/mainwindow.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QResource>
#include <QTest>
#include <QtEndian>

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
};

void TestResources::pictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const char *name : {"app_icon", "year", "first_shift", "font", "shift_colors", "field_size",
                             "border", "target_folder", "confirm", "save", "load", "red", "green", "blue"})
        QTest::newRow(name) << QStringLiteral(":/icon/16/") + QLatin1String(name) << QSize(16, 16);
    QTest::newRow("logo_velmo") << QStringLiteral(":/other/logo_velmo") << QSize(256, 116);
}

void TestResources::pictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

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
    QCOMPARE(entries.size(), 15);


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

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
