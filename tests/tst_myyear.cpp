#include "app/mainwindow.h"
#include "support/findwidget.h"
#include "support/modal.h"
#include "widgets/colorpicker.h"
#include "widgets/lazycolorpicker.h"
#include "widgets/monthpreview.h"
#include "widgets/planeditor.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using namespace TestSupport;

// One's own year through the window, as a person enters it: days chosen on
// the preview by mouse and keyboard, a menu of changes, the list, undo,
// the hours table, and the question before changes are lost.
class TestMyYear : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void changesByHand_data();
    void changesByHand();
    void listEditAndRemove();
    void hoursOfTheNurse();
    void closingAsksOnlyWithChanges_data();
    void closingAsksOnlyWithChanges();
    void planKeysRoundTrip();
    void tabGoesAsThePartsStand();

private:
    template<typename T>
    T *find(const char *name) const { return TestSupport::findNamed<T>(m_window, name); }
    MonthPreview *preview() const { return find<MonthPreview>("monthPreview"); }
    // The middle of a day's box on the screen.
    QPoint where(const QDate &day) const
    {
        const MonthPreview *page = preview();
        QPoint sum;
        int hits = 0;
        for (int y = 0; y < page->height(); y += 2) {
            for (int x = 0; x < page->width(); x += 2) {
                if (page->dayAt(QPoint(x, y)) == day) {
                    sum += QPoint(x, y);
                    ++hits;
                }
            }
        }
        return hits ? sum / hits : QPoint(-1, -1);
    }
    QStringList listed() const
    {
        QStringList rows;
        QTreeWidget *list = find<QTreeWidget>("planList");
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = list->topLevelItem(i);
            rows << QStringLiteral("%1|%2|%3").arg(item->text(0), item->text(1), item->text(2));
        }
        return rows;
    }

    MainWindow *m_window = nullptr;
    QTemporaryDir m_dir;
};

namespace {

// Once a menu pops up, triggers the entry `path` leads to (a submenu's
// entry after its title) and closes it; an empty path closes it unused.
void answerMenu(const QStringList &path)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, path] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        timer->stop();
        timer->deleteLater();
        QMenu *from = menu;
        for (const QString &text : path) {
            QAction *chosen = nullptr;
            for (QAction *action : from->actions()) {
                if (action->text() == text)
                    chosen = action;
            }
            QVERIFY2(chosen, qPrintable(text));
            if (chosen->menu()) {
                from = chosen->menu();
                continue;
            }
            QVERIFY(chosen->isEnabled());
            chosen->trigger();
        }
        menu->close();
    });
    timer->start();
}

} // namespace

void TestMyYear::init()
{
    m_window = new MainWindow;
    m_window->resize(1200, 900);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    // Shortcuts of the window reach it only while it is the active one.
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    find<QSpinBox>("year")->setValue(2027);
    find<QComboBox>("rota")->setCurrentIndex(2); // 12 h, DN--, A first: A works 2 and 3 March (days 60, 61)
    find<QComboBox>("myCrew")->setCurrentIndex(1);
    find<QComboBox>("previewMonth")->setCurrentIndex(2);
    find<ColorPicker>("fontColor")->setFromByteArray(QByteArray::fromHex("00000000000000000000000000000064"));
    find<QToolButton>("planHeading")->setChecked(true);
    QTRY_VERIFY(preview()->choosesDays() && preview()->showsPage() && where(QDate(2027, 3, 31)).x() >= 0);
}

void TestMyYear::cleanup()
{
    // Changes nobody saved: closing would ask.
    find<PlanEditor>("planEditor")->showLook(Calendar::Look());
    delete m_window;
    m_window = nullptr;
}

void TestMyYear::changesByHand_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("menu");
    QTest::addColumn<QStringList>("list"); // the list afterwards
    QTest::newRow("a click") << "click 2" << QStringList{"Dovolená"} << QStringList{"2. 3. 2027|Dovolená|"};
    QStringList fortnight;
    for (int day = 1; day <= 14; ++day)
        fortnight << QStringLiteral("%1. 3. 2027|Dovolená|").arg(day);
    QTest::newRow("two weeks in one drag") << "drag 1 14" << QStringList{"Dovolená"} << fortnight;
    QTest::newRow("a click, then shift and a click") << "click 3, shift 5" << QStringList{"Nemoc"}
                                                     << QStringList{"3. 3. 2027|Nemoc|", "4. 3. 2027|Nemoc|", "5. 3. 2027|Nemoc|"};
    // On the month's page a week is a column: right is a week on, down a
    // day. 1 March 2027 is a Monday.
    QTest::newRow("arrows and Enter") << "keys Right Down Return" << QStringList{"Volno"}
                                      << QStringList{"9. 3. 2027|Volno|"};
    QTest::newRow("a run by shift and arrows, the menu key") << "keys Down Down Down Shift+Down Menu"
                                                            << QStringList{"Směna navíc", "N Noční 18–6"}
                                                            << QStringList{"4. 3. 2027|Směna navíc: N Noční|",
                                                                           "5. 3. 2027|Směna navíc: N Noční|"};
    QTest::newRow("taken back with Ctrl+Z") << "click 2, undo" << QStringList{"Dovolená"} << QStringList();
}

