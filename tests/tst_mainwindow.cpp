#include "app/mainwindow.h"
#include "support/findwidget.h"
#include "support/infolder.h"
#include "support/modal.h"
#include "widgets/colorpicker.h"
#include "widgets/previewpanel.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDockWidget>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

using namespace TestSupport;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowFrame();
    void gridPlacement_data();
    void gridPlacement();
    void rowLayouts();
    void creationAndFocusOrder();
    void startingValuesAndRanges();
    void doubleSpinBoxLimits_data();
    void doubleSpinBoxLimits();
    void texts();
    void fontBox();
    void slotsBoundByName();
    void textOnlySwitch();
    void chooseFolderByTyping();
    void chooseFolderByClicking();
    void cancelFolderDialog();
    void languageChange();
    void closingExitsWithZero();
    void previewFollowsInputs_data();
    void previewFollowsInputs();
    void crewListsFollowTheRota_data();
    void crewListsFollowTheRota();
    void fitsSmallScreens_data();
    void fitsSmallScreens();
    void anchoredRota_data();
    void anchoredRota();
    void everyInputHasAName();
    void keys_data();
    void keys();
    void wheelOverThePanel_data();
    void wheelOverThePanel();
    void readyLooksOffered();
    void previewPage_data();
    void previewPage();

private:
    template<typename T>
    T *find(const char *name) const { return TestSupport::findNamed<T>(m_window, name); }
    QGridLayout *grid() const { return find<QGridLayout>("gridLayout"); }

    MainWindow *m_window = nullptr;
    QTemporaryDir m_dir;
};

void TestMainWindow::init()
{
    m_window = new MainWindow;
}

void TestMainWindow::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void TestMainWindow::windowFrame()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(m_window->metaObject()->className(), "MainWindow");
    QCOMPARE(m_window->metaObject()->superClass(), &QMainWindow::staticMetaObject);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Lunoris"));
    // The size the form asks for; on show the layout may grow it to fit the
    // platform's fonts.
    QCOMPARE(m_window->size(), QSize(534, 582));
    QCOMPARE(m_window->minimumSize(), QSize(0, 0));
    QVERIFY(!m_window->windowIcon().isNull());
    QVERIFY(!m_window->findChild<QMenuBar *>());
    QVERIFY(!m_window->findChild<QStatusBar *>());
    QCOMPARE(m_window->centralWidget()->objectName(), QStringLiteral("centralWidget"));
    QCOMPARE(grid()->spacing(), 6);
    QCOMPARE(grid()->contentsMargins(), QMargins(11, 11, 11, 11));

    // Shown, every CMYK value from "0 %" to "100 %" fits its spin box.
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    for (ColorPicker *picker : m_window->findChildren<ColorPicker *>()) {
        for (QSpinBox *box : picker->findChildren<QSpinBox *>())
            QVERIFY2(box->width() >= box->sizeHint().width(), qPrintable(picker->objectName()));
    }
}

void TestMainWindow::gridPlacement_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QList<int>>("cell"); // row, column, row span, column span

    const auto row = [](const char *name, const char *cls, int r, int c, int rs = 1, int cs = 1) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(cls) << QList<int>{r, c, rs, cs};
    };
    row("fontColor", "ColorPicker", 8, 3);
    row("shiftCColor", "ColorPicker", 12, 3);
    row("shiftAColor", "ColorPicker", 10, 3);
    row("shiftBColor", "ColorPicker", 11, 3);
    row("label_3", "QLabel", 2, 2);
    row("horizontalLayout_2", "QHBoxLayout", 15, 3);
    row("label_5", "QLabel", 3, 2);
    row("label_13", "QLabel", 15, 2);
    row("label_14", "QLabel", 15, 1);
    row("label_8", "QLabel", 11, 2);
    row("label_12", "QLabel", 2, 5);
    row("label_9", "QLabel", 12, 2);
    row("label_7", "QLabel", 10, 2);
    row("label_2", "QLabel", 2, 1);
    row("label_6", "QLabel", 10, 1);
    row("label", "QLabel", 0, 0, 1, 6);
    row("label_4", "QLabel", 3, 1);
    row("label_17", "QLabel", 21, 2);
    row("targetDirectory", "QPushButton", 21, 3);
    row("fisrtShift", "QComboBox", 3, 3);
    row("year", "QSpinBox", 2, 3);
    row("label_16", "QLabel", 21, 1);
    row("label_18", "QLabel", 16, 1);
    row("label_19", "QLabel", 16, 2);
    row("textOnly", "QCheckBox", 19, 3);
    row("finish", "QPushButton", 24, 1, 1, 5);
    row("horizontalLayout_3", "QHBoxLayout", 23, 1, 1, 5);
    row("line", "QFrame", 4, 1, 1, 5);
    row("line_3", "QFrame", 13, 1, 1, 5);
    row("line_2", "QFrame", 9, 1, 1, 5);
    row("line_4", "QFrame", 20, 1, 1, 5);
    row("line_5", "QFrame", 1, 1, 1, 5);
    row("horizontalLayout", "QHBoxLayout", 5, 3);
    row("label_11", "QLabel", 5, 2);
    row("label_10", "QLabel", 5, 1);
    row("borderColor", "ColorPicker", 18, 3);
    row("borderWidth", "QDoubleSpinBox", 16, 3);
}

void TestMainWindow::gridPlacement()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QList<int>, cell);

    QObject *object = m_window->findChild<QObject *>(name);
    QVERIFY2(object, qPrintable(name));
    QCOMPARE(QString::fromLatin1(object->metaObject()->className()), className);
    int index = -1;
    if (auto *widget = qobject_cast<QWidget *>(object))
        index = grid()->indexOf(widget);
    else
        index = grid()->indexOf(static_cast<QLayout *>(object));
    QVERIFY(index >= 0);
    int row, column, rowSpan, columnSpan;
    grid()->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    QCOMPARE((QList<int>{row, column, rowSpan, columnSpan}), cell);
}

