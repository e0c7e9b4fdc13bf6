#include "app/mainwindow.h"
#include "output/inischeck.h"
#include "output/setupfile.h"
#include "support/findwidget.h"
#include "support/modal.h"
#include "support/pdfreader.h"
#include "support/smalldisk.h"
#include "widgets/colorpicker.h"
#include "widgets/lazycolorpicker.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLockFile>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

using namespace TestSupport;

namespace {

const QByteArray Red = QByteArray::fromHex("00000000000000640000006400000000");
const QByteArray Cyan = QByteArray::fromHex("00000064000000000000000000000000");
const QByteArray Yellow = QByteArray::fromHex("00000000000000000000006400000000");
const QByteArray Black = QByteArray::fromHex("00000000000000000000000000000064");
const QByteArray Odd = QByteArray::fromHex("0000000700000021000000420000005f");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

using Calendar::Ink;
using Calendar::Look;

class TestSetupFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void roundTripThroughTheWindow();
    void myYearFoldedAway();
    void fileIsTheToolkitsIniFormat();
    void handWrittenFileLoads();
    void missingKeysLeaveInputsAlone();
    void saveOverKeepsForeignKeys();
    void cancelChangesNothing();
    void loadingTextOnlySetsTheInputs();
    void crewLettersThroughTheWindow();
    void notASetupFile_data();
    void notASetupFile();
    void goodValuesBesideBadOnes();
    void kindHours_data();
    void kindHours();
    void saveFailureIsReported();
    void hostileFiles_data();
    void hostileFiles();
    void reloadReadsTheDisk();
    void optionsOnlyWhenOn_data();
    void optionsOnlyWhenOn();
    void printShopValues_data();
    void printShopValues();
    void filesOfTheToolkitLoad();
    void guardAgreesWithTheReader();
    void noTemporaryFolder();
    void refusedValuesAreKept_data();
    void refusedValuesAreKept();
    void fullDiskIsNamed();

private:
    template<typename T>
    T *find(const char *name) const { return TestSupport::findNamed<T>(m_window, name); }
    void saveAs(const QString &folder, const QString &typed, bool confirmOverwrite = false);
    void load(const QString &path);
    void makeCalendars(const QString &folder, int year, int firstShift);
    void setDistinctLook();
    Look lookOfWindow() const;

    MainWindow *m_window = nullptr;
    QTemporaryDir m_dir;
};

void TestSetupFile::init()
{
    m_window = new MainWindow;
    m_window->show();
}

void TestSetupFile::cleanup()
{
    delete m_window;
}

void TestSetupFile::saveAs(const QString &folder, const QString &typed, bool confirmOverwrite)
{
    std::shared_ptr<SeenMessage> overwrite;
    answerFileDialog([&](QFileDialog *dialog) {
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("lns"));
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        dialog->setDirectory(folder);
        if (confirmOverwrite)
            overwrite = answerMessageBox(QMessageBox::Yes);
        typeAndAccept(dialog, typed);
    });
    QTest::mouseClick(find<QPushButton>("save"), Qt::LeftButton);
    if (confirmOverwrite)
        QVERIFY(overwrite && overwrite->shown);
}

void TestSetupFile::load(const QString &path)
{
    answerFileDialog([&](QFileDialog *dialog) {
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("Lunoris Setup (*.lns)")});
        dialog->setDirectory(QFileInfo(path).absolutePath());
        typeAndAccept(dialog, QFileInfo(path).fileName());
    });
    QTest::mouseClick(find<QPushButton>("save_2"), Qt::LeftButton);
}

void TestSetupFile::setDistinctLook()
{
    find<ColorPicker>("shiftAColor")->setFromByteArray(Red);
    find<ColorPicker>("shiftBColor")->setFromByteArray(Odd);
    find<ColorPicker>("shiftCColor")->setFromByteArray(Yellow);
    find<QFontComboBox>("font")->setCurrentFont(QFont(QStringLiteral("DejaVu Serif")));
    find<ColorPicker>("fontColor")->setFromByteArray(Cyan);
    find<QDoubleSpinBox>("fontSize")->setValue(12.5);
    find<QDoubleSpinBox>("boxWidth")->setValue(100);
    find<QDoubleSpinBox>("boxHeight")->setValue(1);
    find<ColorPicker>("borderColor")->setFromByteArray(Black);
    find<QDoubleSpinBox>("borderWidth")->setValue(99.99);
    QTest::mouseClick(find<QCheckBox>("textOnly"), Qt::LeftButton);
}

// The look as the form's inputs show it, read here from the widgets
// themselves.
Look TestSetupFile::lookOfWindow() const
{
    Look look;
    look.crewColors[0] = Ink::fromState(find<ColorPicker>("shiftAColor")->toByteArray());
    look.crewColors[1] = Ink::fromState(find<ColorPicker>("shiftBColor")->toByteArray());
    look.crewColors[2] = Ink::fromState(find<ColorPicker>("shiftCColor")->toByteArray());
    look.font = find<QFontComboBox>("font")->currentText();
    look.fontColor = Ink::fromState(find<ColorPicker>("fontColor")->toByteArray());
    look.fontSizePt = find<QDoubleSpinBox>("fontSize")->value();
    look.boxWidthMm = find<QDoubleSpinBox>("boxWidth")->value();
    look.boxHeightMm = find<QDoubleSpinBox>("boxHeight")->value();
    look.borderColor = Ink::fromState(find<ColorPicker>("borderColor")->toByteArray());
    look.borderWidthPt = find<QDoubleSpinBox>("borderWidth")->value();
    look.textOnly = find<QCheckBox>("textOnly")->isChecked();
    return look;
}

static void compareLooks(const Look &actual, const Look &expected)
{
    QCOMPARE(actual.crewColors[0], expected.crewColors[0]);
    QCOMPARE(actual.crewColors[1], expected.crewColors[1]);
    QCOMPARE(actual.crewColors[2], expected.crewColors[2]);
    QCOMPARE(actual.font, expected.font);
    QCOMPARE(actual.fontColor, expected.fontColor);
    QCOMPARE(actual.fontSizePt, expected.fontSizePt);
    QCOMPARE(actual.boxWidthMm, expected.boxWidthMm);
    QCOMPARE(actual.boxHeightMm, expected.boxHeightMm);
    QCOMPARE(actual.borderColor, expected.borderColor);
    QCOMPARE(actual.borderWidthPt, expected.borderWidthPt);
    QCOMPARE(actual.textOnly, expected.textOnly);
}

