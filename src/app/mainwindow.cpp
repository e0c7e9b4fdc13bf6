#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "desktop.h"
#include "keyboard.h"

#include "output/setupfile.h"
#include "output/yearmessage.h"
#include "widgets/colorpicker.h"
#include "widgets/foldernotice.h"
#include "widgets/planeditor.h"
#include "widgets/previewpanel.h"
#include "widgets/rotaeditor.h"
#include "widgets/wheelguard.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStyle>
#include <QUndoStack>
#include <QUrl>

#include <utility>

using Calendar::Ink;
using Calendar::Look;

namespace {

Ink inkOf(const ColorPicker *picker)
{
    return Ink::fromState(picker->toByteArray());
}

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

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_ui(new Ui::MainWindow)
{
    m_ui->setupUi(this);
    // The form's row pictures are 16-pixel pixmaps; taken again through an
    // icon they come from the @2x and @3x pictures on dense screens (and are
    // the same picture elsewhere).
    const std::pair<QLabel *, const char *> rowPictures[] = {
        {m_ui->label_2, "year"}, {m_ui->label_4, "first_shift"}, {m_ui->label_10, "font"}, {m_ui->label_6, "shift_colors"},
        {m_ui->label_14, "field_size"}, {m_ui->label_18, "border"}, {m_ui->label_16, "target_folder"}};
    for (const auto &[label, name] : rowPictures)
        label->setPixmap(Desktop::resourceIcon(QStringLiteral(":/icon/16/") + QLatin1String(name)).pixmap(16, 16));
    // The ranges live in one place; the form already has them, and keeps
    // them should they ever change there.
    m_ui->year->setRange(Calendar::FirstYear, Calendar::LastYear);
    for (QDoubleSpinBox *size : {m_ui->fontSize})
        size->setRange(Calendar::FontSizeRange.minimum, Calendar::FontSizeRange.maximum);
    for (QDoubleSpinBox *size : {m_ui->boxWidth, m_ui->boxHeight})
        size->setRange(Calendar::BoxSizeRange.minimum, Calendar::BoxSizeRange.maximum);
    m_ui->borderWidth->setRange(Calendar::BorderWidthRange.minimum, Calendar::BorderWidthRange.maximum);
    describeForAccessibility();
    setUpKeys();
    setUpPanel();
}

MainWindow::~MainWindow() = default;

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        const int first = m_ui->fisrtShift->currentIndex();
        m_ui->retranslateUi(this);
        m_dock->setWindowTitle(tr("Náhled"));
        // The crew list as the rota has it, and the first crew the user
        // chose: calendars must not silently start from another crew.
        showCrews(m_panel->rotaEditor()->rota().crews);
        m_ui->fisrtShift->setCurrentIndex(first);
    }
}

