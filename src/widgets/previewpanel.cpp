#include "previewpanel.h"
#include "ui_previewpanel.h"

#include "colorpicker.h"
#include "foldernotice.h"
#include "planeditor.h"
#include "wheelguard.h"

#include "fonts/glyphoutlines.h"
#include "model/card.h"
#include "model/holidays.h"
#include "model/preflight.h"
#include "output/yearmessage.h"
#include "render/pdffont.h"

#include <QEvent>
#include <QShowEvent>
#include <QLocale>
#include <QMenu>
#include <QScrollArea>
#include <QStyle>

using Calendar::Change;
using Calendar::DayChange;
using Calendar::Look;

PreviewPanel::PreviewPanel(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::PreviewPanel)
{
    m_ui->setupUi(this);
    // The settings scroll up and down, and take what the preview leaves of
    // the panel's height; the preview has the larger part to begin with.
    m_ui->settingsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_ui->settingsScroll->setMinimumHeight(4 * fontMetrics().height());
    m_ui->panelSplitter->setStretchFactor(0, 2);
    m_ui->panelSplitter->setStretchFactor(1, 3);
    QFont heading = m_ui->rotaHeading->font();
    heading.setBold(true);
    for (QWidget *title : std::initializer_list<QWidget *>{m_ui->rotaHeading, m_ui->planHeading, m_ui->optionsHeading,
                                                           m_ui->previewHeading})
        title->setFont(heading);
    // The list of pages is no wider than its heading row can spare.
    m_ui->previewMonth->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_ui->previewMonth->setMinimumContentsLength(8);
    setNarrow(false);
    foldWith(m_ui->rotaHeading, m_ui->rotaEditor, true);
    foldWith(m_ui->planHeading, m_ui->planEditor, false);
    foldWith(m_ui->optionsHeading, m_ui->optionsPage, true);
    // Screen readers name the area that scrolls the settings.
    m_ui->settingsScroll->setAccessibleName(tr("Nastavení rozpisu, mého roku a souborů"));
    WheelGuard::install(m_ui->settingsScroll);

    showLoadNotice(QString());
    // Below the notice of a load, above the tabs.
    m_folderNotice = new FolderNotice(this);
    m_ui->panelLayout->insertWidget(m_ui->panelLayout->indexOf(m_ui->loadNoticeBox) + 1, m_folderNotice);
    connect(m_ui->loadNoticeClose, &QToolButton::clicked, this, [this] { showLoadNotice(QString()); });

    connect(m_ui->rotaEditor, &RotaEditor::changed, this, &PreviewPanel::changed);
    connect(m_ui->planEditor, &PlanEditor::changed, this, &PreviewPanel::changed);
    connect(m_ui->planEditor, &PlanEditor::hoursCrewChosen, this, &PreviewPanel::changed);
    for (QCheckBox *box : {m_ui->labels, m_ui->holidays, m_ui->crewLetters})
        connect(box, &QCheckBox::toggled, this, &PreviewPanel::changed);
    connect(m_ui->previewMonth, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &PreviewPanel::changed);
    connect(m_ui->cardNote, &QLineEdit::textChanged, this, &PreviewPanel::changed);
    // The bleed and the ink limit are a print shop's.
    m_ui->bleed->setRange(Calendar::BleedRange.minimum, Calendar::BleedRange.maximum);
    m_ui->inkLimit->setRange(int(Calendar::InkLimitRange.minimum), int(Calendar::InkLimitRange.maximum));
    for (QWidget *input : {static_cast<QWidget *>(m_ui->bleed), static_cast<QWidget *>(m_ui->inkLimit)})
        connect(m_ui->printShop, &QCheckBox::toggled, input, &QWidget::setEnabled);
    connect(m_ui->printShop, &QCheckBox::toggled, this, &PreviewPanel::changed);
    connect(m_ui->bleed, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, &PreviewPanel::changed);
    connect(m_ui->inkLimit, QOverload<int>::of(&QSpinBox::valueChanged), this, &PreviewPanel::changed);
    connect(m_ui->monthPreview, &MonthPreview::daysChosen, this, &PreviewPanel::offerChanges);
    m_ui->monthPreview->setDayDescriber([this](const QDate &date) { return describeDay(date); });
}

