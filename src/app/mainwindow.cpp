#include "mainwindow.h"
#include "ui_mainwindow.h"
#include "ui_previewpanel.h"

#include "fonts/glyphoutlines.h"
#include "render/pdffont.h"
#include "output/setupfile.h"
#include "yearmessage.h"

#include <QDir>
#include <QDockWidget>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QResizeEvent>
#include <QStandardPaths>
#include <QUrl>

#include <utility>

using Calendar::Ink;
using Calendar::Look;
using Calendar::Rota;

namespace {

Ink inkOf(const ColorPicker *picker)
{
    return Ink::fromState(picker->toByteArray());
}

// The kind editors of one code: whether it is worked all day, when it starts
// and how long it lasts.
struct KindEditor
{
    QCheckBox *allDay;
    QTimeEdit *start;
    QSpinBox *hours;
    QLabel *label;
};

// Where the ready looks are installed: among the system's data folders, or
// beside a build that is run where it was installed.
QStringList readyLookFolders()
{
    QStringList folders = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                    QStringLiteral("lunoris/looks"), QStandardPaths::LocateDirectory);
    const QString beside = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../share/lunoris/looks"));
    if (QFileInfo(beside).isDir() && !folders.contains(QDir::cleanPath(beside)))
        folders << QDir::cleanPath(beside);
    return folders;
}

KindEditor kindEditor(const Ui::PreviewPanel *panel, int kind)
{
    const QWidget *page = panel->rotaPage;
    const QString code = Calendar::kindCodes().at(kind);
    return {page->findChild<QCheckBox *>(QStringLiteral("kind%1AllDay").arg(code)),
            page->findChild<QTimeEdit *>(QStringLiteral("kind%1Start").arg(code)),
            page->findChild<QSpinBox *>(QStringLiteral("kind%1Hours").arg(code)),
            page->findChild<QLabel *>(QStringLiteral("kind%1Label").arg(code))};
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    // The form's row pictures are 16-pixel pixmaps; taken again through an
    // icon they come from the @2x and @3x pictures on dense screens (and are
    // the same picture elsewhere).
    const std::pair<QLabel *, const char *> rowPictures[] = {
        {ui->label_2, "year"}, {ui->label_4, "first_shift"}, {ui->label_10, "font"}, {ui->label_6, "shift_colors"},
        {ui->label_14, "field_size"}, {ui->label_18, "border"}, {ui->label_16, "target_folder"}};
    for (const auto &[label, name] : rowPictures)
        label->setPixmap(QIcon(QStringLiteral(":/icon/16/") + QLatin1String(name)).pixmap(16, 16));
    // The ranges live in one place; the form already has them, and keeps
    // them should they ever change there.
    ui->year->setRange(Calendar::FirstYear, Calendar::LastYear);
    for (QDoubleSpinBox *size : {ui->fontSize})
        size->setRange(Calendar::FontSizeRange.minimum, Calendar::FontSizeRange.maximum);
    for (QDoubleSpinBox *size : {ui->boxWidth, ui->boxHeight})
        size->setRange(Calendar::BoxSizeRange.minimum, Calendar::BoxSizeRange.maximum);
    ui->borderWidth->setRange(Calendar::BorderWidthRange.minimum, Calendar::BorderWidthRange.maximum);
    describeForAccessibility();
    setUpPreview();
}

MainWindow::~MainWindow()
{
    delete m_preview;
    delete ui;
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        const int first = ui->fisrtShift->currentIndex();
        ui->retranslateUi(this);
        m_previewDock->setWindowTitle(tr("Náhled"));
        const int month = m_preview->previewMonth->currentIndex();
        const int preset = m_preview->rota->currentIndex();
        const int crew = m_preview->myCrew->currentIndex();
        m_showingRota = true;
        m_preview->retranslateUi(m_previewDock->widget());
        m_preview->previewMonth->setCurrentIndex(month);
        m_preview->rota->setCurrentIndex(preset);
        m_showingRota = false;
        // The crew lists as the rota has them, and the first crew the user
        // chose: calendars must not silently start from another crew.
        showCrews(rota().crews);
        ui->fisrtShift->setCurrentIndex(first);
        m_preview->myCrew->setCurrentIndex(crew);
    }
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The form keeps the width it needs; every pixel more goes to the
    // preview, so that a month can be checked at full size on a large screen.
    if (m_previewDock && event->oldSize().width() > 0 && event->size().width() != event->oldSize().width()) {
        const int form = centralWidget()->minimumSizeHint().width();
        const int extra = style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
        resizeDocks({m_previewDock}, {qMax(m_previewDock->minimumSizeHint().width(), width() - form - extra)},
                    Qt::Horizontal);
    }
}

