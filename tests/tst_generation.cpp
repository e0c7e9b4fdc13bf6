#include "app/mainwindow.h"
#include "app/yearmessage.h"
#include "support/modal.h"
#include "support/pdfreader.h"
#include "widgets/colorpicker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFontComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

// "Dokončit" as a user meets it: the form's values in, the files on disk and
// the message box out.
class TestGeneration : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void refusesAMissingFolder_data();
    void refusesAMissingFolder();
    void writesTheYear();
    void stopsAtAnUnwritableMonth();
    void twoRunsStartAlike();
    void textOnlyUsesTheCheckState();
    void extraFilesOfTheRun_data();
    void extraFilesOfTheRun();
    void messages_data();
    void messages();

private:
    template<typename T>
    T *find(const char *name) const { return m_window->findChild<T *>(QLatin1String(name)); }
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

void TestGeneration::refusesAMissingFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("nothing chosen") << QString();
    QTest::newRow("deleted meanwhile") << QStringLiteral("/gone");
}

void TestGeneration::refusesAMissingFolder()
{
    QFETCH(QString, folder);
    QTemporaryDir work;
    const QString before = QDir::currentPath();
    // The empty path names the current directory, which exists: run there.
    QVERIFY(QDir::setCurrent(work.path()));
    QString target = folder;
    if (!folder.isEmpty())
        target = work.path() + folder;
    find<QPushButton>("targetDirectory")->setText(target);

    const auto seen = clickFinish();
    QDir::setCurrent(before);
    QVERIFY(seen->shown);
    QCOMPARE(seen->icon, QMessageBox::Critical);
    QCOMPARE(seen->title, QStringLiteral("Chyba"));
    QCOMPARE(seen->text, QStringLiteral("Cílová složka neexistuje"));
    QCOMPARE(seen->buttonCount, 1);
    QVERIFY(filesIn(work.path()).isEmpty());
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
    QCOMPARE(seen->text, QStringLiteral("Nepodařilo se zapsat do souboru '%1'")
                             .arg(QDir(dir.path()).absoluteFilePath(QStringLiteral("2017_03.pdf"))));
    QCOMPARE(filesIn(dir.path()), (QStringList{QStringLiteral("2017_01.pdf"), QStringLiteral("2017_02.pdf"),
                                               QStringLiteral("2017_03.pdf")}));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("2017_03.pdf"))).isDir());
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

    QTest::newRow("written") << int(Status::Written) << true << "Hotovo"
                             << "Kalendáříky byly uloženy do složky '/data/%2 kalendáře/'" << QString();
    QTest::newRow("folder missing") << int(Status::FolderMissing) << false << "Chyba"
                                    << "Cílová složka neexistuje" << QString();
    QTest::newRow("cannot write") << int(Status::CannotWrite) << false << "Chyba"
                                  << "Nepodařilo se zapsat do souboru '/data/2017_03.pdf'" << QString();
    // Names the font and the file; a "%1" in the font's name is not filled in again.
    QTest::newRow("font unavailable") << int(Status::FontUnavailable) << false << "Chyba"
                                      << "Písmo 'Odd %1 Sans' nelze použít, soubor '/data/2017_03.pdf' nebyl vytvořen" << QString();
    QTest::newRow("pdf library") << int(Status::PdfFailure) << false << "Chyba"
                                 << "Soubor '/data/2017_03.pdf' se nepodařilo vytvořit: Out of memory" << QString();
    // Never a message that ends in ": " with nothing after it.
    QTest::newRow("pdf library, no words") << int(Status::PdfFailure) << false << "Chyba"
                                           << "Nepodařilo se zapsat do souboru '/data/2017_03.pdf'" << " ";
    QTest::newRow("invalid request") << int(Status::InvalidRequest) << false << "Chyba"
                                     << "Zadání kalendáře je neplatné" << QString();
}

void TestGeneration::messages()
{
    QFETCH(int, status);
    QFETCH(bool, success);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, detail);

    Calendar::YearResult result;
    result.status = Calendar::YearResult::Status(status);
    result.file = QStringLiteral("/data/2017_03.pdf");
    result.detail = detail.isNull() ? QStringLiteral("Out of memory") : detail;
    const YearMessage message =
        yearMessage(result, QStringLiteral("/data/%2 kalendáře/"), QStringLiteral("Odd %1 Sans"));
    QCOMPARE(message.success, success);
    QCOMPARE(message.title, title);
    QCOMPARE(message.text, text);
}

QTEST_MAIN(TestGeneration)
#include "tst_generation.moc"
