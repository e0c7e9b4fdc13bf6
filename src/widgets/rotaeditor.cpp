#include "rotaeditor.h"
#include "ui_rotaeditor.h"

#include "lazycolorpicker.h"

#include <QEvent>
#include <QPalette>

using Calendar::Ink;
using Calendar::Look;
using Calendar::Rota;

namespace {

// Upper case letter by letter: a letter whose capital is longer ("ß") stays
// as typed, so that the text keeps its length and the cursor its place, and
// the pattern's hint explains what cannot be used.
QString upperCaseInPlace(QString text)
{
    for (QChar &character : text)
        character = character.toUpper();
    return text;
}

} // namespace

RotaEditor::RotaEditor(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::RotaEditor)
{
    m_ui->setupUi(this);
    for (const KindEditor &editor : kindEditors())
        editor.color->setAccessibleColorName(editor.color->accessibleName());
    for (const auto &crew : crewEditors())
        crew.second->setAccessibleColorName(crew.second->accessibleName());
    // The presets' long names in full in the list, not in the panel's width.
    for (QComboBox *box : {m_ui->rota, m_ui->myCrew}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(16);
    }

    // A preset fills in its pattern; typing one makes it the user's own.
    connect(m_ui->rota, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int preset) { presetChosen(preset); });
    connect(m_ui->rotaPattern, &QLineEdit::textEdited, this, [this] { patternTyped(); });
    connect(m_ui->crewCount, QOverload<int>::of(&QSpinBox::valueChanged), this, [this] { patternTyped(); });
    // Every preset's times can be changed: a nurse on 7 to 19 keeps her
    // 12-hour rota.
    for (const KindEditor &editor : kindEditors()) {
        connect(editor.allDay, &QCheckBox::toggled, this, [this] { rotaEdited(); });
        connect(editor.start, &QTimeEdit::timeChanged, this, [this] { rotaEdited(); });
        connect(editor.hours, QOverload<int>::of(&QSpinBox::valueChanged), this, [this] { rotaEdited(); });
    }
    connect(m_ui->rotaAnchored, &QCheckBox::toggled, this, [this](bool on) { anchorSwitched(on); });
    connect(m_ui->anchorDate, &QDateEdit::dateChanged, this, [this] { rotaEdited(); });
    connect(m_ui->anchorCrew, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { rotaEdited(); });
    connect(m_ui->anchorDay, QOverload<int>::of(&QSpinBox::valueChanged), this, [this] { rotaEdited(); });
    connect(m_ui->myCrew, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        showState();
        emit changed();
    });
    for (const KindEditor &editor : kindEditors())
        connect(editor.color, &LazyColorPicker::changed, this, &RotaEditor::changed);
    for (const auto &crew : crewEditors())
        connect(crew.second, &LazyColorPicker::changed, this, &RotaEditor::changed);
    showRota(Rota());
}

RotaEditor::~RotaEditor() = default;

std::array<RotaEditor::KindEditor, Calendar::KindCount> RotaEditor::kindEditors() const
{
    // In the order of Calendar::kindCodes().
    const Ui::RotaEditor &ui = *m_ui;
    return {{{ui.kindSLabel, ui.kindSAllDay, ui.kindSStart, ui.kindSHours, ui.kindSColorLabel, ui.kindSColor},
             {ui.kindDLabel, ui.kindDAllDay, ui.kindDStart, ui.kindDHours, ui.kindDColorLabel, ui.kindDColor},
             {ui.kindNLabel, ui.kindNAllDay, ui.kindNStart, ui.kindNHours, ui.kindNColorLabel, ui.kindNColor},
             {ui.kindRLabel, ui.kindRAllDay, ui.kindRStart, ui.kindRHours, ui.kindRColorLabel, ui.kindRColor},
             {ui.kindOLabel, ui.kindOAllDay, ui.kindOStart, ui.kindOHours, ui.kindOColorLabel, ui.kindOColor}}};
}

std::array<std::pair<QLabel *, LazyColorPicker *>, Calendar::MaximumCrews - 3> RotaEditor::crewEditors() const
{
    return {{{m_ui->shiftDColorLabel, m_ui->shiftDColor},
             {m_ui->shiftEColorLabel, m_ui->shiftEColor},
             {m_ui->shiftFColorLabel, m_ui->shiftFColor}}};
}

void RotaEditor::fillLook(Look &look) const
{
    const auto crews = crewEditors();
    for (size_t crew = 0; crew < crews.size(); ++crew)
        look.crewColors[crew + 3] = crews[crew].second->ink();
    const auto kinds = kindEditors();
    for (size_t kind = 0; kind < kinds.size(); ++kind)
        look.kindColors[kind] = kinds[kind].color->ink();
    look.rota = rota();
    look.myCrew = m_ui->myCrew->currentIndex() - 1;
}

