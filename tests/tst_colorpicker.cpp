#include "widgets/colorpicker.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

class TestColorPicker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void newPickerIsWhite();
    void formContract();
    void swatchFollowsValues();
    void colorFractions();
    void byteFormat();
    void setFromByteArray_data();
    void setFromByteArray();
    void unchangedStateEmitsNothing();
    void languageChangeKeepsValues();
    void heightFollowsFont_data();
    void heightFollowsFont();

private:
    static QSpinBox *spin(ColorPicker &picker, const char *name)
    {
        return picker.findChild<QSpinBox *>(QLatin1String(name));
    }
    static QColor swatch(ColorPicker &picker)
    {
        auto *preview = picker.findChild<QLabel *>(QStringLiteral("preview"));
        return preview->palette().color(preview->backgroundRole());
    }
    static void setCmyk(ColorPicker &picker, int c, int m, int y, int k)
    {
        spin(picker, "c")->setValue(c);
        spin(picker, "m")->setValue(m);
        spin(picker, "y")->setValue(y);
        spin(picker, "k")->setValue(k);
    }
};

void TestColorPicker::initTestCase()
{
    // A desktop's usual font, as the form is drawn for (offscreen starts at 12 pt).
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
}

void TestColorPicker::newPickerIsWhite()
{
    ColorPicker picker;
    const QColor color = picker.color();
    QVERIFY(color == color.toCmyk()); // held in CMYK form
    QCOMPARE(color.cyanF(), 0.0);
    QCOMPARE(color.magentaF(), 0.0);
    QCOMPARE(color.yellowF(), 0.0);
    QCOMPARE(color.blackF(), 0.0);
    QCOMPARE(color.alphaF(), 1.0);
    QCOMPARE(picker.toByteArray(), QByteArray(16, '\0'));
    QCOMPARE(swatch(picker).toRgb(), QColor(Qt::white));
}

