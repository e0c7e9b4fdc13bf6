#include "planeditor.h"
#include "ui_planeditor.h"

#include "lazycolorpicker.h"
#include "model/hours.h"
#include "planchangedialog.h"
#include "taborder.h"

#include <QEvent>
#include <QHeaderView>
#include <QShortcut>
#include <QSpinBox>
#include <QUndoStack>

using Calendar::Change;
using Calendar::DayChange;
using Calendar::Look;
using Calendar::Plan;

// One step of the plan to undo: the plan before it and after it.
class PlanEditor::PlanCommand : public QUndoCommand
{
public:
    PlanCommand(PlanEditor *editor, const Plan &before, const Plan &after, const QString &text)
        : QUndoCommand(text)
        , m_editor(editor)
        , m_before(before)
        , m_after(after)
    {
    }
    void undo() override { m_editor->setPlan(m_before); }
    void redo() override { m_editor->setPlan(m_after); }

private:
    PlanEditor *m_editor;
    Plan m_before;
    Plan m_after;
};

PlanEditor::PlanEditor(QWidget *parent)
    : QWidget(parent)
    , m_undo(new QUndoStack(this))
{
}

void PlanEditor::setVisible(bool visible)
{
    if (visible)
        build();
    QWidget::setVisible(visible);
}

void PlanEditor::build()
{
    if (m_ui)
        return;
    m_ui.reset(new Ui::PlanEditor);
    m_ui->setupUi(this);
    const auto colors = pickers();
    for (size_t change = 0; change < colors.size(); ++change) {
        LazyColorPicker *picker = colors[change];
        picker->setAccessibleColorName(picker->accessibleName());
        picker->setInk(m_colors[change]);
        connect(picker, &LazyColorPicker::changed, this, [this, picker, change] {
            m_colors[change] = picker->ink();
            emit changed();
        });
    }
    m_ui->planList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_ui->planList->header()->setStretchLastSection(true);
    connect(m_ui->planList, &QTreeWidget::itemActivated, this, [this] { editSelected(); });
    connect(m_ui->planEdit, &QPushButton::clicked, this, [this] { editSelected(); });
    connect(m_ui->planRemove, &QPushButton::clicked, this, [this] { removeSelected(); });
    auto *remove = new QShortcut(QKeySequence::Delete, m_ui->planList, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this] { removeSelected(); });
    connect(m_ui->planList, &QTreeWidget::itemSelectionChanged, this, [this] {
        const bool chosen = !m_ui->planList->selectedItems().isEmpty();
        m_ui->planEdit->setEnabled(chosen);
        m_ui->planRemove->setEnabled(chosen);
    });
    m_ui->weeklyHours->setCurrentIndex(m_week);
    connect(m_ui->weeklyHours, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int week) {
        m_week = qMax(0, week);
        emit changed();
    });
    connect(m_ui->hoursCrew, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int crew) {
        m_chosenCrew = qMax(0, crew);
        emit hoursCrewChosen();
    });
    // All thirteen rows at once: the table is read as a whole.
    m_ui->hoursTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_ui->hoursTable->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_ui->hoursTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    showPlan();
    if (m_year > 0)
        showHours();
    TabOrder::keepInPlace(this);
}

PlanEditor::~PlanEditor() = default;

std::array<LazyColorPicker *, Calendar::ChangeCount> PlanEditor::pickers() const
{
    // In the order of Change.
    return {m_ui->planColorDovolena, m_ui->planColorNemoc, m_ui->planColorVolno, m_ui->planColorNavic};
}

void PlanEditor::fillLook(Look &look) const
{
    look.plan = m_plan;
    look.planColors = m_colors;
    look.weeklyHours = Calendar::WeeklyHoursChoices[m_week];
}