void PreviewPanel::setNarrow(bool narrow)
{
    m_narrow = narrow;
    // Wide enough for a colour picker, the widest of the settings' rows,
    // whether one is shown yet or not: as wide as the form's, beside them.
    // Narrow, they scroll across.
    const QMargins margins = m_ui->settingsLayout->contentsMargins();
    const int chrome = style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * m_ui->settingsScroll->frameWidth();
    int widest = m_ui->settingsPage->minimumSizeHint().width();
    if (const ColorPicker *picker = isVisible() ? window()->findChild<ColorPicker *>() : nullptr)
        widest = qMax(widest, picker->minimumSizeHint().width() + margins.left() + margins.right());
    // The table of hours whole where the screen has room for it; where not,
    // the table scrolls across.
    if (m_ui->planEditor->isVisible()) {
        const int table = m_ui->planEditor->wholeWidth() + margins.left() + margins.right();
        widest = qMax(widest, qMin(table, m_room - chrome));
    }
    m_ui->settingsScroll->setMinimumWidth(narrow ? 8 * fontMetrics().averageCharWidth() : widest + chrome);
    // Known at once, not once the splitter gets to its events.
    m_ui->panelSplitter->updateGeometry();
    layout()->invalidate();
    updateGeometry();
}

void PreviewPanel::setRoom(int settingsWidth)
{
    m_room = settingsWidth;
    setNarrow(m_narrow);
}

int PreviewPanel::settingsWidth() const
{
    return m_ui->settingsScroll->minimumWidth();
}

void PreviewPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The pickers' width is theirs once they show: not polished before.
    if (!event->spontaneous())
        setNarrow(m_narrow);
}

void PreviewPanel::foldWith(QToolButton *heading, QWidget *part, bool open)
{
    const auto show = [heading, part](bool on) {
        part->setVisible(on);
        heading->setArrowType(on ? Qt::DownArrow : Qt::RightArrow);
    };
    heading->setChecked(open);
    show(open);
    connect(heading, &QToolButton::toggled, this, [this, show, part](bool on) {
        show(on);
        // As wide as the parts open need.
        setNarrow(m_narrow);
        // A part opened shows what it holds now.
        if (on && part == m_ui->planEditor)
            emit changed();
    });
}

PreviewPanel::~PreviewPanel() = default;

void PreviewPanel::showLoadNotice(const QString &text)
{
    m_ui->loadNotice->setText(text);
    m_ui->loadNoticeBox->setVisible(!text.isEmpty());
}

RotaEditor *PreviewPanel::rotaEditor() const
{
    return m_ui->rotaEditor;
}

PlanEditor *PreviewPanel::planEditor() const
{
    return m_ui->planEditor;
}

MonthPreview *PreviewPanel::monthPreview() const
{
    return m_ui->monthPreview;
}

void PreviewPanel::fillLook(Look &look) const
{
    look.labels = m_ui->labels->isChecked();
    look.holidays = m_ui->holidays->isChecked();
    look.crewLetters = m_ui->crewLetters->isChecked();
    look.cardNote = m_ui->cardNote->text().trimmed();
    look.printShop = {m_ui->printShop->isChecked(), m_ui->bleed->value(), double(m_ui->inkLimit->value())};
    m_ui->rotaEditor->fillLook(look);
    m_ui->planEditor->fillLook(look);
}

void PreviewPanel::showLook(const Look &look)
{
    m_ui->labels->setChecked(look.labels);
    m_ui->holidays->setChecked(look.holidays);
    m_ui->crewLetters->setChecked(look.crewLetters);
    m_ui->cardNote->setText(look.cardNote);
    m_ui->printShop->setChecked(look.printShop.on);
    m_ui->bleed->setValue(look.printShop.bleedMm);
    m_ui->inkLimit->setValue(qRound(look.printShop.inkLimit));
    m_ui->rotaEditor->showLook(look);
    m_ui->planEditor->showLook(look);
}