void MainWindow::describeForAccessibility()
{
    // Each caption names its input, for screen readers and for a click on
    // the caption; the inputs without a caption of their own get a name.
    const std::pair<QLabel *, QWidget *> captions[] = {
        {ui->label_3, ui->year},          {ui->label_5, ui->fisrtShift},  {ui->label_11, ui->font},
        {ui->label_7, ui->shiftAColor},   {ui->label_8, ui->shiftBColor}, {ui->label_9, ui->shiftCColor},
        {ui->label_13, ui->boxWidth},     {ui->label_19, ui->borderWidth}, {ui->label_17, ui->targetDirectory}};
    for (const auto &[caption, input] : captions)
        caption->setBuddy(input);
    const std::pair<QWidget *, const char *> names[] = {
        {ui->year, "Rok"},
        {ui->fisrtShift, "První směna"},
        {ui->font, "Písmo"},
        {ui->fontSize, "Velikost písma v bodech"},
        {ui->boxWidth, "Šířka okénka v milimetrech"},
        {ui->boxHeight, "Výška okénka v milimetrech"},
        {ui->borderWidth, "Šířka rámečku v bodech"},
        {ui->textOnly, "Žádná okénka, pouze text"},
        {ui->targetDirectory, "Cílová složka"},
        {ui->save, "Uložit konfiguraci"},
        {ui->save_2, "Načíst konfiguraci"},
        {ui->finish, "Dokončit"}};
    for (const auto &[input, name] : names)
        input->setAccessibleName(tr(name));
    ui->fisrtShift->setAccessibleDescription(tr("Směna, která je na začátku rozpisu 1. ledna"));
    ui->targetDirectory->setAccessibleDescription(tr("Složka, do které se kalendáříky uloží; vybírá se tlačítkem"));
    ui->finish->setAccessibleDescription(tr("Uloží kalendáříky všech dvanácti měsíců do cílové složky"));
    ui->shiftAColor->setAccessibleColorName(tr("Barva A"));
    ui->shiftBColor->setAccessibleColorName(tr("Barva B"));
    ui->shiftCColor->setAccessibleColorName(tr("Barva C"));
    ui->fontColor->setAccessibleColorName(tr("Barva písma"));
    ui->borderColor->setAccessibleColorName(tr("Barva rámečku"));
}

