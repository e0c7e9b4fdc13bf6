#ifndef LUNORIS_FOLDERNOTICE_H
#define LUNORIS_FOLDERNOTICE_H

#include <QFrame>
#include <QString>

class QLabel;
class QPushButton;
class QToolButton;

// A notice after a run that says where the calendars are and opens that
// folder in the desktop's file manager; hidden until a run succeeds, and
// when the user closes it.
class FolderNotice : public QFrame
{
    Q_OBJECT

public:
    explicit FolderNotice(QWidget *parent = nullptr);

    // Shows the notice for `folder`; an empty folder hides it.
    void showFolder(const QString &folder);
    QString folder() const { return m_folder; }

    // Asks the desktop to show the folder; false, and says so in the notice,
    // where no file manager took it.
    bool openFolder();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    QString m_folder;
    bool m_failed = false;
    QLabel *m_text = nullptr;
    QPushButton *m_open = nullptr;
    QToolButton *m_close = nullptr;
};

#endif // LUNORIS_FOLDERNOTICE_H
