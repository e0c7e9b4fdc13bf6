#ifndef LUNORIS_MAINWINDOW_H
#define LUNORIS_MAINWINDOW_H

#include "output/yearwriter.h"

#include <QMainWindow>

#include <memory>

class ColorPicker;
class QDockWidget;

namespace Ui {
class MainWindow;
class PreviewPanel;
}

namespace Calendar {
class GlyphOutlines;
class PdfRunFont;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    // Bound by object name in setupUi: the names are part of the form's contract.
    void on_targetDirectory_clicked();
    void on_finish_clicked();
    void on_textOnly_clicked(bool checked);
    void on_save_clicked();
    void on_save_2_clicked();

private:
    void enableBoxInputs(bool enabled);
    void describeForAccessibility();
    void setUpPreview();
    void schedulePreview();
    void showPreview();

    // The look as the form and the panel show it, read once for a run, a
    // preview or a setup file.
    Calendar::Look look() const;
    void showLook(const Calendar::Look &look);
    Calendar::YearRequest request() const;

    // The rota: the panel shows a preset's pattern and crews, or lets the
    // user type them; the crew lists follow the number of crews.
    Calendar::Rota rota() const;
    void showRota(const Calendar::Rota &rota);
    void rotaChosen(int preset);
    void rotaTyped();
    void showCrews(int crews);
    void showRotaState();

    QString chooseSetupFile(bool forSaving);
    QList<ColorPicker *> crewPickers() const;
    QList<ColorPicker *> kindPickers() const;

    Ui::MainWindow *ui;

    // The "Náhled" panel beside the form.
    Ui::PreviewPanel *m_preview = nullptr;
    QDockWidget *m_previewDock = nullptr;
    bool m_previewPending = false;
    bool m_showingRota = false;

    // The face the preview draws with, opened again only when the family
    // changes: the one the PDF will embed.
    QString m_previewFamily;
    std::unique_ptr<Calendar::PdfRunFont> m_previewFont;
    std::shared_ptr<const Calendar::GlyphOutlines> m_previewGlyphs;
};

#endif // LUNORIS_MAINWINDOW_H