void TestColorPicker::formContract()
{
    ColorPicker picker;
    QCOMPARE(picker.objectName(), QStringLiteral("ColorPicker"));
    QCOMPARE(picker.windowTitle(), QStringLiteral("Form"));
    QCOMPARE(picker.minimumSize(), QSize(0, 24));
    QCOMPARE(picker.maximumSize(), QSize(16777215, 24));
    QCOMPARE(picker.baseSize(), QSize(0, 24));
    QCOMPARE(picker.size(), QSize(399, 24));

    auto *layout = qobject_cast<QHBoxLayout *>(picker.layout());
    QVERIFY(layout);
    QCOMPARE(layout->contentsMargins(), QMargins(0, 0, 0, 0));
    const QStringList order = {QStringLiteral("label"), QStringLiteral("c"), QStringLiteral("label_2"),
                               QStringLiteral("m"), QStringLiteral("label_3"), QStringLiteral("y"),
                               QStringLiteral("label_4"), QStringLiteral("k"), QStringLiteral("preview")};
    QCOMPARE(layout->count(), order.size());
    for (int i = 0; i < order.size(); ++i)
        QCOMPARE(layout->itemAt(i)->widget()->objectName(), order.at(i));

    const char *captions[] = {"label", "label_2", "label_3", "label_4"};
    const char *letters[] = {"C", "M", "Y", "K"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(picker.findChild<QLabel *>(QLatin1String(captions[i]))->text(), QLatin1String(letters[i]));
    for (const char *name : {"c", "m", "y", "k"}) {
        QSpinBox *box = spin(picker, name);
        QCOMPARE(box->minimum(), 0);
        QCOMPARE(box->maximum(), 100);
        QCOMPARE(box->singleStep(), 1);
        QCOMPARE(box->suffix(), QStringLiteral(" %"));
        QCOMPARE(box->prefix(), QString());
        QCOMPARE(box->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(box->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        box->setValue(150);
        QCOMPARE(box->value(), 100);
        box->setValue(-1);
        QCOMPARE(box->value(), 0);
    }
    auto *preview = picker.findChild<QLabel *>(QStringLiteral("preview"));
    QCOMPARE(preview->minimumSize(), QSize(20, 20));
    QCOMPARE(preview->maximumSize(), QSize(20, 20));
    QCOMPARE(preview->frameShape(), QFrame::StyledPanel);
    QVERIFY(preview->autoFillBackground());
    QVERIFY(preview->text().isEmpty());
}

void TestColorPicker::swatchFollowsValues()
{
    ColorPicker picker;
    spin(picker, "k")->setValue(100);
    QCOMPARE(swatch(picker).toRgb(), QColor(Qt::black));
    QCOMPARE(picker.color().blackF(), 1.0);

    setCmyk(picker, 0, 100, 100, 0);
    QCOMPARE(swatch(picker).toCmyk(), QColor::fromCmykF(0, 1, 1, 0).toCmyk());

    picker.setFromByteArray(QByteArray::fromHex("00000064000000000000000000000000"));
    QCOMPARE(swatch(picker).toCmyk(), QColor::fromCmykF(1, 0, 0, 0).toCmyk());
}

void TestColorPicker::colorFractions()
{
    ColorPicker picker;
    setCmyk(picker, 10, 33, 67, 99);
    const QColor color = picker.color();
    // 16-bit precision: each component is its quotient to within 1/65535.
    QVERIFY(qAbs(color.cyanF() - 0.10) <= 1.0 / 65535);
    QVERIFY(qAbs(color.magentaF() - 0.33) <= 1.0 / 65535);
    QVERIFY(qAbs(color.yellowF() - 0.67) <= 1.0 / 65535);
    QVERIFY(qAbs(color.blackF() - 0.99) <= 1.0 / 65535);
    QCOMPARE(color.alphaF(), 1.0);
}

void TestColorPicker::byteFormat()
{
    ColorPicker picker;
    setCmyk(picker, 10, 20, 30, 40);
    const QByteArray expected = QByteArray::fromHex("0000000A000000140000001E00000028");
    QCOMPARE(picker.toByteArray(), expected);

    ColorPicker other;
    other.setFromByteArray(expected);
    QCOMPARE(spin(other, "c")->value(), 10);
    QCOMPARE(spin(other, "m")->value(), 20);
    QCOMPARE(spin(other, "y")->value(), 30);
    QCOMPARE(spin(other, "k")->value(), 40);
    QCOMPARE(other.toByteArray(), expected);
}

void TestColorPicker::setFromByteArray_data()
{
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QList<int>>("cmyk");

    QTest::newRow("empty") << QByteArray() << QList<int>{0, 0, 0, 0};
    QTest::newRow("six bytes") << QByteArray::fromHex("0000004b0000") << QList<int>{75, 0, 0, 0};
    QTest::newRow("twelve bytes") << QByteArray::fromHex("000000010000000200000003") << QList<int>{1, 2, 3, 0};
    QTest::newRow("255 clamps to 100") << QByteArray::fromHex("000000ff000000ff000000ff000000ff")
                                       << QList<int>{100, 100, 100, 100};
    QTest::newRow("-5 clamps to 0") << QByteArray::fromHex("fffffffbfffffffb0000003200000000")
                                    << QList<int>{0, 0, 50, 0};
    QTest::newRow("extra bytes ignored") << QByteArray::fromHex("00000001000000020000000300000004ffffffff")
                                         << QList<int>{1, 2, 3, 4};
    QTest::newRow("little-endian is not read as such") << QByteArray::fromHex("0a000000000000000000000000000000")
                                                       << QList<int>{100, 0, 0, 0};
}

void TestColorPicker::setFromByteArray()
{
    QFETCH(QByteArray, state);
    QFETCH(QList<int>, cmyk);
    ColorPicker picker;
    setCmyk(picker, 9, 9, 9, 9);
    picker.setFromByteArray(state);
    QCOMPARE(spin(picker, "c")->value(), cmyk.at(0));
    QCOMPARE(spin(picker, "m")->value(), cmyk.at(1));
    QCOMPARE(spin(picker, "y")->value(), cmyk.at(2));
    QCOMPARE(spin(picker, "k")->value(), cmyk.at(3));
    QCOMPARE(swatch(picker).toCmyk(), picker.color().toCmyk());
}

void TestColorPicker::unchangedStateEmitsNothing()
{
    ColorPicker picker;
    setCmyk(picker, 10, 20, 30, 40);
    QList<QSignalSpy *> spies;
    for (const char *name : {"c", "m", "y", "k"})
        spies.append(new QSignalSpy(spin(picker, name), qOverload<int>(&QSpinBox::valueChanged)));
    picker.setFromByteArray(picker.toByteArray());
    for (QSignalSpy *spy : spies) {
        QCOMPARE(spy->count(), 0);
        delete spy;
    }
}

void TestColorPicker::languageChangeKeepsValues()
{
    ColorPicker picker;
    setCmyk(picker, 1, 2, 3, 4);
    picker.findChild<QLabel *>(QStringLiteral("label"))->setText(QStringLiteral("?"));
    spin(picker, "k")->setSuffix(QStringLiteral("?"));
    picker.setWindowTitle(QStringLiteral("?"));

    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&picker, &change);
    QCOMPARE(picker.findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral("C"));
    QCOMPARE(spin(picker, "k")->suffix(), QStringLiteral(" %"));
    QCOMPARE(picker.windowTitle(), QStringLiteral("Form"));
    QCOMPARE(picker.toByteArray(), QByteArray::fromHex("00000001000000020000000300000004"));
}

void TestColorPicker::heightFollowsFont_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<bool>("whileShown");

    const QFont usual = QApplication::font();
    QFont twice = usual;
    twice.setPixelSize(2 * QFontInfo(usual).pixelSize());
    QTest::newRow("usual") << usual << false;
    QTest::newRow("20 pt") << QFont(usual.family(), 20) << false;
    QTest::newRow("20 pt once shown") << QFont(usual.family(), 20) << true;
    QTest::newRow("twice the pixels") << twice << false;
}

void TestColorPicker::heightFollowsFont()
{
    QFETCH(QFont, font);
    QFETCH(bool, whileShown);
    const QFont usual = QApplication::font();
    const auto restore = qScopeGuard([&] { QApplication::setFont(usual); });
    if (!whileShown)
        QApplication::setFont(font);

    // A picker in a window far too low for it, its minimum set after it is
    // built, as the main window's form does.
    QWidget host;
    auto *layout = new QVBoxLayout(&host);
    auto *picker = new ColorPicker(&host);
    picker->setMinimumSize(0, 24);
    layout->addWidget(picker);
    host.resize(900, 10);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    if (whileShown) {
        QApplication::setFont(font);
        layout->activate();
    }

    QVERIFY(picker->width() > 800);
    QCOMPARE(picker->findChild<QLabel *>(QStringLiteral("preview"))->size(), QSize(20, 20));
    for (const char *name : {"c", "m", "y", "k"}) {
        QSpinBox *box = spin(*picker, name);
        QCOMPARE(box->font().pixelSize(), font.pixelSize());
        QVERIFY(box->width() > 100);
        if (font == usual)
            QCOMPARE(picker->height(), 24);
        else
            QVERIFY2(picker->height() >= box->sizeHint().height(),
                     qPrintable(QStringLiteral("%1 < %2").arg(picker->height()).arg(box->sizeHint().height())));
        QCOMPARE(box->height(), picker->height());
    }
}

QTEST_MAIN(TestColorPicker)
#include "tst_colorpicker.moc"
