#ifndef LUNORIS_MAINWINDOW_H
#define LUNORIS_MAINWINDOW_H

#include "output/setupfile.h"
#include "output/yearwriter.h"

#include <QMainWindow>
#include <QScopedPointer>

class PreviewPanel;
class QDockWidget;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Fits the window into a screen of `available` size, in the toolkit's
    // pixels: where it has no room for the panel's widest settings, they
    // scroll across; where it has none for the form, the form scrolls too.
    // Every input stays within reach.
    void fitInto(const QSize &available);
    // fitInto() the screen the window is on, below its title bar.
    void fitToScreen();
    // Loads the look of the setup file at `path` as "Načíst konfiguraci"
    // does once a file is chosen, telling what it could not take or read.
    void openSetupFile(const QString &path);

protected:
    void changeEvent(QEvent *event) override;
    // Asks before one's own changes of the year are lost, and only then.
    void closeEvent(QCloseEvent *event) override;
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
    void setUpKeys();
    void setUpPanel();
    void schedulePreview();
    void showPreview();
    // The first crew lists the rota's crews; with three, the form's own
    // "A", "B", "C".
    void showCrews(int crews);
    // An anchored rota says itself who starts the year: the first crew
    // shows it where it can, and is not the user's to set.
    void followAnchor();

    // The look as the form and the panel show it, read once for a run, a
    // preview or a setup file.
    Calendar::Look look() const;
    void showLook(const Calendar::Look &look);
    Calendar::YearRequest request() const;

    QString chooseSetupFile(bool forSaving);
    int formWidth() const;
    // Saves the look to `path`, and says so where it cannot.
    bool saveLook(const QString &path);

    const QScopedPointer<Ui::MainWindow> m_ui;
    // The "Náhled" panel beside the form.
    QDockWidget *m_dock = nullptr;
    PreviewPanel *m_panel = nullptr;
    bool m_previewPending = false;
    // What the setup file last loaded held that the window could not take.
    Setup::Kept m_kept;
    // One's own changes as the last setup file saved or loaded had them.
    Calendar::Plan m_savedPlan;
};

#endif // LUNORIS_MAINWINDOW_H
