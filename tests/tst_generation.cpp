#include "app/mainwindow.h"
#include "output/yearmessage.h"
#include "support/findwidget.h"
#include "support/infolder.h"
#include "support/modal.h"
#include "support/pdfreader.h"
#include "support/smalldisk.h"
#include "widgets/colorpicker.h"
#include "widgets/foldernotice.h"
#include "widgets/monthpreview.h"
#include "widgets/previewpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace TestSupport;

// The desktop's file manager, as the desktop services reach it.
class FileManager : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> shown;

public slots:
    void show(const QUrl &url) { shown << url; }
};

// "Dokončit" as a user meets it: the form's values in, the files on disk and
// the message box out.
class TestGeneration : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void refusedBeforeWriting_data();
    void refusedBeforeWriting();
    void typedFontWithoutEnter();
    void writesAnyLetters_data();
    void writesAnyLetters();
    void writesTheYear();
    void stopsAtAnUnwritableMonth();
    void failuresSayWhy_data();
    void failuresSayWhy();
    void linksInTheFolder_data();
    void linksInTheFolder();
    void twoRunsStartAlike();
    void textOnlyUsesTheCheckState();
    void extraFilesOfTheRun_data();
    void extraFilesOfTheRun();
    void messages_data();
    void messages();
    void printShopNotices_data();
    void printShopNotices();
    void printShopThroughThePanel();
    void folderOfferedAfterARun();

private:
    template<typename T>
    T *find(const char *name) const { return TestSupport::findNamed<T>(m_window, name); }
    std::shared_ptr<SeenMessage> clickFinish()
    {
        auto seen = answerMessageBox();
        QTest::mouseClick(find<QPushButton>("finish"), Qt::LeftButton);
        return seen;
    }
    QStringList filesIn(const QString &path) const
    {
        return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    void setInk(const char *picker, const char *hex)
    {
        find<ColorPicker>(picker)->setFromByteArray(QByteArray::fromHex(hex));
    }
    // Typed key by key, or pasted where the keyboard has no key for it.
    static void typeInto(QLineEdit *edit, const QString &text)
    {
        const bool keys = std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint() && c.unicode() <= 0xff; });
        if (keys)
            QTest::keyClicks(edit, text);
        else
            edit->insert(text);
    }
    // Nothing in `text` that turns the text around it, and no half of a
    // character.
    static bool readsAsWritten(const QString &text)
    {
        for (int i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                ++i;
                continue;
            }
            const ushort u = c.unicode();
            if (c.isSurrogate() || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069) || u == 0x200e
                || u == 0x200f || u == 0x061c)
                return false;
        }
        return true;
    }

    MainWindow *m_window = nullptr;
};

void TestGeneration::init()
{
    m_window = new MainWindow;
    setInk("shiftAColor", "00000064000000000000000000000000");
    setInk("shiftBColor", "00000000000000640000000000000000");
    setInk("shiftCColor", "00000000000000000000006400000000");
    setInk("fontColor", "00000000000000000000000000000064");
    setInk("borderColor", "00000000000000000000000000000064");
    find<QSpinBox>("year")->setValue(2017);
}

void TestGeneration::cleanup()
{
    delete m_window;
}