void TestSetupFile::roundTripThroughTheWindow()
{
    setDistinctLook();
    find<QSpinBox>("year")->setValue(2030);
    find<QComboBox>("fisrtShift")->setCurrentIndex(1);
    find<QPushButton>("targetDirectory")->setText(m_dir.path());
    const Look saved = lookOfWindow();

    saveAs(m_dir.path(), QStringLiteral("round"));
    const QString path = m_dir.filePath(QStringLiteral("round.lns"));
    QVERIFY2(QFileInfo::exists(path), "the dialog appends the suffix");
    QTemporaryDir before, after;
    makeCalendars(before.path(), 2030, 1);

    // Another window, as after a restart.
    delete m_window;
    m_window = new MainWindow;
    m_window->show();
    find<QSpinBox>("year")->setValue(2044);
    find<QComboBox>("fisrtShift")->setCurrentIndex(2);
    find<QPushButton>("targetDirectory")->setText(QStringLiteral("/elsewhere"));
    load(path);
    compareLooks(lookOfWindow(), saved);
    QCOMPARE(find<QFontComboBox>("font")->currentFont().family(), QStringLiteral("DejaVu Serif"));
    // Never part of a setup file.
    QCOMPARE(find<QSpinBox>("year")->value(), 2044);
    QCOMPARE(find<QComboBox>("fisrtShift")->currentIndex(), 2);
    QCOMPARE(find<QPushButton>("targetDirectory")->text(), QStringLiteral("/elsewhere"));
    const QSettings file(path, QSettings::IniFormat);
    QCOMPARE(file.allKeys().size(), 11);

    // The same look gives the same calendars, page for page.
    makeCalendars(after.path(), 2030, 1);
    for (int month = 1; month <= 12; ++month) {
        const QString name = QStringLiteral("2030_%1.pdf").arg(month, 2, 10, QLatin1Char('0'));
        const ReadPdf left = readPdfFile(QDir(before.path()).filePath(name), 100);
        const ReadPdf right = readPdfFile(QDir(after.path()).filePath(name), 100);
        QVERIFY2(left.loaded && right.loaded, qPrintable(name));
        QCOMPARE(left.image, right.image);
        QCOMPARE(left.words.size(), right.words.size());
    }
}

void TestSetupFile::myYearFoldedAway()
{
    // Folded, as the window starts, "Můj rok" has no list or table yet; what
    // a file gives it is kept all the same, and shows once it is opened.
    Look look;
    look.myCrew = 1;
    look.planColors[1] = Ink{0, 90, 10, 5};
    look.weeklyHours = 40;
    look.plan.insert(QDate(2027, 3, 5), {Calendar::Change::Leave, QChar(), QStringLiteral("hory")});
    look.plan.insert(QDate(2027, 3, 9), {Calendar::Change::Extra, QChar(u'S'), QString()});
    const QString path = m_dir.filePath(QStringLiteral("year.lns"));
    QVERIFY(Setup::save(path, look).ok);
    QVERIFY(!m_window->findChild<QTableWidget *>(QStringLiteral("hoursTable")));
    load(path);
    QVERIFY(!m_window->findChild<QTableWidget *>(QStringLiteral("hoursTable")));
    saveAs(m_dir.path(), QStringLiteral("again"));
    const QString again = m_dir.filePath(QStringLiteral("again.lns"));
    Look saved = Setup::load(again, Look()).look;
    QCOMPARE(saved.planColors, look.planColors);
    QCOMPARE(saved.weeklyHours, 40.0);
    QVERIFY(saved.plan == look.plan);

    find<QToolButton>("planHeading")->click();
    QCOMPARE(find<QComboBox>("weeklyHours")->currentText(), QStringLiteral("40 h"));
    QCOMPARE(find<LazyColorPicker>("planColorNemoc")->ink(), (Ink{0, 90, 10, 5}));
    QCOMPARE(find<LazyColorPicker>("planColorDovolena")->ink(), Calendar::StartPlanColors[0]);
    QTreeWidget *list = find<QTreeWidget>("planList");
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("hory"));
    QTRY_VERIFY(find<QTableWidget>("hoursTable")->item(12, 0));

    // Chosen there, it is the window's again.
    find<QComboBox>("weeklyHours")->setCurrentIndex(1);
    saveAs(m_dir.path(), QStringLiteral("again"), true);
    saved = Setup::load(again, Look()).look;
    QCOMPARE(saved.weeklyHours, 38.75);
    QCOMPARE(saved.planColors, look.planColors);
}

void TestSetupFile::makeCalendars(const QString &folder, int year, int firstShift)
{
    find<QSpinBox>("year")->setValue(year);
    find<QComboBox>("fisrtShift")->setCurrentIndex(firstShift);
    find<QPushButton>("targetDirectory")->setText(folder);
    const auto seen = answerMessageBox();
    QTest::mouseClick(find<QPushButton>("finish"), Qt::LeftButton);
    QCOMPARE(seen->title, QStringLiteral("Hotovo"));
}

void TestSetupFile::fileIsTheToolkitsIniFormat()
{
    Look look;
    look.crewColors[0] = Ink::fromState(Red);
    look.crewColors[1] = Ink::fromState(Cyan);
    look.crewColors[2] = Ink::fromState(Yellow);
    look.font = QStringLiteral("Arial");
    look.fontColor = Ink::fromState(Black);
    look.fontSizePt = 10;
    look.boxWidthMm = 12.5;
    look.boxHeightMm = 10;
    look.borderColor = Ink::fromState(Black);
    look.borderWidthPt = 1;
    look.textOnly = false;
    const QString path = m_dir.filePath(QStringLiteral("format.lns"));
    QVERIFY(Setup::save(path, look).ok);

    const QByteArray bytes = readFile(path);
    QVERIFY(bytes.startsWith("[General]\n"));
    const QList<QByteArray> lines = {
        "colorA=@ByteArray(\\0\\0\\0\\0\\0\\0\\0\\x64\\0\\0\\0\\x64\\0\\0\\0\\0)",
        "font=Arial", "fontSize=10", "boxWidth=12.5", "borderWidth=1", "textOnly=false"};
    for (const QByteArray &line : lines) {
        QVERIFY2(bytes.contains(line + '\n') || bytes.contains(QByteArray(line).replace("\\x64", "d") + '\n'),
                 line.constData());
    }
    QVERIFY(!bytes.contains("year"));
    QVERIFY(!bytes.contains("fisrtShift"));
    QVERIFY(!bytes.contains("targetDirectory"));

    const QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(settings.childGroups(), QStringList());
    QCOMPARE(settings.value(QStringLiteral("colorB")).toByteArray(), Cyan);
    QCOMPARE(settings.value(QStringLiteral("borderColor")).toByteArray(), Black);
    QCOMPARE(settings.value(QStringLiteral("boxWidth")).toDouble(), 12.5);
    QCOMPARE(settings.allKeys().size(), 11);
}