void PlanEditor::showLook(const Look &look)
{
    m_colors = look.planColors;
    const auto week = std::find(std::begin(Calendar::WeeklyHoursChoices), std::end(Calendar::WeeklyHoursChoices),
                                look.weeklyHours);
    m_week = week == std::end(Calendar::WeeklyHoursChoices) ? 0 : int(week - std::begin(Calendar::WeeklyHoursChoices));
    if (m_ui) {
        const auto colors = pickers();
        for (size_t change = 0; change < colors.size(); ++change)
            colors[change]->setInk(m_colors[change]);
        m_ui->weeklyHours->setCurrentIndex(m_week);
    }
    m_undo->clear();
    setPlan(look.plan);
}

QUndoStack *PlanEditor::undoStack() const
{
    return m_undo;
}

void PlanEditor::change(const QDate &first, const QDate &last, const std::optional<DayChange> &change)
{
    Plan after = m_plan;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        if (change)
            after.insert(day, *change);
        else
            after.remove(day);
    }
    if (after == m_plan)
        return;
    const QString days = first == last ? first.toString(QStringLiteral("d. M.")) : tr("%1 až %2").arg(
                             first.toString(QStringLiteral("d. M.")), last.toString(QStringLiteral("d. M.")));
    m_undo->push(new PlanCommand(this, m_plan, after,
                                 change ? tr("%1: %2").arg(days, Calendar::changeName(change->change))
                                        : tr("%1: bez změny").arg(days)));
}

void PlanEditor::editDays(const QDate &first, const QDate &last)
{
    const DayChange start = m_plan.value(first, DayChange());
    PlanChangeDialog dialog(first, last, start, m_look.rota, window());
    if (dialog.exec() == QDialog::Accepted)
        change(first, last, dialog.change());
}

void PlanEditor::setPlan(const Plan &plan)
{
    if (plan == m_plan)
        return;
    m_plan = plan;
    showPlan();
    emit changed();
}

void PlanEditor::showPlan()
{
    if (!m_ui)
        return;
    m_ui->planList->clear();
    for (auto day = m_plan.constBegin(); day != m_plan.constEnd(); ++day) {
        QString change = Calendar::changeName(day->change);
        if (day->change == Change::Extra) {
            const Calendar::ShiftKind &kind = m_look.rota.kind(day->kind);
            change += QStringLiteral(": %1 %2").arg(kind.code).arg(kind.name);
        }
        auto *item = new QTreeWidgetItem(m_ui->planList, {day.key().toString(QStringLiteral("d. M. yyyy")), change, day->note});
        item->setData(0, Qt::UserRole, day.key());
    }
    m_ui->planEdit->setEnabled(false);
    m_ui->planRemove->setEnabled(false);
}

