#include "app/desktop.h"
#include "app/mainwindow.h"
#include "fonts/glyphoutlines.h"
#include "model/card.h"
#include "output/setupfile.h"
#include "output/yearwriter.h"
#include "render/pdffont.h"
#include "render/printcolor.h"
#include "render/screenpage.h"
#include "support/colorvision.h"
#include "support/infolder.h"
#include "support/modal.h"
#include "support/pdfreader.h"
#include "widgets/colorpicker.h"

#include <QApplication>
#include <QDataStream>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QPainter>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMimeDatabase>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void toolkitSpeaksCzech();
    void desktopKnowsTheWindow();
    void windowIconHasLargeSizes();
    void setupFileType_data();
    void setupFileType();
    void fileArgument_data();
    void fileArgument();
    void looks_data();
    void looks();
    void colourDifference_data();
    void colourDifference();
    void colourBlindReaders_data();
    void colourBlindReaders();
};

namespace {

// The type of setup files where the package installs it, for the toolkit's
// MIME database, which a widget application reads as it starts: set up
// before the application object exists.
struct InstalledMimeType
{
    InstalledMimeType()
    {
        const QString source = QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../resources/linux/mime/cz.lunoris.Lunoris.xml"));
        copied = QDir(data.path()).mkpath(QStringLiteral("mime/packages"))
                 && QFile::copy(source, data.filePath(QStringLiteral("mime/packages/cz.lunoris.Lunoris.xml")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    }

    QTemporaryDir data;
    bool copied = false;
} installedMimeType;

} // namespace

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
    // A setup file opened from the file manager is handed to the program.
    QVERIFY(lines.contains("Exec=lunoris %f"));
    QVERIFY(lines.contains("MimeType=application/x-lunoris-setup;"));
    QFile metainfo(QFINDTESTDATA("../resources/linux/cz.lunoris.Lunoris.metainfo.xml"));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    QVERIFY(metainfo.readAll().contains("<mediatype>application/x-lunoris-setup</mediatype>"));
}

void TestDesktop::setupFileType_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("setup");
    QTest::newRow("a ready look") << "Barevný.lns" << true;
    QTest::newRow("capitals") << "KARTA.LNS" << true;
    QTest::newRow("a backup") << "look.lns.bak" << false;
    QTest::newRow("an INI file") << "look.ini" << false;
}

void TestDesktop::setupFileType()
{
    QFETCH(QString, file);
    QFETCH(bool, setup);
    // Read by the toolkit's own reader of shared-mime-info files.
    QVERIFY(installedMimeType.copied);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file, QMimeDatabase::MatchExtension);
    QCOMPARE(type.name() == QLatin1String("application/x-lunoris-setup"), setup);
    if (setup) {
        QCOMPARE(type.comment(), QStringLiteral("Lunoris setup file"));
        QVERIFY(type.inherits(QStringLiteral("text/plain")));
        QCOMPARE(type.suffixes(), QStringList{QStringLiteral("lns")});
        QCOMPARE(type.iconName(), QStringLiteral("lunoris"));
    }
}

void TestDesktop::fileArgument_data()
{
    QTest::addColumn<QStringList>("arguments"); // after the program's name, as the toolkit leaves them
    QTest::addColumn<QString>("file");          // relative to the test's folder; empty: none
    QTest::addColumn<QString>("message");       // a critical message box's text; empty: none
    QTest::addColumn<QString>("notice");        // the panel's notice starts with it; empty: none
    QTest::addColumn<double>("fontSize");       // after the load

    QTest::newRow("none") << QStringList() << "" << "" << "" << 10.0;
    QTest::newRow("an empty one") << QStringList{""} << "" << "" << "" << 10.0;
    QTest::newRow("a look") << QStringList{"look.lns"} << "look.lns" << "" << "" << 14.0;
    QTest::newRow("a look, and more") << QStringList{"look.lns", "other.lns"} << "look.lns" << "" << "" << 14.0;
    QTest::newRow("a value it cannot take") << QStringList{"note.lns"} << "note.lns" << ""
                                            << "Ze souboru '%1' nešlo převzít:" << 12.0;
    QTest::newRow("no such file") << QStringList{"gone.lns"} << "gone.lns"
                                  << "Konfiguraci ze souboru '%1' se nepodařilo načíst: soubor neexistuje" << "" << 10.0;
    QTest::newRow("a folder") << QStringList{"folder.lns"} << "folder.lns"
                              << "Konfiguraci ze souboru '%1' se nepodařilo načíst: není to soubor" << "" << 10.0;
}

