#ifndef LUNORIS_LAZYCOLORPICKER_H
#define LUNORIS_LAZYCOLORPICKER_H

#include "model/ink.h"

#include <QWidget>

class ColorPicker;

// A colour picker that is made when it is first shown, and holds its colour
// until then. The panel has a dozen pickers that most people never open
// (the colours of a fourth to sixth crew, of the kinds, of one's own
// changes); the window opens sooner without them.
class LazyColorPicker : public QWidget
{
    Q_OBJECT

public:
    explicit LazyColorPicker(QWidget *parent = nullptr);

    Calendar::Ink ink() const;
    void setInk(const Calendar::Ink &ink);
    // As the picker's own, given to it once it is made.
    void setAccessibleColorName(const QString &name);
    // The picker itself, made where it is not yet.
    ColorPicker *picker();

signals:
    // The user changed the colour.
    void changed();

protected:
    void showEvent(QShowEvent *event) override;

private:
    ColorPicker *m_picker = nullptr;
    Calendar::Ink m_ink;
    QString m_name;
};

#endif // LUNORIS_LAZYCOLORPICKER_H