void TestMainWindow::rowLayouts()
{
    const auto members = [](QLayout *layout) {
        QStringList names;
        for (int i = 0; i < layout->count(); ++i)
            names << layout->itemAt(i)->widget()->objectName();
        return names;
    };
    QCOMPARE(members(find<QHBoxLayout>("horizontalLayout_2")),
             (QStringList{QStringLiteral("boxWidth"), QStringLiteral("label_15"), QStringLiteral("boxHeight")}));
    QCOMPARE(members(find<QHBoxLayout>("horizontalLayout_3")),
             (QStringList{QStringLiteral("save"), QStringLiteral("save_2")}));
    QCOMPARE(members(find<QHBoxLayout>("horizontalLayout")),
             (QStringList{QStringLiteral("font"), QStringLiteral("fontSize")}));
    for (const char *name : {"horizontalLayout", "horizontalLayout_2", "horizontalLayout_3"})
        QCOMPARE(find<QHBoxLayout>(name)->spacing(), 6);

    // The spacer at (22, 2), and nothing in the empty rows.
    bool spacerFound = false;
    for (int i = 0; i < grid()->count(); ++i) {
        int row, column, rowSpan, columnSpan;
        grid()->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        QVERIFY2(row != 6 && row != 7 && row != 14 && row != 17, "rows 6, 7, 14 and 17 stay empty");
        if (QSpacerItem *spacer = grid()->itemAt(i)->spacerItem()) {
            spacerFound = true;
            QCOMPARE(row, 22);
            QCOMPARE(column, 2);
            QCOMPARE(spacer->sizeHint(), QSize(20, 40));
            QCOMPARE(spacer->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
        }
    }
    QVERIFY(spacerFound);
    QCOMPARE(grid()->count(), 38);
}

void TestMainWindow::creationAndFocusOrder()
{
    const QStringList created = {
        "fontColor", "shiftCColor", "shiftAColor", "shiftBColor", "label_3", "boxWidth", "label_15",
        "boxHeight", "label_5", "label_13", "label_14", "label_8", "label_12", "label_9", "label_7",
        "label_2", "label_6", "label", "label_4", "label_17", "targetDirectory", "fisrtShift", "year",
        "label_16", "label_18", "label_19", "textOnly", "finish", "save", "save_2", "line", "line_3",
        "line_2", "line_4", "line_5", "font", "fontSize", "label_11", "label_10", "borderColor",
        "borderWidth"};
    QStringList children;
    for (QObject *child : m_window->centralWidget()->children()) {
        if (child->isWidgetType())
            children << child->objectName();
    }
    QCOMPARE(children, created);

    // No tab order is set, so focus follows creation, not the grid rows.
    const QStringList inputs = {"fontColor", "shiftCColor", "shiftAColor", "shiftBColor", "boxWidth",
                                "boxHeight", "targetDirectory", "fisrtShift", "year", "textOnly",
                                "finish", "save", "save_2", "font", "fontSize", "borderColor",
                                "borderWidth"};
    QStringList chain;
    QWidget *widget = m_window->centralWidget()->nextInFocusChain();
    while (widget != m_window->centralWidget() && chain.size() < 200) {
        QWidget *input = widget;
        while (input && input->parentWidget() != m_window->centralWidget())
            input = input->parentWidget();
        if (input && widget->focusPolicy() & Qt::TabFocus && inputs.contains(input->objectName())
            && (chain.isEmpty() || chain.last() != input->objectName()))
            chain << input->objectName();
        widget = widget->nextInFocusChain();
    }
    QCOMPARE(chain, inputs);
}

void TestMainWindow::startingValuesAndRanges()
{
    auto *year = find<QSpinBox>("year");
    QCOMPARE(year->value(), 2000);
    QCOMPARE(year->minimum(), 2000);
    QCOMPARE(year->maximum(), 4000);
    QCOMPARE(year->singleStep(), 1);
    QVERIFY(year->suffix().isEmpty());

    auto *first = find<QComboBox>("fisrtShift");
    QCOMPARE(first->count(), 3);
    QCOMPARE(first->currentIndex(), 0);
    QCOMPARE(first->itemText(0), QStringLiteral("A"));
    QCOMPARE(first->itemText(1), QStringLiteral("B"));
    QCOMPARE(first->itemText(2), QStringLiteral("C"));

    QVERIFY(!find<QCheckBox>("textOnly")->isChecked());
    QVERIFY(find<QPushButton>("targetDirectory")->text().isEmpty());
    QVERIFY(find<QPushButton>("targetDirectory")->icon().isNull());
    for (const char *name : {"shiftAColor", "shiftBColor", "shiftCColor", "fontColor", "borderColor"}) {
        auto *picker = find<ColorPicker>(name);
        QCOMPARE(picker->toByteArray(), QByteArray(16, '\0'));
        QCOMPARE(picker->minimumSize(), QSize(0, 24));
        QVERIFY(picker->isEnabled());
    }
    QCOMPARE(find<QPushButton>("finish")->minimumSize(), QSize(0, 32));
}

void TestMainWindow::doubleSpinBoxLimits_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("suffix");

    QTest::newRow("fontSize") << "fontSize" << 1 << 1.0 << 100.0 << 10.0 << " pt";
    QTest::newRow("boxWidth") << "boxWidth" << 1 << 1.0 << 100.0 << 10.0 << " mm";
    QTest::newRow("boxHeight") << "boxHeight" << 1 << 1.0 << 100.0 << 10.0 << " mm";
    QTest::newRow("borderWidth") << "borderWidth" << 2 << 0.0 << 99.99 << 1.0 << " pt";
}

void TestMainWindow::doubleSpinBoxLimits()
{
    QFETCH(QString, name);
    QFETCH(int, decimals);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, value);
    QFETCH(QString, suffix);

    auto *box = m_window->findChild<QDoubleSpinBox *>(name);
    QVERIFY(box);
    QCOMPARE(box->decimals(), decimals);
    QCOMPARE(box->minimum(), minimum);
    QCOMPARE(box->maximum(), maximum);
    QCOMPARE(box->value(), value);
    QCOMPARE(box->singleStep(), 1.0);
    QCOMPARE(box->suffix(), suffix);
    box->setValue(minimum - 0.5);
    QCOMPARE(box->value(), minimum);
    box->setValue(1000);
    QCOMPARE(box->value(), maximum);
}