void TestDesktop::fileArgument()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QFETCH(QString, message);
    QFETCH(QString, notice);
    QFETCH(double, fontSize);
    QTemporaryDir dir;
    TestSupport::InFolder inDir(dir.path());
    QVERIFY(inDir.entered());
    {
        QSettings look(QStringLiteral("look.lns"), QSettings::IniFormat);
        look.setValue(QStringLiteral("fontSize"), 14);
        look.setValue(QStringLiteral("colorA"), QByteArray::fromHex("00000000000000640000006400000000"));
        QSettings note(QStringLiteral("note.lns"), QSettings::IniFormat);
        note.setValue(QStringLiteral("fontSize"), 12);
        note.setValue(QStringLiteral("cardNote"), QString(80, QLatin1Char('x')));
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.lns")));

    // A relative name is the file in the folder the program started in.
    const QString path = Desktop::setupFileArgument(QStringList{QStringLiteral("lunoris")} + arguments);
    inDir.leave();
    QCOMPARE(path, file.isEmpty() ? QString() : dir.filePath(file));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    std::shared_ptr<TestSupport::SeenMessage> seen;
    if (!message.isEmpty())
        seen = TestSupport::answerMessageBox();
    if (!path.isEmpty())
        window.openSetupFile(path);
    QCOMPARE(seen && seen->shown ? seen->text : QString(), message.isEmpty() ? QString() : message.arg(path));
    if (seen && seen->shown)
        QCOMPARE(seen->title, QStringLiteral("Chyba"));
    QCOMPARE(window.findChild<QDoubleSpinBox *>(QStringLiteral("fontSize"))->value(), fontSize);
    if (fontSize == 14.0)
        QCOMPARE(window.findChild<ColorPicker *>(QStringLiteral("shiftAColor"))->toByteArray(),
                 QByteArray::fromHex("00000000000000640000006400000000"));
    auto *shown = window.findChild<QLabel *>(QStringLiteral("loadNotice"));
    QCOMPARE(shown->isVisible(), !notice.isEmpty());
    if (!notice.isEmpty())
        QVERIFY2(shown->text().startsWith(notice.arg(path)), qPrintable(shown->text()));
}

void TestDesktop::windowIconHasLargeSizes()
{
    MainWindow window;
    const QIcon form = window.windowIcon();
    // Only the form's picture until the first frame is on the screen: the
    // larger ones would hold it up.
    QCOMPARE(form.availableSizes(), QList<QSize>{QSize(16, 16)});
    QVERIFY(QApplication::windowIcon().isNull());
    Desktop::showFirstWindow(window);
    QCOMPARE(window.windowIcon().availableSizes().size(), 1);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.windowIcon().availableSizes().size(), 4);
    for (const QIcon &icon : {window.windowIcon(), QApplication::windowIcon(), Desktop::largeIcon(form)}) {
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
    QTest::addColumn<int>("preset");

    QTest::newRow("colourful") << QStringLiteral("Barevný.lns") << false << 0;
    QTest::newRow("muted") << QStringLiteral("Tlumený.lns") << false << 0;
    QTest::newRow("black and white") << QStringLiteral("Černobílý pro tisk.lns") << true << 0;
    QTest::newRow("24 h, four crews") << QStringLiteral("Čtyři směny po 24 h.lns") << false << 1;
    QTest::newRow("12 h") << QStringLiteral("12 h, denní a noční.lns") << false << 2;
    QTest::newRow("8 h, four crews") << QStringLiteral("8 h, čtyři směny.lns") << false << 3;
    QTest::newRow("8 h, five crews") << QStringLiteral("8 h, pět směn.lns") << false << 4;
    QTest::newRow("for colour-blind readers") << QStringLiteral("Pro barvoslepé.lns") << false << 0;
}