void PreviewPanel::fillRequest(Calendar::YearRequest &request) const
{
    request.yearSheet = m_ui->yearSheet->isChecked();
    request.phoneCalendars = m_ui->phoneCalendars->isChecked();
    request.walletCard = m_ui->walletCard->isChecked();
    request.hoursFile = m_ui->hoursFile->isChecked();
    request.hoursCrew = m_ui->planEditor->hoursCrew();
    request.cardPerCrew = m_ui->cardPerCrew->isChecked();
}

void PreviewPanel::showPreview(const Calendar::YearRequest &request)
{
    layOutPreview(request);
    emit previewShown();
}

void PreviewPanel::layOutPreview(const Calendar::YearRequest &typed)
{
    const Calendar::YearRequest request = Calendar::composed(typed);
    m_request = request;
    const Look &look = request.look;
    MonthPreview *preview = m_ui->monthPreview;
    m_ui->rotaEditor->showTotals(request.year, request.firstCrew);
    // One's own changes are made in one crew's view, on its days.
    preview->setChoosingDays(look.myCrew >= 0 && look.rota.isValid());
    // The hours counted only while someone looks at them.
    if (m_ui->planEditor->isVisible() || !isVisible()) {
        m_ui->planEditor->showYear(look, request.year, request.firstCrew);
        // Room for the whole table of hours, whose figures grow and shrink:
        // the panel grows rather than hide its last columns.
        if (m_ui->planEditor->isVisible())
            setNarrow(m_narrow);
    }
    if (!look.rota.isValid()) {
        preview->setNotice(look.rota.problem());
        return;
    }
    if (look.font != m_family || !m_font) {
        m_family = look.font;
        m_source = Calendar::resolvePdfFont(look.font);
        m_font = std::make_unique<Calendar::PdfRunFont>(m_source);
        m_glyphs = std::make_shared<const Calendar::GlyphOutlines>(m_source);
    }
    const QString standIn = m_source.standsIn ? m_source.resolvedFamily : QString();
    if (!m_font->isOpen() || !m_glyphs->isOpen()) {
        preview->setNotice(fontNotice(Calendar::YearResult::Status::FontUnavailable, look.font, QString(), standIn));
        return;
    }
    const int page = m_ui->previewMonth->currentIndex() + 1;
    // Whatever the year prints must be in the face, and the card's text too
    // where the run makes the card or the page is one of its sides: the
    // notice is the one "Dokončit" would give.
    const Calendar::TextCheck check = Calendar::checkText(m_source, *m_glyphs, request, page > 12 || request.walletCard);
    if (check.status != Calendar::YearResult::Status::Written) {
        preview->setNotice(fontNotice(check.status, look.font, check.detail, standIn));
        return;
    }
    // Another family than the one chosen is shown, and said so; and for a
    // print shop what its checks find on the page, as "Dokončit" says it.
    const auto remark = [&](const QVector<Calendar::PreflightFinding> &findings) {
        QStringList lines;
        if (!standIn.isEmpty())
            lines << standInNotice(look.font, standIn);
        if (look.printShop.on && Calendar::isBuiltInPdfFont(look.font))
            lines << builtInFontNotice(look.font, Calendar::resolveEmbeddedFont(look.font).resolvedFamily);
        if (look.printShop.on)
            lines << preflightNotice(findings);
        lines.removeAll(QString());
        preview->setRemark(lines.join(QStringLiteral("\n\n")));
    };
    const QString printable = Calendar::printableCharacters(look);
    // The card's sides come after the months in the list.
    if (page > 12) {
        const QString card = Calendar::cardCharacters(request.year, request.firstCrew, look);
        const Calendar::TextFont text = m_font->measure(printable + card);
        const Calendar::CardModel model = Calendar::layOutCard(request.year, request.firstCrew, look, text);
        const Calendar::CardFace &face = page == 13 ? model.front : model.back;
        remark(look.printShop.on ? Calendar::preflightCard(face, page - 13, -1, look, text)
                                 : QVector<Calendar::PreflightFinding>());
        preview->setCardFace(face, m_glyphs, text);
        return;
    }
    const Calendar::TextFont text = m_font->measure(printable);
    const Calendar::MonthModel month = Calendar::layOutMonth(request.year, page, request.firstCrew, look, text);
    remark(look.printShop.on ? Calendar::preflightMonth(month, page, look, text) : QVector<Calendar::PreflightFinding>());
    preview->setPage(month, m_glyphs, text);
}

