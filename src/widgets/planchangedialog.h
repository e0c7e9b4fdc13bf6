#ifndef LUNORIS_PLANCHANGEDIALOG_H
#define LUNORIS_PLANCHANGEDIALOG_H

#include "model/plan.h"
#include "model/rota.h"

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class PlanChangeDialog;
}

// Which change days of one's own year get: leave, sickness, a day given
// away or an extra shift of one of the rota's kinds, with a note.
class PlanChangeDialog : public QDialog
{
    Q_OBJECT

public:
    // For the days from `first` to `last`, starting from `change`; the
    // extra shift's kinds are those `rota` uses.
    PlanChangeDialog(const QDate &first, const QDate &last, const Calendar::DayChange &change,
                     const Calendar::Rota &rota, QWidget *parent = nullptr);
    ~PlanChangeDialog() override;

    Calendar::DayChange change() const;

private:
    void showKinds();

    const QScopedPointer<Ui::PlanChangeDialog> m_ui;
};

#endif // LUNORIS_PLANCHANGEDIALOG_H