void MainWindow::setUpPreview()
{
    // A panel of its own beside the form, which stays as it is: it can be
    // neither closed nor floated away.
    m_previewDock = new QDockWidget(tr("Náhled"), this);
    m_previewDock->setObjectName(QStringLiteral("previewDock"));
    m_previewDock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_previewDock->setAllowedAreas(Qt::RightDockWidgetArea);
    auto *panel = new QWidget(m_previewDock);
    m_preview = new Ui::PreviewPanel;
    m_preview->setupUi(panel);
    m_previewDock->setWidget(panel);
    for (ColorPicker *picker : crewPickers().mid(3) + kindPickers())
        picker->setAccessibleColorName(picker->accessibleName());
    addDockWidget(Qt::RightDockWidgetArea, m_previewDock);
    // The settings scroll up and down only: the panel is as wide as their
    // widest row, a colour picker beside its caption.
    int captions = 0;
    for (QLabel *caption : m_preview->rotaPage->findChildren<QLabel *>()) {
        if (caption->buddy())
            captions = qMax(captions, caption->sizeHint().width());
    }
    const QMargins margins = m_preview->rotaLayout->contentsMargins();
    m_preview->rotaScroll->setMinimumWidth(
        margins.left() + captions + m_preview->rotaLayout->horizontalSpacing()
        + m_preview->shiftDColor->minimumSizeHint().width() + margins.right()
        + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * m_preview->rotaScroll->frameWidth());
    // Their height is what the preview leaves: a screenful of settings
    // scrolls, the month is shown as large as it can be.
    for (QScrollArea *settings : {m_preview->rotaScroll, m_preview->optionsScroll}) {
        settings->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // The keyboard goes to the settings, which the area scrolls to.
        settings->setFocusPolicy(Qt::NoFocus);
        settings->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
        settings->setMinimumHeight(6 * fontMetrics().height());
    }
    // The presets' long names in full in the list, not in the panel's width.
    for (QComboBox *box : {m_preview->rota, m_preview->myCrew}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(16);
    }
    resizeDocks({m_previewDock},
                {qMax(m_preview->monthPreview->sizeHint().width(), m_preview->rotaScroll->minimumWidth())},
                Qt::Horizontal);

    // Every input that changes the page; the colour pickers through their
    // spin boxes.
    const auto changed = [this] { schedulePreview(); };
    for (QSpinBox *box : {ui->year})
        connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, changed);
    for (QDoubleSpinBox *box : {ui->fontSize, ui->boxWidth, ui->boxHeight, ui->borderWidth})
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    for (ColorPicker *picker : crewPickers() + kindPickers() + QList<ColorPicker *>{ui->fontColor, ui->borderColor}) {
        for (QSpinBox *box : picker->findChildren<QSpinBox *>())
            connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, changed);
    }
    connect(ui->fisrtShift, QOverload<int>::of(&QComboBox::currentIndexChanged), this, changed);
    // What the box shows, typed or chosen, with or without Enter, is the font
    // of the preview, the PDF and the setup file.
    connect(ui->font, &QComboBox::currentTextChanged, this, changed);
    for (QCheckBox *box : {ui->textOnly, m_preview->labels, m_preview->holidays})
        connect(box, &QCheckBox::toggled, this, changed);
    connect(m_preview->previewMonth, QOverload<int>::of(&QComboBox::currentIndexChanged), this, changed);
    connect(m_preview->cardNote, &QLineEdit::textChanged, this, changed);

    // The rota: a preset fills in its pattern; typing one makes it the
    // user's own.
    connect(m_preview->rota, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int preset) { rotaChosen(preset); });
    connect(m_preview->rotaPattern, &QLineEdit::textEdited, this, [this] { rotaTyped(); });
    connect(m_preview->crewCount, QOverload<int>::of(&QSpinBox::valueChanged), this, [this] {
        if (!m_showingRota)
            rotaTyped();
    });
    for (int kind = 0; kind < Calendar::KindCount; ++kind) {
        const KindEditor editor = kindEditor(m_preview, kind);
        connect(editor.allDay, &QCheckBox::toggled, this, [this] { rotaTyped(); });
        connect(editor.start, &QTimeEdit::timeChanged, this, [this] { rotaTyped(); });
        connect(editor.hours, QOverload<int>::of(&QSpinBox::valueChanged), this, [this] { rotaTyped(); });
    }
    connect(m_preview->myCrew, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        showRotaState();
        schedulePreview();
    });
    showRota(Rota());
    // Laid out once the event loop runs, not while the window is built.
    schedulePreview();
}

QList<ColorPicker *> MainWindow::crewPickers() const
{
    return {ui->shiftAColor, ui->shiftBColor, ui->shiftCColor, m_preview->shiftDColor, m_preview->shiftEColor,
            m_preview->shiftFColor};
}

QList<ColorPicker *> MainWindow::kindPickers() const
{
    return {m_preview->kindSColor, m_preview->kindDColor, m_preview->kindNColor, m_preview->kindRColor,
            m_preview->kindOColor};
}

Rota MainWindow::rota() const
{
    const int preset = m_preview->rota->currentIndex();
    if (preset >= 0 && preset < Rota::Custom)
        return Rota::fromPreset(preset);
    Rota rota;
    rota.preset = Rota::Custom;
    rota.pattern = m_preview->rotaPattern->text().trimmed().toUpper();
    rota.crews = m_preview->crewCount->value();
    for (int kind = 0; kind < Calendar::KindCount; ++kind) {
        const KindEditor editor = kindEditor(m_preview, kind);
        rota.kinds[kind].start = editor.allDay->isChecked() ? QTime() : editor.start->time();
        rota.kinds[kind].hours = editor.hours->value();
    }
    return rota;
}

void MainWindow::showRota(const Rota &rota)
{
    m_showingRota = true;
    m_preview->rota->setCurrentIndex(rota.preset);
    m_preview->rotaPattern->setText(rota.pattern);
    m_preview->crewCount->setValue(rota.crews);
    for (int kind = 0; kind < Calendar::KindCount; ++kind) {
        const KindEditor editor = kindEditor(m_preview, kind);
        const Calendar::ShiftKind &shift = rota.kinds.at(kind);
        editor.allDay->setChecked(shift.isAllDay());
        editor.start->setTime(shift.isAllDay() ? QTime(0, 0) : shift.start);
        editor.hours->setValue(shift.hours);
    }
    m_showingRota = false;
    showCrews(rota.crews);
    showRotaState();
}