void TestSetupFile::handWrittenFileLoads()
{
    // The example setup, written by hand in the toolkit's INI syntax.
    const QString path = m_dir.filePath(QStringLiteral("hand.lns"));
    writeFile(path, "[General]\n"
                    "colorA=@ByteArray(\\0\\0\\0\\0\\0\\0\\0\\x64\\0\\0\\0\\x64\\0\\0\\0\\0)\n"
                    "colorB=@ByteArray(\\0\\0\\0\\x64\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0)\n"
                    "colorC=@ByteArray(\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\x64\\0\\0\\0\\0)\n"
                    "font=DejaVu Sans Mono\n"
                    "fontColor=@ByteArray(\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\x64)\n"
                    "fontSize=10\n"
                    "boxWidth=10\n"
                    "boxHeight=10\n"
                    "borderColor=@ByteArray(\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\x64)\n"
                    "borderWidth=1\n"
                    "textOnly=false\n");
    load(path);
    QCOMPARE(find<ColorPicker>("shiftAColor")->toByteArray(), Red);
    QCOMPARE(find<ColorPicker>("shiftBColor")->toByteArray(), Cyan);
    QCOMPARE(find<ColorPicker>("shiftCColor")->toByteArray(), Yellow);
    QCOMPARE(find<ColorPicker>("fontColor")->toByteArray(), Black);
    QCOMPARE(find<ColorPicker>("borderColor")->toByteArray(), Black);
    QCOMPARE(find<QFontComboBox>("font")->currentText(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(find<QFontComboBox>("font")->currentFont().family(), QStringLiteral("DejaVu Sans Mono"));
    QVERIFY(!find<QCheckBox>("textOnly")->isChecked());
}

void TestSetupFile::missingKeysLeaveInputsAlone()
{
    setDistinctLook();
    Look expected = lookOfWindow();
    const QString path = m_dir.filePath(QStringLiteral("partial.lns"));
    writeFile(path, "[General]\nfontSize=20\ncolorB=@ByteArray(\\0\\0\\0\\x64\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0)\n");
    load(path);
    expected.fontSizePt = 20;
    expected.crewColors[1] = Ink::fromState(Cyan);
    compareLooks(lookOfWindow(), expected);
}

void TestSetupFile::saveOverKeepsForeignKeys()
{
    const QString path = m_dir.filePath(QStringLiteral("shared.lns"));
    // Groups of another program named like keys of ours that this look
    // leaves out.
    writeFile(path, "[General]\nowner=Jana\nfontSize=33\nlabels\\shown=1\n\n[printer]\nmargin=5\n\n"
                    "[holidays]\nregion=CZ\n\n[rota]\nowner=Petr\n");
    find<QDoubleSpinBox>("fontSize")->setValue(14);
    saveAs(m_dir.path(), QStringLiteral("shared.lns"), true);

    const QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("owner")).toString(), QStringLiteral("Jana"));
    QCOMPARE(settings.value(QStringLiteral("printer/margin")).toInt(), 5);
    QCOMPARE(settings.value(QStringLiteral("labels/shown")).toInt(), 1);
    QCOMPARE(settings.value(QStringLiteral("holidays/region")).toString(), QStringLiteral("CZ"));
    QCOMPARE(settings.value(QStringLiteral("rota/owner")).toString(), QStringLiteral("Petr"));
    QCOMPARE(settings.value(QStringLiteral("fontSize")).toDouble(), 14.0);
    QCOMPARE(settings.value(QStringLiteral("textOnly")).toString(), QStringLiteral("false"));
}

void TestSetupFile::cancelChangesNothing()
{
    QTemporaryDir empty;
    setDistinctLook();
    const Look before = lookOfWindow();
    answerFileDialog([&](QFileDialog *dialog) {
        dialog->setDirectory(empty.path());
        dialog->reject();
    });
    QTest::mouseClick(find<QPushButton>("save"), Qt::LeftButton);
    QVERIFY(QDir(empty.path()).isEmpty());

    const QString path = empty.filePath(QStringLiteral("other.lns"));
    writeFile(path, "[General]\nfontSize=42\n");
    answerFileDialog([&](QFileDialog *dialog) {
        dialog->setDirectory(empty.path());
        dialog->reject();
    });
    QTest::mouseClick(find<QPushButton>("save_2"), Qt::LeftButton);
    compareLooks(lookOfWindow(), before);
    QCOMPARE(readFile(path), QByteArray("[General]\nfontSize=42\n"));
}

void TestSetupFile::loadingTextOnlySetsTheInputs()
{
    const QStringList switched = {"borderColor", "borderWidth", "shiftAColor", "shiftBColor", "shiftCColor"};
    const QString on = m_dir.filePath(QStringLiteral("on.lns"));
    const QString off = m_dir.filePath(QStringLiteral("off.lns"));
    writeFile(on, "[General]\ntextOnly=true\n");
    writeFile(off, "[General]\ntextOnly=false\n");

    load(on);
    QVERIFY(find<QCheckBox>("textOnly")->isChecked());
    for (const QString &name : switched)
        QVERIFY2(!m_window->findChild<QWidget *>(name)->isEnabled(), qPrintable(name));
    QVERIFY(find<QDoubleSpinBox>("boxWidth")->isEnabled());

    load(off);
    QVERIFY(!find<QCheckBox>("textOnly")->isChecked());
    for (const QString &name : switched)
        QVERIFY2(m_window->findChild<QWidget *>(name)->isEnabled(), qPrintable(name));
}

void TestSetupFile::crewLettersThroughTheWindow()
{
    // Off at start, and saved only when on.
    auto *letters = find<QCheckBox>("crewLetters");
    QVERIFY(letters && !letters->isChecked());
    letters->click();
    saveAs(m_dir.path(), QStringLiteral("letters"));
    const QString path = m_dir.filePath(QStringLiteral("letters.lns"));
    QVERIFY(readFile(path).contains("\ncrewLetters=true\n"));

    delete m_window;
    m_window = new MainWindow;
    m_window->show();
    QVERIFY(!find<QCheckBox>("crewLetters")->isChecked());
    load(path);
    QVERIFY(find<QCheckBox>("crewLetters")->isChecked());
    // A file without the key, as every earlier one, turns them off.
    writeFile(path, "[General]\nfontSize=12\n");
    load(path);
    QVERIFY(!find<QCheckBox>("crewLetters")->isChecked());
}

void TestSetupFile::notASetupFile_data()
{
    QTest::addColumn<QByteArray>("content");

    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 7919) % 256));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("binary") << binary;
    QTest::newRow("bad bytes") << QByteArray("\xff\xfe\x00\x01[General\x00]\nfont\xff=\xc3\x28\n", 20);
    QTest::newRow("png") << readFile(QStringLiteral(":/icon/16/year"));
    QTest::newRow("truncated byte array") << QByteArray("[General]\ncolorA=@ByteArray(\\0\\0\\0\\x64\\0\n");
    QTest::newRow("colour state too short") << QByteArray("[General]\ncolorA=@ByteArray(\\0\\0\\0\\x64)\n");
    QTest::newRow("colour state too long")
        << QByteArray("[General]\ncolorC=@ByteArray(\\0\\0\\0\\x64\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0)\n");
    QTest::newRow("colour as text") << QByteArray("[General]\nfontColor=black\n");
    QTest::newRow("sizes out of range")
        << QByteArray("[General]\nfontSize=500\nboxWidth=0.5\nboxHeight=-3\nborderWidth=100\n");
    QTest::newRow("sizes not numbers")
        << QByteArray("[General]\nfontSize=big\nboxWidth=\nboxHeight=12,5\nborderWidth=nan\n");
    QTest::newRow("empty font") << QByteArray("[General]\nfont=\n");
    QTest::newRow("huge") << QByteArray("[General]\nfontSize=20\n") + QByteArray(2 * 1024 * 1024, 'x');
}

void TestSetupFile::notASetupFile()
{
    QFETCH(QByteArray, content);
    setDistinctLook();
    const Look before = lookOfWindow();
    const QString path = m_dir.filePath(QStringLiteral("bad.lns"));
    writeFile(path, content);
    load(path);
    compareLooks(lookOfWindow(), before);
    QCOMPARE(find<QCheckBox>("textOnly")->isChecked(), true);
    QCOMPARE(readFile(path), content);
}