void TestGeneration::refusedBeforeWriting_data()
{
    QTest::addColumn<QString>("folder");   // "none", "gone" or "chosen"
    QTest::addColumn<QString>("family");   // typed into the font box, empty: the form's
    QTest::addColumn<bool>("labels");
    QTest::addColumn<QString>("pattern");  // typed as a rota of one's own, with its crews
    QTest::addColumn<int>("crews");
    QTest::addColumn<int>("nightHours");   // of the night shift; 0: as the form starts
    QTest::addColumn<QString>("note");     // typed for the wallet card, which is then asked for
    QTest::addColumn<QString>("text");     // the message; "%1" the font's name
    QTest::newRow("nothing chosen") << "none" << "" << false << "" << 0 << 0 << "" << "Cílová složka neexistuje";
    QTest::newRow("deleted meanwhile") << "gone" << "" << false << "" << 0 << 0 << "" << "Cílová složka neexistuje";
    // The face has no digits: it would print empty boxes.
    QTest::newRow("no Latin digits") << "chosen" << "Droid Sans Fallback" << false << "" << 0 << 0 << ""
                                     << "Písmo '%1' nemá znaky, které kalendáříky tisknou: 0 1 2 3 4 5 6 7 8 9. Vyberte jiné písmo.";
    QTest::newRow("dingbats") << "chosen" << "D050000L" << false << "" << 0 << 0 << ""
                              << "Písmo '%1' nemá znaky, které kalendáříky tisknou: 0 1 2 3 4 5 6 7 8 9. Vyberte jiné písmo.";
    QTest::newRow("Greek letters for the labels") << "chosen" << "Standard Symbols PS" << true << "" << 0 << 0 << ""
                                                  << "Písmo '%1' nemá znaky, které kalendáříky tisknou: L e d n Ú o r B ř z D u b K v ě t Č c S p Z á í Ř j i s "
                                                     "a P N. Vyberte jiné písmo.";
    QTest::newRow("outlines the PDF cannot embed") << "chosen" << "Cantarell" << false << "" << 0 << 0 << ""
                                                   << "Písmo '%1' nelze vložit do PDF. Vyberte jiné písmo.";
    QTest::newRow("a pattern with another letter") << "chosen" << "" << false << "DX--" << 4 << 0 << ""
                                                   << "Rozpis směn nelze použít: Znak „X“ v rozpisu nelze použít: jen S, D, N, R, O a - (volno).";
    QTest::newRow("a pattern of the wrong length") << "chosen" << "" << false << "DN---" << 4 << 0 << ""
                                                   << "Rozpis směn nelze použít: Délka rozpisu (5) musí být násobkem počtu směn (4).";
    // Typed letter by letter: a letter whose capital is two stays one, and
    // the hint names it.
    QTest::newRow("a pattern with ß") << "chosen" << "" << false << "ß-" << 2 << 0 << ""
                                      << "Rozpis směn nelze použít: Znak „ß“ v rozpisu nelze použít: jen S, D, N, R, O a - (volno).";
    QTest::newRow("a night into the next day's shift")
        << "chosen" << "" << false << "ND--" << 4 << 24 << ""
        << "Rozpis směn nelze použít: Směny se překrývají: Noční (18–18) ještě trvá, když další den začíná Denní (6–18). "
           "Zkraťte ji, posuňte začátek, nebo mezi ně dejte volno (-).";
    // Named so that they can be read: whole, by number where they show as
    // nothing, never turning the message around.
    QTest::newRow("a pasted tab in the pattern") << "chosen" << "" << false << "D\tN-" << 4 << 0 << ""
                                                 << "Rozpis směn nelze použít: Znak „U+0009“ v rozpisu nelze použít: "
                                                    "jen S, D, N, R, O a - (volno).";
    QTest::newRow("an emoji in the pattern") << "chosen" << "" << false << "D\U0001F600N-" << 4 << 0 << ""
                                             << "Rozpis směn nelze použít: Znak „\U0001F600“ v rozpisu nelze použít: "
                                                "jen S, D, N, R, O a - (volno).";
    QTest::newRow("an emoji Arial lacks") << "chosen" << "Arial" << false << "" << 0 << 0 << "Směna A \U0001F600"
                                          << "Písmo 'Arial' nemá znaky, které kalendáříky tisknou: \U0001F600. "
                                                       "Vyberte jiné písmo.";
    QTest::newRow("a control character in the note") << "chosen" << "Arial" << false << "" << 0 << 0 << "Směna\u0001A"
                                                     << "Písmo 'Arial' nemá znaky, které kalendáříky tisknou: U+0001. "
                                                        "Vyberte jiné písmo.";
    // Set left to right, it would read backwards.
    QTest::newRow("a right-to-left override") << "chosen" << "DejaVu Sans" << false << "" << 0 << 0 << "Směna A\u202E, B"
                                              << "Kalendáříky tisknou jen text psaný zleva doprava, a tak nevytisknou "
                                                 "znaky řízení směru textu: U+202E. Upravte text.";
    QTest::newRow("a Hebrew note") << "chosen" << "DejaVu Sans" << false << "" << 0 << 0 << "משמרת ב"
                                   << "Kalendáříky tisknou jen text psaný zleva doprava, a tak nevytisknou hebrejské "
                                      "písmo: מ ש ר ת ב. Upravte text.";
    // A font that goes into the file as a simple font only: the card's
    // Czech letters and the note's, 34 in all.
    QTest::newRow("Ukrainian in built-in Helvetica")
        << "chosen" << "Helvetica" << false << "" << 0 << 0 << "Зміна Б Житомир: Юрій Щусь, Євген Ґудзь, Федір Яхно, Оля"
        << "Písmo '%1' pojme v PDF jen 33 znaků mimo západoevropskou sadu, kalendáříky jich ale tisknou 34: ě З м і н а "
           "Б Ж и т о р Ю й Щ у с ь Є в г е Ґ д з Ф Я х О л я ř Č Ř. Vyberte písmo TrueType (.ttf), například DejaVu Sans.";
}