void MainWindow::rotaChosen(int preset)
{
    if (m_showingRota)
        return;
    // A preset shows its own pattern; "Vlastní" starts from what was shown.
    showRota(preset < Rota::Custom ? Rota::fromPreset(preset) : rota());
    schedulePreview();
}

void MainWindow::rotaTyped()
{
    if (m_showingRota)
        return;
    // Typing a pattern of one's own leaves the preset behind.
    if (m_preview->rota->currentIndex() != Rota::Custom) {
        m_showingRota = true;
        m_preview->rota->setCurrentIndex(Rota::Custom);
        m_showingRota = false;
    }
    const int cursor = m_preview->rotaPattern->cursorPosition();
    m_preview->rotaPattern->setText(m_preview->rotaPattern->text().toUpper());
    m_preview->rotaPattern->setCursorPosition(cursor);
    const Rota typed = rota();
    if (typed.crews != ui->fisrtShift->count())
        showCrews(typed.crews);
    showRotaState();
    schedulePreview();
}

void MainWindow::showCrews(int crews)
{
    // The first crew and the view list the rota's crews; with three, the
    // form's own "A", "B", "C".
    const int first = ui->fisrtShift->currentIndex();
    const int shown = m_preview->myCrew->currentIndex();
    const QSignalBlocker blockFirst(ui->fisrtShift);
    const QSignalBlocker blockCrew(m_preview->myCrew);
    while (ui->fisrtShift->count() > crews)
        ui->fisrtShift->removeItem(ui->fisrtShift->count() - 1);
    for (int crew = ui->fisrtShift->count(); crew < crews; ++crew)
        ui->fisrtShift->addItem(Calendar::crewName(crew));
    ui->fisrtShift->setCurrentIndex(first >= 0 && first < crews ? first : 0);
    while (m_preview->myCrew->count() > crews + 1)
        m_preview->myCrew->removeItem(m_preview->myCrew->count() - 1);
    for (int crew = m_preview->myCrew->count() - 1; crew < crews; ++crew)
        m_preview->myCrew->addItem(tr("Směna %1").arg(Calendar::crewName(crew)));
    m_preview->myCrew->setCurrentIndex(shown >= 0 && shown <= crews ? shown : 0);
    showRotaState();
}

