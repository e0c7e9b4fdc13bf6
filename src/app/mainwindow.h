#ifndef LUNORIS_MAINWINDOW_H
#define LUNORIS_MAINWINDOW_H

#include "calendar/yearwriter.h"

#include <QMainWindow>

class QDockWidget;

namespace Ui {
class MainWindow;
class PreviewPanel;
}

namespace Setup {
struct Look;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    void changeEvent(QEvent *event) override;

private slots:
    // Bound by object name in setupUi: the names are part of the form's contract.
    void on_targetDirectory_clicked();
    void on_finish_clicked();
    void on_textOnly_clicked(bool checked);
    void on_save_clicked();
    void on_save_2_clicked();

private:
    void enableBoxInputs(bool enabled);
    // Everything a run takes from the form but the resolved font.
    Calendar::YearRequest request() const;
    void setUpPreview();
    void schedulePreview();
    void showPreview();
    Setup::Look look() const;
    void showLook(const Setup::Look &look);
    QString chooseSetupFile(bool forSaving);

    Ui::MainWindow *ui;

    // The "Náhled" panel beside the form, and the font its page is measured
    // with (resolved again only when the family changes).
    Ui::PreviewPanel *m_preview = nullptr;
    QDockWidget *m_previewDock = nullptr;
    bool m_previewPending = false;
    QString m_previewFamily;
    Calendar::PdfFontSource m_previewFont;
    Calendar::TextFont m_previewText;
};

#endif // LUNORIS_MAINWINDOW_H