void TestMainWindow::texts()
{
    const QList<QPair<const char *, QString>> labels = {
        {"label_3", QStringLiteral("Rok:")},
        {"label_15", QStringLiteral("x")},
        {"label_5", QStringLiteral("První směna:")},
        {"label_13", QStringLiteral("Rozměr okének:")},
        {"label_8", QStringLiteral("Barva B:")},
        {"label_9", QStringLiteral("Barva C:")},
        {"label_7", QStringLiteral("Barva A:")},
        {"label_17", QStringLiteral("Cílová složka:")},
        {"label_19", QStringLiteral("Rámeček:")},
        {"label_11", QStringLiteral("Font:")},
    };
    for (const auto &label : labels) {
        auto *widget = find<QLabel>(label.first);
        QCOMPARE(widget->text(), label.second);
        if (qstrcmp(label.first, "label_15") != 0)
            QCOMPARE(widget->alignment(), Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);
    }
    QCOMPARE(find<QCheckBox>("textOnly")->text(), QStringLiteral("Žádná okénka, pouze text"));
    QCOMPARE(find<QPushButton>("finish")->text(), QStringLiteral("Dokončit"));
    QCOMPARE(find<QPushButton>("save")->text(), QStringLiteral("Uložit konfiguraci"));
    QCOMPARE(find<QPushButton>("save_2")->text(), QStringLiteral("Načíst konfiguraci"));

    auto *logo = find<QLabel>("label");
    QVERIFY(logo->text().contains(QStringLiteral("<a href=")));
    QVERIFY(logo->text().contains(QStringLiteral("<img src=\":/other/logo_velmo\"")));
    QVERIFY(logo->openExternalLinks());
    QCOMPARE(logo->alignment(), Qt::AlignCenter);
    QVERIFY(find<QLabel>("label_12")->text().isEmpty());
    QVERIFY(find<QLabel>("label_12")->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(find<QLabel>("label_3")->sizePolicy().horizontalStretch(), 3);
    QCOMPARE(find<QSpinBox>("year")->sizePolicy().horizontalStretch(), 12);
    QCOMPARE(find<QFrame>("line")->frameShape(), QFrame::HLine);
    QCOMPARE(find<QFrame>("line")->frameShadow(), QFrame::Plain);
    QCOMPARE(find<QFrame>("line_5")->styleSheet(), QStringLiteral("color: gray;"));
}

void TestMainWindow::fontBox()
{
    auto *font = find<QFontComboBox>("font");
    QCOMPARE(font->maxVisibleItems(), 20);
    QCOMPARE(int(font->fontFilters()), 13);
    QCOMPARE(font->sizePolicy().horizontalStretch(), 5);
    // "Arial", or what the platform shows in its place.
    QCOMPARE(font->currentFont().family(), QFontInfo(QFont(QStringLiteral("Arial"))).family());
    QCOMPARE(font->currentText(), font->currentFont().family());
}

void TestMainWindow::slotsBoundByName()
{
    const QMetaObject *meta = m_window->metaObject();
    const QList<QByteArray> expected = {"on_targetDirectory_clicked()", "on_finish_clicked()",
                                        "on_textOnly_clicked(bool)", "on_save_clicked()",
                                        "on_save_2_clicked()"};
    QCOMPARE(meta->methodCount() - meta->methodOffset(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const QMetaMethod method = meta->method(meta->methodOffset() + i);
        QCOMPARE(method.methodSignature(), expected.at(i));
        QCOMPARE(method.access(), QMetaMethod::Private);
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
    }

    // A click on "Dokončit" reaches its slot: without a folder it says so.
    auto seen = answerMessageBox();
    QTest::mouseClick(find<QPushButton>("finish"), Qt::LeftButton);
    QVERIFY(seen->shown);
    QCOMPARE(seen->text, QStringLiteral("Cílová složka neexistuje"));

    // The two setup buttons open their file dialogs.
    for (const char *button : {"save", "save_2"}) {
        QStringList filters;
        answerFileDialog([&filters](QFileDialog *dialog) {
            filters = dialog->nameFilters();
            dialog->reject();
        });
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
        QCOMPARE(filters, QStringList{QStringLiteral("Lunoris Setup (*.lns)")});
    }
}

void TestMainWindow::textOnlySwitch()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const QStringList switched = {"borderColor", "borderWidth", "shiftAColor", "shiftBColor", "shiftCColor"};
    const QStringList untouched = {"year", "fisrtShift", "font", "fontColor", "fontSize", "boxWidth",
                                   "boxHeight", "targetDirectory", "finish", "save", "save_2", "textOnly"};
    auto *textOnly = find<QCheckBox>("textOnly");

    QTest::mouseClick(textOnly, Qt::LeftButton);
    QVERIFY(textOnly->isChecked());
    for (const QString &name : switched)
        QVERIFY2(!m_window->findChild<QWidget *>(name)->isEnabled(), qPrintable(name));
    for (const QString &name : untouched)
        QVERIFY2(m_window->findChild<QWidget *>(name)->isEnabled(), qPrintable(name));

    QTest::mouseClick(textOnly, Qt::LeftButton);
    QVERIFY(!textOnly->isChecked());
    for (const QString &name : switched + untouched)
        QVERIFY2(m_window->findChild<QWidget *>(name)->isEnabled(), qPrintable(name));
}

void TestMainWindow::chooseFolderByTyping()
{
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("x/sub")));
    const QString parent = m_dir.path() + QStringLiteral("/x");
    auto *button = find<QPushButton>("targetDirectory");
    button->setText(parent);

    QString caption, startedIn;
    answerFileDialog([&](QFileDialog *dialog) {
        caption = dialog->windowTitle();
        startedIn = dialog->directory().absolutePath();
        typeAndAccept(dialog, QStringLiteral("sub"));
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(caption, QStringLiteral("Výběr složky"));
    QCOMPARE(startedIn, parent);
    QCOMPARE(button->text(), parent + QStringLiteral("/sub"));

    // The next dialog opens in the folder chosen last.
    answerFileDialog([&](QFileDialog *dialog) {
        startedIn = dialog->directory().absolutePath();
        dialog->reject();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(startedIn, parent + QStringLiteral("/sub"));
    QCOMPARE(button->text(), parent + QStringLiteral("/sub"));
}

void TestMainWindow::chooseFolderByClicking()
{
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("y/picked")));
    const QString parent = m_dir.path() + QStringLiteral("/y");
    auto *button = find<QPushButton>("targetDirectory");
    button->setText(parent);
    m_window->show();

    bool clicked = false;
    answerFileDialog([&](QFileDialog *dialog) {
        QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
        clicked = clickAndAccept(dialog, QStringLiteral("picked"));
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(clicked);
    QCOMPARE(button->text(), parent + QStringLiteral("/picked"));
    QVERIFY(!button->text().contains(QLatin1Char('\\')));
}

void TestMainWindow::cancelFolderDialog()
{
    auto *button = find<QPushButton>("targetDirectory");
    answerFileDialog([](QFileDialog *dialog) { dialog->reject(); });
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(button->text().isEmpty());

    button->setText(m_dir.path());
    answerFileDialog([](QFileDialog *dialog) { dialog->reject(); });
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), m_dir.path());
}

void TestMainWindow::languageChange()
{
    find<QLabel>("label_3")->setText(QStringLiteral("?"));
    find<QPushButton>("finish")->setText(QStringLiteral("?"));
    find<QDoubleSpinBox>("boxWidth")->setSuffix(QStringLiteral("?"));
    m_window->setWindowTitle(QStringLiteral("?"));
    find<QPushButton>("targetDirectory")->setText(m_dir.path());
    find<QComboBox>("fisrtShift")->setCurrentIndex(2);
    find<QSpinBox>("year")->setValue(2031);

    QEvent other(QEvent::FontChange);
    QApplication::sendEvent(m_window, &other);
    QCOMPARE(find<QLabel>("label_3")->text(), QStringLiteral("?"));

    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(m_window, &change);
    QCOMPARE(find<QLabel>("label_3")->text(), QStringLiteral("Rok:"));
    QCOMPARE(find<QPushButton>("finish")->text(), QStringLiteral("Dokončit"));
    QCOMPARE(find<QDoubleSpinBox>("boxWidth")->suffix(), QStringLiteral(" mm"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Lunoris"));
    QCOMPARE(find<QPushButton>("targetDirectory")->text(), m_dir.path());
    QCOMPARE(find<QSpinBox>("year")->value(), 2031);
    // The first shift the user chose survives: calendars must not silently
    // start from another shift.
    QCOMPARE(find<QComboBox>("fisrtShift")->currentIndex(), 2);
    QCOMPARE(find<QComboBox>("fisrtShift")->count(), 3);
}

void TestMainWindow::closingExitsWithZero()
{
    QTemporaryDir empty;
    TestSupport::InFolder inEmpty(empty.path());
    QVERIFY(inEmpty.entered());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTimer::singleShot(0, m_window, &QWidget::close);
    const int status = QApplication::exec();
    inEmpty.leave();
    QCOMPARE(status, 0);
    QVERIFY(QDir(empty.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

void TestMainWindow::previewFollowsInputs_data()
{
    QTest::addColumn<QString>("input");
    for (const char *input : {"year", "fisrtShift", "shiftAColor", "shiftBColor", "shiftCColor", "font", "fontColor",
                              "fontSize", "boxWidth", "boxHeight", "borderColor", "borderWidth", "textOnly",
                              "previewMonth", "labels", "holidays", "crewLetters", "a whole look at once"})
        QTest::newRow(input) << QString::fromLatin1(input);
}

void TestMainWindow::previewFollowsInputs()
{
    QFETCH(QString, input);
    // Colours a user can tell apart, and May, whose first day is a holiday.
    find<ColorPicker>("shiftAColor")->setFromByteArray(QByteArray::fromHex("00000000000000640000006400000000"));
    find<ColorPicker>("shiftBColor")->setFromByteArray(QByteArray::fromHex("00000064000000000000000000000000"));
    find<ColorPicker>("shiftCColor")->setFromByteArray(QByteArray::fromHex("00000000000000000000006400000000"));
    find<ColorPicker>("fontColor")->setFromByteArray(QByteArray::fromHex("00000000000000000000000000000064"));
    find<ColorPicker>("borderColor")->setFromByteArray(QByteArray::fromHex("00000000000000000000000000000032"));
    find<QComboBox>("previewMonth")->setCurrentIndex(4);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    auto *dock = find<QDockWidget>("previewDock");
    QCOMPARE(dock->features(), QDockWidget::NoDockWidgetFeatures);
    QCOMPARE(m_window->dockWidgetArea(dock), Qt::RightDockWidgetArea);
    QWidget *preview = find<QWidget>("monthPreview");
    // The page laid out at start, whenever the event loop got to it.
    QCoreApplication::processEvents();
    const QImage before = preview->grab().toImage();
    QSignalSpy layouts(m_window->findChild<PreviewPanel *>(), &PreviewPanel::previewShown);
    const auto pick = [this](const char *picker, const char *hex) {
        find<ColorPicker>(picker)->setFromByteArray(QByteArray::fromHex(hex));
    };
    if (input == QLatin1String("year"))
        find<QSpinBox>("year")->setValue(2001);
    else if (input == QLatin1String("fisrtShift"))
        find<QComboBox>("fisrtShift")->setCurrentIndex(1);
    else if (input == QLatin1String("shiftAColor") || input == QLatin1String("shiftBColor")
             || input == QLatin1String("shiftCColor"))
        pick(qPrintable(input), "00000000000000320000000000000000");
    else if (input == QLatin1String("font"))
        find<QFontComboBox>("font")->setCurrentFont(QFont(QStringLiteral("DejaVu Serif")));
    else if (input == QLatin1String("fontColor"))
        pick("fontColor", "00000064000000640000000000000000");
    else if (input == QLatin1String("fontSize"))
        find<QDoubleSpinBox>("fontSize")->setValue(20);
    else if (input == QLatin1String("boxWidth"))
        find<QDoubleSpinBox>("boxWidth")->setValue(14);
    else if (input == QLatin1String("boxHeight"))
        find<QDoubleSpinBox>("boxHeight")->setValue(7);
    else if (input == QLatin1String("borderColor"))
        pick("borderColor", "00000000000000640000000000000000");
    else if (input == QLatin1String("borderWidth"))
        find<QDoubleSpinBox>("borderWidth")->setValue(6);
    else if (input == QLatin1String("textOnly") || input == QLatin1String("labels")
             || input == QLatin1String("holidays") || input == QLatin1String("crewLetters"))
        m_window->findChild<QCheckBox *>(input)->click();
    else if (input == QLatin1String("previewMonth"))
        find<QComboBox>("previewMonth")->setCurrentIndex(3);
    else {
        // As a loaded setup file does it: many inputs, one drawing.
        find<QDoubleSpinBox>("fontSize")->setValue(14);
        find<QDoubleSpinBox>("boxWidth")->setValue(12);
        find<QDoubleSpinBox>("boxHeight")->setValue(12);
        pick("shiftAColor", "00000032000000000000000000000000");
        pick("fontColor", "00000000000000640000000000000000");
    }
    // Laid out once however many inputs changed, once the event loop runs:
    // nothing more is pending after that.
    QTRY_COMPARE(layouts.count(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(layouts.count(), 1);
    QVERIFY(preview->grab().toImage() != before);
}

void TestMainWindow::crewListsFollowTheRota_data()
{
    QTest::addColumn<int>("fromPreset");
    QTest::addColumn<int>("view");        // 0 the team, 1 crew A, ...
    QTest::addColumn<int>("toPreset");
    QTest::addColumn<int>("crews");       // items of "První směna" afterwards
    QTest::addColumn<QString>("viewAfter");
    // A worker of crew D keeps his own view between the four-crew rotas.
    QTest::newRow("24 h of four, D, to 12 h") << 1 << 4 << 2 << 4 << "Směna D";
    QTest::newRow("12 h, D, to 8 h of four") << 2 << 4 << 3 << 4 << "Směna D";
    QTest::newRow("8 h of five, D, to 8 h of four") << 4 << 4 << 3 << 4 << "Směna D";
    QTest::newRow("8 h of five, B, to three") << 4 << 2 << 0 << 3 << "Směna B";
    // A crew the new rota does not have: the whole team, never another crew.
    QTest::newRow("8 h of five, E, to four") << 4 << 5 << 1 << 4 << "Všechny směny";
    QTest::newRow("four, D, to three") << 1 << 4 << 0 << 3 << "Všechny směny";
}

void TestMainWindow::crewListsFollowTheRota()
{
    QFETCH(int, fromPreset);
    QFETCH(int, view);
    QFETCH(int, toPreset);
    QFETCH(int, crews);
    QFETCH(QString, viewAfter);
    auto *rota = find<QComboBox>("rota");
    auto *myCrew = find<QComboBox>("myCrew");
    rota->setCurrentIndex(fromPreset);
    myCrew->setCurrentIndex(view);
    rota->setCurrentIndex(toPreset);
    QCOMPARE(myCrew->currentText(), viewAfter);
    QCOMPARE(myCrew->count(), crews + 1);
    auto *first = find<QComboBox>("fisrtShift");
    QCOMPARE(first->count(), crews);
    QCOMPARE(first->itemText(crews - 1), QString(QChar(u'A' + crews - 1)));
}

void TestMainWindow::fitsSmallScreens_data()
{
    QTest::addColumn<double>("textScale");
    QTest::addColumn<QSize>("available"); // the toolkit's pixels
    QTest::addColumn<int>("formScrolls"); // 1 it must, 0 it must not, -1 as the platform's fonts have it
    // "Můj rok" opened: 1 its table of hours whole, 0 as the screen allows.
    QTest::addColumn<int>("myYear");
    // A 1366 x 768 laptop with its panel: 1366 x 728 left for the window.
    QTest::newRow("1366 x 728, as it comes") << 1.0 << QSize(1366, 728) << 0 << -1;
    QTest::newRow("1366 x 728, text at 150 %") << 1.5 << QSize(1366, 728) << -1 << -1;
    // Scaled by 1.5, the same screen is 910 x 485 of the toolkit's pixels.
    QTest::newRow("1366 x 728 at scale 1.5") << 1.0 << QSize(910, 485) << 1 << -1;
    // The table of hours widens the window as far as the screen lets it.
    QTest::newRow("1366 x 728, my year open") << 1.0 << QSize(1366, 728) << 0 << 1;
    QTest::newRow("1366 x 728, text at 150 %, my year open") << 1.5 << QSize(1366, 728) << -1 << 0;
    // Room for the window as it opens, not for the whole table.
    QTest::newRow("1200 x 728, my year open") << 1.0 << QSize(1200, 728) << -1 << 0;
    QTest::newRow("1366 x 728 at scale 1.5, my year open") << 1.0 << QSize(910, 485) << 1 << 0;
}

void TestMainWindow::fitsSmallScreens()
{
    QFETCH(double, textScale);
    QFETCH(QSize, available);
    QFETCH(int, formScrolls);
    QFETCH(int, myYear);
    const QFont before = QApplication::font();
    // Put back however the row ends, or the next rows start with its text.
    const auto restore = qScopeGuard([before] { QApplication::setFont(before); });
    QFont larger = before;
    larger.setPointSizeF(before.pointSizeF() * textScale);
    QApplication::setFont(larger);
    MainWindow window;
    window.fitInto(available);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (myYear >= 0) {
        window.findChild<QAbstractButton *>(QStringLiteral("planHeading"))->click();
        auto *table = window.findChild<QTableWidget *>(QStringLiteral("hoursTable"));
        QTRY_VERIFY(table->isVisible() && table->item(12, 6));
        // The window takes the panel's new width once its layout runs.
        QTRY_COMPARE(window.minimumSize(), window.minimumSizeHint());
        QTRY_COMPARE(window.size(), window.size().expandedTo(window.minimumSize()));
        if (myYear == 1)
            QTRY_COMPARE(table->horizontalScrollBar()->maximum(), 0);
        // Where the table has less room, it scrolls across, not the
        // settings around it, unless they are as narrow as they go.
        const QScrollArea *settings = window.findChild<QScrollArea *>(QStringLiteral("settingsScroll"));
        if (settings->minimumWidth() >= window.findChild<ColorPicker *>()->minimumSizeHint().width())
            QTRY_COMPARE(settings->horizontalScrollBar()->maximum(), 0);
    }
    QApplication::setFont(before);
    // The window can be as small as the screen.
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
    QVERIFY2(least.width() <= available.width() && least.height() <= available.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(least.width()).arg(least.height())));
    QVERIFY(window.width() <= available.width() && window.height() <= available.height());
    if (formScrolls >= 0)
        QCOMPARE(qobject_cast<QScrollArea *>(window.centralWidget()) != nullptr, formScrolls == 1);
    // A form that scrolls does so up and down only: each of its rows whole.
    if (auto *form = qobject_cast<QScrollArea *>(window.centralWidget()))
        QVERIFY(form->widget()->width() <= form->viewport()->width());
    // Every input and button on the screen, or in an area that scrolls to it.
    const QRect shown = window.rect();
    for (QWidget *input : window.findChildren<QWidget *>()) {
        if (!input->isVisibleTo(&window) || input->focusPolicy() == Qt::NoFocus
            || qobject_cast<QScrollArea *>(input) || !input->parentWidget())
            continue;
        QWidget *within = input;
        for (QWidget *up = input->parentWidget(); up && up != &window; up = up->parentWidget()) {
            if (auto *area = qobject_cast<QScrollArea *>(up)) {
                within = area;
                break;
            }
        }
        const QRect at(within->mapTo(&window, QPoint(0, 0)), within->size());
        QVERIFY2(shown.contains(at), qPrintable(input->objectName() + QLatin1Char(' ') + input->metaObject()->className()));
    }
}

void TestMainWindow::anchoredRota_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("firstCrew");
    QTest::addColumn<QDate>("anchorDate");  // invalid: the anchor as ticking sets it
    QTest::addColumn<int>("anchorCrew");
    QTest::addColumn<int>("anchorDay");
    QTest::addColumn<int>("laterYear");
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("firstShown"); // empty where the first crew cannot say it
    // Worked out by hand from RROONN----: 5 January 2026, A on day 1; on
    // 1 January 2027 (361 days on) A is on day 2, on 1 January 2028 D on
    // day 1.
    QTest::newRow("8 h of five into 2027") << 4 << 2026 << 0 << QDate(2026, 1, 5) << 0 << 1 << 2027
                                           << "1. 1. 2027: směna A, 2. den cyklu" << "";
    QTest::newRow("8 h of five into 2028") << 4 << 2026 << 0 << QDate(2026, 1, 5) << 0 << 1 << 2028
                                           << "1. 1. 2028: směna D, 1. den cyklu" << "D";
    // Ticking keeps the rota where it stood: 12 h with C first in 2027 is
    // D first in 2028 (365 = 91 x 4 + 1 days on).
    QTest::newRow("12 h, C first, ticked, 2028") << 2 << 2027 << 2 << QDate() << 0 << 0 << 2028
                                                 << "1. 1. 2028: směna D, 1. den cyklu" << "D";
    QTest::newRow("12 h, C first, ticked, same year") << 2 << 2027 << 2 << QDate() << 0 << 0 << 2027
                                                      << "1. 1. 2027: směna C, 1. den cyklu" << "C";
}

void TestMainWindow::anchoredRota()
{
    QFETCH(int, preset);
    QFETCH(int, year);
    QFETCH(int, firstCrew);
    QFETCH(QDate, anchorDate);
    QFETCH(int, anchorCrew);
    QFETCH(int, anchorDay);
    QFETCH(int, laterYear);
    QFETCH(QString, info);
    QFETCH(QString, firstShown);
    find<QComboBox>("rota")->setCurrentIndex(preset);
    find<QSpinBox>("year")->setValue(year);
    auto *first = find<QComboBox>("fisrtShift");
    first->setCurrentIndex(firstCrew);
    // Without the anchor the panel says which first crew goes on next year.
    QTRY_VERIFY(find<QLabel>("anchorInfo")->text().startsWith(QStringLiteral("Rok %1 navazuje: 1. 1. směna").arg(year + 1)));
    find<QCheckBox>("rotaAnchored")->click();
    if (anchorDate.isValid()) {
        find<QDateEdit>("anchorDate")->setDate(anchorDate);
        find<QComboBox>("anchorCrew")->setCurrentIndex(anchorCrew);
        find<QSpinBox>("anchorDay")->setValue(anchorDay);
    }
    find<QSpinBox>("year")->setValue(laterYear);
    QTRY_COMPARE(find<QLabel>("anchorInfo")->text(), info);
    QTRY_VERIFY(!first->isEnabled());
    if (!firstShown.isEmpty())
        QCOMPARE(first->currentText(), firstShown);
    // Off again, the first crew is the user's.
    find<QCheckBox>("rotaAnchored")->click();
    QTRY_VERIFY(first->isEnabled());
}

namespace {

// Every node a screen reader can move the focus to, below `node`: those
// that hand their focus down to a part of theirs (a tab widget to its bar)
// are left out, as are the items of lists, which are named by their text.
void focusableNodes(QAccessibleInterface *node, QList<QAccessibleInterface *> &found)
{
    if (!node)
        return;
    auto *widget = qobject_cast<QWidget *>(node->object());
    if (widget && node->state().focusable && !node->state().invisible
        && !(widget->focusProxy() && widget->isAncestorOf(widget->focusProxy())))
        found << node;
    for (int i = 0; i < node->childCount(); ++i)
        focusableNodes(node->child(i), found);
}

// What a test saw of the dialogs a key opened: their kind and what tells
// them apart, each closed at once.
class DialogSpy : public QObject
{
public:
    DialogSpy()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                seen << QStringLiteral("message: ") + box->text();
                box->reject();
            } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                seen << (dialog->fileMode() == QFileDialog::Directory ? QStringLiteral("folder")
                         : dialog->acceptMode() == QFileDialog::AcceptSave ? QStringLiteral("save")
                                                                          : QStringLiteral("load"));
                dialog->reject();
            } else if (auto *other = qobject_cast<QDialog *>(modal)) {
                seen << QString::fromLatin1(other->metaObject()->className());
                other->reject();
            }
        });
        m_timer.start();
    }

    QStringList seen;

private:
    QTimer m_timer;
};

} // namespace

void TestMainWindow::everyInputHasAName()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    // What a screen reader says for each node the keyboard reaches: its own
    // name or its caption's text, never nothing.
    QList<QAccessibleInterface *> nodes;
    focusableNodes(QAccessible::queryAccessibleInterface(m_window), nodes);
    QStringList nameless;
    for (QAccessibleInterface *node : qAsConst(nodes)) {
        if (qobject_cast<QComboBox *>(node->object()) || qobject_cast<QAbstractSpinBox *>(node->object()))
            continue; // named by their caption's relation, which the nodes below check
        if (node->text(QAccessible::Name).trimmed().isEmpty())
            nameless << QString::fromLatin1(node->object()->metaObject()->className()) + QLatin1Char(' ')
                            + node->object()->objectName();
    }
    QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(QStringLiteral(", "))));
    QVERIFY(nodes.size() > 40);
    for (QWidget *widget : m_window->findChildren<QWidget *>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || widget->focusProxy() || widget->window() != m_window
            || qobject_cast<QAbstractSpinBox *>(widget->parentWidget()))
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(accessible && !accessible->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(widget->objectName()));
    }
    // The nodes that had no name: the font box's text field, the scrolling
    // area of the panel, and the logo, which is a link.
    const std::pair<QWidget *, QString> named[] = {
        {find<QFontComboBox>("font")->lineEdit(), QStringLiteral("Písmo")},
        {find<QScrollArea>("settingsScroll"), QStringLiteral("Nastavení rozpisu, mého roku a souborů")},
        {find<QLabel>("label"), QStringLiteral("Logo Lunoris")}};
    for (const auto &[widget, name] : named)
        QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
    // Each part of a picker says which colour and which ink it is.
    QAccessibleInterface *cyan = QAccessible::queryAccessibleInterface(
        find<ColorPicker>("shiftAColor")->findChild<QSpinBox *>(QStringLiteral("c")));
    QCOMPARE(cyan->text(QAccessible::Name), QStringLiteral("Barva A, azurová"));
    // Every caption points at its input, without a caption moving.
    for (QLabel *caption : m_window->findChildren<QLabel *>()) {
        if (caption->text().endsWith(QLatin1Char(':')))
            QVERIFY2(caption->buddy(), qPrintable(caption->objectName()));
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(find<QWidget>("monthPreview"))->text(QAccessible::Description),
             QStringLiteral("Leden 2000"));
}