void MainWindow::showRotaState()
{
    const Rota current = rota();
    const bool custom = m_preview->rota->currentIndex() == Rota::Custom;
    const QString problem = current.problem();
    m_preview->rotaHint->setText(problem);
    m_preview->rotaHint->setVisible(!problem.isEmpty());
    // Refused where it is typed: the pattern's field says so too, dark on
    // light in any colour scheme, and is the scheme's own again once mended.
    QPalette palette;
    if (!problem.isEmpty()) {
        palette.setColor(QPalette::Base, QColor(0xff, 0xe0, 0xe0));
        palette.setColor(QPalette::Text, Qt::black);
    }
    m_preview->rotaPattern->setPalette(palette);
    m_preview->rotaPattern->setAccessibleDescription(problem);

    const bool oneCrew = m_preview->myCrew->currentIndex() > 0;
    for (int kind = 0; kind < Calendar::KindCount; ++kind) {
        const KindEditor editor = kindEditor(m_preview, kind);
        const bool used = current.pattern.contains(Calendar::kindCodes().at(kind));
        for (QWidget *widget : {static_cast<QWidget *>(editor.allDay), static_cast<QWidget *>(editor.start),
                                static_cast<QWidget *>(editor.hours), static_cast<QWidget *>(editor.label)})
            widget->setVisible(custom && used);
        editor.start->setEnabled(!editor.allDay->isChecked());
        const QString code = Calendar::kindCodes().at(kind);
        kindPickers().at(kind)->setVisible(oneCrew && used);
        m_preview->rotaPage->findChild<QLabel *>(QStringLiteral("kind%1ColorLabel").arg(code))->setVisible(oneCrew && used);
    }
    for (int crew = 3; crew < Calendar::MaximumCrews; ++crew) {
        const bool shown = crew < current.crews && !oneCrew;
        crewPickers().at(crew)->setVisible(shown);
        m_preview->rotaPage->findChild<QLabel *>(QStringLiteral("shift%1ColorLabel").arg(Calendar::crewName(crew)))
            ->setVisible(shown);
    }

    // The year in numbers, so that a worker can check the rota against the
    // hours the year should have.
    if (!problem.isEmpty()) {
        m_preview->rotaTotals->clear();
        return;
    }
    const int year = ui->year->value();
    QStringList lines;
    for (int crew = 0; crew < current.crews; ++crew)
        lines << Calendar::crewYearText(crew, Calendar::crewYear(current, year, ui->fisrtShift->currentIndex(), crew));
    m_preview->rotaTotals->setText(tr("Rok %1:").arg(year) + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
}

void MainWindow::schedulePreview()
{
    // Changes that arrive together (a loaded setup file, a font with its
    // size) are laid out and drawn once.
    if (m_previewPending)
        return;
    m_previewPending = true;
    QMetaObject::invokeMethod(this, &MainWindow::showPreview, Qt::QueuedConnection);
}

void MainWindow::showPreview()
{
    m_previewPending = false;
    const Calendar::YearRequest page = request();
    const Look &look = page.look;
    showRotaState();
    if (!look.rota.isValid()) {
        m_preview->monthPreview->setNotice(look.rota.problem());
        return;
    }
    if (look.font != m_previewFamily || !m_previewFont) {
        m_previewFamily = look.font;
        const Calendar::PdfFontSource source = Calendar::resolvePdfFont(look.font);
        m_previewFont = std::make_unique<Calendar::PdfRunFont>(source);
        m_previewGlyphs = std::make_shared<const Calendar::GlyphOutlines>(source);
    }
    if (!m_previewFont->isOpen() || !m_previewGlyphs->isOpen()) {
        m_preview->monthPreview->setNotice(fontNotice(look.font, QString()));
        return;
    }
    const int month = m_preview->previewMonth->currentIndex() + 1;
    // Whatever the year prints must be in the face: the notice is the one
    // "Dokončit" would give.
    const QString printable = Calendar::printableCharacters(look);
    const QString lacking = m_previewGlyphs->lacking(printable);
    if (!lacking.isEmpty()) {
        m_preview->monthPreview->setNotice(fontNotice(look.font, lacking));
        return;
    }
    // The card's sides come after the months in the list.
    if (month > 12) {
        const QString card = Calendar::cardCharacters(page.year, page.firstCrew, look);
        const QString lackingOnCard = m_previewGlyphs->lacking(Calendar::fontCharacters(look, card));
        if (!lackingOnCard.isEmpty()) {
            m_preview->monthPreview->setNotice(fontNotice(look.font, lackingOnCard));
            return;
        }
        const Calendar::TextFont text = m_previewFont->measure(printable + card);
        const Calendar::CardModel model = Calendar::layOutCard(page.year, page.firstCrew, look, text);
        m_preview->monthPreview->setCardFace(month == 13 ? model.front : model.back, m_previewGlyphs, text);
        return;
    }
    const Calendar::TextFont text = m_previewFont->measure(printable);
    m_preview->monthPreview->setPage(Calendar::layOutMonth(page.year, month, page.firstCrew, look, text),
                                     m_previewGlyphs, text);
}

void MainWindow::on_targetDirectory_clicked()
{
    QFileDialog dialog(this, tr("Výběr složky"), ui->targetDirectory->text(), QString());
    dialog.setFileMode(QFileDialog::Directory);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The chosen folder is the selected entry: directory() is only the folder
    // being browsed, which is its parent when the user picked a subfolder in
    // the toolkit's own dialog.
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return;
    ui->targetDirectory->setText(QDir(chosen.first()).absolutePath());
}

Look MainWindow::look() const
{
    Look look;
    const QList<ColorPicker *> crews = crewPickers();
    for (int crew = 0; crew < crews.size(); ++crew)
        look.crewColors[size_t(crew)] = inkOf(crews.at(crew));
    const QList<ColorPicker *> kinds = kindPickers();
    for (int kind = 0; kind < kinds.size(); ++kind)
        look.kindColors[size_t(kind)] = inkOf(kinds.at(kind));
    look.font = ui->font->currentText();
    look.fontColor = inkOf(ui->fontColor);
    look.fontSizePt = ui->fontSize->value();
    look.boxWidthMm = ui->boxWidth->value();
    look.boxHeightMm = ui->boxHeight->value();
    look.borderColor = inkOf(ui->borderColor);
    look.borderWidthPt = ui->borderWidth->value();
    look.textOnly = ui->textOnly->isChecked();
    look.labels = m_preview->labels->isChecked();
    look.holidays = m_preview->holidays->isChecked();
    look.rota = rota();
    look.myCrew = m_preview->myCrew->currentIndex() - 1;
    look.cardNote = m_preview->cardNote->text().trimmed();
    return look;
}

void MainWindow::showLook(const Look &look)
{
    const QList<ColorPicker *> crews = crewPickers();
    for (int crew = 0; crew < crews.size(); ++crew)
        crews.at(crew)->setFromByteArray(look.crewColors[size_t(crew)].state());
    const QList<ColorPicker *> kinds = kindPickers();
    for (int kind = 0; kind < kinds.size(); ++kind)
        kinds.at(kind)->setFromByteArray(look.kindColors[size_t(kind)].state());
    // The box's font where the family is in its list, and its text as the
    // file has it: the text is the font everything uses.
    ui->font->setCurrentFont(QFont(look.font));
    ui->font->setCurrentText(look.font);
    ui->fontColor->setFromByteArray(look.fontColor.state());
    ui->fontSize->setValue(look.fontSizePt);
    ui->boxWidth->setValue(look.boxWidthMm);
    ui->boxHeight->setValue(look.boxHeightMm);
    ui->borderColor->setFromByteArray(look.borderColor.state());
    ui->borderWidth->setValue(look.borderWidthPt);
    ui->textOnly->setChecked(look.textOnly);
    enableBoxInputs(!look.textOnly);
    m_preview->labels->setChecked(look.labels);
    m_preview->holidays->setChecked(look.holidays);
    showRota(look.rota);
    m_preview->myCrew->setCurrentIndex(look.myCrew + 1);
    m_preview->cardNote->setText(look.cardNote);
    schedulePreview();
}

Calendar::YearRequest MainWindow::request() const
{
    Calendar::YearRequest request;
    request.folder = ui->targetDirectory->text();
    request.year = ui->year->value();
    request.firstCrew = ui->fisrtShift->currentIndex();
    request.look = look();
    request.yearSheet = m_preview->yearSheet->isChecked();
    request.phoneCalendars = m_preview->phoneCalendars->isChecked();
    request.walletCard = m_preview->walletCard->isChecked();
    return request;
}

void MainWindow::on_finish_clicked()
{
    const Calendar::YearRequest request = this->request();
    const YearMessage message = yearMessage(Calendar::writeYear(request), request.folder, request.look.font);
    if (message.success)
        QMessageBox::information(this, message.title, message.text);
    else
        QMessageBox::critical(this, message.title, message.text);
}

void MainWindow::on_textOnly_clicked(bool checked)
{
    enableBoxInputs(!checked);
}

void MainWindow::enableBoxInputs(bool enabled)
{
    ui->borderColor->setEnabled(enabled);
    ui->borderWidth->setEnabled(enabled);
    ui->shiftAColor->setEnabled(enabled);
    ui->shiftBColor->setEnabled(enabled);
    ui->shiftCColor->setEnabled(enabled);
}

QString MainWindow::chooseSetupFile(bool forSaving)
{
    QFileDialog dialog(this);
    dialog.setNameFilter(tr("Lunoris Setup (*.lns)"));
    dialog.setDefaultSuffix(QStringLiteral("lns"));
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The ready looks installed with the application, a click away.
    if (!forSaving) {
        QList<QUrl> places = dialog.sidebarUrls();
        for (const QString &looks : readyLookFolders()) {
            if (!places.contains(QUrl::fromLocalFile(looks)))
                places << QUrl::fromLocalFile(looks);
        }
        dialog.setSidebarUrls(places);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

void MainWindow::on_save_clicked()
{
    const QString path = chooseSetupFile(true);
    if (path.isEmpty())
        return;
    const Setup::Saved saved = Setup::save(path, look());
    if (!saved.ok) {
        QMessageBox::critical(this, tr("Chyba"),
                              tr("Nepodařilo se uložit konfiguraci do souboru '%1': %2").arg(path, saved.problem));
    }
}

void MainWindow::on_save_2_clicked()
{
    const QString path = chooseSetupFile(false);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    const Setup::Loaded loaded = Setup::load(path, look());
    if (!loaded.read) {
        QMessageBox::critical(this, tr("Chyba"),
                              tr("Konfiguraci ze souboru '%1' se nepodařilo načíst: %2").arg(path, loaded.problem));
        return;
    }
    showLook(loaded.look);
}
