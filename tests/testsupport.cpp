#include "testsupport.h"

#include "editdata.h"
#include "mainwindow.h"
#include "namepools.h"
#include "program.h"
#include "recovery.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTextCodec>

DialogDriver::DialogDriver()
{
    connect(&m_timer, &QTimer::timeout, this, &DialogDriver::poll);
    m_timer.start(5);
}

QList<DialogDriver::Message> DialogDriver::takeMessages()
{
    QList<Message> messages;
    messages.swap(m_messages);
    return messages;
}

QList<DialogDriver::Message> DialogDriver::takeQuestions()
{
    QList<Message> questions;
    questions.swap(m_questions);
    return questions;
}

// A box is the program's when the main window or one of its own windows
// shows it.
static bool ownedByMainWindow(const QWidget *box)
{
    for (const QWidget *parent = box->parentWidget(); parent; parent = parent->parentWidget()) {
        if (parent->inherits("MainWindow"))
            return true;
    }
    return false;
}

void DialogDriver::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        if (box->standardButtons() != QMessageBox::Ok) {
            answerQuestion(box);
            return;
        }
        const QString kind = box->icon() == QMessageBox::Critical  ? QStringLiteral("critical")
                             : box->icon() == QMessageBox::Warning ? QStringLiteral("warning")
                                                                   : QStringLiteral("information");
        m_messages.append({kind, box->windowTitle(), box->text(), box->informativeText()});
        const bool ours = ownedByMainWindow(box);
        box->done(QMessageBox::Ok);
        QVERIFY2(ours, qPrintable(box->text()));
    } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        answerFileDialog(dialog);
    }
}

void DialogDriver::answerQuestion(QMessageBox *box)
{
    m_questions.append(
            {QStringLiteral("question"), box->windowTitle(), box->text(), box->informativeText()});
    lastQuestionButtons = box->standardButtons();
    lastQuestionDefault = box->standardButton(box->defaultButton());
    QMessageBox::StandardButton answer =
            box->standardButtons() & QMessageBox::Discard ? QMessageBox::Discard : QMessageBox::No;
    if (!m_answers.isEmpty())
        answer = m_answers.takeFirst();
    const bool ours = box->icon() == QMessageBox::Question && ownedByMainWindow(box);
    // Escape stands for closing the box without choosing.
    if (answer == QMessageBox::Escape)
        QTest::keyClick(box, Qt::Key_Escape);
    else if (QAbstractButton *button = box->button(answer))
        button->click();
    else
        QVERIFY2(false, qPrintable(QStringLiteral("no such button in: ") + box->text()));
    QVERIFY2(ours, qPrintable(box->text()));
}

// The dialog leaves its file-name field alone while the field has the focus,
// which it takes at some moment after it is shown.
static void chooseFile(QFileDialog *dialog, const QString &path)
{
    if (QWidget *focus = dialog->focusWidget())
        focus->clearFocus();
    dialog->selectFile(path);
}

void DialogDriver::answerFileDialog(QFileDialog *dialog)
{
    // The dialog reads its folder in the background and may drop a file
    // chosen meanwhile; it is chosen again until the dialog holds it.
    if (dialog == m_choosing) {
        const QString wanted = QFileInfo(m_chosen.first).absoluteFilePath();
        const QStringList selected = dialog->selectedFiles();
        if (selected.size() != 1 || QFileInfo(selected.at(0)).absoluteFilePath() != wanted) {
            if (++m_choosingPolls < 200) {
                chooseFile(dialog, m_chosen.first);
                return;
            }
        }
        m_choosing = nullptr;
        QDialog *plain = dialog;
        plain->accept();
        if (m_chosen.second == ThenRemoved)
            QFile::remove(m_chosen.first);
        return;
    }
    ++m_fileDialogsSeen;
    lastFileDialogCaption = dialog->windowTitle();
    lastFileDialogFilters = dialog->nameFilters();
    if (m_fileAnswers.isEmpty()) {
        dialog->reject();
        return;
    }
    const auto answer = m_fileAnswers.takeFirst();
    chooseFile(dialog, answer.first);
    if (answer.second == AsTyped) {
        QDialog *plain = dialog;
        plain->done(QDialog::Accepted);
        return;
    }
    m_choosing = dialog;
    m_chosen = answer;
    m_choosingPolls = 0;
}

std::unique_ptr<MainWindow> startWindowIn(const QString &dir)
{
    if (QStandardPaths::isTestModeEnabled())
        QDir(SafeKeeping::recoveryFolder()).removeRecursively();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir);
    testProgram().loadNamePools(Names::programPoolFolder());
    std::unique_ptr<MainWindow> window(testProgram().newWindow());
    QDir::setCurrent(previous);
    window->show();
    return window;
}

Program &testProgram()
{
    static Program program;
    return program;
}

void click(MainWindow &window, const char *buttonName)
{
    auto *button = window.findChild<QPushButton *>(QLatin1String(buttonName));
    QVERIFY2(button, buttonName);
    QTest::mouseClick(button, Qt::LeftButton);
}

void setText(MainWindow &window, const char *editName, const QString &text)
{
    auto *edit = window.findChild<QLineEdit *>(QLatin1String(editName));
    QVERIFY2(edit, editName);
    edit->setText(text);
}

void setChecked(MainWindow &window, const char *buttonName, bool checked)
{
    auto *button = window.findChild<QAbstractButton *>(QLatin1String(buttonName));
    QVERIFY2(button, buttonName);
    button->setChecked(checked);
}

QStringList listedNames(MainWindow &window)
{
    QStringList names;
    auto *view = window.findChild<QListView *>(QStringLiteral("nameListView"));
    if (!view || !view->model())
        return names;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        names.append(view->model()->index(row, 0).data().toString());
    return names;
}

void activate(QWidget &window)
{
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

void triggerAction(MainWindow &window, QKeySequence::StandardKey key)
{
    for (QAction *action : window.findChildren<QAction *>()) {
        if (action->shortcut() == QKeySequence(key))
            action->trigger();
    }
}
