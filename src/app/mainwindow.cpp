#include "mainwindow.h"
#include "ui_mainwindow.h"
#include "ui_previewpanel.h"

#include "calendar/yearwriter.h"
#include "yearmessage.h"
#include "setup/setupfile.h"

#include <QDir>
#include <QDockWidget>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
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
        ui->retranslateUi(this);
        m_previewDock->setWindowTitle(tr("Náhled"));
        const int month = m_preview->previewMonth->currentIndex();
        m_preview->retranslateUi(m_previewDock->widget());
        m_preview->previewMonth->setCurrentIndex(month);
    }
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
    addDockWidget(Qt::RightDockWidgetArea, m_previewDock);
    resizeDocks({m_previewDock}, {m_preview->monthPreview->sizeHint().width()}, Qt::Horizontal);

    // Every input that changes the page; the colour pickers through their
    // spin boxes.
    const auto changed = [this] { schedulePreview(); };
    for (QSpinBox *box : {ui->year})
        connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, changed);
    for (QDoubleSpinBox *box : {ui->fontSize, ui->boxWidth, ui->boxHeight, ui->borderWidth})
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    for (ColorPicker *picker : {ui->shiftAColor, ui->shiftBColor, ui->shiftCColor, ui->fontColor, ui->borderColor}) {
        for (QSpinBox *box : picker->findChildren<QSpinBox *>())
            connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, changed);
    }
    connect(ui->fisrtShift, QOverload<int>::of(&QComboBox::currentIndexChanged), this, changed);
    connect(ui->font, &QFontComboBox::currentFontChanged, this, changed);
    for (QCheckBox *box : {ui->textOnly, m_preview->labels, m_preview->holidays})
        connect(box, &QCheckBox::toggled, this, changed);
    connect(m_preview->previewMonth, QOverload<int>::of(&QComboBox::currentIndexChanged), this, changed);
    // Laid out once the event loop runs, not while the window is built.
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
    Calendar::YearRequest page = request();
    const QString family = ui->font->currentFont().family();
    if (family != m_previewFamily) {
        m_previewFamily = family;
        m_previewFont = Calendar::resolvePdfFont(family);
        m_previewText = Calendar::measureText(m_previewFont);
    }
    page.look.font = m_previewFont;
    const int month = m_preview->previewMonth->currentIndex() + 1;
    const int shift = Calendar::shiftOnDate(QDate(page.year, month, 1), page.firstShift);
    const Calendar::Layout layout{page.boxWidthMm, page.boxHeightMm, page.look.fontSizePt, m_previewText,
                                  page.look.labels, page.look.holidays};
    m_preview->monthPreview->setPage(Calendar::layOutMonth(page.year, month, shift, layout),
                                     page.shiftColors, page.look);
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

Calendar::YearRequest MainWindow::request() const
{
    using Calendar::Cmyk;

    Calendar::YearRequest request;
    request.folder = ui->targetDirectory->text();
    request.shiftColors = {Cmyk::fromColor(ui->shiftAColor->color()),
                           Cmyk::fromColor(ui->shiftBColor->color()),
                           Cmyk::fromColor(ui->shiftCColor->color())};
    request.firstShift = ui->fisrtShift->currentIndex();
    request.boxWidthMm = ui->boxWidth->value();
    request.boxHeightMm = ui->boxHeight->value();
    request.year = ui->year->value();
    request.look.fontSizePt = ui->fontSize->value();
    request.look.fontColor = Cmyk::fromColor(ui->fontColor->color());
    request.look.borderColor = Cmyk::fromColor(ui->borderColor->color());
    request.look.borderWidthPt = ui->borderWidth->value();
    request.look.textOnly = ui->textOnly->isChecked();
    request.look.labels = m_preview->labels->isChecked();
    request.look.holidays = m_preview->holidays->isChecked();
    request.yearSheet = m_preview->yearSheet->isChecked();
    request.phoneCalendars = m_preview->phoneCalendars->isChecked();
    return request;
}

void MainWindow::on_finish_clicked()
{
    Calendar::YearRequest request = this->request();
    // Once for the whole year, not once per month.
    request.look.font = Calendar::resolvePdfFont(ui->font->currentFont().family());

    const YearMessage message =
        yearMessage(Calendar::writeYear(request), request.folder, request.look.font.family);
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

Setup::Look MainWindow::look() const
{
    Setup::Look look;
    look.colorA = ui->shiftAColor->toByteArray();
    look.colorB = ui->shiftBColor->toByteArray();
    look.colorC = ui->shiftCColor->toByteArray();
    look.font = ui->font->currentText();
    look.fontColor = ui->fontColor->toByteArray();
    look.fontSize = ui->fontSize->value();
    look.boxWidth = ui->boxWidth->value();
    look.boxHeight = ui->boxHeight->value();
    look.borderColor = ui->borderColor->toByteArray();
    look.borderWidth = ui->borderWidth->value();
    look.textOnly = ui->textOnly->isChecked();
    look.labels = m_preview->labels->isChecked();
    look.holidays = m_preview->holidays->isChecked();
    return look;
}

void MainWindow::showLook(const Setup::Look &look)
{
    ui->shiftAColor->setFromByteArray(look.colorA);
    ui->shiftBColor->setFromByteArray(look.colorB);
    ui->shiftCColor->setFromByteArray(look.colorC);
    // The font box is editable: its text alone would not change the current
    // font that "Dokončit" prints with.
    ui->font->setCurrentText(look.font);
    ui->font->setCurrentFont(QFont(look.font));
    ui->fontColor->setFromByteArray(look.fontColor);
    ui->fontSize->setValue(look.fontSize);
    ui->boxWidth->setValue(look.boxWidth);
    ui->boxHeight->setValue(look.boxHeight);
    ui->borderColor->setFromByteArray(look.borderColor);
    ui->borderWidth->setValue(look.borderWidth);
    ui->textOnly->setChecked(look.textOnly);
    enableBoxInputs(!look.textOnly);
    m_preview->labels->setChecked(look.labels);
    m_preview->holidays->setChecked(look.holidays);
}

QString MainWindow::chooseSetupFile(bool forSaving)
{
    QFileDialog dialog(this);
    dialog.setNameFilter(tr("Lunoris Setup (*.lns)"));
    dialog.setDefaultSuffix(QStringLiteral("lns"));
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
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
    if (!Setup::save(path, look())) {
        QMessageBox::critical(this, tr("Chyba"),
                              tr("Nepodařilo se uložit konfiguraci do souboru '%1'").arg(path));
    }
}

void MainWindow::on_save_2_clicked()
{
    const QString path = chooseSetupFile(false);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    Setup::Limits limits;
    limits.fontSize = {ui->fontSize->minimum(), ui->fontSize->maximum()};
    limits.boxSize = {ui->boxWidth->minimum(), ui->boxWidth->maximum()};
    limits.borderWidth = {ui->borderWidth->minimum(), ui->borderWidth->maximum()};
    showLook(Setup::load(path, look(), limits));
}