void TestGeneration::refusedBeforeWriting()
{
    QFETCH(QString, folder);
    QFETCH(QString, family);
    QFETCH(bool, labels);
    QFETCH(QString, pattern);
    QFETCH(int, crews);
    QFETCH(int, nightHours);
    QFETCH(QString, note);
    QFETCH(QString, text);
    QTemporaryDir work;
    // The empty path names the current directory, which exists: run there.
    TestSupport::InFolder inWork(work.path());
    QVERIFY(inWork.entered());
    find<QPushButton>("targetDirectory")->setText(folder == QLatin1String("none") ? QString()
                                                  : folder == QLatin1String("gone") ? work.path() + QStringLiteral("/gone")
                                                                                     : work.path());
    if (!family.isEmpty()) {
        // Typed, without Enter: what the box shows is the font.
        find<QFontComboBox>("font")->lineEdit()->setText(family);
        // Helvetica is the PDF viewer's own, Arial's metric twin prints for it.
        if (!QFontInfo(QFont(family)).family().startsWith(family) && family != QLatin1String("Helvetica")
            && family != QLatin1String("Arial"))
            QSKIP("the family is not installed (fonts-droid-fallback, fonts-urw-base35, fonts-cantarell)");
    }
    find<QCheckBox>("labels")->setChecked(labels);
    if (!note.isEmpty()) {
        find<QCheckBox>("walletCard")->setChecked(true);
        typeInto(find<QLineEdit>("cardNote"), note);
    }
    if (!pattern.isEmpty()) {
        find<QSpinBox>("crewCount")->setValue(crews);
        if (nightHours)
            find<QSpinBox>("kindNHours")->setValue(nightHours);
        auto *edit = find<QLineEdit>("rotaPattern");
        edit->clear();
        typeInto(edit, pattern);
        QCOMPARE(edit->text(), pattern);
        // Refused where it is typed, in the same words.
        QCOMPARE(find<QComboBox>("rota")->currentIndex(), 5);
        QCOMPARE(QStringLiteral("Rozpis směn nelze použít: ") + find<QLabel>("rotaHint")->text(), text);
        // The field says so too, readable on a dark scheme, whose own colours
        // it takes again once the pattern is mended.
        QPalette dark = QApplication::palette();
        dark.setColor(QPalette::Base, Qt::black);
        dark.setColor(QPalette::Text, Qt::white);
        QApplication::setPalette(dark);
        const QPalette refused = edit->palette();
        QVERIFY(refused.color(QPalette::Base).lightness() - refused.color(QPalette::Text).lightness() > 128);
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("DN--"));
        QCOMPARE(edit->palette().color(QPalette::Base), QColor(Qt::black));
        QApplication::setPalette(QPalette());
        edit->clear();
        typeInto(edit, pattern);
    }
    QTest::qWait(20);

    const auto seen = clickFinish();
    inWork.leave();
    QVERIFY(seen->shown);
    QCOMPARE(seen->icon, QMessageBox::Critical);
    QCOMPARE(seen->title, QStringLiteral("Chyba"));
    QCOMPARE(seen->text, text.contains(QLatin1String("%1")) ? text.arg(family) : text);
    QVERIFY(readsAsWritten(seen->text));
    QCOMPARE(seen->buttonCount, 1);
    QVERIFY(filesIn(work.path()).isEmpty());
    // The preview says the same instead of showing a page the PDF would not hold.
    if (folder == QLatin1String("chosen") && text != QLatin1String("Cílová složka neexistuje"))
        QCOMPARE(QStringLiteral("Rozpis směn nelze použít: ").repeated(!pattern.isEmpty())
                     + find<MonthPreview>("monthPreview")->notice(),
                 seen->text);
}

void TestGeneration::typedFontWithoutEnter()
{
    QTemporaryDir dir;
    find<QPushButton>("targetDirectory")->setText(dir.path());
    auto *font = find<QFontComboBox>("font");
    font->lineEdit()->selectAll();
    QTest::keyClicks(font->lineEdit(), QStringLiteral("Helvetica"));
    QTest::keyClick(font->lineEdit(), Qt::Key_Tab);
    QCOMPARE(clickFinish()->title, QStringLiteral("Hotovo"));
    const QList<EmbeddedFont> fonts = fontsOf(dir.filePath(QStringLiteral("2017_05.pdf")));
    QCOMPARE(fonts.size(), 1);
    QCOMPARE(fonts.first().name, QStringLiteral("Helvetica"));
    QVERIFY(!fonts.first().embedded);
}

void TestGeneration::writesAnyLetters_data()
{
    QTest::addColumn<QString>("family"); // typed into the font box, empty: the form's
    QTest::addColumn<QString>("note");   // pasted for the wallet card
    QTest::addColumn<QString>("printed"); // what the card's back gives back
    QTest::addColumn<bool>("standsIn");  // another family prints, and the user is told
    const QString ukrainian = QStringLiteral("Зміна Б Житомир: Юрій Щусь, Євген Ґудзь, Федір Яхно, Оля");
    QTest::newRow("Ukrainian, DejaVu Sans") << "DejaVu Sans" << ukrainian << ukrainian << false;
    // Its metric twin prints, and nobody need be told.
    QTest::newRow("Ukrainian, Arial") << "Arial" << ukrainian << ukrainian << false;
    const QString greek = QStringLiteral("Ομάδα Β, Χανιά: Γιώργος, Ξένια, Φώτης, Ψυχάρης, Ζωή, Ηλίας");
    QTest::newRow("Greek, Liberation Serif") << "Liberation Serif" << greek << greek << false;
    // Typed as "e" and a combining accent: the "é" the font has.
    QTest::newRow("e and a combining acute") << "" << "Kavárna Cafe\u0301" << "Kavárna Café" << false;
    // The accent alone is a character the built-in font lacks.
    QTest::newRow("e and a combining acute, built-in Helvetica") << "Helvetica" << "Kavárna Cafe\u0301"
                                                                 << "Kavárna Café" << false;
    QTest::newRow("a family not installed") << "Zzyzx Grotesk" << "HZS Praha" << "HZS Praha" << true;
    QTest::newRow("an emoji font not installed") << "Noto Color Emoji" << "HZS Praha" << "HZS Praha" << true;
}

