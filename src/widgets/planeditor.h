#ifndef LUNORIS_PLANEDITOR_H
#define LUNORIS_PLANEDITOR_H

#include "model/look.h"

#include <QScopedPointer>
#include <QWidget>

#include <optional>

class LazyColorPicker;
class QUndoStack;

namespace Ui {
class PlanEditor;
}

// One's own year: the changes of the crew shown (leave, sick days, shifts
// given away and extra ones) as a list to edit, their colours, and the hours
// month by month with the working-time fund. Every change of the plan can
// be undone.
class PlanEditor : public QWidget
{
    Q_OBJECT

public:
    explicit PlanEditor(QWidget *parent = nullptr);
    ~PlanEditor() override;

    // The editor's part of a look: the plan, its colours, the fund's week.
    void fillLook(Calendar::Look &look) const;
    // Shows a loaded look's part; what could be undone before is gone.
    void showLook(const Calendar::Look &look);

    // Gives the days from `first` to `last` the change, or takes their
    // changes away; one step to undo.
    void change(const QDate &first, const QDate &last, const std::optional<Calendar::DayChange> &change);
    // Asks for the change of those days, starting from what the first of
    // them has, and gives it to them.
    void editDays(const QDate &first, const QDate &last);
    QUndoStack *undoStack() const;

    // The hours of the year shown and whether changes can be made: in one
    // crew's view only.
    void showYear(const Calendar::Look &look, int year, int firstCrew);
    // The crew whose hours the table shows: the one shown, or in the
    // whole team's view the one chosen beside the table.
    int hoursCrew() const;
    // The editor's width with its table of hours whole, every column in
    // view: what the panel makes room for where the screen has it.
    int wholeWidth() const;

    // Its list and table are made the first time it shows: folded away,
    // as it starts, it costs the window's start-up nothing.
    void setVisible(bool visible) override;

signals:
    // The plan, its colours or the week changed: the calendars change.
    void changed();
    // The crew of the table was chosen: its hours need counting.
    void hoursCrewChosen();

protected:
    void changeEvent(QEvent *event) override;

private:
    class PlanCommand;
    void build();
    void showHours();
    void setPlan(const Calendar::Plan &plan);
    void showPlan();
    void editSelected();
    void removeSelected();
    std::array<LazyColorPicker *, Calendar::ChangeCount> pickers() const;

    QScopedPointer<Ui::PlanEditor> m_ui;
    QUndoStack *m_undo = nullptr;
    // What the editor holds, whether its widgets exist yet or not.
    Calendar::Plan m_plan;
    std::array<Calendar::Ink, Calendar::ChangeCount> m_colors = Calendar::StartPlanColors;
    int m_week = 0;
    int m_chosenCrew = 0;
    // The year the hours are for, with its rota and crew.
    Calendar::Look m_look;
    int m_year = 0;
    int m_firstCrew = 0;
    int m_tableWidth = 0;
};

#endif // LUNORIS_PLANEDITOR_H
