#ifndef LUNORIS_MAINWINDOW_H
#define LUNORIS_MAINWINDOW_H

#include <QMainWindow>

namespace Ui {
class MainWindow;
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
    Setup::Look look() const;
    void showLook(const Setup::Look &look);
    QString chooseSetupFile(bool forSaving);

    Ui::MainWindow *ui;
};

#endif // LUNORIS_MAINWINDOW_H
