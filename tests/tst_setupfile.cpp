#include "app/mainwindow.h"
#include "setup/setupfile.h"
#include "support/modal.h"
#include "support/pdfreader.h"
#include "widgets/colorpicker.h"

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
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

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

Q_DECLARE_METATYPE(Setup::Look)

class TestSetupFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void roundTripThroughTheWindow();
    void fileIsTheToolkitsIniFormat();
    void handWrittenFileLoads();
    void missingKeysLeaveInputsAlone();
    void saveOverKeepsForeignKeys();
    void cancelChangesNothing();
    void loadingTextOnlySetsTheInputs();
    void notASetupFile_data();
    void notASetupFile();
    void goodValuesBesideBadOnes();
    void saveFailureIsReported();
    void hostileFiles_data();
    void hostileFiles();
    void reloadReadsTheDisk();
    void optionsOnlyWhenOn_data();
    void optionsOnlyWhenOn();

private:
    template<typename T>
    T *find(const char *name) const { return m_window->findChild<T *>(QLatin1String(name)); }
    void saveAs(const QString &folder, const QString &typed, bool confirmOverwrite = false);
    void load(const QString &path);
    void makeCalendars(const QString &folder, int year, int firstShift);
    void setDistinctLook();
    Setup::Look lookOfWindow() const;

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

Setup::Look TestSetupFile::lookOfWindow() const
{
    Setup::Look look;
    look.colorA = find<ColorPicker>("shiftAColor")->toByteArray();
    look.colorB = find<ColorPicker>("shiftBColor")->toByteArray();
    look.colorC = find<ColorPicker>("shiftCColor")->toByteArray();
    look.font = find<QFontComboBox>("font")->currentText();
    look.fontColor = find<ColorPicker>("fontColor")->toByteArray();
    look.fontSize = find<QDoubleSpinBox>("fontSize")->value();
    look.boxWidth = find<QDoubleSpinBox>("boxWidth")->value();
    look.boxHeight = find<QDoubleSpinBox>("boxHeight")->value();
    look.borderColor = find<ColorPicker>("borderColor")->toByteArray();
    look.borderWidth = find<QDoubleSpinBox>("borderWidth")->value();
    look.textOnly = find<QCheckBox>("textOnly")->isChecked();
    return look;
}

static void compareLooks(const Setup::Look &actual, const Setup::Look &expected)
{
    QCOMPARE(actual.colorA, expected.colorA);
    QCOMPARE(actual.colorB, expected.colorB);
    QCOMPARE(actual.colorC, expected.colorC);
    QCOMPARE(actual.font, expected.font);
    QCOMPARE(actual.fontColor, expected.fontColor);
    QCOMPARE(actual.fontSize, expected.fontSize);
    QCOMPARE(actual.boxWidth, expected.boxWidth);
    QCOMPARE(actual.boxHeight, expected.boxHeight);
    QCOMPARE(actual.borderColor, expected.borderColor);
    QCOMPARE(actual.borderWidth, expected.borderWidth);
    QCOMPARE(actual.textOnly, expected.textOnly);
}

void TestSetupFile::roundTripThroughTheWindow()
{
    setDistinctLook();
    find<QSpinBox>("year")->setValue(2030);
    find<QComboBox>("fisrtShift")->setCurrentIndex(1);
    find<QPushButton>("targetDirectory")->setText(m_dir.path());
    const Setup::Look saved = lookOfWindow();

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
    Setup::Look look;
    look.colorA = Red;
    look.colorB = Cyan;
    look.colorC = Yellow;
    look.font = QStringLiteral("Arial");
    look.fontColor = Black;
    look.fontSize = 10;
    look.boxWidth = 12.5;
    look.boxHeight = 10;
    look.borderColor = Black;
    look.borderWidth = 1;
    look.textOnly = false;
    const QString path = m_dir.filePath(QStringLiteral("format.lns"));
    QVERIFY(Setup::save(path, look));

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
    Setup::Look expected = lookOfWindow();
    const QString path = m_dir.filePath(QStringLiteral("partial.lns"));
    writeFile(path, "[General]\nfontSize=20\ncolorB=@ByteArray(\\0\\0\\0\\x64\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0)\n");
    load(path);
    expected.fontSize = 20;
    expected.colorB = Cyan;
    compareLooks(lookOfWindow(), expected);
}

