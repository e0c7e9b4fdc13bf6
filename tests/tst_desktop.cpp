#include "app/desktop.h"

#include <QApplication>
#include <QLibraryInfo>
#include "app/mainwindow.h"

#include <QDataStream>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void toolkitSpeaksCzech();
    void desktopKnowsTheWindow();
    void windowIconHasLargeSizes();
    void looks_data();
    void looks();
};

void TestDesktop::initTestCase()
{
    // As main() does it; the test runs in the C locale.
    Desktop::setUpApplication(*qApp);
}

void TestDesktop::toolkitSpeaksCzech()
{
    if (!QFile::exists(QLibraryInfo::location(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_cs.qm")))
        QSKIP("qtbase_cs.qm is not installed (Debian: qttranslations5-l10n)");
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Zrušit"));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lookInLabel"))->text(), QStringLiteral("Hledat v:"));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("fileNameLabel"))->text(), QStringLiteral("Název &souboru:"));
}

void TestDesktop::desktopKnowsTheWindow()
{
    // The desktop entry is found by the desktop file name on Wayland and by
    // the window class (StartupWMClass) on X11.
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("cz.lunoris.Lunoris"));
    QFile entry(QFINDTESTDATA("../resources/linux/cz.lunoris.Lunoris.desktop"));
    QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    const QList<QByteArray> lines = entry.readAll().split('\n');
    QVERIFY(lines.contains("StartupWMClass=" + QCoreApplication::applicationName().toUtf8()));
}

void TestDesktop::windowIconHasLargeSizes()
{
    MainWindow window;
    const QIcon form = window.windowIcon();
    for (const QIcon &icon : {QApplication::windowIcon(), Desktop::largeIcon(form)}) {
        const QList<QSize> sizes = icon.availableSizes();
        for (int size : {16, 32, 48, 256})
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        QCOMPARE(sizes.size(), 4);
        QCOMPARE(icon.pixmap(256, 256).size(), QSize(256, 256));
        // The form's 16-pixel picture stays what it was.
        QCOMPARE(icon.pixmap(16, 16).toImage(), form.pixmap(16, 16).toImage());
    }
}

void TestDesktop::looks_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("greysOnly");
    QTest::addColumn<int>("maximumShiftInk"); // percent, any one component

    QTest::newRow("colourful") << QStringLiteral("Barevný.lns") << false << 100;
    QTest::newRow("muted") << QStringLiteral("Tlumený.lns") << false << 40;
    QTest::newRow("black and white") << QStringLiteral("Černobílý pro tisk.lns") << true << 100;
}

void TestDesktop::looks()
{
    QFETCH(QString, file);
    QFETCH(bool, greysOnly);
    QFETCH(int, maximumShiftInk);

    const QString path = QFINDTESTDATA(QStringLiteral("../resources/looks/") + file);
    QVERIFY(!path.isEmpty());
    const QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(settings.status(), QSettings::NoError);
    QStringList keys = settings.allKeys();
    keys.sort();
    QCOMPARE(keys, QStringList({"borderColor", "borderWidth", "boxHeight", "boxWidth", "colorA", "colorB", "colorC",
                                "font", "fontColor", "fontSize", "textOnly"}));

    QList<QByteArray> states;
    for (const char *key : {"colorA", "colorB", "colorC", "fontColor", "borderColor"}) {
        const QVariant value = settings.value(QLatin1String(key));
        QCOMPARE(value.userType(), int(QMetaType::QByteArray));
        states << value.toByteArray();
        QCOMPARE(states.last().size(), 16);
        QDataStream stream(states.last());
        qint32 cmyk[4];
        stream >> cmyk[0] >> cmyk[1] >> cmyk[2] >> cmyk[3];
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(cmyk[i] >= 0 && cmyk[i] <= 100, key);
            QVERIFY2(!greysOnly || i == 3 || cmyk[i] == 0, key);
            QVERIFY2(states.size() > 3 || cmyk[i] <= maximumShiftInk, key);
        }
    }
    // Three shifts that tell apart.
    QVERIFY(states.at(0) != states.at(1) && states.at(1) != states.at(2) && states.at(0) != states.at(2));

    QVERIFY(!settings.value(QStringLiteral("font")).toString().isEmpty());
    // Within the form's ranges (1 to 100, the border 0 to 99.99).
    for (const char *key : {"fontSize", "boxWidth", "boxHeight", "borderWidth"}) {
        bool number = false;
        const double value = settings.value(QLatin1String(key)).toDouble(&number);
        QVERIFY2(number && value >= 0.5 && value <= 99.99, key);
    }
    QCOMPARE(settings.value(QStringLiteral("textOnly")).toString(), QStringLiteral("false"));
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