void TestSetupFile::goodValuesBesideBadOnes()
{
    Look current;
    current.crewColors[0] = Ink::fromState(Red);
    current.font = QStringLiteral("Serif");
    current.rota = Calendar::Rota::fromPreset(4);
    current.myCrew = 4;
    const QString path = m_dir.filePath(QStringLiteral("mixed.lns"));
    writeFile(path, "[General]\ncolorA=@ByteArray(\\0\\0\\0\\x64)\nfontSize=12.34\nboxWidth=250\n"
                    "boxHeight=100\nborderWidth=0\ntextOnly=1\nfont=Liberation Mono\n"
                    "rota=5\nrotaPattern=dn--\ncrewCount=4\nkindNHours=10\nmyCrew=F\n"
                    "cardNote=HZS Praha, stanice 3\n");
    const Setup::Loaded loaded = Setup::load(path, current);
    const Look look = loaded.look;
    QCOMPARE(look.crewColors[0], Ink::fromState(Red));
    QCOMPARE(look.fontSizePt, 12.34);
    QCOMPARE(look.boxWidthMm, 10.0);
    QCOMPARE(look.boxHeightMm, 100.0);
    QCOMPARE(look.borderWidthPt, 0.0);
    QCOMPARE(look.textOnly, true);
    QCOMPARE(look.font, QStringLiteral("Liberation Mono"));
    // A pattern in small letters, 10 hours for the night, crew F of four
    // crews: none shown, not crew E of the five before.
    QCOMPARE(look.rota.pattern, QStringLiteral("DN--"));
    QCOMPARE(look.rota.kinds.at(1).hours, 12);
    QCOMPARE(look.rota.kinds.at(2).hours, 10);
    QCOMPARE(look.myCrew, -1);
    // A hand-written note with a comma, unquoted.
    QCOMPARE(look.cardNote, QStringLiteral("HZS Praha, stanice 3"));
    // Values of the eleven the form cannot take keep the form's, as ever.
    QVERIFY(loaded.refused.isEmpty());

    // Gone between the dialog and the read: nothing changes.
    const Setup::Loaded same = Setup::load(m_dir.filePath(QStringLiteral("gone.lns")), current);
    QVERIFY(same.read);
    QCOMPARE(same.look.crewColors[0], Ink::fromState(Red));
    QCOMPARE(same.look.font, QStringLiteral("Serif"));
}

void TestSetupFile::kindHours_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("hours"); // of the day shift as loaded; 0 where the rota is refused
    QTest::newRow("0 hours: no shift") << QByteArray("0") << 0;
    QTest::newRow("1 hour") << QByteArray("1") << 1;
    QTest::newRow("24 hours") << QByteArray("24") << 24;
    QTest::newRow("25 hours") << QByteArray("25") << 0;
    QTest::newRow("negative") << QByteArray("-6") << 0;
    QTest::newRow("not a number") << QByteArray("twelve") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
}

void TestSetupFile::kindHours()
{
    QFETCH(QByteArray, value);
    QFETCH(int, hours);
    const QString path = m_dir.filePath(QStringLiteral("hours.lns"));
    writeFile(path, "[General]\nrota=5\nrotaPattern=DN--\ncrewCount=4\nkindDHours=" + value + "\nkindNHours=10\n");
    const Setup::Loaded loaded = Setup::load(path, Look());
    if (hours > 0) {
        QCOMPARE(loaded.look.rota.pattern, QStringLiteral("DN--"));
        QCOMPARE(loaded.look.rota.kind(u'D').hours, hours);
        QCOMPARE(loaded.look.rota.kind(u'N').hours, 10);
        QVERIFY(loaded.refused.isEmpty());
    } else {
        // Never a rota nobody chose: the form's stays, and the user is told
        // which key it was.
        QCOMPARE(loaded.look.rota, Look().rota);
        QCOMPARE(loaded.refused.size(), 1);
        QCOMPARE(loaded.refused.first().key, QStringLiteral("kindDHours"));
    }
}

void TestSetupFile::saveFailureIsReported()
{
    // As root every file is writable: a parent that is a regular file is not.
    const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
    writeFile(blocker, "a file, not a folder");
    const QString path = blocker + QStringLiteral("/look.lns");
    QVERIFY(!Setup::save(path, Look()).ok);

    std::shared_ptr<SeenMessage> seen;
    answerFileDialog([&](QFileDialog *dialog) {
        seen = answerMessageBox();
        typeAndAccept(dialog, path);
    });
    QTest::mouseClick(find<QPushButton>("save"), Qt::LeftButton);
    QVERIFY(seen && seen->shown);
    QCOMPARE(seen->icon, QMessageBox::Critical);
    QCOMPARE(seen->title, QStringLiteral("Chyba"));
    // The file, and the real cause: the folder it would go to is a file.
    QVERIFY2(seen->text.startsWith(QStringLiteral("Nepodařilo se uložit konfiguraci do souboru '%1': ").arg(path)),
             qPrintable(seen->text));
    QVERIFY2(seen->text.contains(QStringLiteral("'%1'").arg(QFileInfo(path).absolutePath())), qPrintable(seen->text));
    QCOMPARE(readFile(blocker), QByteArray("a file, not a folder"));

    // Success stays silent.
    bool boxShown = false;
    answerFileDialog([&](QFileDialog *dialog) {
        dialog->setDirectory(m_dir.path());
        typeAndAccept(dialog, QStringLiteral("fine"));
        boxShown = QApplication::activeModalWidget() != nullptr;
    });
    QTest::mouseClick(find<QPushButton>("save"), Qt::LeftButton);
    QVERIFY(!boxShown);
    QVERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("fine.lns"))));
}

void TestSetupFile::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("place"); // "file", "fifo", "lock folder" or "foreign lock"
    QTest::addColumn<bool>("loads"); // fontSize=20 is taken
    QTest::addColumn<bool>("saves");

    // A variant list that claims 2^31 - 1 entries: the toolkit's data stream
    // reserves them all.
    const QByteArray huge = "(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)";
    const auto ini = [](const QByteArray &line) { return "[General]\nfontSize=20\n" + line + "\n"; };
    QTest::newRow("variant, foreign key") << ini("x=@Variant" + huge) << "file" << false << true;
    QTest::newRow("variant, our key") << ini("boxWidth=@Variant(\\0\\0\\0\\xb\\x7f\\xff\\xff\\xff)") << "file" << false << true;
    QTest::newRow("variant, escaped letter") << ini("x=@Vari\\x61nt" + huge) << "file" << false << true;
    QTest::newRow("variant, escaped at sign") << ini("x=\\x40Vari\\x61nt" + huge) << "file" << false << true;
    QTest::newRow("variant, 17-bit escape") << ini("x=\\x10040Vari\\x61nt" + huge) << "file" << false << true;
    QTest::newRow("variant, octal at sign") << ini("x=\\100Vari\\x61nt" + huge) << "file" << false << true;
    QTest::newRow("variant, split by quotes") << ini("x=\"\"@\"Var\"iant" + huge) << "file" << false << true;
    QTest::newRow("variant, list element") << ini("x=1, 2,  @Vari\\x61nt" + huge) << "file" << false << true;
    QTest::newRow("variant, continued line") << ini("x=@Var\\\niant" + huge) << "file" << false << true;
    QTest::newRow("variant, escaped after a continued line") << ini("x=\\\n\\x40Variant" + huge) << "file" << false << true;
    QTest::newRow("variant, other section") << ini("[x]\ny=@Vari\\x61nt" + huge) << "file" << false << true;
    QTest::newRow("date and time, decoded alike") << ini("x=@DateTime(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)") << "file" << false << true;
    // The reader drops an escape it does not know (\8 and \9 are no octal
    // digits) and decodes what is left: here the integer 5.
    const QByteArray five = "(\\0\\0\\0\\x2\\0\\0\\0\\x5)";
    QTest::newRow("variant, unknown escape \\8 dropped") << ini("x=@\\8Variant" + five) << "file" << false << true;
    QTest::newRow("variant, unknown escape \\9 dropped") << ini("x=@Vari\\9ant" + five) << "file" << false << true;
    QTest::newRow("date and time, unknown escape \\8 dropped") << ini("x=@Date\\8Time" + five) << "file" << false << true;
    // Good files: nothing in them reaches the data stream.
    QTest::newRow("a value of one's own with an at sign") << ini("owner=@jana") << "file" << true << true;
    QTest::newRow("text holding U+0000, as the toolkit writes it") << ini("note=@String(a\\0b)") << "file" << true << true;
    QTest::newRow("text starting with an at sign, as the toolkit writes it") << ini("note=@@Variant(x)") << "file" << true << true;
    QTest::newRow("text mentioning Variant(") << ini("note=\"Variant(3) is a call\"") << "file" << true << true;
    QTest::newRow("a comment mentioning @Variant(") << ini(";x=@Variant" + huge) << "file" << true << true;
    QTest::newRow("after a value, a comment with @Variant(") << ini("x=1 ;, @Variant" + huge) << "file" << true << true;
    QTest::newRow("text note") << QByteArray("a note, not a setup\nfontSize=20\n") << "file" << true << true;
    QTest::newRow("named pipe") << QByteArray() << "fifo" << false << false;
    QTest::newRow("lock is a folder") << ini("") << "lock folder" << true << false;
    QTest::newRow("fresh lock of another host") << ini("") << "foreign lock" << true << false;
}