void TestSetupFile::saveOverKeepsForeignKeys()
{
    const QString path = m_dir.filePath(QStringLiteral("shared.lns"));
    writeFile(path, "[General]\nowner=Jana\nfontSize=33\n\n[printer]\nmargin=5\n");
    find<QDoubleSpinBox>("fontSize")->setValue(14);
    saveAs(m_dir.path(), QStringLiteral("shared.lns"), true);

    const QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("owner")).toString(), QStringLiteral("Jana"));
    QCOMPARE(settings.value(QStringLiteral("printer/margin")).toInt(), 5);
    QCOMPARE(settings.value(QStringLiteral("fontSize")).toDouble(), 14.0);
    QCOMPARE(settings.value(QStringLiteral("textOnly")).toString(), QStringLiteral("false"));
}

void TestSetupFile::cancelChangesNothing()
{
    QTemporaryDir empty;
    setDistinctLook();
    const Setup::Look before = lookOfWindow();
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
    const Setup::Look before = lookOfWindow();
    const QString path = m_dir.filePath(QStringLiteral("bad.lns"));
    writeFile(path, content);
    load(path);
    compareLooks(lookOfWindow(), before);
    QCOMPARE(find<QCheckBox>("textOnly")->isChecked(), true);
    QCOMPARE(readFile(path), content);
}

void TestSetupFile::goodValuesBesideBadOnes()
{
    Setup::Look current;
    current.colorA = Red;
    current.font = QStringLiteral("Serif");
    const QString path = m_dir.filePath(QStringLiteral("mixed.lns"));
    writeFile(path, "[General]\ncolorA=@ByteArray(\\0\\0\\0\\x64)\nfontSize=12.34\nboxWidth=250\n"
                    "boxHeight=100\nborderWidth=0\ntextOnly=1\nfont=Liberation Mono\n");
    const Setup::Look look = Setup::load(path, current);
    QCOMPARE(look.colorA, Red);
    QCOMPARE(look.fontSize, 12.34);
    QCOMPARE(look.boxWidth, 10.0);
    QCOMPARE(look.boxHeight, 100.0);
    QCOMPARE(look.borderWidth, 0.0);
    QCOMPARE(look.textOnly, true);
    QCOMPARE(look.font, QStringLiteral("Liberation Mono"));

    // Gone between the dialog and the read: nothing changes.
    const Setup::Look same = Setup::load(m_dir.filePath(QStringLiteral("gone.lns")), current);
    QCOMPARE(same.colorA, Red);
    QCOMPARE(same.font, QStringLiteral("Serif"));
}

