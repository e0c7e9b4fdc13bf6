#ifndef LUNORIS_WHEELGUARD_H
#define LUNORIS_WHEELGUARD_H

#include <QObject>

class QAbstractScrollArea;

// Keeps the mouse wheel, turned to scroll `area`, from changing the spin box
// or list it passes over on the way: over one that does not have the focus,
// the wheel scrolls the area. Once clicked into, it takes the wheel as
// ever. The guard lives as long as the area, whose parts may come later.
class WheelGuard : public QObject
{
    Q_OBJECT

public:
    static void install(QAbstractScrollArea *area);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WheelGuard(QAbstractScrollArea *area);

    QAbstractScrollArea *m_area;
};

#endif // LUNORIS_WHEELGUARD_H