void TestGeneration::writesAnyLetters()
{
    QFETCH(QString, family);
    QFETCH(QString, note);
    QFETCH(QString, printed);
    QFETCH(bool, standsIn);
    QTemporaryDir dir;
    find<QPushButton>("targetDirectory")->setText(dir.path());
    if (!family.isEmpty())
        find<QFontComboBox>("font")->lineEdit()->setText(family);
    const QString used = find<QFontComboBox>("font")->currentText();
    find<QCheckBox>("walletCard")->setChecked(true);
    typeInto(find<QLineEdit>("cardNote"), note);
    // The family fontconfig's own tool picks in its place.
    const QString picked = runTool(QStringLiteral("fc-match"), {QStringLiteral("-f"), QStringLiteral("%{family[0]}"), used});
    const QString remark = standsIn ? QStringLiteral("Písmo '%1' není nainstalované, kalendáříky tiskne písmo '%2'.")
                                          .arg(used, picked)
                                    : QString();

    // The preview shows the page, the card's back too, and says so where
    // another family prints.
    auto *preview = find<MonthPreview>("monthPreview");
    auto *page = find<QComboBox>("previewMonth");
    QSignalSpy layouts(m_window->findChild<PreviewPanel *>(), &PreviewPanel::previewShown);
    for (const int shown : {page->count() - 1, 0}) {
        layouts.clear();
        page->setCurrentIndex(shown);
        QTRY_VERIFY(!layouts.isEmpty());
        QCOMPARE(preview->notice(), QString());
        QCOMPARE(preview->remark(), remark);
    }

    const auto seen = clickFinish();
    QCOMPARE(seen->title, QStringLiteral("Hotovo"));
    QCOMPARE(seen->text, QStringLiteral("Kalendáříky byly uloženy do složky '%1'").arg(dir.path())
                             + (standsIn ? QStringLiteral("\n\n") + remark : QString()));
    const QString back = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QStringLiteral("2"),
                                                                dir.filePath(QStringLiteral("2017_karta.pdf")),
                                                                QStringLiteral("-")});
    QVERIFY2(back.contains(printed), qPrintable(back));
    const QList<EmbeddedFont> fonts = fontsOf(dir.filePath(QStringLiteral("2017_01.pdf")));
    QCOMPARE(fonts.size(), 1);
    if (standsIn)
        QCOMPARE(fonts.first().name, QString(picked).remove(QLatin1Char(' ')));
}

void TestGeneration::writesTheYear()
{
    QTemporaryDir dir;
    // The folder exactly as the button shows it, not normalised.
    const QString shown = dir.path() + QStringLiteral("/./");
    find<QPushButton>("targetDirectory")->setText(shown);
    find<QComboBox>("fisrtShift")->setCurrentIndex(2);
    find<QDoubleSpinBox>("boxWidth")->setValue(12);
    find<QDoubleSpinBox>("boxHeight")->setValue(8);
    find<QFontComboBox>("font")->setCurrentFont(QFont(QStringLiteral("DejaVu Serif")));

    const auto seen = clickFinish();
    QVERIFY(seen->shown);
    QCOMPARE(seen->icon, QMessageBox::Information);
    QCOMPARE(seen->title, QStringLiteral("Hotovo"));
    QCOMPARE(seen->text, QStringLiteral("Kalendáříky byly uloženy do složky '%1'").arg(shown));
    QCOMPARE(seen->buttonCount, 1);

    QStringList expected;
    for (int month = 1; month <= 12; ++month)
        expected << QStringLiteral("2017_%1.pdf").arg(month, 2, 10, QLatin1Char('0'));
    QCOMPARE(filesIn(dir.path()), expected);

    const ReadPdf january = readPdfFile(dir.filePath(QStringLiteral("2017_01.pdf")), 144);
    QVERIFY(qAbs(january.pageSizePt.width() - 96 * 72 / 25.4) < 0.01);
    QVERIFY(qAbs(january.pageSizePt.height() - 72 * 72 / 25.4) < 0.01);
    // 1 January 2017 (a Sunday) is "C", 2 January "A": column 1 and 2.
    QCOMPARE(dominantInk(january.colorAtMm(12 + 2, -64 + 2)), 2);
    QCOMPARE(dominantInk(january.colorAtMm(24 + 2, -16 + 2)), 0);
    const QList<EmbeddedFont> fonts = fontsOf(dir.filePath(QStringLiteral("2017_07.pdf")));
    QCOMPARE(fonts.size(), 1);
    QCOMPARE(fonts.first().name, QStringLiteral("DejaVuSerif"));
}

void TestGeneration::stopsAtAnUnwritableMonth()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("2017_03.pdf")));
    find<QPushButton>("targetDirectory")->setText(dir.path());

    const auto seen = clickFinish();
    QVERIFY(seen->shown);
    QCOMPARE(seen->icon, QMessageBox::Critical);
    QCOMPARE(seen->title, QStringLiteral("Chyba"));
    QCOMPARE(seen->text, QStringLiteral("Nepodařilo se zapsat do souboru '%1': na místě souboru je složka.")
                             .arg(QDir(dir.path()).absoluteFilePath(QStringLiteral("2017_03.pdf"))));
    QCOMPARE(filesIn(dir.path()), (QStringList{QStringLiteral("2017_01.pdf"), QStringLiteral("2017_02.pdf"),
                                               QStringLiteral("2017_03.pdf")}));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("2017_03.pdf"))).isDir());
}

void TestGeneration::failuresSayWhy_data()
{
    QTest::addColumn<int>("disk"); // SmallDisk::Kind
    QTest::addColumn<QString>("reason");
    QTest::newRow("a full disk") << int(SmallDisk::Full) << "na disku není místo";
    QTest::newRow("a disk mounted read-only") << int(SmallDisk::ReadOnly) << "disk je připojen jen pro čtení";
}