void TestDesktop::looks()
{
    QFETCH(QString, file);
    QFETCH(bool, greysOnly);
    QFETCH(int, preset);

    // Loaded as the window loads it, and drawn as the preview draws it: a
    // first calendar that is not blank, in every crew's colour of its own.
    const QString path = QFINDTESTDATA(QStringLiteral("../resources/looks/") + file);
    QVERIFY(!path.isEmpty());
    const Calendar::Look look = Setup::load(path, Calendar::Look()).look;
    QCOMPARE(look.rota.preset, preset);
    QVERIFY(look.isValid());
    // Told apart at a glance on a card, not only by a measuring tool.
    for (int crew = 0; crew < look.rota.crews; ++crew) {
        for (int other = 0; other < crew; ++other) {
            const QColor a = Calendar::screenColor(look.crewColors[size_t(crew)].cmyk());
            const QColor b = Calendar::screenColor(look.crewColors[size_t(other)].cmyk());
            const int apart = qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
            QVERIFY2(apart >= 60, qPrintable(QStringLiteral("crews %1 and %2: %3").arg(other).arg(crew).arg(apart)));
        }
    }

    const Calendar::PdfFontSource source = Calendar::resolvePdfFont(look.font);
    Calendar::PdfRunFont font(source);
    const Calendar::GlyphOutlines glyphs(source);
    const Calendar::TextFont text = font.measure(Calendar::printableCharacters(look));
    QImage page(800, 900, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        painter.scale(page.width() / (8 * look.boxWidthMm), page.width() / (8 * look.boxWidthMm));
        Calendar::paintMonth(painter, Calendar::layOutMonth(2027, 1, 0, look, text), glyphs, text);
    }
    int inked = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor color = page.pixelColor(x, y);
            inked += color.lightness() < 245;
            if (greysOnly)
                QVERIFY(qAbs(color.red() - color.green()) < 8 && qAbs(color.green() - color.blue()) < 8);
        }
    }
    QVERIFY2(inked > page.width() * page.height() / 4, qPrintable(QString::number(inked)));

    // Every crew's own view: a working day never looks like a day off, on
    // the months, the card, the preview and the PDF, even in a look whose
    // kinds have no colours or whose crew A is white paper.
    const auto white = [](const QColor &color) { return color.lightness() >= 250; };
    QVector<Calendar::Look> views;
    for (Calendar::Look mine = look; ++mine.myCrew < look.rota.crews;) {
        views << mine;
        // Without colours of the kinds, as a look saved before had it: the
        // crew's own colour, where it has one.
        mine.kindColors = {};
        if (!mine.crewColors[size_t(mine.myCrew)].isWhite())
            views << mine;
    }
    for (const Calendar::Look &mine : qAsConst(views)) {
        const QString crew = QStringLiteral("crew %1%2 ").arg(Calendar::crewName(mine.myCrew),
                                                              mine.kindColors[0].isWhite() ? QStringLiteral(" alone") : QString());
        for (int month = 1; month <= 12; ++month) {
            for (const Calendar::DayCell &day : Calendar::layOutMonth(2027, month, 0, mine, text).days) {
                const bool works = look.rota.codeOf(mine.myCrew, day.date, 0) != u'-';
                QVERIFY2(day.fills.size() == (works ? 1 : 0), qPrintable(crew + day.date.toString(Qt::ISODate)));
                if (works)
                    QVERIFY2(!white(Calendar::screenColor(day.fills.first().color)), qPrintable(crew));
            }
        }
        const Calendar::TextFont cardText =
            font.measure(Calendar::printableCharacters(mine) + Calendar::cardCharacters(2027, 0, mine));
        int cardDays = 0;
        for (const Calendar::MonthModel &part : Calendar::layOutCard(2027, 0, mine, cardText).front.parts) {
            for (const Calendar::DayCell &day : part.days) {
                const bool works = look.rota.codeOf(mine.myCrew, day.date, 0) != u'-';
                QVERIFY2(works == (!day.fills.isEmpty() && !white(Calendar::screenColor(day.fills.first().color))),
                         qPrintable(crew + day.date.toString(Qt::ISODate)));
                ++cardDays;
            }
        }
        QCOMPARE(cardDays, 365);
        // January drawn on the screen and into the PDF, read back by poppler:
        // inside each box, away from its number.
        const Calendar::MonthModel january = Calendar::layOutMonth(2027, 1, 0, mine, text);
        QImage shown(800, 900, QImage::Format_RGB32);
        shown.fill(Qt::white);
        {
            QPainter painter(&shown);
            painter.scale(10, 10);
            Calendar::paintMonth(painter, january, glyphs, text);
        }
        Calendar::YearRequest request;
        request.year = 2027;
        request.look = mine;
        const Calendar::YearCalendars calendars(request);
        QCOMPARE(calendars.status(), Calendar::YearResult::Status::Written);
        const TestSupport::ReadPdf pdf = TestSupport::readPdf(calendars.month(1).bytes, 144);
        for (const Calendar::DayCell &day : january.days) {
            const bool works = look.rota.codeOf(mine.myCrew, day.date, 0) != u'-';
            const QPointF inside(day.box.x() + 1.0, day.box.y() + day.box.height() - 1.0);
            QCOMPARE(white(shown.pixelColor(int(inside.x() * 10), int(-inside.y() * 10))), !works);
            QCOMPARE(white(pdf.colorAtMm(inside.x(), inside.y())), !works);
        }
    }
}