void TestSetupFile::hostileFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, place);
    QFETCH(bool, loads);
    QFETCH(bool, saves);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hostile.lns"));
    if (place == QLatin1String("fifo"))
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        writeFile(path, content);
    const QString lockPath = path + QStringLiteral(".lock");
    if (place == QLatin1String("lock folder"))
        QVERIFY(QDir(dir.path()).mkdir(QFileInfo(lockPath).fileName()));
    if (place == QLatin1String("foreign lock"))
        writeFile(lockPath, "4242\nlunoris\nsome-other-host\n");

    // Loading takes a setup file's values and nothing of a hostile file, and
    // never crashes or blocks.
    setDistinctLook();
    const Look before = lookOfWindow();
    QCOMPARE(Setup::load(path, before).look.fontSizePt, loads ? 20.0 : before.fontSizePt);

    QElapsedTimer clock;
    clock.start();
    Look look;
    look.fontSizePt = 33;
    const Setup::Saved saved = Setup::save(path, look);
    QCOMPARE(saved.ok, saves);
    QCOMPARE(saved.problem.isEmpty(), saves);
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    if (!saves) {
        if (place != QLatin1String("fifo"))
            QCOMPARE(readFile(path), content);
        return;
    }
    // The keys of a setup file and no lock left behind; of a hostile file
    // nothing, of a good one every key of its own.
    QVERIFY(!QFileInfo::exists(lockPath));
    const QByteArray written = readFile(path);
    if (!loads)
        QVERIFY(!written.contains("Variant") && !written.contains("ant(") && !written.contains("DateTime"));
    const QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("fontSize")).toDouble(), 33.0);
    QCOMPARE(settings.value(QStringLiteral("textOnly")).toString(), QStringLiteral("false"));
    if (loads && place == QLatin1String("file") && content.startsWith("[General]")) {
        const QSettings original(dir.filePath(QStringLiteral("original.lns")), QSettings::IniFormat);
        writeFile(original.fileName(), content);
        const QSettings reread(original.fileName(), QSettings::IniFormat);
        for (const QString &key : reread.allKeys()) {
            if (key != QLatin1String("fontSize"))
                QCOMPARE(settings.value(key), reread.value(key));
        }
    }
    QCOMPARE(Setup::load(path, before).look.fontSizePt, 33.0);
}

void TestSetupFile::reloadReadsTheDisk()
{
    // Same size and modification time: only the contents tell them apart.
    const QString path = m_dir.filePath(QStringLiteral("twice.lns"));
    writeFile(path, "[General]\nfontSize=20\n");
    const QDateTime stamp = QFileInfo(path).lastModified();
    QCOMPARE(Setup::load(path, Look()).look.fontSizePt, 20.0);
    writeFile(path, "[General]\nfontSize=30\n");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(Setup::load(path, Look()).look.fontSizePt, 30.0);
}

void TestSetupFile::printShopValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("on");
    QTest::addColumn<double>("bleed");
    QTest::addColumn<double>("inkLimit");
    QTest::addColumn<QStringList>("refused");
    QTest::newRow("as saved") << QByteArray("printShop=true\nbleed=2\ninkLimit=280\n") << true << 2.0 << 280.0
                              << QStringList();
    QTest::newRow("half a millimetre") << QByteArray("printShop=true\nbleed=1.5\n") << true << 1.5 << 300.0
                                       << QStringList();
    QTest::newRow("a bleed beyond 5 mm") << QByteArray("printShop=true\nbleed=7\n") << true << 3.0 << 300.0
                                         << QStringList{"bleed"};
    QTest::newRow("a negative bleed") << QByteArray("printShop=true\nbleed=-1\n") << true << 3.0 << 300.0
                                      << QStringList{"bleed"};
    QTest::newRow("a limit that is no number") << QByteArray("printShop=true\ninkLimit=hodně\n") << true << 3.0
                                               << 300.0 << QStringList{"inkLimit"};
    QTest::newRow("a limit over four inks") << QByteArray("printShop=true\ninkLimit=401\n") << true << 3.0 << 300.0
                                            << QStringList{"inkLimit"};
    QTest::newRow("no print shop") << QByteArray("labels=true\n") << false << 3.0 << 300.0 << QStringList();
}

void TestSetupFile::printShopValues()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, on);
    QFETCH(double, bleed);
    QFETCH(double, inkLimit);
    QFETCH(QStringList, refused);
    const QString path = m_dir.filePath(QStringLiteral("shop.lns"));
    QFile::remove(path);
    writeFile(path, "[General]\n" + file);
    Look current;
    current.printShop = {true, 4.5, 225.0};
    const Setup::Loaded loaded = Setup::load(path, current);
    QCOMPARE(loaded.look.printShop.on, on);
    QCOMPARE(loaded.look.printShop.bleedMm, bleed);
    QCOMPARE(loaded.look.printShop.inkLimit, inkLimit);
    QStringList keys;
    for (const Setup::Refusal &refusal : loaded.refused)
        keys << refusal.key;
    QCOMPARE(keys, refused);
}