void TestMainWindow::keys_data()
{
    QTest::addColumn<QString>("focus"); // object name; "font" for the font box's text field
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("opened"); // empty: nothing

    const int ctrl = Qt::ControlModifier, keypad = Qt::KeypadModifier;
    const QString missing = QStringLiteral("message: Cílová složka neexistuje");
    // The shortcuts, wherever the focus is.
    QTest::newRow("Ctrl+Return in the year") << "year" << int(Qt::Key_Return) << ctrl << missing;
    QTest::newRow("Ctrl+Enter on the keypad in the font's text") << "font" << int(Qt::Key_Enter) << (ctrl | keypad) << missing;
    QTest::newRow("Ctrl+Return in the rota's pattern") << "rotaPattern" << int(Qt::Key_Return) << ctrl << missing;
    QTest::newRow("Ctrl+S in a box size") << "boxWidth" << int(Qt::Key_S) << ctrl << "save";
    QTest::newRow("Ctrl+S in the font's text") << "font" << int(Qt::Key_S) << ctrl << "save";
    QTest::newRow("Ctrl+O on the first shift") << "fisrtShift" << int(Qt::Key_O) << ctrl << "load";
    QTest::newRow("Ctrl+O on Dokončit") << "finish" << int(Qt::Key_O) << ctrl << "load";
    // Return and Enter on a focused button click it.
    QTest::newRow("Return on Dokončit") << "finish" << int(Qt::Key_Return) << 0 << missing;
    QTest::newRow("Enter on Dokončit") << "finish" << int(Qt::Key_Enter) << keypad << missing;
    QTest::newRow("Return on Uložit") << "save" << int(Qt::Key_Return) << 0 << "save";
    QTest::newRow("Return on Načíst") << "save_2" << int(Qt::Key_Return) << 0 << "load";
    QTest::newRow("Enter on the folder") << "targetDirectory" << int(Qt::Key_Enter) << keypad << "folder";
    // Nothing else.
    QTest::newRow("Return in the year") << "year" << int(Qt::Key_Return) << 0 << "";
    QTest::newRow("Return on the text-only box") << "textOnly" << int(Qt::Key_Return) << 0 << "";
    QTest::newRow("Shift+Return on Dokončit") << "finish" << int(Qt::Key_Return) << int(Qt::ShiftModifier) << "";
    QTest::newRow("S alone in a box size") << "boxWidth" << int(Qt::Key_S) << 0 << "";
}

