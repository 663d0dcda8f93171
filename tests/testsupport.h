#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include "records.h"

#include <QApplication>
#include <QByteArray>
#include <QFileDialog>
#include <QKeySequence>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class MainWindow;
class Program;
class QWidget;

// Answers the modal dialogs that the window opens: every message box with
// the single button OK is recorded and closed; every question (a box with
// other buttons) is recorded apart and answered with the next planned
// answer, or when none is planned with Discard if offered, else No; every
// file dialog gets the next planned answer (a path to choose, or an empty
// string to cancel). A path is handed to the window as typed, without the
// dialog's own checks, so that it may name a file that vanished or cannot be
// read; or it is chosen through the dialog; or chosen and then removed at
// once.
class DialogDriver : public QObject
{
    Q_OBJECT
public:
    struct Message
    {
        QString kind; // "critical", "warning", "information", "question"
        QString title;
        QString text;
        QString detail; // the box's informative text
    };

    enum Choice { AsTyped, ThroughDialog, ThenRemoved };

    DialogDriver();
    void planFileDialog(const QString &path, Choice choice = AsTyped)
    {
        m_fileAnswers.append({path, choice});
    }
    void planAnswer(QMessageBox::StandardButton answer) { m_answers.append(answer); }
    QList<Message> takeMessages();
    QList<Message> takeQuestions();
    int fileDialogsSeen() const { return m_fileDialogsSeen; }
    QString lastFileDialogCaption;
    QStringList lastFileDialogFilters;
    // Buttons and default button of the last question.
    QMessageBox::StandardButtons lastQuestionButtons;
    QMessageBox::StandardButton lastQuestionDefault = QMessageBox::NoButton;

private:
    void poll();
    void answerQuestion(QMessageBox *box);
    void answerFileDialog(QFileDialog *dialog);
    QTimer m_timer;
    QList<Message> m_messages;
    QList<Message> m_questions;
    QList<QMessageBox::StandardButton> m_answers;
    QList<QPair<QString, Choice>> m_fileAnswers;
    int m_fileDialogsSeen = 0;
    // A file dialog given a file to choose, accepted once it has taken it in.
    QPointer<QFileDialog> m_choosing;
    QPair<QString, Choice> m_chosen;
    int m_choosingPolls = 0;
};

// Constructs and shows a window started with dir as working directory, so
// that it loads the name pools found there. In Qt's test folders, the
// recovery copies left by windows of the tests before, which were destroyed
// without being closed, are removed first, so that opening a file again does
// not offer them.
std::unique_ptr<MainWindow> startWindowIn(const QString &dir);
// The program that the tests' windows belong to, as one running program's
// windows belong to it: each startWindowIn loads its name pools afresh.
Program &testProgram();

// Driving the window.
void click(MainWindow &window, const char *buttonName);
void setText(MainWindow &window, const char *editName, const QString &text);
void setChecked(MainWindow &window, const char *buttonName, bool checked = true);
QStringList listedNames(MainWindow &window);
// Makes the window the active one, as its shortcuts need; a message box that
// was shown may have left none active.
void activate(QWidget &window);
// Triggers the window's action bound to a standard shortcut (undo, redo).
void triggerAction(MainWindow &window, QKeySequence::StandardKey key);

// Hands the next window of type W that opens, as a modal window or a popup,
// to answer; owner keeps the watch.
template<typename W>
void whenShown(QObject *owner, std::function<void(W *)> answer)
{
    auto *timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget *shown = QApplication::activePopupWidget();
        if (auto *window = qobject_cast<W *>(shown ? shown : QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(window);
        }
    });
    timer->start(5);
}

#endif // TESTSUPPORT_H
