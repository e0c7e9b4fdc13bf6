#ifndef LUNORIS_TESTS_MODAL_H
#define LUNORIS_TESTS_MODAL_H

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

class QFileDialog;

namespace TestSupport {

// What a user saw in a message box that the test answered.
struct SeenMessage
{
    bool shown = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    int buttonCount = 0;
};

// Once a modal widget of class T is active, hands it to `answer`, which must
// close it. A modal widget of another class, or none within the time limit,
// is rejected so that the test goes on (and fails on what it then checks).
void whenModal(const char *className, std::function<void(QWidget *)> answer, int timeoutMs = 10000);

// Answers the next message box with OK and records what it showed.
std::shared_ptr<SeenMessage> answerMessageBox(QMessageBox::StandardButton button = QMessageBox::Ok);

// Answers the next file dialog through `answer`.
void answerFileDialog(std::function<void(QFileDialog *)> answer);

// Types `name` into the file dialog's name field and presses its accept button.
void typeAndAccept(QFileDialog *dialog, const QString &name);

// Single-clicks the entry `name` in the dialog's list of the folder being
// browsed and presses its accept button.
bool clickAndAccept(QFileDialog *dialog, const QString &name);

} // namespace TestSupport

#endif // LUNORIS_TESTS_MODAL_H