QString PreviewPanel::describeDay(const QDate &date) const
{
    // "pátek 5. března 2027: Ranní 6–14, Dovolená (výměna s Petrem)"
    const Look &look = m_request.look;
    QStringList parts;
    const QVector<QChar> shifts = look.shiftsOn(look.myCrew, date, m_request.firstCrew);
    for (const QChar code : shifts) {
        const Calendar::ShiftKind &kind = look.rota.kind(code);
        parts << (kind.hoursText().isEmpty() ? kind.name : QStringLiteral("%1 %2").arg(kind.name, kind.hoursText()));
    }
    if (shifts.isEmpty())
        parts << tr("volno podle rozpisu");
    if (const DayChange *change = look.changeOn(look.myCrew, date))
        parts << (change->note.isEmpty() ? Calendar::changeName(change->change)
                                         : QStringLiteral("%1 (%2)").arg(Calendar::changeName(change->change), change->note));
    if (look.holidays && Calendar::isCzechPublicHoliday(date))
        parts << tr("státní svátek");
    return QStringLiteral("%1: %2").arg(QLocale(QLocale::Czech).toString(date, QStringLiteral("dddd d. MMMM yyyy")),
                                        parts.join(QStringLiteral(", ")));
}

void PreviewPanel::offerChanges(const QDate &first, const QDate &last, const QPoint &at)
{
    const Look &look = m_request.look;
    if (look.myCrew < 0)
        return;
    PlanEditor *plan = m_ui->planEditor;
    QMenu menu(this);
    const QString days = first == last ? first.toString(QStringLiteral("d. M."))
                                       : tr("%1 až %2").arg(first.toString(QStringLiteral("d. M.")),
                                                           last.toString(QStringLiteral("d. M.")));
    menu.setTitle(days);
    menu.addSection(days);
    for (const Change change : {Change::Leave, Change::Sick, Change::Off}) {
        menu.addAction(Calendar::changeName(change),
                       [=] { plan->change(first, last, DayChange{change, QChar(), QString()}); });
    }
    QMenu *extra = menu.addMenu(Calendar::changeName(Change::Extra));
    for (const Calendar::ShiftKind &kind : look.rota.usedKinds()) {
        const QString hours = kind.hoursText();
        extra->addAction(hours.isEmpty() ? QStringLiteral("%1 %2").arg(kind.code).arg(kind.name)
                                         : QStringLiteral("%1 %2 %3").arg(kind.code).arg(kind.name, hours),
                         [=] { plan->change(first, last, DayChange{Change::Extra, kind.code, QString()}); });
    }
    menu.addSeparator();
    menu.addAction(tr("S poznámkou…"), [=] { plan->editDays(first, last); });
    QAction *none = menu.addAction(tr("Bez změny"), [=] { plan->change(first, last, std::nullopt); });
    bool changed = false;
    for (QDate day = first; day <= last; day = day.addDays(1))
        changed = changed || look.plan.contains(day);
    none->setEnabled(changed);
    menu.exec(at);
}

void PreviewPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        // The month list is filled anew: the page shown stays.
        const int page = m_ui->previewMonth->currentIndex();
        {
            const QSignalBlocker block(m_ui->previewMonth);
            m_ui->retranslateUi(this);
            m_ui->previewMonth->setCurrentIndex(page);
        }
    }
}
