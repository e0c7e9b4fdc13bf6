#include "colorpicker.h"
#include "ui_colorpicker.h"

#include <QDataStream>
#include <QEvent>
#include <QPalette>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>

namespace {

// Whether a spin box of the given height has room for a whole line of its
// font: its line edit centres the line in the edit field and cuts off what
// sticks out. The style's size hint asks for more than that, more than the
// form's height even at usual font sizes.
bool lineFits(const QSpinBox *box, int height)
{
    QStyleOptionSpinBox option;
    option.initFrom(box);
    option.rect = QRect(0, 0, box->sizeHint().width(), height);
    option.frame = box->hasFrame();
    option.buttonSymbols = box->buttonSymbols();
    option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp
        | QStyle::SC_SpinBoxDown;
    const QRect field = box->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, box);
    return box->fontMetrics().height() <= field.height();
}

} // namespace

ColorPicker::ColorPicker(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ColorPicker)
{
    ui->setupUi(this);
    m_formHeight = maximumHeight();
    ui->preview->setAutoFillBackground(true);
    showColor();
    fitFont();
}

ColorPicker::~ColorPicker()
{
    delete ui;
}

QColor ColorPicker::color() const
{
    return QColor::fromCmykF(ui->c->value() / 100.0, ui->m->value() / 100.0,
                             ui->y->value() / 100.0, ui->k->value() / 100.0, 1.0);
}

void ColorPicker::setAccessibleColorName(const QString &name)
{
    setAccessibleName(name);
    const QPair<QSpinBox *, QString> inks[] = {{ui->c, tr("azurová")}, {ui->m, tr("purpurová")},
                                               {ui->y, tr("žlutá")}, {ui->k, tr("černá")}};
    for (const auto &ink : inks) {
        ink.first->setAccessibleName(QStringLiteral("%1, %2").arg(name, ink.second));
        ink.first->setAccessibleDescription(tr("Procento barvy v tisku, 0 až 100"));
    }
    ui->preview->setAccessibleName(tr("%1, jak se vytiskne").arg(name));
}

QByteArray ColorPicker::toByteArray() const
{
    QByteArray state;
    QDataStream stream(&state, QIODevice::WriteOnly);
    stream << qint32(ui->c->value()) << qint32(ui->m->value())
           << qint32(ui->y->value()) << qint32(ui->k->value());
    return state;
}

void ColorPicker::setFromByteArray(const QByteArray &state)
{
    // A short state reads as 0 for every missing value (QDataStream zeroes
    // the target on a short read); the spin boxes clamp the rest to 0..100.
    QDataStream stream(state);
    qint32 c = 0, m = 0, y = 0, k = 0;
    stream >> c >> m >> y >> k;
    ui->c->setValue(c);
    ui->m->setValue(m);
    ui->y->setValue(y);
    ui->k->setValue(k);
}

void ColorPicker::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::FontChange
        || event->type() == QEvent::StyleChange)
        fitFont();
}

bool ColorPicker::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    // A form that holds the picker sets its height limits after building it;
    // the font is fitted again once the picker is about to show.
    if (event->type() == QEvent::Polish)
        fitFont();
    return handled;
}

void ColorPicker::fitFont()
{
    // Squeezed below its size hint, a spin box cuts "100 %" short; the
    // window grows instead.
    for (QSpinBox *box : {ui->c, ui->m, ui->y, ui->k})
        box->setMinimumWidth(box->sizeHint().width());

    // The form's height shows the values whole at usual font sizes. A font
    // too large for it gets spin boxes of the height their style asks for,
    // and the picker holds that height in any layout.
    int height = m_formHeight;
    for (QSpinBox *box : {ui->c, ui->m, ui->y, ui->k}) {
        if (!lineFits(box, m_formHeight))
            height = qMax(height, box->sizeHint().height());
    }
    setMinimumHeight(height);
    setMaximumHeight(height);
}

void ColorPicker::colorChanged()
{
    showColor();
}

void ColorPicker::showColor()
{
    ui->preview->setPalette(QPalette(color()));
    ui->preview->update();
    ui->preview->show();
}