void TestMainWindow::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, opened);

    m_window->show();
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QWidget *target = focus == QLatin1String("font") ? find<QFontComboBox>("font")->lineEdit() : find<QWidget>(qPrintable(focus));
    QVERIFY(target);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    // The captions stay as the form has them: keys, not mnemonics.
    QCOMPARE(find<QPushButton>("finish")->text(), QStringLiteral("Dokončit"));
    QCOMPARE(find<QPushButton>("finish")->toolTip(), QStringLiteral("Ctrl+Enter"));
    QCOMPARE(find<QPushButton>("save")->toolTip(), QStringLiteral("Ctrl+S"));
    QCOMPARE(find<QPushButton>("save_2")->toolTip(), QStringLiteral("Ctrl+O"));
    QVERIFY(!find<QPushButton>("finish")->autoDefault() && !find<QPushButton>("finish")->isDefault());

    // A dialog is modal: the key returns once the spy has closed it.
    DialogSpy spy;
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(spy.seen, opened.isEmpty() ? QStringList() : QStringList{opened});
}

void TestMainWindow::wheelOverThePanel_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("focused");
    // Turned to scroll the settings, the wheel passes over inputs: it
    // scrolls on and leaves them as they were, unless one was clicked into.
    QTest::newRow("a list on the way") << "rota" << false;
    QTest::newRow("a spin box on the way") << "kindSHours" << false;
    QTest::newRow("a spin box clicked into") << "kindSHours" << true;
}

