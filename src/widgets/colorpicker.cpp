#include "colorpicker.h"
#include "ui_colorpicker.h"

#include <QDataStream>
#include <QEvent>
#include <QPalette>
#include <QSpinBox>

ColorPicker::ColorPicker(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ColorPicker)
{
    ui->setupUi(this);
    ui->preview->setAutoFillBackground(true);
    showColor();
    keepValuesWhole();
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
        keepValuesWhole();
}

void ColorPicker::keepValuesWhole()
{
    // Squeezed below its size hint, a spin box cuts "100 %" short; the
    // window grows instead.
    for (QSpinBox *box : {ui->c, ui->m, ui->y, ui->k})
        box->setMinimumWidth(box->sizeHint().width());
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
