#include "lazycolorpicker.h"

#include "colorpicker.h"
#include "taborder.h"

#include <QHBoxLayout>
#include <QSpinBox>

LazyColorPicker::LazyColorPicker(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

Calendar::Ink LazyColorPicker::ink() const
{
    return m_picker ? Calendar::Ink::fromState(m_picker->toByteArray()) : m_ink;
}

void LazyColorPicker::setInk(const Calendar::Ink &ink)
{
    m_ink = ink;
    if (m_picker)
        m_picker->setFromByteArray(ink.state());
}

void LazyColorPicker::setAccessibleColorName(const QString &name)
{
    m_name = name;
    setAccessibleName(name);
    if (m_picker)
        m_picker->setAccessibleColorName(name);
}

ColorPicker *LazyColorPicker::picker()
{
    if (!m_picker) {
        m_picker = new ColorPicker(this);
        m_picker->setFromByteArray(m_ink.state());
        if (!m_name.isEmpty())
            m_picker->setAccessibleColorName(m_name);
        layout()->addWidget(m_picker);
        for (QSpinBox *box : m_picker->findChildren<QSpinBox *>())
            connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, &LazyColorPicker::changed);
        // The keyboard goes to the picker's inks, as it would to a picker.
        setFocusProxy(m_picker);
        TabOrder::keepInPlace(this);
    }
    return m_picker;
}

void LazyColorPicker::showEvent(QShowEvent *event)
{
    picker();
    QWidget::showEvent(event);
}
