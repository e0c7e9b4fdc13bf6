#include "planchangedialog.h"
#include "ui_planchangedialog.h"

#include <QPushButton>

using Calendar::Change;
using Calendar::DayChange;

PlanChangeDialog::PlanChangeDialog(const QDate &first, const QDate &last, const DayChange &change,
                                   const Calendar::Rota &rota, QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::PlanChangeDialog)
{
    m_ui->setupUi(this);
    const QString format = QStringLiteral("d. M. yyyy");
    m_ui->changeDays->setText(first == last ? first.toString(format)
                                            : tr("%1 až %2").arg(first.toString(format), last.toString(format)));
    for (int index = 0; index < Calendar::ChangeCount; ++index)
        m_ui->changeKind->addItem(Calendar::changeName(Change(index)));
    m_ui->changeKind->setCurrentIndex(int(change.change));
    for (const Calendar::ShiftKind &kind : rota.usedKinds()) {
        const QString hours = kind.hoursText();
        m_ui->extraKind->addItem(hours.isEmpty() ? QStringLiteral("%1 %2").arg(kind.code).arg(kind.name)
                                                 : QStringLiteral("%1 %2 %3").arg(kind.code).arg(kind.name, hours),
                                 QString(kind.code));
    }
    const int kind = m_ui->extraKind->findData(QString(change.kind));
    m_ui->extraKind->setCurrentIndex(kind >= 0 ? kind : 0);
    m_ui->changeNote->setText(change.note);
    connect(m_ui->changeKind, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { showKinds(); });
    showKinds();
}

PlanChangeDialog::~PlanChangeDialog() = default;

void PlanChangeDialog::showKinds()
{
    const bool extra = m_ui->changeKind->currentIndex() == int(Change::Extra);
    m_ui->extraKind->setVisible(extra);
    m_ui->extraKindLabel->setVisible(extra);
}

DayChange PlanChangeDialog::change() const
{
    DayChange change;
    change.change = Change(m_ui->changeKind->currentIndex());
    if (change.change == Change::Extra)
        change.kind = m_ui->extraKind->currentData().toString().at(0);
    change.note = m_ui->changeNote->text().trimmed();
    return change;
}