void TestSetupFile::optionsOnlyWhenOn_data()
{
    QTest::addColumn<QString>("change"); // what differs from the form's start
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("extra"); // the keys besides the eleven
    QTest::newRow("the form's start: the eleven keys") << "" << QByteArray() << QStringList();
    QTest::newRow("labels") << "labels" << QByteArray() << QStringList{"labels"};
    QTest::newRow("holidays") << "holidays" << QByteArray() << QStringList{"holidays"};
    QTest::newRow("both") << "labels holidays" << QByteArray() << QStringList{"labels", "holidays"};
    QTest::newRow("off over a file with them on") << "" << QByteArray("[General]\nlabels=true\nholidays=true\n")
                                                  << QStringList();
    QTest::newRow("crew letters") << "crewLetters" << QByteArray() << QStringList{"crewLetters"};
    QTest::newRow("crew letters off over a file with them on") << "" << QByteArray("[General]\ncrewLetters=true\n")
                                                               << QStringList();
    QTest::newRow("a preset rota") << "preset" << QByteArray() << QStringList{"rota"};
    QTest::newRow("a rota of one's own") << "custom" << QByteArray()
                                         << QStringList{"rota", "rotaPattern", "crewCount", "kindDStart", "kindDHours"};
    QTest::newRow("one crew shown") << "crew" << QByteArray() << QStringList{"myCrew"};
    QTest::newRow("colours of crew D and kind N") << "colours" << QByteArray()
                                                  << QStringList{"rota", "colorD", "kindNColor"};
    QTest::newRow("a note for the card") << "note" << QByteArray() << QStringList{"cardNote"};
    QTest::newRow("the rota in real dates") << "anchor" << QByteArray()
                                            << QStringList{"rota", "rotaAnchored", "anchorDate", "anchorCrew", "anchorDay"};
    // A preset keeps its name with its times changed: only those are written.
    QTest::newRow("a preset's times changed") << "presetTimes" << QByteArray()
                                              << QStringList{"rota", "kindDStart", "kindDHours", "kindNStart", "kindNHours"};
    QTest::newRow("one's own year") << "plan" << QByteArray()
                                    << QStringList{"myCrew", "plan/2027-03-05", "plan/2027-03-09", "plan/2027-04-02",
                                                   "plan/2027-04-03"};
    QTest::newRow("a colour of leave, a week of 40 hours") << "planColors" << QByteArray()
                                                           << QStringList{"planColorDovolena", "weeklyHours"};
    QTest::newRow("files for a print shop") << "printShop" << QByteArray() << QStringList{"printShop", "bleed", "inkLimit"};
    // The bleed and the limit go with the print shop.
    QTest::newRow("print shop off over a file with it on")
        << "" << QByteArray("[General]\nprintShop=true\nbleed=2\ninkLimit=280\n") << QStringList();
    // The plan's days of the file go, other keys in its group stay.
    QTest::newRow("the plan emptied over a file with one")
        << "" << QByteArray("[plan]\n2027-03-05=dovolena\n2027-13-01=x\nnote=mine\n")
        << QStringList{"plan/2027-13-01", "plan/note"};
    // Another program's groups and keys under names of ours: a save takes
    // out our keys alone.
    QTest::newRow("groups named like the keys left out")
        << "" << QByteArray("[General]\nholidays=true\nmyCrew=B\n\n[holidays]\nregion=CZ\n\n[rota]\nowner=Jana\n\n"
                            "[labels]\nx=1\n\n[cardNote]\nx=2\n\n[myCrew]\nx=3\n\n[kindDStart]\nx=4\n\n"
                            "[colorD]\nx=5\n\n[rotaPattern]\nx=6\n\n[crewCount]\nx=7\n")
        << QStringList{"holidays/region", "rota/owner", "labels/x", "cardNote/x", "myCrew/x",
                       "kindDStart/x", "colorD/x", "rotaPattern/x", "crewCount/x"};
    QTest::newRow("keys under a name of ours, in the general section")
        << "note" << QByteArray("[General]\nrota\\owner=Jana\nlabels\\deep\\x=1\n")
        << QStringList{"rota/owner", "labels/deep/x", "cardNote"};
    QTest::newRow("back to the start over a file of another rota")
        << "" << QByteArray("[General]\nrota=5\nrotaPattern=DN--\ncrewCount=4\nkindNHours=10\nmyCrew=D\ncolorE=x\n")
        << QStringList();
}

void TestSetupFile::optionsOnlyWhenOn()
{
    QFETCH(QString, change);
    QFETCH(QByteArray, before);
    QFETCH(QStringList, extra);
    const QString path = m_dir.filePath(QStringLiteral("options.lns"));
    QFile::remove(path);
    if (!before.isEmpty())
        writeFile(path, before);
    Look look;
    look.font = QStringLiteral("Liberation Sans");
    look.labels = change.contains(QLatin1String("labels"));
    look.holidays = change.contains(QLatin1String("holidays"));
    look.crewLetters = change.contains(QLatin1String("crewLetters"));
    if (change == QLatin1String("preset") || change == QLatin1String("colours"))
        look.rota = Calendar::Rota::fromPreset(2);
    if (change == QLatin1String("custom")) {
        look.rota.preset = Calendar::Rota::Custom;
        look.rota.pattern = QStringLiteral("DDNN----");
        look.rota.crews = 4;
        look.rota.kinds[1].start = QTime(7, 30);
        look.rota.kinds[1].hours = 11;
    }
    if (change == QLatin1String("crew"))
        look.myCrew = 1;
    if (change == QLatin1String("colours")) {
        look.crewColors[3] = Ink::fromState(Odd);
        look.kindColors[2] = Ink::fromState(Cyan);
    }
    if (change == QLatin1String("note"))
        look.cardNote = QStringLiteral("HZS Praha, stanice 3");
    if (change == QLatin1String("anchor")) {
        look.rota = Calendar::Rota::fromPreset(4);
        look.rota.anchor = {true, QDate(2026, 1, 5), 2, 7};
    }
    if (change == QLatin1String("presetTimes")) {
        look.rota = Calendar::Rota::fromPreset(2);
        look.rota.kinds[1].start = QTime(7, 0);
        look.rota.kinds[2].start = QTime(19, 0);
    }
    if (change == QLatin1String("plan")) {
        look.myCrew = 0;
        look.plan.insert(QDate(2027, 3, 5), {Calendar::Change::Leave, QChar(), QString()});
        look.plan.insert(QDate(2027, 3, 9), {Calendar::Change::Extra, QChar(u'N'), QString()});
        look.plan.insert(QDate(2027, 4, 2), {Calendar::Change::Sick, QChar(), QString()});
        look.plan.insert(QDate(2027, 4, 3), {Calendar::Change::Off, QChar(), QStringLiteral("výměna s Petrem; ráno")});
    }
    if (change == QLatin1String("planColors")) {
        look.planColors[0] = Ink::fromState(Cyan);
        look.weeklyHours = 40;
    }
    if (change == QLatin1String("printShop"))
        look.printShop = {true, 2.0, 280.0};
    QVERIFY(Setup::save(path, look).ok);
    QSettings settings(path, QSettings::IniFormat);
    QStringList keys = settings.allKeys();
    for (const QString &key : extra)
        QVERIFY2(keys.removeOne(key), qPrintable(key));
    QCOMPARE(keys.size(), 11);

    // Read back whole; and a key the file lacks, as every earlier file does,
    // means what the form starts with.
    Look current = look;
    current.labels = current.holidays = current.crewLetters = true;
    current.rota = Calendar::Rota::fromPreset(4);
    current.rota.anchor = {true, QDate(2030, 1, 1), 1, 1};
    current.myCrew = 4;
    current.crewColors[3] = current.kindColors[0] = current.planColors[2] = Ink::fromState(Red);
    current.cardNote = QStringLiteral("old");
    current.plan.insert(QDate(2027, 1, 1), {Calendar::Change::Leave, QChar(), QString()});
    current.weeklyHours = 38.75;
    current.printShop = {true, 1.5, 250.0};
    QVERIFY(Setup::load(path, current).look == look);
    // The plan's values as a person reads them in the file.
    // As a person reads it in the file.
    if (change == QLatin1String("crewLetters"))
        QVERIFY(readFile(path).contains("\ncrewLetters=true\n"));
    if (change == QLatin1String("plan")) {
        QCOMPARE(settings.value(QStringLiteral("plan/2027-03-09")).toString(), QStringLiteral("navic:N"));
        QCOMPARE(settings.value(QStringLiteral("plan/2027-04-03")).toString(), QStringLiteral("volno;výměna s Petrem; ráno"));
    }
}