void PlanEditor::editSelected()
{
    const QList<QTreeWidgetItem *> selected = m_ui->planList->selectedItems();
    if (selected.isEmpty())
        return;
    QVector<QDate> days;
    for (const QTreeWidgetItem *item : selected)
        days << item->data(0, Qt::UserRole).toDate();
    std::sort(days.begin(), days.end());
    PlanChangeDialog dialog(days.first(), days.last(), m_plan.value(days.first()), m_look.rota, window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The days chosen in the list, not those between them.
    Plan after = m_plan;
    for (const QDate &day : qAsConst(days))
        after.insert(day, dialog.change());
    if (after != m_plan)
        m_undo->push(new PlanCommand(this, m_plan, after, tr("úprava změn")));
}

void PlanEditor::removeSelected()
{
    Plan after = m_plan;
    const QList<QTreeWidgetItem *> selected = m_ui->planList->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = m_ui->planList->indexOfTopLevelItem(selected.first());
    for (const QTreeWidgetItem *item : selected)
        after.remove(item->data(0, Qt::UserRole).toDate());
    if (after == m_plan)
        return;
    m_undo->push(new PlanCommand(this, m_plan, after, tr("odebrání změn")));
    // The keyboard stays in the list, on the change after those removed:
    // the next Delete or Ctrl+Z goes where the last one did.
    m_ui->planList->setFocus();
    if (QTreeWidgetItem *next = m_ui->planList->topLevelItem(qMin(row, m_ui->planList->topLevelItemCount() - 1)))
        m_ui->planList->setCurrentItem(next);
}

int PlanEditor::hoursCrew() const
{
    return m_look.myCrew >= 0 ? m_look.myCrew : m_chosenCrew;
}

void PlanEditor::showYear(const Look &look, int year, int firstCrew)
{
    const bool kindsChanged = look.rota.kinds != m_look.rota.kinds;
    m_look = look;
    m_year = year;
    m_firstCrew = firstCrew;
    if (m_chosenCrew >= look.rota.crews)
        m_chosenCrew = 0;
    if (kindsChanged)
        showPlan();
    if (m_ui)
        showHours();
}

void PlanEditor::showHours()
{
    const Look &look = m_look;
    m_ui->planHint->setText(look.myCrew < 0
                                ? tr("Dovolenou, nemoc, volno a směny navíc zadáte pro jednu směnu: vyberte ji v poli "
                                     "„Zobrazit“ v rozpisu.")
                                : tr("Klepněte v náhledu na den, táhněte přes více dní, nebo je vyberte šipkami a "
                                     "klávesou Enter, a zvolte změnu. Ctrl+Z ji vrátí."));
    {
        const QSignalBlocker block(m_ui->hoursCrew);
        m_ui->hoursCrew->clear();
        for (int crew = 0; crew < look.rota.crews; ++crew)
            m_ui->hoursCrew->addItem(tr("Směna %1").arg(Calendar::crewName(crew)));
        m_ui->hoursCrew->setCurrentIndex(m_chosenCrew);
    }
    m_ui->hoursCrew->setVisible(look.myCrew < 0);
    m_ui->hoursCrewLabel->setVisible(look.myCrew < 0);
    if (!look.rota.isValid()) {
        m_ui->hoursTable->clearContents();
        return;
    }
    const Calendar::YearTime time = Calendar::workingTime(look, m_year, m_firstCrew, hoursCrew());
    for (int row = 0; row <= 12; ++row) {
        const Calendar::WorkingTime &cell = row < 12 ? time.months[size_t(row)] : time.year;
        const QStringList figures = {QString::number(cell.shifts),
                                     Calendar::hoursFigure(cell.worked),
                                     Calendar::hoursFigure(cell.night),
                                     Calendar::hoursFigure(cell.weekend),
                                     Calendar::hoursFigure(cell.holiday),
                                     Calendar::hoursFigure(cell.fund),
                                     Calendar::hoursFigure(cell.difference())};
        for (int column = 0; column < figures.size(); ++column) {
            QTableWidgetItem *item = m_ui->hoursTable->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                m_ui->hoursTable->setItem(row, column, item);
            }
            item->setText(figures.at(column));
        }
    }
    // Every column's width now, not once the table is next laid out:
    // "Fond" and "Rozdíl", last, are the figures one looks for.
    QHeaderView *columns = m_ui->hoursTable->horizontalHeader();
    columns->resizeSections(QHeaderView::ResizeToContents);
    m_tableWidth = 2 * m_ui->hoursTable->frameWidth() + m_ui->hoursTable->verticalHeader()->sizeHint().width()
                   + columns->length();
}

int PlanEditor::wholeWidth() const
{
    // The table asks for no more than it has: where the panel has less
    // room, the table scrolls across, not the settings around it.
    if (!m_ui)
        return minimumSizeHint().width();
    const QMargins margins = layout()->contentsMargins();
    return qMax(minimumSizeHint().width(), m_tableWidth + margins.left() + margins.right());
}

void PlanEditor::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange && m_ui) {
        const QSignalBlocker block(m_ui->weeklyHours);
        m_ui->retranslateUi(this);
        m_ui->weeklyHours->setCurrentIndex(m_week);
        showPlan();
        if (m_year > 0)
            showHours();
    }
}