void TestGeneration::failuresSayWhy()
{
    QFETCH(int, disk);
    QFETCH(QString, reason);
    const SmallDisk small{SmallDisk::Kind(disk)};
    if (!small.isMounted())
        QSKIP("no right to mount a file system of the test's own");
    const QStringList before = filesIn(small.path());
    find<QPushButton>("targetDirectory")->setText(small.path());
    const auto seen = clickFinish();
    QCOMPARE(seen->title, QStringLiteral("Chyba"));
    // January is the first file the run writes; the reason follows the
    // words every such message has.
    QCOMPARE(seen->text, QStringLiteral("Nepodařilo se zapsat do souboru '%1': %2.")
                             .arg(QDir(small.path()).absoluteFilePath(QStringLiteral("2017_01.pdf")), reason));
    QCOMPARE(filesIn(small.path()), before);
}

void TestGeneration::linksInTheFolder_data()
{
    QTest::addColumn<QString>("name");   // the month's name that is a link
    QTest::addColumn<QString>("target"); // "nothing", "file" or "folder", outside the chosen folder
    QTest::addColumn<bool>("immutable"); // the folder takes no new files
    QTest::addColumn<QString>("text");   // the message; "%1" the link's path
    QTest::newRow("a link to nothing") << "2017_05.pdf" << "nothing" << false << "";
    QTest::newRow("a link to a file") << "2017_05.pdf" << "file" << false << "";
    QTest::newRow("a link to a folder") << "2017_05.pdf" << "folder" << false << "";
    // No new name can take the link's place, and the link is not written
    // through instead.
    QTest::newRow("a link to nothing, in a folder that takes no new files")
        << "2017_01.pdf" << "nothing" << true << "Nepodařilo se zapsat do souboru '%1': soubor nebo složku nelze měnit.";
    QTest::newRow("a link to a file, in a folder that takes no new files")
        << "2017_01.pdf" << "file" << true << "Nepodařilo se zapsat do souboru '%1': soubor nebo složku nelze měnit.";
}

void TestGeneration::linksInTheFolder()
{
    QFETCH(QString, name);
    QFETCH(QString, target);
    QFETCH(bool, immutable);
    QFETCH(QString, text);
    QTemporaryDir dir, outside;
    const QString there = outside.filePath(QStringLiteral("someone's"));
    if (target == QLatin1String("file")) {
        QFile file(there);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("someone else's file");
    } else if (target == QLatin1String("folder")) {
        QVERIFY(QDir(outside.path()).mkdir(QStringLiteral("someone's")));
    }
    const QString link = dir.filePath(name);
    QVERIFY(QFile::link(there, link));
    const QStringList outsideBefore = filesIn(outside.path());

    // An immutable folder takes no new files, even from root.
    const int folder = immutable ? ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY) : -1;
    int flags = 0;
    bool madeImmutable = folder >= 0 && ioctl(folder, FS_IOC_GETFLAGS, &flags) == 0;
    flags |= FS_IMMUTABLE_FL;
    madeImmutable = madeImmutable && ioctl(folder, FS_IOC_SETFLAGS, &flags) == 0;
    if (immutable && !madeImmutable) {
        ::close(folder);
        QSKIP("the file system or our rights keep the folder from being made immutable");
    }
    find<QPushButton>("targetDirectory")->setText(dir.path());
    const auto seen = clickFinish();
    if (madeImmutable) {
        flags &= ~FS_IMMUTABLE_FL;
        ioctl(folder, FS_IOC_SETFLAGS, &flags);
        ::close(folder);
    }

    // Nothing outside the folder is made, written or taken away.
    QCOMPARE(filesIn(outside.path()), outsideBefore);
    if (target == QLatin1String("file")) {
        QFile file(there);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("someone else's file"));
    } else if (target == QLatin1String("folder")) {
        QVERIFY(filesIn(there).isEmpty());
    }
    if (!text.isEmpty()) {
        QCOMPARE(seen->title, QStringLiteral("Chyba"));
        QCOMPARE(seen->text, text.arg(link));
        QCOMPARE(QFileInfo(link).symLinkTarget(), there);
        return;
    }
    // The link's place holds the month, as a file of the folder's own.
    QCOMPARE(seen->title, QStringLiteral("Hotovo"));
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(readPdfFile(link).loaded);
    QCOMPARE(filesIn(dir.path()).size(), 12);
}

void TestGeneration::twoRunsStartAlike()
{
    QTemporaryDir first, second;
    find<QPushButton>("targetDirectory")->setText(first.path());
    QVERIFY(clickFinish()->shown);
    find<QPushButton>("targetDirectory")->setText(second.path());
    QVERIFY(clickFinish()->shown);
    for (const QString &name : filesIn(first.path())) {
        QFile a(first.filePath(name)), b(second.filePath(name));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        // The documents differ only in their creation time stamps.
        const QByteArray left = a.readAll(), right = b.readAll();
        QCOMPARE(left.size(), right.size());
        QCOMPARE(readPdf(left, 72).image, readPdf(right, 72).image);
    }
}

void TestGeneration::textOnlyUsesTheCheckState()
{
    QTemporaryDir dir;
    find<QPushButton>("targetDirectory")->setText(dir.path());
    // Checked without the click, so the inputs stay enabled: the run goes by
    // the check state alone.
    find<QCheckBox>("textOnly")->setChecked(true);
    QVERIFY(find<ColorPicker>("shiftAColor")->isEnabled());
    QVERIFY(clickFinish()->shown);
    const ReadPdf march = readPdfFile(dir.filePath(QStringLiteral("2017_03.pdf")), 144);
    QCOMPARE(march.words.size(), 31);
    QCOMPARE(dominantInk(march.colorAtMm(12, -38)), -1);
}