void TestSetupFile::filesOfTheToolkitLoad()
{
    // Whatever text the toolkit writes, a file of its own loads: random
    // strings of every kind of character, U+0000 and "@Variant(" among them.
    QRandomGenerator random(20261207);
    const QString alphabet = QStringLiteral("aZ09 ,;=\"\\@()[]%#\t\nřěčŘ\u0000\u00ff\u2013");
    const QStringList pieces = {QStringLiteral("@Variant("), QStringLiteral("@DateTime("), QStringLiteral("@String("),
                                QStringLiteral("Variant("), QStringLiteral("@"), QStringLiteral("\\x40")};
    QTemporaryDir dir;
    for (int file = 0; file < 300; ++file) {
        const QString path = dir.filePath(QStringLiteral("good%1.lns").arg(file));
        QStringList values;
        {
            QSettings settings(path, QSettings::IniFormat);
            settings.setValue(QStringLiteral("fontSize"), 20);
            for (int key = 0; key < 4; ++key) {
                QString value;
                for (int i = int(random.bounded(12)); i > 0; --i) {
                    value += random.bounded(4) == 0 ? pieces.at(int(random.bounded(pieces.size())))
                                                    : QString(alphabet.at(int(random.bounded(alphabet.size()))));
                }
                values << value;
                if (random.bounded(3) == 0)
                    settings.setValue(QStringLiteral("list%1").arg(key), QStringList{value, values.first()});
                else
                    settings.setValue(QStringLiteral("key%1").arg(key), value);
            }
        }
        const QByteArray bytes = readFile(path);
        QVERIFY2(Setup::isSafeIni(bytes), bytes.constData());
        QCOMPARE(Setup::load(path, Look()).look.fontSizePt, 20.0);
    }
}

void TestSetupFile::guardAgreesWithTheReader()
{
    // Spellings of a harmless variant (the integer 5) and date, as a hostile
    // file might write them: whenever the toolkit's reader decodes one, the
    // guard must have refused the file.
    QRandomGenerator random(7);
    // The integer 5 in the data stream of each: the date's stream is of a
    // later version, with a null flag before the value.
    const QByteArray payloads[] = {"Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)", "DateTime(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)"};
    const auto spell = [&random](char ch) -> QByteArray {
        switch (random.bounded(6)) {
        case 0:
            return QByteArray("\\x") + QByteArray::number(uchar(ch), 16);
        case 1:
            return QByteArray("\\") + QByteArray::number(uchar(ch), 8);
        case 2:
            return QByteArray("\"") + ch + "\"";
        case 3:
            return QByteArray("\\\n") + ch;
        default:
            return QByteArray(1, ch);
        }
    };
    QTemporaryDir dir;
    int decoded = 0;
    for (int file = 0; file < 400; ++file) {
        QByteArray value = random.bounded(2) ? QByteArray("@") : spell('@');
        const QByteArray &payload = payloads[random.bounded(2)];
        for (int i = 0; i < payload.size(); ++i)
            value += payload.at(i) == '\\' || i > payload.indexOf('(') ? QByteArray(1, payload.at(i)) : spell(payload.at(i));
        const QByteArray prefix = random.bounded(3) == 0 ? QByteArray("1, ") : QByteArray();
        const QByteArray bytes = "[General]\nx=" + prefix + value + "\n";
        const QString path = dir.filePath(QStringLiteral("spelled%1.ini").arg(file));
        writeFile(path, bytes);
        const QSettings settings(path, QSettings::IniFormat);
        QVariant read = settings.value(QStringLiteral("x"));
        if (read.userType() == QMetaType::QVariantList)
            read = read.toList().last();
        const bool reachedStream = read.userType() == QMetaType::Int;
        decoded += reachedStream;
        if (reachedStream)
            QVERIFY2(!Setup::isSafeIni(bytes), bytes.constData());
    }
    // The spellings reach the reader's decoding often enough to mean something.
    QVERIFY2(decoded > 100, qPrintable(QString::number(decoded)));
}

void TestSetupFile::noTemporaryFolder()
{
    // The temporary folder full or gone: a good file still loads, and a save
    // still works, or names what failed.
    const QByteArray tmp = qgetenv("TMPDIR");
    const QString blocker = m_dir.filePath(QStringLiteral("not-a-folder"));
    writeFile(blocker, "a file");
    qputenv("TMPDIR", QFile::encodeName(blocker + QStringLiteral("/tmp")));
    const QString path = m_dir.filePath(QStringLiteral("good.lns"));
    writeFile(path, "[General]\nfontSize=20\n");
    const Setup::Loaded loaded = Setup::load(path, Look());
    Look look;
    look.fontSizePt = 30;
    const Setup::Saved saved = Setup::save(path, look);
    qputenv("TMPDIR", tmp);
    QVERIFY2(loaded.read, qPrintable(loaded.problem));
    QCOMPARE(loaded.look.fontSizePt, 20.0);
    QVERIFY2(saved.ok, qPrintable(saved.problem));
    QCOMPARE(Setup::load(path, Look()).look.fontSizePt, 30.0);
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral(".lunoris-*")}, QDir::Hidden | QDir::Files).size(), 0);
}

