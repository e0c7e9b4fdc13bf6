#include "modal.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace TestSupport {

void whenModal(const char *className, std::function<void(QWidget *)> answer, int timeoutMs)
{
    auto *timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->inherits(className)) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            if (auto *dialog = qobject_cast<QDialog *>(modal)) {
                qWarning("closing an unexpected %s", modal->metaObject()->className());
                dialog->reject();
            }
        }
    });
    timer->start();
}

std::shared_ptr<SeenMessage> answerMessageBox(QMessageBox::StandardButton button)
{
    auto seen = std::make_shared<SeenMessage>();
    whenModal("QMessageBox", [seen, button](QWidget *widget) {
        auto *box = static_cast<QMessageBox *>(widget);
        seen->shown = true;
        seen->icon = box->icon();
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->buttonCount = box->buttons().size();
        if (QAbstractButton *answer = box->button(button))
            QTest::mouseClick(answer, Qt::LeftButton);
        else
            box->reject();
    });
    return seen;
}

void answerFileDialog(std::function<void(QFileDialog *)> answer)
{
    whenModal("QFileDialog", [answer](QWidget *widget) { answer(static_cast<QFileDialog *>(widget)); });
}

// A dialog that did not take the answer would block the test: reject it.
static bool closeIfStillOpen(QFileDialog *dialog)
{
    if (!dialog->isVisible())
        return false;
    qWarning("the file dialog did not accept the answer; rejecting it");
    dialog->reject();
    return true;
}

static QPushButton *acceptButton(QFileDialog *dialog)
{
    auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    if (!buttons)
        return nullptr;
    QPushButton *button = buttons->button(QDialogButtonBox::Open);
    return button ? button : buttons->button(QDialogButtonBox::Save);
}

void typeAndAccept(QFileDialog *dialog, const QString &name)
{
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QPushButton *accept = acceptButton(dialog);
    if (!edit || !accept) {
        dialog->reject();
        return;
    }
    // Set rather than typed key by key: typing opens the completer's popup,
    // which would take the click meant for the button.
    edit->setFocus();
    edit->setText(name);
    QTest::mouseClick(accept, Qt::LeftButton);
    closeIfStillOpen(dialog);
}

bool clickAndAccept(QFileDialog *dialog, const QString &name)
{
    auto *list = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView"));
    QPushButton *accept = acceptButton(dialog);
    if (!list || !accept) {
        dialog->reject();
        return false;
    }
    // The dialog's model fills in the background: wait for the entry.
    QModelIndex entry;
    QElapsedTimer clock;
    clock.start();
    while (!entry.isValid() && clock.elapsed() < 5000) {
        QTest::qWait(20);
        const QModelIndex root = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            const QModelIndex index = list->model()->index(row, 0, root);
            if (index.data().toString() == name)
                entry = index;
        }
    }
    if (!entry.isValid()) {
        dialog->reject();
        return false;
    }
    list->scrollTo(entry);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
    QTest::mouseClick(accept, Qt::LeftButton);
    return !closeIfStillOpen(dialog);
}

} // namespace TestSupport