void TestMyYear::changesByHand()
{
    QFETCH(QString, how);
    QFETCH(QStringList, menu);
    QFETCH(QStringList, list);
    MonthPreview *page = preview();
    const QImage before = page->grab().toImage();
    const QStringList steps = how.split(QStringLiteral(", "));
    for (const QString &step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        // The last menu of the row is the one answered; one before it is
        // closed with nothing chosen.
        const bool last = &step == &steps.last() || steps.last() == QLatin1String("undo");
        const QStringList answer = last ? menu : QStringList();
        const auto day = [&](int i) { return where(QDate(2027, 3, words.at(i).toInt())); };
        if (words.first() == QLatin1String("click")) {
            answerMenu(answer);
            QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, day(1));
        } else if (words.first() == QLatin1String("shift")) {
            answerMenu(answer);
            QTest::mouseClick(page, Qt::LeftButton, Qt::ShiftModifier, day(1));
        } else if (words.first() == QLatin1String("drag")) {
            answerMenu(answer);
            QTest::mousePress(page, Qt::LeftButton, Qt::NoModifier, day(1));
            QMouseEvent move(QEvent::MouseMove, day(2), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(page, &move);
            QTest::mouseRelease(page, Qt::LeftButton, Qt::NoModifier, day(2));
        } else if (words.first() == QLatin1String("keys")) {
            page->setFocus();
            QTRY_VERIFY(page->hasFocus());
            for (const QString &key : words.mid(1)) {
                if (key == QLatin1String("Return") || key == QLatin1String("Menu"))
                    answerMenu(answer);
                QTest::keySequence(page, QKeySequence(key));
            }
        } else if (words.first() == QLatin1String("undo")) {
            // The window active again once its menu is gone, as a desktop has it.
            QApplication::setActiveWindow(m_window);
            QTest::keySequence(m_window->windowHandle(), QKeySequence::Undo);
        }
        // Keyboard and screen reader are told about the day they are on.
        if (page->currentDay().isValid())
            QVERIFY2(page->accessibleDescription().contains(QStringLiteral("2027")), qPrintable(page->accessibleDescription()));
        if (!last)
            QCOMPARE(listed(), QStringList());
    }
    QTRY_COMPARE(listed(), list);
    // The preview shows the changed days in their colours, and nothing
    // else once the keyboard has left it.
    page->clearFocus();
    QTRY_VERIFY((page->grab().toImage() != before) == !list.isEmpty());
}

void TestMyYear::listEditAndRemove()
{
    auto *editor = find<PlanEditor>("planEditor");
    editor->change(QDate(2027, 3, 1), QDate(2027, 3, 3), Calendar::DayChange{Calendar::Change::Leave, QChar(), QString()});
    auto *list = find<QTreeWidget>("planList");
    QCOMPARE(list->topLevelItemCount(), 3);
    // The second one becomes a day given away, with a note.
    list->setCurrentItem(list->topLevelItem(1));
    whenModal("PlanChangeDialog", [](QWidget *dialog) {
        dialog->findChild<QComboBox *>(QStringLiteral("changeKind"))->setCurrentIndex(2);
        dialog->findChild<QLineEdit *>(QStringLiteral("changeNote"))->setText(QStringLiteral("výměna s Petrem"));
        static_cast<QDialog *>(dialog)->accept();
    });
    QTest::mouseClick(find<QPushButton>("planEdit"), Qt::LeftButton);
    QCOMPARE(listed(), (QStringList{"1. 3. 2027|Dovolená|", "2. 3. 2027|Volno|výměna s Petrem", "3. 3. 2027|Dovolená|"}));
    list->setCurrentItem(list->topLevelItem(0));
    QTest::mouseClick(find<QPushButton>("planRemove"), Qt::LeftButton);
    QCOMPARE(listed(), (QStringList{"2. 3. 2027|Volno|výměna s Petrem", "3. 3. 2027|Dovolená|"}));
    // Each step taken back in turn.
    QApplication::setActiveWindow(m_window);
    QTest::keySequence(m_window->windowHandle(), QKeySequence::Undo);
    QCOMPARE(listed().size(), 3);
    QTest::keySequence(m_window->windowHandle(), QKeySequence::Undo);
    QCOMPARE(listed(), (QStringList{"1. 3. 2027|Dovolená|", "2. 3. 2027|Dovolená|", "3. 3. 2027|Dovolená|"}));
}