void TestSetupFile::refusedValuesAreKept_data()
{
    QTest::addColumn<QByteArray>("lines"); // of the file, after "[General]"
    QTest::addColumn<QString>("part");     // "rota" or "note": what the file's lines are
    QTest::addColumn<QString>("refusal");  // the notice's line; empty: all taken
    const QByteArray own = "rota=5\n";
    const QByteArray note61 = QByteArray("HZS Praha, stanice 3, ") + QByteArray(39, 'x');
    const QByteArray note60 = note61.left(60);
    const QByteArray days120 = QByteArray("DN--").repeated(30);
    const QByteArray days100 = QByteArray("DN--").repeated(25);

    QTest::newRow("a note of 61 characters") << "cardNote=\"" + note61 + "\"\n" << "note"
                                             << "cardNote: Řádek má 61 znaků, pole pro kartičku jich pojme nejvýš 60.";
    QTest::newRow("a note of 60 characters, taken") << "cardNote=\"" + note60 + "\"\n" << "note" << "";
    QTest::newRow("a pattern of 120 days") << own + "rotaPattern=" + days120 + "\ncrewCount=4\n" << "rota"
                                           << "rotaPattern: Rozpis má 120 znaků, pole rozpisu jich pojme nejvýš 100.";
    QTest::newRow("a pattern of 100 days, taken") << own + "rotaPattern=" + days100 + "\ncrewCount=4\n" << "rota" << "";
    QTest::newRow("one crew") << own + "rotaPattern=S-\ncrewCount=1\n" << "rota"
                              << "crewCount: Počet směn musí být 2 až 6.";
    QTest::newRow("seven crews") << own + "rotaPattern=S------\ncrewCount=7\nmyCrew=G\n" << "rota"
                                 << "crewCount: Počet směn musí být 2 až 6.";
    QTest::newRow("99 crews") << own + "rotaPattern=S--\ncrewCount=99\n" << "rota" << "crewCount: Počet směn musí být 2 až 6.";
    QTest::newRow("-3 crews") << own + "rotaPattern=S--\ncrewCount=-3\n" << "rota" << "crewCount: Počet směn musí být 2 až 6.";
    QTest::newRow("crews not a number") << own + "rotaPattern=S--\ncrewCount=three\n" << "rota"
                                        << "crewCount: „three“ není počet směn.";
    QTest::newRow("S for two crews") << own + "rotaPattern=S\ncrewCount=2\n" << "rota"
                                     << "rotaPattern: Délka rozpisu (1) musí být násobkem počtu směn (2).";
    QTest::newRow("a tab in the pattern") << own + "rotaPattern=D\\tN--\ncrewCount=4\n" << "rota"
                                          << "rotaPattern: Rozpis obsahuje neviditelný znak U+0009.";
    QTest::newRow("a start of 24:00") << own + "rotaPattern=DN--\ncrewCount=4\nkindNStart=24:00\n" << "rota"
                                      << "kindNStart: „24:00“ není čas od 00:00 do 23:59.";
    QTest::newRow("a start of -1") << own + "rotaPattern=DN--\ncrewCount=4\nkindDStart=-1\nmyCrew=B\n" << "rota"
                                   << "kindDStart: „-1“ není čas od 00:00 do 23:59.";
    QTest::newRow("0 hours") << own + "rotaPattern=DN--\ncrewCount=4\nkindDHours=0\n" << "rota"
                             << "kindDHours: „0“ není počet hodin od 1 do 24.";
    QTest::newRow("25 hours") << own + "rotaPattern=DN--\ncrewCount=4\nkindDHours=25\n" << "rota"
                              << "kindDHours: „25“ není počet hodin od 1 do 24.";
    QTest::newRow("48 hours") << own + "rotaPattern=DN--\ncrewCount=4\nkindNHours=48\n" << "rota"
                              << "kindNHours: „48“ není počet hodin od 1 do 24.";
    QTest::newRow("a rota of no number") << QByteArray("rota=9\n") << "rota" << "rota: „9“ není číslo rozpisu od 0 do 5.";
    QTest::newRow("overlapping shifts") << own + "rotaPattern=ND--\ncrewCount=4\nkindNHours=24\n" << "rota"
                                        << "rotaPattern: Směny se překrývají: Noční (18–18) ještě trvá, když další den "
                                           "začíná Denní (6–18). Zkraťte ji, posuňte začátek, nebo mezi ně dejte volno (-).";
}

void TestSetupFile::refusedValuesAreKept()
{
    QFETCH(QByteArray, lines);
    QFETCH(QString, part);
    QFETCH(QString, refusal);
    const bool rotaLines = part == QLatin1String("rota");
    // The form's own rota or note, which a refused file leaves as it is.
    auto *rota = find<QComboBox>("rota");
    auto *pattern = find<QLineEdit>("rotaPattern");
    auto *note = find<QLineEdit>("cardNote");
    if (rotaLines)
        rota->setCurrentIndex(2);
    else
        note->setText(QStringLiteral("stará poznámka"));
    const QString formPattern = pattern->text();

    const QString path = m_dir.filePath(QStringLiteral("refused.lns"));
    const QByteArray content = "[General]\n" + lines;
    writeFile(path, content);
    const QString copy = m_dir.filePath(QStringLiteral("original.lns"));
    writeFile(copy, content);
    load(path);

    auto *notice = find<QLabel>("loadNotice");
    QVERIFY(notice);
    if (refusal.isEmpty()) {
        // Taken whole, to the last character: what a save writes back is
        // what the form shows.
        QVERIFY(!notice->isVisible());
        const QSettings file(copy, QSettings::IniFormat);
        if (rotaLines) {
            QCOMPARE(rota->currentIndex(), 5);
            QCOMPARE(pattern->text(), file.value(QStringLiteral("rotaPattern")).toString());
        } else {
            QCOMPARE(note->text(), file.value(QStringLiteral("cardNote")).toString());
        }
        return;
    }
    // Said in the panel, key and reason; the form keeps what it had.
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QStringLiteral("Ze souboru '%1' nešlo převzít:\n• %2\nFormulář v těchto místech zůstal, "
                                            "jak byl. Dokud je nezměníte, uloží se do souboru tak, jak v něm byly.")
                                 .arg(path, refusal));
    if (rotaLines) {
        QCOMPARE(rota->currentIndex(), 2);
        QCOMPARE(pattern->text(), formPattern);
    } else {
        QCOMPARE(note->text(), QStringLiteral("stará poznámka"));
    }

    // Saved over the file, the lines stay as the file had them, beside the
    // eleven keys of every setup file.
    saveAs(m_dir.path(), QStringLiteral("refused.lns"), true);
    const QSettings original(copy, QSettings::IniFormat);
    QStringList expected = original.allKeys() << QStringLiteral("colorA") << QStringLiteral("colorB")
                                              << QStringLiteral("colorC") << QStringLiteral("font")
                                              << QStringLiteral("fontColor") << QStringLiteral("fontSize")
                                              << QStringLiteral("boxWidth") << QStringLiteral("boxHeight")
                                              << QStringLiteral("borderColor") << QStringLiteral("borderWidth")
                                              << QStringLiteral("textOnly");
    expected.sort();
    {
        const QSettings saved(path, QSettings::IniFormat);
        QStringList keys = saved.allKeys();
        keys.sort();
        QCOMPARE(keys, expected);
        for (const QString &key : original.allKeys())
            QCOMPARE(saved.value(key), original.value(key));
    }

    // Once the user changes what stands in their place, the form's values
    // are saved.
    if (rotaLines)
        rota->setCurrentIndex(1);
    else
        note->setText(QStringLiteral("nová"));
    saveAs(m_dir.path(), QStringLiteral("refused.lns"), true);
    const QSettings changed(path, QSettings::IniFormat);
    if (rotaLines)
        QCOMPARE(changed.value(QStringLiteral("rota")).toInt(), 1);
    else
        QCOMPARE(changed.value(QStringLiteral("cardNote")).toString(), QStringLiteral("nová"));
    QCOMPARE(changed.allKeys().size(), 12);

    // Closed by the user; and the next load that takes everything says
    // nothing.
    QTest::mouseClick(find<QToolButton>("loadNoticeClose"), Qt::LeftButton);
    QVERIFY(!notice->isVisible());
    load(copy);
    QVERIFY(notice->isVisible());
    writeFile(path, "[General]\nfontSize=20\n");
    load(path);
    QVERIFY(!notice->isVisible());
}

void TestSetupFile::fullDiskIsNamed()
{
    const SmallDisk disk(SmallDisk::Full);
    if (!disk.isMounted())
        QSKIP("no right to mount a file system of the test's own");
    const QString path = QDir(disk.path()).absoluteFilePath(QStringLiteral("look.lns"));
    std::shared_ptr<SeenMessage> seen;
    answerFileDialog([&](QFileDialog *dialog) {
        seen = answerMessageBox();
        typeAndAccept(dialog, path);
    });
    QTest::mouseClick(find<QPushButton>("save"), Qt::LeftButton);
    QVERIFY(seen && seen->shown);
    QCOMPARE(seen->title, QStringLiteral("Chyba"));
    QCOMPARE(seen->text, QStringLiteral("Nepodařilo se uložit konfiguraci do souboru '%1': na disku není místo").arg(path));
    QVERIFY(!QFileInfo::exists(path));
}

QTEST_MAIN(TestSetupFile)
#include "tst_setupfile.moc"