void TestMainWindow::wheelOverThePanel()
{
    QFETCH(QString, input);
    QFETCH(bool, focused);
    m_window->resize(992, 621);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QWidget *target = find<QWidget>(qPrintable(input));
    QScrollBar *settings = find<QScrollArea>("settingsScroll")->verticalScrollBar();
    QVERIFY(target && target->isVisible() && target->isEnabled());
    QVERIFY(settings->maximum() > 0);
    const auto valueOf = [target] {
        if (const auto *list = qobject_cast<QComboBox *>(target))
            return list->currentIndex();
        return qobject_cast<QSpinBox *>(target)->value();
    };
    if (focused) {
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
    } else {
        find<QWidget>("year")->setFocus(); // the form's, far from the panel
    }
    const int before = valueOf();
    const QPoint at(target->width() / 2, target->height() / 2);
    // One notch down, to where the pointer is.
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
    QCOMPARE(valueOf() != before, focused);
    QCOMPARE(settings->value() > 0, !focused);
}

void TestMainWindow::previewPage_data()
{
    QTest::addColumn<double>("fontPt");
    QTest::addColumn<QSize>("grownTo"); // empty: the window as it opens
    QTest::newRow("at start") << 10.0 << QSize();
    QTest::newRow("40 pt labels, cut at the page's edge") << 40.0 << QSize();
    QTest::newRow("a larger window, a larger page") << 10.0 << QSize(1400, 1000);
}