void TestDesktop::colourDifference_data()
{
    QTest::addColumn<QList<double>>("first");  // L*, a*, b*
    QTest::addColumn<QList<double>>("second");
    QTest::addColumn<double>("deltaE");
    // Pairs of Sharma, Wu and Dalal's test data for CIEDE2000: near the blue
    // where the hue turns fastest, across the neutral axis, large
    // differences, and near black.
    QTest::newRow("1, blue") << QList<double>{50, 2.6772, -79.7751} << QList<double>{50, 0, -82.7485} << 2.0425;
    QTest::newRow("3, blue") << QList<double>{50, 2.8361, -74.0200} << QList<double>{50, 0, -82.7485} << 3.4412;
    QTest::newRow("7, grey") << QList<double>{50, 0, 0} << QList<double>{50, -1, 2} << 2.3669;
    QTest::newRow("17, large") << QList<double>{50, 2.5, 0} << QList<double>{73, 25, -18} << 27.1492;
    QTest::newRow("19, large") << QList<double>{50, 2.5, 0} << QList<double>{56, -27, -3} << 31.9030;
    QTest::newRow("20, large") << QList<double>{50, 2.5, 0} << QList<double>{58, 24, 15} << 19.4535;
    QTest::newRow("25, green") << QList<double>{60.2574, -34.0099, 36.2677} << QList<double>{60.4626, -34.1751, 39.4387}
                               << 1.2644;
    QTest::newRow("26, cyan") << QList<double>{63.0109, -31.0961, -5.8663} << QList<double>{62.8187, -29.7946, -4.0864}
                              << 1.2630;
    QTest::newRow("34, near black") << QList<double>{2.0776, 0.0795, -1.1350} << QList<double>{0.9033, -0.0636, -0.5514}
                                    << 0.9082;
}

void TestDesktop::colourDifference()
{
    QFETCH(QList<double>, first);
    QFETCH(QList<double>, second);
    QFETCH(double, deltaE);
    using TestSupport::Lab;
    const Lab a{first.at(0), first.at(1), first.at(2)}, b{second.at(0), second.at(1), second.at(2)};
    QVERIFY2(qAbs(TestSupport::deltaE2000(a, b) - deltaE) < 5e-5, qPrintable(QString::number(TestSupport::deltaE2000(a, b), 'f', 5)));
    QVERIFY(qAbs(TestSupport::deltaE2000(b, a) - deltaE) < 5e-5);

    // The simulations keep white white and grey grey, and take from red and
    // green most of what tells them apart for protans and deutans, from blue
    // and green for tritans.
    using TestSupport::Vision;
    for (const Vision vision : {Vision::Protan, Vision::Deutan, Vision::Tritan}) {
        for (int row = 0; row < 3; ++row)
            QVERIFY(qAbs(TestSupport::matrixRowSum(vision, row) - 1.0) < 2e-6);
        const TestSupport::Lab grey = TestSupport::seenAs(QColor(128, 128, 128), vision);
        QVERIFY(qAbs(grey.a) < 0.01 && qAbs(grey.b) < 0.01);
    }
    const auto apart = [](const QColor &x, const QColor &y, Vision vision) {
        return TestSupport::deltaE2000(TestSupport::seenAs(x, vision), TestSupport::seenAs(y, vision));
    };
    const QColor red(0xd0, 0x30, 0x30), green(0x30, 0x90, 0x30), blue(0x30, 0x60, 0xd0);
    QVERIFY(apart(red, green, Vision::Normal) > 60);
    QVERIFY(apart(red, green, Vision::Deutan) < apart(red, green, Vision::Normal) / 2);
    QVERIFY(apart(red, green, Vision::Protan) < apart(red, green, Vision::Normal) / 2);
    QVERIFY(apart(blue, green, Vision::Tritan) < apart(blue, green, Vision::Normal) / 2);
}