void TestSetupFile::saveFailureIsReported()
{
    // As root every file is writable: a parent that is a regular file is not.
    const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
    writeFile(blocker, "a file, not a folder");
    const QString path = blocker + QStringLiteral("/look.lns");
    QVERIFY(!Setup::save(path, Setup::Look()));

    std::shared_ptr<SeenMessage> seen;
    answerFileDialog([&](QFileDialog *dialog) {
        seen = answerMessageBox();
        typeAndAccept(dialog, path);
    });
    QTest::mouseClick(find<QPushButton>("save"), Qt::LeftButton);
    QVERIFY(seen && seen->shown);
    QCOMPARE(seen->icon, QMessageBox::Critical);
    QCOMPARE(seen->title, QStringLiteral("Chyba"));
    QCOMPARE(seen->text, QStringLiteral("Nepodařilo se uložit konfiguraci do souboru '%1'").arg(path));
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
    const auto ini = [](const QByteArray &line) { return "[General]\n" + line + "\n"; };
    QTest::newRow("variant, foreign key") << ini("x=@Variant" + huge) << "file" << false << true;
    QTest::newRow("variant, our key") << ini("fontSize=@Variant(\\0\\0\\0\\xb\\x7f\\xff\\xff\\xff)") << "file" << false << true;
    QTest::newRow("variant, escaped letter") << ini("x=@Vari\\x61nt" + huge) << "file" << false << true;
    QTest::newRow("variant, escaped at sign") << ini("x=\\x40Vari\\x61nt" + huge) << "file" << false << true;
    QTest::newRow("variant, 17-bit escape") << ini("x=\\x10040Vari\\x61nt" + huge) << "file" << false << true;
    QTest::newRow("variant, octal at sign") << ini("x=\\100Vari\\x61nt" + huge) << "file" << false << true;
    QTest::newRow("variant, split by quotes") << ini("x=\"\"@\"Var\"iant" + huge) << "file" << false << true;
    QTest::newRow("variant, list element") << ini("x=1, 2,  @Vari\\x61nt" + huge) << "file" << false << true;
    QTest::newRow("variant, continued line") << ini("x=@Var\\\niant" + huge) << "file" << false << true;
    QTest::newRow("variant, other section") << QByteArray("[General]\nfontSize=20\n[x]\ny=@Vari\\x61nt" + huge + "\n")
                                            << "file" << false << true;
    QTest::newRow("text note") << QByteArray("a note, not a setup\nfontSize=20\n") << "file" << true << true;
    QTest::newRow("named pipe") << QByteArray() << "fifo" << false << false;
    QTest::newRow("lock is a folder") << ini("fontSize=20") << "lock folder" << true << false;
    QTest::newRow("fresh lock of another host") << ini("fontSize=20") << "foreign lock" << true << false;
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
    const Setup::Look before = lookOfWindow();
    QCOMPARE(Setup::load(path, before).fontSize, loads ? 20.0 : before.fontSize);

    QElapsedTimer clock;
    clock.start();
    Setup::Look look;
    look.fontSize = 33;
    QCOMPARE(Setup::save(path, look), saves);
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    if (!saves) {
        if (place != QLatin1String("fifo"))
            QCOMPARE(readFile(path), content);
        return;
    }
    // The eleven keys of a setup file, nothing of what made it hostile, and
    // no lock left behind.
    QVERIFY(!QFileInfo::exists(lockPath));
    const QByteArray written = readFile(path);
    QVERIFY(!written.contains("Variant") && !written.contains("ant("));
    const QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("fontSize")).toDouble(), 33.0);
    QCOMPARE(settings.value(QStringLiteral("textOnly")).toString(), QStringLiteral("false"));
    QCOMPARE(Setup::load(path, before).fontSize, 33.0);
}

void TestSetupFile::reloadReadsTheDisk()
{
    // Same size and modification time: only the contents tell them apart.
    const QString path = m_dir.filePath(QStringLiteral("twice.lns"));
    writeFile(path, "[General]\nfontSize=20\n");
    const QDateTime stamp = QFileInfo(path).lastModified();
    QCOMPARE(Setup::load(path, Setup::Look()).fontSize, 20.0);
    writeFile(path, "[General]\nfontSize=30\n");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(Setup::load(path, Setup::Look()).fontSize, 30.0);
}

void TestSetupFile::optionsOnlyWhenOn_data()
{
    QTest::addColumn<bool>("labels");
    QTest::addColumn<bool>("holidays");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("keys");
    QTest::newRow("both off: the eleven keys") << false << false << QByteArray() << 11;
    QTest::newRow("labels") << true << false << QByteArray() << 12;
    QTest::newRow("holidays") << false << true << QByteArray() << 12;
    QTest::newRow("both") << true << true << QByteArray() << 13;
    QTest::newRow("off over a file with them on") << false << false
                                                  << QByteArray("[General]\nlabels=true\nholidays=true\n") << 11;
}

void TestSetupFile::optionsOnlyWhenOn()
{
    QFETCH(bool, labels);
    QFETCH(bool, holidays);
    QFETCH(QByteArray, before);
    QFETCH(int, keys);
    const QString path = m_dir.filePath(QStringLiteral("options.lns"));
    QFile::remove(path);
    if (!before.isEmpty())
        writeFile(path, before);
    Setup::Look look;
    look.labels = labels;
    look.holidays = holidays;
    QVERIFY(Setup::save(path, look));
    const QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(settings.allKeys().size(), keys);
    QCOMPARE(settings.contains(QStringLiteral("labels")), labels);
    QCOMPARE(settings.contains(QStringLiteral("holidays")), holidays);

    // Read back; and a file without them, as every earlier one, means off.
    Setup::Look current;
    current.labels = current.holidays = true;
    const Setup::Look loaded = Setup::load(path, current);
    QCOMPARE(loaded.labels, labels);
    QCOMPARE(loaded.holidays, holidays);
}

QTEST_MAIN(TestSetupFile)
#include "tst_setupfile.moc"