void TestMainWindow::previewPage()
{
    QFETCH(double, fontPt);
    QFETCH(QSize, grownTo);
    find<ColorPicker>("fontColor")->setFromByteArray(QByteArray::fromHex("00000000000000000000000000000064"));
    find<QCheckBox>("labels")->setChecked(true);
    find<QDoubleSpinBox>("fontSize")->setValue(fontPt);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QWidget *preview = find<QWidget>("monthPreview");
    // Whatever is not the window's background: the page's frame and what
    // is on the page, and nothing beside it.
    const auto pageOnScreen = [preview] {
        QTest::qWait(20);
        const QImage image = preview->grab().toImage();
        const QRgb background = image.pixel(0, 0);
        QRect page;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != background)
                    page |= QRect(x, y, 1, 1);
            }
        }
        return std::make_pair(page, image.size());
    };
    auto [page, widget] = pageOnScreen();
    const int atStart = page.height();
    const int formAtStart = m_window->centralWidget()->width();
    if (grownTo.isValid()) {
        // The form keeps its width; the preview takes the rest.
        m_window->resize(grownTo);
        std::tie(page, widget) = pageOnScreen();
        QVERIFY2(page.height() > atStart * 3 / 2, qPrintable(QStringLiteral("%1 -> %2").arg(atStart).arg(page.height())));
        QCOMPARE(m_window->centralWidget()->width(), formAtStart);
    }
    // The card's 8 : 9, in the middle of the preview.
    QVERIFY2(qAbs(page.width() * 9.0 / (page.height() * 8.0) - 1) < 0.02, qPrintable(QStringLiteral("%1 x %2").arg(page.width()).arg(page.height())));
    QVERIFY(qAbs(page.left() - (widget.width() - 1 - page.right())) <= 1);
    QVERIFY(qAbs(page.top() - (widget.height() - 1 - page.bottom())) <= 1);
}