void TestGeneration::extraFilesOfTheRun_data()
{
    QTest::addColumn<bool>("sheet");
    QTest::addColumn<bool>("phones");
    QTest::addColumn<QStringList>("extra");
    QTest::newRow("neither") << false << false << QStringList();
    QTest::newRow("print sheet") << true << false << QStringList{"2017.pdf"};
    QTest::newRow("phone calendars") << false << true << QStringList{"2017_A.ics", "2017_B.ics", "2017_C.ics"};
    QTest::newRow("both") << true << true << QStringList{"2017.pdf", "2017_A.ics", "2017_B.ics", "2017_C.ics"};
}

void TestGeneration::extraFilesOfTheRun()
{
    QFETCH(bool, sheet);
    QFETCH(bool, phones);
    QFETCH(QStringList, extra);
    QTemporaryDir dir;
    find<QPushButton>("targetDirectory")->setText(dir.path());
    // Off at start; a click of the user's turns each on.
    const QList<QPair<const char *, bool>> options = {{"yearSheet", sheet}, {"phoneCalendars", phones}};
    for (const auto &option : options) {
        auto *box = find<QCheckBox>(option.first);
        QVERIFY(!box->isChecked());
        if (option.second)
            box->click();
    }
    const auto seen = clickFinish();
    QCOMPARE(seen->title, QStringLiteral("Hotovo"));
    QCOMPARE(seen->text, QStringLiteral("Kalendáříky byly uloženy do složky '%1'").arg(dir.path()));
    QStringList expected = extra;
    for (int month = 1; month <= 12; ++month)
        expected << QStringLiteral("2017_%1.pdf").arg(month, 2, 10, QLatin1Char('0'));
    expected.sort();
    QCOMPARE(filesIn(dir.path()), expected);
}

void TestGeneration::messages_data()
{
    using Status = Calendar::YearResult::Status;
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QSizeF>("sheetMm");
    QTest::addColumn<QString>("standIn"); // the family that printed in place of the one asked for

    QTest::newRow("written") << int(Status::Written) << true << "Hotovo"
                             << "Kalendáříky byly uloženy do složky '/data/%2 kalendáře/'" << QString() << QSizeF() << QString();
    QTest::newRow("written with an A4 sheet") << int(Status::Written) << true << "Hotovo"
                                              << "Kalendáříky byly uloženy do složky '/data/%2 kalendáře/'" << QString()
                                              << QSizeF(210, 297) << QString();
    // A page no home printer holds is not a surprise.
    QTest::newRow("written with a sheet larger than A4")
        << int(Status::Written) << true << "Hotovo"
        << "Kalendáříky byly uloženy do složky '/data/%2 kalendáře/'\n\nKartička se s ořezovými značkami na A4 nevejde, "
           "a tak má tiskový arch stránky 218 × 106 mm, větší než A4. Vytiskněte je na větší papír, nebo zmenšete okénka."
        << QString() << QSizeF(218.0, 105.6) << QString();
    QTest::newRow("folder missing") << int(Status::FolderMissing) << false << "Chyba"
                                    << "Cílová složka neexistuje" << QString() << QSizeF() << QString();
    // The system's reason after the words every such message has.
    QTest::newRow("cannot write") << int(Status::CannotWrite) << false << "Chyba"
                                  << "Nepodařilo se zapsat do souboru '/data/2017_03.pdf': na disku není místo."
                                  << "na disku není místo" << QSizeF() << QString();
    QTest::newRow("cannot write, no reason known") << int(Status::CannotWrite) << false << "Chyba"
                                                   << "Nepodařilo se zapsat do souboru '/data/2017_03.pdf'" << QStringLiteral("")
                                                   << QSizeF() << QString();
    // Names the font; a "%1" in the font's name is not filled in again.
    QTest::newRow("font unavailable") << int(Status::FontUnavailable) << false << "Chyba"
                                      << "Písmo 'Odd %1 Sans' nelze vložit do PDF. Vyberte jiné písmo." << QString()
                                      << QSizeF() << QString();
    QTest::newRow("font lacks characters") << int(Status::FontLacksCharacters) << false << "Chyba"
                                           << "Písmo 'Odd %1 Sans' nemá znaky, které kalendáříky tisknou: 1 ř. Vyberte jiné písmo."
                                           << "1ř" << QSizeF() << QString();
    QTest::newRow("pdf library") << int(Status::PdfFailure) << false << "Chyba"
                                 << "Soubor '/data/2017_03.pdf' se nepodařilo vytvořit: Out of memory" << QString() << QSizeF() << QString();
    // Never a message that ends in ": " with nothing after it.
    QTest::newRow("pdf library, no words") << int(Status::PdfFailure) << false << "Chyba"
                                           << "Nepodařilo se zapsat do souboru '/data/2017_03.pdf'" << " " << QSizeF() << QString();
    QTest::newRow("invalid rota") << int(Status::InvalidRota) << false << "Chyba"
                                  << "Rozpis směn nelze použít: Out of memory" << QString() << QSizeF() << QString();
    QTest::newRow("invalid request") << int(Status::InvalidRequest) << false << "Chyba"
                                     << "Zadání kalendáře je neplatné" << QString() << QSizeF() << QString();
    // Another family than the one chosen printed: said after the rest.
    QTest::newRow("written in a family standing in")
        << int(Status::Written) << true << "Hotovo"
        << "Kalendáříky byly uloženy do složky '/data/%2 kalendáře/'\n\nPísmo 'Odd %1 Sans' není nainstalované, "
           "kalendáříky tiskne písmo 'DejaVu Sans'."
        << QString() << QSizeF() << "DejaVu Sans";
    QTest::newRow("font lacks characters, in a family standing in")
        << int(Status::FontLacksCharacters) << false << "Chyba"
        << "Písmo 'Odd %1 Sans' nemá znaky, které kalendáříky tisknou: ř. Vyberte jiné písmo.\n\nPísmo 'Odd %1 Sans' "
           "není nainstalované, kalendáříky tiskne písmo 'Symbol'."
        << "ř" << QSizeF() << "Symbol";
    // Each character named whole, or by its number where it shows as nothing.
    QTest::newRow("font lacks an emoji and a no-break space")
        << int(Status::FontLacksCharacters) << false << "Chyba"
        << "Písmo 'Odd %1 Sans' nemá znaky, které kalendáříky tisknou: \U0001F600 U+00A0 \U0001F44D\U0001F3FD. Vyberte jiné písmo."
        << "\U0001F600\n\u00A0\n\U0001F44D\U0001F3FD" << QSizeF() << QString();
    QTest::newRow("text right to left") << int(Status::TextRightToLeft) << false << "Chyba"
                                        << "Kalendáříky tisknou jen text psaný zleva doprava, a tak nevytisknou hebrejské "
                                           "písmo ani znaky řízení směru textu: א U+202E. Upravte text."
                                        << "א\n\u202E" << QSizeF() << QString();
    QTest::newRow("font needs TrueType") << int(Status::FontNeedsTrueType) << false << "Chyba"
                                         << "Písmo 'Odd %1 Sans' pojme v PDF jen 33 znaků mimo západoevropskou sadu, "
                                            "kalendáříky jich ale tisknou 2: Ж Щ. Vyberte písmo TrueType (.ttf), "
                                            "například DejaVu Sans."
                                         << "Ж\nЩ" << QSizeF() << QString();
}