void TestMyYear::hoursOfTheNurse()
{
    // 12 h, four crews, A first, crew A in 2027: 183 shifts, one night of
    // 11 hours (into 28 March), none running over either New Year; the
    // fund of 252 weekdays that are not holidays at 7.5 hours.
    auto *table = find<QTableWidget>("hoursTable");
    const auto cell = [table](int row, const char *column) {
        for (int i = 0; i < table->columnCount(); ++i) {
            if (table->horizontalHeaderItem(i)->text() == QString::fromUtf8(column))
                return table->item(row, i) ? table->item(row, i)->text() : QString();
        }
        return QString();
    };
    QTRY_COMPARE(cell(12, "Směny"), QStringLiteral("183"));
    QCOMPARE(table->verticalHeaderItem(12)->text(), QStringLiteral("Rok"));
    QCOMPARE(cell(12, "Hodiny"), QStringLiteral("2195,0"));
    QCOMPARE(cell(12, "Fond"), QStringLiteral("1890,0"));
    QCOMPARE(cell(12, "Rozdíl"), QStringLiteral("305,0"));
    // A day of leave on A's day shift of 2 March: that shift and its 12
    // hours leave March and the year.
    const QString march = cell(2, "Hodiny");
    find<PlanEditor>("planEditor")->change(QDate(2027, 3, 2), QDate(2027, 3, 2),
                                           Calendar::DayChange{Calendar::Change::Leave, QChar(), QString()});
    QTRY_COMPARE(cell(12, "Směny"), QStringLiteral("182"));
    QCOMPARE(cell(12, "Hodiny"), QStringLiteral("2183,0"));
    QCOMPARE(cell(2, "Hodiny"), QString::number(march.left(march.indexOf(QLatin1Char(','))).toInt() - 12) + QStringLiteral(",0"));
    // In the whole team's view, the crew beside the table: D's year as the
    // rota has it, 183 shifts; its night of 31 December 2026 gives 2027 six
    // hours, its night of 31 December 2027 six hours to 2028.
    find<QComboBox>("myCrew")->setCurrentIndex(0);
    QTRY_VERIFY(find<QComboBox>("hoursCrew")->isVisible());
    find<QComboBox>("hoursCrew")->setCurrentIndex(3);
    QTRY_COMPARE(cell(12, "Hodiny"), QStringLiteral("2196,0"));
    QCOMPARE(cell(12, "Směny"), QStringLiteral("183"));
    // At the window's smallest, the table whole: "Fond" and "Rozdíl" not
    // behind a scroll bar, of the table's or of the settings'.
    m_window->resize(1, 1);
    QTRY_COMPARE(m_window->size(), m_window->minimumSize());
    const QScrollArea *settings = find<QScrollArea>("settingsScroll");
    QTRY_COMPARE(table->horizontalScrollBar()->maximum(), 0);
    QTRY_COMPARE(settings->horizontalScrollBar()->maximum(), 0);
    QVERIFY(table->viewport()->rect().contains(table->visualItemRect(table->item(12, 6))));
}

void TestMyYear::closingAsksOnlyWithChanges_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer"); // QMessageBox::StandardButton, or 0 where nothing is asked
    QTest::addColumn<bool>("closed");
    QTest::newRow("nothing changed: nothing asked") << false << 0 << true;
    QTest::newRow("changed, not saved") << true << int(QMessageBox::Discard) << true;
    QTest::newRow("changed, not closed after all") << true << int(QMessageBox::Cancel) << false;
    QTest::newRow("changed, saved") << true << int(QMessageBox::Save) << true;
}