void TestMainWindow::readyLooksOffered()
{
    // Run from the build tree, as a newcomer runs it: the looks lie beside
    // the build's executables, where an installed program has them beside
    // its own, and the load dialog lists that folder.
    const QDir looks(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/lunoris/looks"));
    QVERIFY2(looks.exists(), qPrintable(looks.absolutePath()));
    QList<QUrl> places;
    answerFileDialog([&](QFileDialog *dialog) {
        places = dialog->sidebarUrls();
        typeAndAccept(dialog, looks.absoluteFilePath(QStringLiteral("Pro barvoslepé.lns")));
    });
    QTest::mouseClick(find<QPushButton>("save_2"), Qt::LeftButton);
    bool listed = false;
    for (const QUrl &place : qAsConst(places))
        listed = listed || QDir(place.toLocalFile()).canonicalPath() == looks.canonicalPath();
    QVERIFY2(listed, qPrintable(looks.absolutePath()));
    const QStringList files = looks.entryList({QStringLiteral("*.lns")});
    for (const char *look : {"Barevný.lns", "Tlumený.lns", "Černobílý pro tisk.lns", "Čtyři směny po 24 h.lns",
                             "12 h, denní a noční.lns", "8 h, čtyři směny.lns", "8 h, pět směn.lns", "Pro barvoslepé.lns"})
        QVERIFY2(files.contains(QString::fromUtf8(look)), look);
    // And the one picked is loaded: its letters are on.
    QVERIFY(find<QCheckBox>("crewLetters")->isChecked());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
