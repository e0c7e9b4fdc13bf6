#include "app/desktop.h"
#include "app/mainwindow.h"
#include "fonts/glyphoutlines.h"
#include "model/card.h"
#include "output/setupfile.h"
#include "output/yearwriter.h"
#include "render/pdffont.h"
#include "render/screenpage.h"
#include "support/pdfreader.h"

#include <QApplication>
#include <QDataStream>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QPainter>
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
    QTest::addColumn<int>("preset");

    QTest::newRow("colourful") << QStringLiteral("Barevný.lns") << false << 0;
    QTest::newRow("muted") << QStringLiteral("Tlumený.lns") << false << 0;
    QTest::newRow("black and white") << QStringLiteral("Černobílý pro tisk.lns") << true << 0;
    QTest::newRow("24 h, four crews") << QStringLiteral("Čtyři směny po 24 h.lns") << false << 1;
    QTest::newRow("12 h") << QStringLiteral("12 h, denní a noční.lns") << false << 2;
    QTest::newRow("8 h, four crews") << QStringLiteral("8 h, čtyři směny.lns") << false << 3;
    QTest::newRow("8 h, five crews") << QStringLiteral("8 h, pět směn.lns") << false << 4;
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

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