void TestGeneration::messages()
{
    QFETCH(int, status);
    QFETCH(bool, success);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, detail);
    QFETCH(QSizeF, sheetMm);
    QFETCH(QString, standIn);

    Calendar::YearResult result;
    result.fontStandIn = standIn;
    result.sheetPageMm = sheetMm;
    result.status = Calendar::YearResult::Status(status);
    result.file = QStringLiteral("/data/2017_03.pdf");
    result.detail = detail.isNull() ? QStringLiteral("Out of memory") : detail;
    const YearMessage message =
        yearMessage(result, QStringLiteral("/data/%2 kalendáře/"), QStringLiteral("Odd %1 Sans"));
    QCOMPARE(message.success, success);
    QCOMPARE(message.title, title);
    QCOMPARE(message.text, text);
}

void TestGeneration::printShopNotices_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("remark");   // under January's page
    QTest::addColumn<QString>("findings"); // in the run's message, after where the files went
    QTest::newRow("the form's look") << "" << "" << "";
    QTest::newRow("4 pt numbers") << "4pt" << "Kontrola pro tiskárnu:\n• písmo 4 pt, menší než 5 pt (Leden)"
                                  << "Kontrola pro tiskárnu:\n• písmo 4 pt, menší než 5 pt (všechny měsíce)";
    QTest::newRow("crew A 100/100/100/100")
        << "black" << "Kontrola pro tiskárnu:\n• barva C 100 M 100 Y 100 K 100 má součet 400 %, víc než 300 % (Leden)"
        << "Kontrola pro tiskárnu:\n• barva C 100 M 100 Y 100 K 100 má součet 400 %, víc než 300 % (všechny měsíce)";
    QTest::newRow("the same under a limit of 400 %") << "black limit400" << "" << "";
    QTest::newRow("borders of 0.05 pt and 4 pt numbers")
        << "thin 4pt" << "Kontrola pro tiskárnu:\n• písmo 4 pt, menší než 5 pt (Leden)\n• čáry 0,05 pt, tenčí než 0,1 pt (Leden)"
        << "Kontrola pro tiskárnu:\n• písmo 4 pt, menší než 5 pt (všechny měsíce)\n"
           "• čáry 0,05 pt, tenčí než 0,1 pt (všechny měsíce)";
}