void MainWindow::fitInto(const QSize &available)
{
    if (minimumSizeHint().width() > available.width()) {
        m_panel->setNarrow(true);
        m_dock->layout()->invalidate();
        layout()->invalidate();
    }
    // A part of the panel opened later grows the window no wider than this.
    m_panel->setRoom(available.width() - (minimumSizeHint().width() - m_panel->settingsWidth()));
    const QSize needed = minimumSizeHint();
    if ((needed.width() > available.width() || needed.height() > available.height())
        && !qobject_cast<QScrollArea *>(centralWidget())) {
        auto *scroll = new QScrollArea(this);
        scroll->setObjectName(QStringLiteral("formScroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setAccessibleName(tr("Formulář kalendáříků"));
        scroll->setWidget(takeCentralWidget());
        setCentralWidget(scroll);
        WheelGuard::install(scroll);
        // The form scrolls up and down only, where the panel has room
        // beside it; the panel takes the rest of the screen.
        if (formWidth() + m_dock->minimumSizeHint().width() <= available.width())
            scroll->setMinimumWidth(formWidth());
        resize(available);
        return;
    }
    resize(size().boundedTo(available).expandedTo(minimumSizeHint().boundedTo(available)));
}

void MainWindow::fitToScreen()
{
    if (const QScreen *shown = screen()) {
        const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        fitInto(shown->availableGeometry().size() - QSize(0, titleBar));
    }
}

int MainWindow::formWidth() const
{
    // The form's own width, with the scroll bar beside it where it scrolls.
    const int extra = style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    if (qobject_cast<QScrollArea *>(centralWidget()))
        return m_ui->centralWidget->minimumSizeHint().width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + extra;
    return centralWidget()->minimumSizeHint().width() + extra;
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The form keeps the width it needs; every pixel more goes to the
    // preview, so that a month can be checked at full size on a large screen.
    if (m_dock && event->oldSize().width() > 0 && event->size().width() != event->oldSize().width())
        resizeDocks({m_dock}, {qMax(m_dock->minimumSizeHint().width(), width() - formWidth())}, Qt::Horizontal);
}

void MainWindow::describeForAccessibility()
{
    // Each caption names its input, for screen readers and for a click on
    // the caption; the inputs without a caption of their own get a name.
    const std::pair<QLabel *, QWidget *> captions[] = {
        {m_ui->label_3, m_ui->year},          {m_ui->label_5, m_ui->fisrtShift},  {m_ui->label_11, m_ui->font},
        {m_ui->label_7, m_ui->shiftAColor},   {m_ui->label_8, m_ui->shiftBColor}, {m_ui->label_9, m_ui->shiftCColor},
        {m_ui->label_13, m_ui->boxWidth},     {m_ui->label_19, m_ui->borderWidth}, {m_ui->label_17, m_ui->targetDirectory}};
    for (const auto &[caption, input] : captions)
        caption->setBuddy(input);
    const std::pair<QWidget *, const char *> names[] = {
        {m_ui->year, "Rok"},
        {m_ui->fisrtShift, "První směna"},
        {m_ui->font, "Písmo"},
        {m_ui->fontSize, "Velikost písma v bodech"},
        {m_ui->boxWidth, "Šířka okénka v milimetrech"},
        {m_ui->boxHeight, "Výška okénka v milimetrech"},
        {m_ui->borderWidth, "Šířka rámečku v bodech"},
        {m_ui->textOnly, "Žádná okénka, pouze text"},
        {m_ui->targetDirectory, "Cílová složka"},
        {m_ui->save, "Uložit konfiguraci"},
        {m_ui->save_2, "Načíst konfiguraci"},
        {m_ui->finish, "Dokončit"}};
    for (const auto &[input, name] : names)
        input->setAccessibleName(tr(name));
    m_ui->fisrtShift->setAccessibleDescription(tr("Směna, která je na začátku rozpisu 1. ledna"));
    m_ui->targetDirectory->setAccessibleDescription(tr("Složka, do které se kalendáříky uloží; vybírá se tlačítkem"));
    m_ui->finish->setAccessibleDescription(tr("Uloží kalendáříky všech dvanácti měsíců do cílové složky (Ctrl+Enter)"));
    // The text field of the editable font box is a node of its own.
    m_ui->font->lineEdit()->setAccessibleName(tr("Písmo"));
    m_ui->label->setAccessibleName(tr("Logo Lunoris"));
    m_ui->label->setAccessibleDescription(tr("Odkaz na stránky lunoris.cz"));
    m_ui->shiftAColor->setAccessibleColorName(tr("Barva A"));
    m_ui->shiftBColor->setAccessibleColorName(tr("Barva B"));
    m_ui->shiftCColor->setAccessibleColorName(tr("Barva C"));
    m_ui->fontColor->setAccessibleColorName(tr("Barva písma"));
    m_ui->borderColor->setAccessibleColorName(tr("Barva rámečku"));
}

void MainWindow::setUpKeys()
{
    // As keyboards label them: Enter beside the letters.
    struct Shortcut
    {
        QPushButton *button;
        QList<QKeySequence> keys;
        const char *shown;
    };
    const Shortcut shortcuts[] = {
        {m_ui->finish, {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}, "Ctrl+Enter"},
        {m_ui->save, {QKeySequence(Qt::CTRL | Qt::Key_S)}, "Ctrl+S"},
        {m_ui->save_2, {QKeySequence(Qt::CTRL | Qt::Key_O)}, "Ctrl+O"}};
    for (const Shortcut &shortcut : shortcuts) {
        Keyboard::clickOnKeys(this, shortcut.button, shortcut.keys);
        shortcut.button->setToolTip(QLatin1String(shortcut.shown));
    }
    for (QPushButton *button : {m_ui->finish, m_ui->save, m_ui->save_2, m_ui->targetDirectory})
        Keyboard::clickOnReturn(button);
}

void MainWindow::setUpPanel()
{
    // A panel of its own beside the form, which stays as it is: it can be
    // neither closed nor floated away.
    m_dock = new QDockWidget(tr("Náhled"), this);
    m_dock->setObjectName(QStringLiteral("previewDock"));
    m_dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_dock->setAllowedAreas(Qt::RightDockWidgetArea);
    m_panel = new PreviewPanel(m_dock);
    m_dock->setWidget(m_panel);
    // Its parts have headings of their own: "Náhled" is the preview's.
    m_dock->setTitleBarWidget(new QWidget(m_dock));
    addDockWidget(Qt::RightDockWidgetArea, m_dock);
    resizeDocks({m_dock}, {m_panel->sizeHint().width()}, Qt::Horizontal);

    // Every input that changes the page; the colour pickers through their
    // spin boxes.
    const auto changed = [this] { schedulePreview(); };
    connect(m_ui->year, QOverload<int>::of(&QSpinBox::valueChanged), this, changed);
    for (QDoubleSpinBox *box : {m_ui->fontSize, m_ui->boxWidth, m_ui->boxHeight, m_ui->borderWidth})
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    for (ColorPicker *picker : {m_ui->shiftAColor, m_ui->shiftBColor, m_ui->shiftCColor, m_ui->fontColor, m_ui->borderColor}) {
        for (QSpinBox *box : picker->findChildren<QSpinBox *>())
            connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, changed);
    }
    connect(m_ui->fisrtShift, QOverload<int>::of(&QComboBox::currentIndexChanged), this, changed);
    // What the box shows, typed or chosen, with or without Enter, is the font
    // of the preview, the PDF and the setup file.
    connect(m_ui->font, &QComboBox::currentTextChanged, this, changed);
    connect(m_ui->textOnly, &QCheckBox::toggled, this, changed);
    connect(m_panel, &PreviewPanel::changed, this, changed);
    connect(m_panel->rotaEditor(), &RotaEditor::crewsChanged, this, [this](int crews) { showCrews(crews); });
    showCrews(m_panel->rotaEditor()->rota().crews);
    // Ctrl+Z takes back the last change of one's own year wherever the
    // keyboard is, but in a text field, which has its own.
    QUndoStack *changes = m_panel->planEditor()->undoStack();
    QAction *undo = changes->createUndoAction(this, tr("Zpět"));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = changes->createRedoAction(this, tr("Znovu"));
    redo->setShortcut(QKeySequence::Redo);
    addActions({undo, redo});
    // Laid out once the event loop runs, not while the window is built.
    schedulePreview();
}

void MainWindow::showCrews(int crews)
{
    const int first = m_ui->fisrtShift->currentIndex();
    const QSignalBlocker block(m_ui->fisrtShift);
    while (m_ui->fisrtShift->count() > crews)
        m_ui->fisrtShift->removeItem(m_ui->fisrtShift->count() - 1);
    for (int crew = m_ui->fisrtShift->count(); crew < crews; ++crew)
        m_ui->fisrtShift->addItem(Calendar::crewName(crew));
    m_ui->fisrtShift->setCurrentIndex(first >= 0 && first < crews ? first : 0);
    schedulePreview();
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
    followAnchor();
    m_panel->showPreview(request());
}

void MainWindow::followAnchor()
{
    const Calendar::Rota rota = m_panel->rotaEditor()->rota();
    m_ui->fisrtShift->setEnabled(!rota.anchor.on);
    if (!rota.anchor.on || !rota.isValid())
        return;
    const Calendar::YearStart start = rota.yearStart(m_ui->year->value(), 0);
    if (start.day == 1) {
        const QSignalBlocker block(m_ui->fisrtShift);
        m_ui->fisrtShift->setCurrentIndex(start.crew);
    }
}

void MainWindow::on_targetDirectory_clicked()
{
    QFileDialog dialog(this, tr("Výběr složky"), m_ui->targetDirectory->text(), QString());
    dialog.setFileMode(QFileDialog::Directory);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The chosen folder is the selected entry: directory() is only the folder
    // being browsed, which is its parent when the user picked a subfolder in
    // the toolkit's own dialog.
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return;
    m_ui->targetDirectory->setText(QDir(chosen.first()).absolutePath());
}

Look MainWindow::look() const
{
    Look look;
    const ColorPicker *crews[] = {m_ui->shiftAColor, m_ui->shiftBColor, m_ui->shiftCColor};
    for (size_t crew = 0; crew < 3; ++crew)
        look.crewColors[crew] = inkOf(crews[crew]);
    look.font = m_ui->font->currentText();
    look.fontColor = inkOf(m_ui->fontColor);
    look.fontSizePt = m_ui->fontSize->value();
    look.boxWidthMm = m_ui->boxWidth->value();
    look.boxHeightMm = m_ui->boxHeight->value();
    look.borderColor = inkOf(m_ui->borderColor);
    look.borderWidthPt = m_ui->borderWidth->value();
    look.textOnly = m_ui->textOnly->isChecked();
    m_panel->fillLook(look);
    return look;
}

void MainWindow::showLook(const Look &look)
{
    ColorPicker *crews[] = {m_ui->shiftAColor, m_ui->shiftBColor, m_ui->shiftCColor};
    for (size_t crew = 0; crew < 3; ++crew)
        crews[crew]->setFromByteArray(look.crewColors[crew].state());
    // The box's font where the family is in its list, and its text as the
    // file has it: the text is the font everything uses.
    m_ui->font->setCurrentFont(QFont(look.font));
    m_ui->font->setCurrentText(look.font);
    m_ui->fontColor->setFromByteArray(look.fontColor.state());
    m_ui->fontSize->setValue(look.fontSizePt);
    m_ui->boxWidth->setValue(look.boxWidthMm);
    m_ui->boxHeight->setValue(look.boxHeightMm);
    m_ui->borderColor->setFromByteArray(look.borderColor.state());
    m_ui->borderWidth->setValue(look.borderWidthPt);
    m_ui->textOnly->setChecked(look.textOnly);
    enableBoxInputs(!look.textOnly);
    m_panel->showLook(look);
    schedulePreview();
}

Calendar::YearRequest MainWindow::request() const
{
    Calendar::YearRequest request;
    request.folder = m_ui->targetDirectory->text();
    request.year = m_ui->year->value();
    request.firstCrew = m_ui->fisrtShift->currentIndex();
    request.look = look();
    m_panel->fillRequest(request);
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
    // The message box stays as it always was; the panel offers the folder.
    m_panel->folderNotice()->showFolder(message.success ? request.folder : QString());
}

void MainWindow::on_textOnly_clicked(bool checked)
{
    enableBoxInputs(!checked);
}

void MainWindow::enableBoxInputs(bool enabled)
{
    m_ui->borderColor->setEnabled(enabled);
    m_ui->borderWidth->setEnabled(enabled);
    m_ui->shiftAColor->setEnabled(enabled);
    m_ui->shiftBColor->setEnabled(enabled);
    m_ui->shiftCColor->setEnabled(enabled);
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
    if (!path.isEmpty())
        saveLook(path);
}

bool MainWindow::saveLook(const QString &path)
{
    const Look shown = look();
    const Setup::Saved saved = Setup::save(path, shown, m_kept);
    if (!saved.ok) {
        QMessageBox::critical(this, tr("Chyba"),
                              tr("Nepodařilo se uložit konfiguraci do souboru '%1': %2").arg(path, saved.problem));
        return false;
    }
    m_savedPlan = shown.plan;
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The look is the user's to save or not, as it always was; a year of
    // leave and swapped shifts entered day by day is not lost unasked.
    if (look().plan != m_savedPlan) {
        QMessageBox question(QMessageBox::Question, tr("Lunoris"), tr("Uložit změny?"),
                             QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        question.setInformativeText(tr("Změny v „Můj rok“ (dovolená, nemoc, volno, směny navíc) nejsou uložené "
                                       "v konfiguraci."));
        question.setDefaultButton(QMessageBox::Save);
        const int answer = question.exec();
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Save && [this] {
                const QString path = chooseSetupFile(true);
                return path.isEmpty() || !saveLook(path);
            }())) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::on_save_2_clicked()
{
    const QString path = chooseSetupFile(false);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    openSetupFile(path);
}

void MainWindow::openSetupFile(const QString &path)
{
    // Given by name, not picked in the dialog: it may be gone or a folder.
    if (!QFileInfo(path).isFile()) {
        QMessageBox::critical(this, tr("Chyba"),
                              tr("Konfiguraci ze souboru '%1' se nepodařilo načíst: %2")
                                  .arg(path, QFileInfo::exists(path) ? tr("není to soubor") : tr("soubor neexistuje")));
        return;
    }
    const Setup::Loaded loaded = Setup::load(path, look());
    if (!loaded.read) {
        QMessageBox::critical(this, tr("Chyba"),
                              tr("Konfiguraci ze souboru '%1' se nepodařilo načíst: %2").arg(path, loaded.problem));
        return;
    }
    showLook(loaded.look);
    // What the window shows in place of what it could not take, as the
    // window reads it back.
    m_kept = loaded.kept;
    m_kept.shown = look();
    m_savedPlan = m_kept.shown.plan;
    m_panel->showLoadNotice(Setup::loadNotice(path, loaded.refused));
}