void TestDesktop::colourBlindReaders_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("atLeast"); // ΔE2000 of the closest pair under every simulation
    for (const char *file : {"Barevný.lns", "Tlumený.lns", "Černobílý pro tisk.lns", "Čtyři směny po 24 h.lns",
                             "12 h, denní a noční.lns", "8 h, čtyři směny.lns", "8 h, pět směn.lns"})
        QTest::newRow(file) << QString::fromUtf8(file) << 0.0;
    QTest::newRow("Pro barvoslepé.lns") << QStringLiteral("Pro barvoslepé.lns") << 15.0;
}

void TestDesktop::colourBlindReaders()
{
    QFETCH(QString, file);
    QFETCH(double, atLeast);
    using TestSupport::Vision;
    // Through the print colours the preview shows, as a PDF viewer renders
    // the file's CMYK.
    QVERIFY2(Calendar::PrintColors::instance().isCalibrated(), "Ghostscript's CMYK profile (libgs-common) is missing");
    const QString path = QFINDTESTDATA(QStringLiteral("../resources/looks/") + file);
    QVERIFY(!path.isEmpty());
    const Calendar::Look look = Setup::load(path, Calendar::Look()).look;
    // The crews its rota has; a look meant for every reader has all six
    // ready, and its kinds for one crew's view stand apart from each other
    // and from the white of a day off.
    struct Swatch
    {
        QString name;
        QColor shown;
    };
    QVector<Swatch> crews, kinds;
    const int crewCount = atLeast > 0 ? Calendar::MaximumCrews : look.rota.crews;
    for (int crew = 0; crew < crewCount; ++crew)
        crews.append({Calendar::crewName(crew), Calendar::screenColor(look.crewColors[size_t(crew)].cmyk())});
    for (int kind = 0; kind < Calendar::KindCount; ++kind)
        kinds.append({QStringLiteral("služba ") + Calendar::kindCodes().at(kind), Calendar::screenColor(look.kindColors[size_t(kind)].cmyk())});
    kinds.append({QStringLiteral("volno"), Calendar::screenColor(Calendar::Ink().cmyk())});

    const auto closest = [](const QVector<Swatch> &swatches, Vision vision) {
        std::pair<double, QString> nearest{1e9, QString()};
        for (int i = 0; i < swatches.size(); ++i) {
            for (int j = 0; j < i; ++j) {
                const double apart = TestSupport::deltaE2000(TestSupport::seenAs(swatches.at(i).shown, vision),
                                                             TestSupport::seenAs(swatches.at(j).shown, vision));
                if (apart < nearest.first)
                    nearest = {apart, swatches.at(j).name + QStringLiteral("–") + swatches.at(i).name};
            }
        }
        return nearest;
    };
    QStringList report;
    for (const Vision vision : {Vision::Protan, Vision::Deutan, Vision::Tritan}) {
        const auto [apart, pair] = closest(crews, vision);
        report << QStringLiteral("%1 %2 %3").arg(TestSupport::visionName(vision), pair).arg(apart, 0, 'f', 1);
        QVERIFY2(apart >= atLeast, qPrintable(report.last()));
        if (atLeast > 0) {
            const auto [kindsApart, kindPair] = closest(kinds, vision);
            QVERIFY2(kindsApart >= atLeast, qPrintable(QStringLiteral("%1 %2 %3").arg(TestSupport::visionName(vision), kindPair).arg(kindsApart)));
        }
    }
    qInfo("%s: closest crews, ΔE2000: %s", qPrintable(file), qPrintable(report.join(QStringLiteral(", "))));
    if (atLeast > 0) {
        // Told apart without colour too: the letters are on.
        QVERIFY(look.crewLetters);
        QVERIFY(look.labels);
    }
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