void RotaEditor::showLook(const Look &look)
{
    const auto crews = crewEditors();
    for (size_t crew = 0; crew < crews.size(); ++crew)
        crews[crew].second->setInk(look.crewColors[crew + 3]);
    const auto kinds = kindEditors();
    for (size_t kind = 0; kind < kinds.size(); ++kind)
        kinds[kind].color->setInk(look.kindColors[kind]);
    showRota(look.rota);
    m_ui->myCrew->setCurrentIndex(look.myCrew + 1);
}

Rota RotaEditor::rota() const
{
    const int preset = m_ui->rota->currentIndex();
    Rota rota;
    if (preset >= 0 && preset < Rota::Custom) {
        rota = Rota::fromPreset(preset);
    } else {
        rota.preset = Rota::Custom;
        rota.pattern = upperCaseInPlace(m_ui->rotaPattern->text().trimmed());
        rota.crews = m_ui->crewCount->value();
    }
    rota.anchor.on = m_ui->rotaAnchored->isChecked();
    if (rota.anchor.on) {
        rota.anchor.date = m_ui->anchorDate->date();
        rota.anchor.crew = m_ui->anchorCrew->currentIndex();
        rota.anchor.day = m_ui->anchorDay->value();
    }
    const auto editors = kindEditors();
    for (int kind = 0; kind < Calendar::KindCount; ++kind) {
        const KindEditor &editor = editors[size_t(kind)];
        rota.kinds[kind].start = editor.allDay->isChecked() ? QTime() : editor.start->time();
        rota.kinds[kind].hours = editor.hours->value();
    }
    return rota;
}

void RotaEditor::showRota(const Rota &rota)
{
    m_showing = true;
    m_ui->rota->setCurrentIndex(rota.preset);
    m_ui->rotaPattern->setText(rota.pattern);
    m_ui->crewCount->setValue(rota.crews);
    const auto editors = kindEditors();
    for (int kind = 0; kind < Calendar::KindCount; ++kind) {
        const KindEditor &editor = editors[size_t(kind)];
        const Calendar::ShiftKind &shift = rota.kinds.at(kind);
        editor.allDay->setChecked(shift.isAllDay());
        editor.start->setTime(shift.isAllDay() ? QTime(0, 0) : shift.start);
        editor.hours->setValue(shift.hours);
    }
    m_ui->rotaAnchored->setChecked(rota.anchor.on);
    m_showing = false;
    showCrews(rota.crews);
    if (rota.anchor.on) {
        m_showing = true;
        m_ui->anchorDate->setDate(rota.anchor.date);
        m_ui->anchorCrew->setCurrentIndex(rota.anchor.crew);
        m_ui->anchorDay->setValue(rota.anchor.day);
        m_showing = false;
    }
    showState();
}

void RotaEditor::presetChosen(int preset)
{
    if (m_showing)
        return;
    // A preset shows its own pattern and times; "Vlastní" starts from what
    // was shown. The anchor stays as it was set.
    Rota chosen = rota();
    if (preset < Rota::Custom) {
        const Calendar::RotaAnchor anchor = chosen.anchor;
        chosen = Rota::fromPreset(preset);
        chosen.anchor = anchor;
    }
    showRota(chosen);
    emit changed();
}

void RotaEditor::rotaEdited()
{
    if (m_showing)
        return;
    showState();
    emit changed();
}

void RotaEditor::anchorSwitched(bool on)
{
    if (m_showing)
        return;
    if (on) {
        // Set where the rota stands now, so that nothing moves until the
        // user says which day it really is.
        const Calendar::YearStart start = rota().yearStart(m_year, m_firstCrew);
        m_showing = true;
        m_ui->anchorDate->setDate(QDate(m_year, 1, 1));
        m_ui->anchorCrew->setCurrentIndex(start.crew);
        m_ui->anchorDay->setValue(start.day);
        m_showing = false;
    }
    rotaEdited();
}

void RotaEditor::patternTyped()
{
    if (m_showing)
        return;
    // Typing a pattern of one's own leaves the preset behind.
    if (m_ui->rota->currentIndex() != Rota::Custom) {
        m_showing = true;
        m_ui->rota->setCurrentIndex(Rota::Custom);
        m_showing = false;
    }
    const int cursor = m_ui->rotaPattern->cursorPosition();
    m_ui->rotaPattern->setText(upperCaseInPlace(m_ui->rotaPattern->text()));
    m_ui->rotaPattern->setCursorPosition(cursor);
    showCrews(rota().crews);
    showState();
    emit changed();
}