void TestMyYear::closingAsksOnlyWithChanges()
{
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    if (changed)
        find<PlanEditor>("planEditor")->change(QDate(2027, 3, 2), QDate(2027, 3, 2),
                                               Calendar::DayChange{Calendar::Change::Sick, QChar(), QString()});
    bool asked = false;
    const QString path = m_dir.filePath(QStringLiteral("my year.lns"));
    if (answer) {
        whenModal("QMessageBox", [&](QWidget *box) {
            asked = true;
            auto *message = static_cast<QMessageBox *>(box);
            QCOMPARE(message->text(), QStringLiteral("Uložit změny?"));
            if (answer == QMessageBox::Save)
                answerFileDialog([&](QFileDialog *dialog) { typeAndAccept(dialog, path); });
            message->button(QMessageBox::StandardButton(answer))->click();
        });
    }
    QCOMPARE(m_window->close(), closed);
    QCOMPARE(asked, answer != 0);
    QCOMPARE(m_window->isVisible(), !closed);
    if (answer == QMessageBox::Save) {
        QSettings saved(path, QSettings::IniFormat);
        QCOMPARE(saved.value(QStringLiteral("plan/2027-03-02")).toString(), QStringLiteral("nemoc"));
    }
}

void TestMyYear::planKeysRoundTrip()
{
    // Written by hand, another program's keys among ours.
    const QString path = m_dir.filePath(QStringLiteral("plan.lns"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nrota=2\nmyCrew=A\nowner=Jana\n\n[plan]\n2027-03-05=dovolena\n2027-03-09=navic:N\n"
                   "2027-04-02=nemoc\n2027-04-03=\"volno;v\\xfdm\\x11bna s Petrem\"\nsource=HR\n");
    }
    answerFileDialog([&](QFileDialog *dialog) { typeAndAccept(dialog, path); });
    QTest::mouseClick(find<QPushButton>("save_2"), Qt::LeftButton);
    QCOMPARE(listed(), (QStringList{"5. 3. 2027|Dovolená|", "9. 3. 2027|Směna navíc: N Noční|", "2. 4. 2027|Nemoc|",
                                    "3. 4. 2027|Volno|výměna s Petrem"}));
    // Saved back: the same days, the same values, the other keys kept.
    answerFileDialog([&](QFileDialog *dialog) {
        answerMessageBox(QMessageBox::Yes); // the toolkit's question before replacing the file
        typeAndAccept(dialog, path);
    });
    QTest::mouseClick(find<QPushButton>("save"), Qt::LeftButton);
    QSettings saved(path, QSettings::IniFormat);
    QCOMPARE(saved.value(QStringLiteral("plan/2027-03-05")).toString(), QStringLiteral("dovolena"));
    QCOMPARE(saved.value(QStringLiteral("plan/2027-03-09")).toString(), QStringLiteral("navic:N"));
    QCOMPARE(saved.value(QStringLiteral("plan/2027-04-02")).toString(), QStringLiteral("nemoc"));
    QCOMPARE(saved.value(QStringLiteral("plan/2027-04-03")).toString(), QStringLiteral("volno;výměna s Petrem"));
    QCOMPARE(saved.value(QStringLiteral("plan/source")).toString(), QStringLiteral("HR"));
    QCOMPARE(saved.value(QStringLiteral("owner")).toString(), QStringLiteral("Jana"));
    // Nothing unsaved: closing asks nothing.
    QVERIFY(m_window->close());
}

void TestMyYear::tabGoesAsThePartsStand()
{
    // Parts made once the window stands ("Můj rok" opened, the pickers of
    // the kinds shown) take the keyboard where they stand, not last.
    const QStringList expected = {"rota", "myCrew", "kindDColor", "kindNColor", "planHeading", "planList",
                                  "planColorDovolena", "planColorNemoc", "planColorVolno", "planColorNavic",
                                  "weeklyHours", "hoursTable", "optionsHeading", "previewMonth"};
    QStringList chain;
    for (QWidget *widget = m_window->nextInFocusChain(); widget != m_window; widget = widget->nextInFocusChain()) {
        QString name = widget->objectName();
        // A picker's inks go by the picker's name.
        for (QWidget *up = widget; up; up = up->parentWidget()) {
            if (qobject_cast<LazyColorPicker *>(up))
                name = up->objectName();
        }
        if (widget->focusPolicy() != Qt::NoFocus && expected.contains(name) && (chain.isEmpty() || chain.last() != name))
            chain << name;
        QVERIFY(chain.size() < 100);
    }
    QCOMPARE(chain, expected);
}

QTEST_MAIN(TestMyYear)
#include "tst_myyear.moc"