void TestGeneration::printShopNotices()
{
    QFETCH(QString, change);
    QFETCH(QString, remark);
    QFETCH(QString, findings);
    QTemporaryDir dir;
    find<QPushButton>("targetDirectory")->setText(dir.path());
    find<QFontComboBox>("font")->lineEdit()->setText(QStringLiteral("Liberation Sans"));
    auto *printShop = find<QCheckBox>("printShop");
    auto *bleed = find<QDoubleSpinBox>("bleed");
    auto *inkLimit = find<QSpinBox>("inkLimit");
    // The bleed and the limit are the print shop's, as they start.
    QVERIFY(!bleed->isEnabled() && !inkLimit->isEnabled());
    QCOMPARE(bleed->value(), 3.0);
    QCOMPARE(inkLimit->value(), 300);
    printShop->setChecked(true);
    QVERIFY(bleed->isEnabled() && inkLimit->isEnabled());
    if (change.contains(QLatin1String("4pt")))
        find<QDoubleSpinBox>("fontSize")->setValue(4);
    if (change.contains(QLatin1String("black")))
        setInk("shiftAColor", "00000064000000640000006400000064");
    if (change.contains(QLatin1String("limit400")))
        inkLimit->setValue(400);
    if (change.contains(QLatin1String("thin")))
        find<QDoubleSpinBox>("borderWidth")->setValue(0.05);

    // January's page says what the checks find on it, before anything is
    // written.
    auto *preview = find<MonthPreview>("monthPreview");
    QSignalSpy layouts(m_window->findChild<PreviewPanel *>(), &PreviewPanel::previewShown);
    find<QComboBox>("previewMonth")->setCurrentIndex(1);
    find<QComboBox>("previewMonth")->setCurrentIndex(0);
    QTRY_VERIFY(!layouts.isEmpty());
    QTRY_COMPARE(preview->remark(), remark);
    QVERIFY(preview->showsPage());

    // The run writes all the same and says so.
    const auto seen = clickFinish();
    QCOMPARE(seen->title, QStringLiteral("Hotovo"));
    QString expected = QStringLiteral("Kalendáříky byly uloženy do složky '%1'").arg(dir.path());
    if (!findings.isEmpty())
        expected += QStringLiteral("\n\n") + findings
                    + QStringLiteral("\nUpozornění zápis nezastavila: soubory jsou uložené, tiskárna je ale nemusí "
                                     "přijmout bez úprav.");
    QCOMPARE(seen->text, expected);
    QCOMPARE(filesIn(dir.path()).size(), 12);
}

void TestGeneration::printShopThroughThePanel()
{
    // What a setup file gives the panel is what the panel gives back.
    PreviewPanel panel;
    Calendar::Look look;
    look.printShop = {true, 1.5, 250.0};
    panel.showLook(look);
    QVERIFY(panel.findChild<QCheckBox *>(QStringLiteral("printShop"))->isChecked());
    QCOMPARE(panel.findChild<QDoubleSpinBox *>(QStringLiteral("bleed"))->value(), 1.5);
    QCOMPARE(panel.findChild<QSpinBox *>(QStringLiteral("inkLimit"))->value(), 250);
    Calendar::Look read;
    panel.fillLook(read);
    QCOMPARE(read.printShop, look.printShop);
    // Off again, and the bleed and the limit with it; a card for every crew
    // is the run's.
    look.printShop = {false, 5.0, 400.0};
    panel.showLook(look);
    panel.fillLook(read);
    QCOMPARE(read.printShop, look.printShop);
    QVERIFY(!panel.findChild<QDoubleSpinBox *>(QStringLiteral("bleed"))->isEnabled());
    Calendar::YearRequest request;
    panel.fillRequest(request);
    QVERIFY(!request.cardPerCrew);
    panel.findChild<QCheckBox *>(QStringLiteral("cardPerCrew"))->setChecked(true);
    panel.fillRequest(request);
    QVERIFY(request.cardPerCrew);
}

void TestGeneration::folderOfferedAfterARun()
{
    QTemporaryDir dir;
    auto *notice = find<FolderNotice>("folderNotice");
    QVERIFY(notice);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(!notice->isVisible());

    // The message box as it always was: "Hotovo", the folder, OK; then the
    // panel names the folder and offers to open it.
    find<QPushButton>("targetDirectory")->setText(dir.path());
    auto seen = clickFinish();
    QCOMPARE(seen->title, QStringLiteral("Hotovo"));
    QCOMPARE(seen->text, QStringLiteral("Kalendáříky byly uloženy do složky '%1'").arg(dir.path()));
    QCOMPARE(seen->buttonCount, 1);
    QVERIFY(notice->isVisible());
    QCOMPARE(find<QLabel>("folderNoticeText")->text(), QStringLiteral("Kalendáříky jsou ve složce '%1'.").arg(dir.path()));
    auto *open = find<QPushButton>("openFolder");
    QCOMPARE(open->text(), QStringLiteral("Otevřít složku"));

    // A click, or Return on the focused button, hands the folder to the
    // desktop's file manager.
    FileManager manager;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &manager, "show");
    QTest::mouseClick(open, Qt::LeftButton);
    QApplication::setActiveWindow(m_window);
    open->setFocus();
    QTRY_VERIFY(open->hasFocus());
    QTest::keyClick(open, Qt::Key_Return);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(manager.shown, (QList<QUrl>{QUrl::fromLocalFile(dir.path()), QUrl::fromLocalFile(dir.path())}));

    // Where nothing takes it, the notice says so, and where the folder is.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("does not support .*openDocument")));
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(find<QLabel>("folderNoticeText")->text(),
             QStringLiteral("Správce souborů se nepodařilo spustit; kalendáříky jsou ve složce '%1'.").arg(dir.path()));

    // Closed, it stays closed until the next run; a run that fails takes it
    // away.
    QTest::mouseClick(find<QToolButton>("folderNoticeClose"), Qt::LeftButton);
    QVERIFY(!notice->isVisible());
    clickFinish();
    QVERIFY(notice->isVisible());
    find<QPushButton>("targetDirectory")->setText(dir.filePath(QStringLiteral("gone")));
    seen = clickFinish();
    QCOMPARE(seen->title, QStringLiteral("Chyba"));
    QVERIFY(!notice->isVisible());
}

QTEST_MAIN(TestGeneration)
#include "tst_generation.moc"
