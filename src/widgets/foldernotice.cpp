#include "foldernotice.h"

#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

FolderNotice::FolderNotice(QWidget *parent)
    : QFrame(parent)
    , m_text(new QLabel(this))
    , m_open(new QPushButton(this))
    , m_close(new QToolButton(this))
{
    setObjectName(QStringLiteral("folderNotice"));
    setFrameShape(QFrame::StyledPanel);
    m_text->setObjectName(QStringLiteral("folderNoticeText"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_open->setObjectName(QStringLiteral("openFolder"));
    // Return opens the folder once the button has the focus, as in a dialog.
    m_open->setAutoDefault(true);
    m_close->setObjectName(QStringLiteral("folderNoticeClose"));
    m_close->setText(QStringLiteral("×"));
    m_close->setAutoRaise(true);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 2, 4);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_open);
    layout->addWidget(m_close);
    connect(m_open, &QPushButton::clicked, this, &FolderNotice::openFolder);
    connect(m_close, &QToolButton::clicked, this, [this] { showFolder(QString()); });
    retranslate();
    hide();
}

void FolderNotice::showFolder(const QString &folder)
{
    m_folder = folder;
    m_failed = false;
    retranslate();
    setVisible(!folder.isEmpty());
}

bool FolderNotice::openFolder()
{
    if (m_folder.isEmpty())
        return false;
    m_failed = !QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(m_folder).absolutePath()));
    retranslate();
    return !m_failed;
}

void FolderNotice::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void FolderNotice::retranslate()
{
    const QString folder = QDir::toNativeSeparators(m_folder);
    m_text->setText(m_failed ? tr("Správce souborů se nepodařilo spustit; kalendáříky jsou ve složce '%1'.").arg(folder)
                             : tr("Kalendáříky jsou ve složce '%1'.").arg(folder));
    m_open->setText(tr("Otevřít složku"));
    m_open->setAccessibleDescription(tr("Ukáže složku s kalendáříky ve správci souborů"));
    m_close->setToolTip(tr("Skrýt"));
    m_close->setAccessibleName(tr("Skrýt upozornění na uložené kalendáříky"));
}
