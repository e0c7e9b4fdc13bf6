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
    , m_ui(new Ui::ColorPicker)
{
    m_ui->setupUi(this);
    m_formHeight = maximumHeight();
    m_ui->preview->setAutoFillBackground(true);
    showColor();
    fitFont();
}

ColorPicker::~ColorPicker() = default;

QColor ColorPicker::color() const
{
    return QColor::fromCmykF(m_ui->c->value() / 100.0, m_ui->m->value() / 100.0,
                             m_ui->y->value() / 100.0, m_ui->k->value() / 100.0, 1.0);
}

void ColorPicker::setAccessibleColorName(const QString &name)
{
    setAccessibleName(name);
    const QPair<QSpinBox *, QString> inks[] = {{m_ui->c, tr("azurová")}, {m_ui->m, tr("purpurová")},
                                               {m_ui->y, tr("žlutá")}, {m_ui->k, tr("černá")}};
    for (const auto &ink : inks) {
        ink.first->setAccessibleName(QStringLiteral("%1, %2").arg(name, ink.second));
        ink.first->setAccessibleDescription(tr("Procento barvy v tisku, 0 až 100"));
    }
    m_ui->preview->setAccessibleName(tr("%1, jak se vytiskne").arg(name));
}

QByteArray ColorPicker::toByteArray() const
{
    QByteArray state;
    QDataStream stream(&state, QIODevice::WriteOnly);
    stream << qint32(m_ui->c->value()) << qint32(m_ui->m->value())
           << qint32(m_ui->y->value()) << qint32(m_ui->k->value());
    return state;
}

void ColorPicker::setFromByteArray(const QByteArray &state)
{
    // A short state reads as 0 for every missing value (QDataStream zeroes
    // the target on a short read); the spin boxes clamp the rest to 0..100.
    QDataStream stream(state);
    qint32 c = 0, m = 0, y = 0, k = 0;
    stream >> c >> m >> y >> k;
    m_ui->c->setValue(c);
    m_ui->m->setValue(m);
    m_ui->y->setValue(y);
    m_ui->k->setValue(k);
}

void ColorPicker::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this);
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
    for (QSpinBox *box : {m_ui->c, m_ui->m, m_ui->y, m_ui->k})
        box->setMinimumWidth(box->sizeHint().width());

    // The form's height shows the values whole at usual font sizes. A font
    // too large for it gets spin boxes of the height their style asks for,
    // and the picker holds that height in any layout.
    int height = m_formHeight;
    for (QSpinBox *box : {m_ui->c, m_ui->m, m_ui->y, m_ui->k}) {
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
    m_ui->preview->setPalette(QPalette(color()));
    m_ui->preview->update();
    m_ui->preview->show();
}
