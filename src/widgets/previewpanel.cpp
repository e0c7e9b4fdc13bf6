#include "previewpanel.h"
#include "ui_previewpanel.h"

#include "foldernotice.h"

#include "fonts/glyphoutlines.h"
#include "model/card.h"
#include "output/yearmessage.h"
#include "render/pdffont.h"

#include <QEvent>
#include <QScrollArea>
#include <QStyle>

using Calendar::Look;

PreviewPanel::PreviewPanel(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::PreviewPanel)
{
    m_ui->setupUi(this);
    m_ui->rotaScroll->setMinimumWidth(m_ui->rotaEditor->minimumContentWidth()
                                      + style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                                      + 2 * m_ui->rotaScroll->frameWidth());
    // Their height is what the preview leaves: a screenful of settings
    // scrolls, the month is shown as large as it can be.
    for (QScrollArea *settings : {m_ui->rotaScroll, m_ui->optionsScroll}) {
        settings->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // The keyboard goes to the settings, which the area scrolls to.
        settings->setFocusPolicy(Qt::NoFocus);
        settings->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
        settings->setMinimumHeight(6 * fontMetrics().height());
    }
    // Screen readers name the areas that scroll the settings.
    m_ui->rotaScroll->setAccessibleName(tr("Rozpis směn"));
    m_ui->optionsScroll->setAccessibleName(tr("Možnosti"));

    showLoadNotice(QString());
    // Below the notice of a load, above the tabs.
    m_folderNotice = new FolderNotice(this);
    m_ui->panelLayout->insertWidget(m_ui->panelLayout->indexOf(m_ui->loadNoticeBox) + 1, m_folderNotice);
    connect(m_ui->loadNoticeClose, &QToolButton::clicked, this, [this] { showLoadNotice(QString()); });

    connect(m_ui->rotaEditor, &RotaEditor::changed, this, &PreviewPanel::changed);
    for (QCheckBox *box : {m_ui->labels, m_ui->holidays, m_ui->crewLetters})
        connect(box, &QCheckBox::toggled, this, &PreviewPanel::changed);
    connect(m_ui->previewMonth, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &PreviewPanel::changed);
    connect(m_ui->cardNote, &QLineEdit::textChanged, this, &PreviewPanel::changed);
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
    m_ui->rotaEditor->fillLook(look);
}

void PreviewPanel::showLook(const Look &look)
{
    m_ui->labels->setChecked(look.labels);
    m_ui->holidays->setChecked(look.holidays);
    m_ui->crewLetters->setChecked(look.crewLetters);
    m_ui->cardNote->setText(look.cardNote);
    m_ui->rotaEditor->showLook(look);
}

void PreviewPanel::fillRequest(Calendar::YearRequest &request) const
{
    request.yearSheet = m_ui->yearSheet->isChecked();
    request.phoneCalendars = m_ui->phoneCalendars->isChecked();
    request.walletCard = m_ui->walletCard->isChecked();
}

void PreviewPanel::showPreview(const Calendar::YearRequest &request)
{
    layOutPreview(request);
    emit previewShown();
}

void PreviewPanel::layOutPreview(const Calendar::YearRequest &typed)
{
    const Calendar::YearRequest request = Calendar::composed(typed);
    const Look &look = request.look;
    MonthPreview *preview = m_ui->monthPreview;
    m_ui->rotaEditor->showTotals(request.year, request.firstCrew);
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
    // Another family than the one chosen is shown, and said so.
    preview->setRemark(standIn.isEmpty() ? QString() : standInNotice(look.font, standIn));
    const QString printable = Calendar::printableCharacters(look);
    // The card's sides come after the months in the list.
    if (page > 12) {
        const QString card = Calendar::cardCharacters(request.year, request.firstCrew, look);
        const Calendar::TextFont text = m_font->measure(printable + card);
        const Calendar::CardModel model = Calendar::layOutCard(request.year, request.firstCrew, look, text);
        preview->setCardFace(page == 13 ? model.front : model.back, m_glyphs, text);
        return;
    }
    const Calendar::TextFont text = m_font->measure(printable);
    preview->setPage(Calendar::layOutMonth(request.year, page, request.firstCrew, look, text), m_glyphs, text);
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