void RotaEditor::showCrews(int crews)
{
    // The view lists the rota's crews after the whole team; the anchor
    // the rota's crews.
    const int shown = m_ui->myCrew->currentIndex();
    {
        const QSignalBlocker block(m_ui->myCrew);
        while (m_ui->myCrew->count() > crews + 1)
            m_ui->myCrew->removeItem(m_ui->myCrew->count() - 1);
        for (int crew = m_ui->myCrew->count() - 1; crew < crews; ++crew)
            m_ui->myCrew->addItem(tr("Směna %1").arg(Calendar::crewName(crew)));
        m_ui->myCrew->setCurrentIndex(shown >= 0 && shown <= crews ? shown : 0);
    }
    {
        const QSignalBlocker block(m_ui->anchorCrew);
        const int anchored = m_ui->anchorCrew->currentIndex();
        while (m_ui->anchorCrew->count() > crews)
            m_ui->anchorCrew->removeItem(m_ui->anchorCrew->count() - 1);
        for (int crew = m_ui->anchorCrew->count(); crew < crews; ++crew)
            m_ui->anchorCrew->addItem(Calendar::crewName(crew));
        m_ui->anchorCrew->setCurrentIndex(anchored >= 0 && anchored < crews ? anchored : 0);
    }
    if (crews != m_crews) {
        m_crews = crews;
        emit crewsChanged(crews);
    }
}

void RotaEditor::showTotals(int year, int firstCrew)
{
    m_year = year;
    m_firstCrew = firstCrew;
    showState();
}

void RotaEditor::showState()
{
    const Rota current = rota();
    const QString problem = current.problem();
    m_ui->rotaHint->setText(problem);
    m_ui->rotaHint->setVisible(!problem.isEmpty());
    // Refused where it is typed: the pattern's field says so too, dark on
    // light in any colour scheme, and is the scheme's own again once mended.
    QPalette palette;
    if (!problem.isEmpty()) {
        palette.setColor(QPalette::Base, QColor(0xff, 0xe0, 0xe0));
        palette.setColor(QPalette::Text, Qt::black);
    }
    m_ui->rotaPattern->setPalette(palette);
    m_ui->rotaPattern->setAccessibleDescription(problem);

    const bool oneCrew = m_ui->myCrew->currentIndex() > 0;
    const auto editors = kindEditors();
    for (int kind = 0; kind < Calendar::KindCount; ++kind) {
        const KindEditor &editor = editors[size_t(kind)];
        const bool used = current.pattern.contains(Calendar::kindCodes().at(kind));
        for (QWidget *widget : std::initializer_list<QWidget *>{editor.label, editor.allDay, editor.start, editor.hours})
            widget->setVisible(used);
        editor.start->setEnabled(!editor.allDay->isChecked());
        editor.colorLabel->setVisible(oneCrew && used);
        editor.color->setVisible(oneCrew && used);
    }
    const auto crews = crewEditors();
    for (size_t crew = 0; crew < crews.size(); ++crew) {
        const bool shown = int(crew) + 3 < current.crews && !oneCrew;
        crews[crew].first->setVisible(shown);
        crews[crew].second->setVisible(shown);
    }

    // The anchor: its day within the cycle, and where the rota stands on
    // 1 January of the year shown (or, without it, of the next year, which
    // the first crew must be set for to go on with this one).
    const bool anchored = m_ui->rotaAnchored->isChecked();
    for (QWidget *widget : std::initializer_list<QWidget *>{m_ui->anchorDateLabel, m_ui->anchorDate, m_ui->anchorCrewLabel,
                                                            m_ui->anchorCrew, m_ui->anchorDayLabel, m_ui->anchorDay})
        widget->setVisible(anchored);
    if (current.cycle() > 0) {
        const QSignalBlocker block(m_ui->anchorDay);
        m_ui->anchorDay->setMaximum(current.cycle());
    }

    // The year in numbers, so that a worker can check the rota against the
    // hours the year should have.
    if (!problem.isEmpty()) {
        m_ui->rotaTotals->clear();
        m_ui->anchorInfo->clear();
        return;
    }
    const int described = anchored ? m_year : m_year + 1;
    const Calendar::YearStart start = (anchored ? current : current.anchoredAt(m_year, m_firstCrew))
                                          .yearStart(described, m_firstCrew);
    m_ui->anchorInfo->setText((anchored ? tr("1. 1. %1: směna %2, %3. den cyklu")
                                        : tr("Rok %1 navazuje: 1. 1. směna %2, %3. den cyklu"))
                                  .arg(described)
                                  .arg(Calendar::crewName(start.crew))
                                  .arg(start.day));
    QStringList lines;
    for (int crew = 0; crew < current.crews; ++crew)
        lines << Calendar::crewYearText(crew, Calendar::crewYear(current, m_year, m_firstCrew, crew));
    m_ui->rotaTotals->setText(tr("Rok %1:").arg(m_year) + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
}

void RotaEditor::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        // The lists are filled anew: the user's choices stay.
        const Look shown = [this] {
            Look look;
            fillLook(look);
            return look;
        }();
        m_showing = true;
        m_ui->retranslateUi(this);
        m_showing = false;
        m_crews = 0;
        showLook(shown);
    }
}
