#include "recordsfollower.h"

#include "officerdocument.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QUndoStack>
#include <QWidget>

RecordsFollower::RecordsFollower(const OfficerDocument *document, QWidget *view, Show show)
    : QObject(view)
    , m_document(document)
    , m_view(view)
    , m_show(std::move(show))
{
    connect(document, &OfficerDocument::changed, this, &RecordsFollower::recordsChanged);
    view->installEventFilter(this);
}

void RecordsFollower::recordsChanged(const EditData::RecordsChange &change)
{
    m_stale = true;
    m_anotherFile = m_anotherFile || change.fileReplaced;
    if (m_view->isVisible())
        showRecords();
}

void RecordsFollower::showRecords()
{
    const bool anotherFile = m_anotherFile;
    m_stale = false;
    m_anotherFile = false;
    m_show(m_document->records(), anotherFile);
}

bool RecordsFollower::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Show && m_stale)
        showRecords();
    return QObject::eventFilter(watched, event);
}

void addUndoKeys(const OfficerDocument *document, QWidget *window)
{
    QAction *undo = document->undoStack()->createUndoAction(
            window, QCoreApplication::translate("MainWindow", "撤銷"));
    undo->setShortcuts(QKeySequence::Undo);
    QAction *redo = document->undoStack()->createRedoAction(
            window, QCoreApplication::translate("MainWindow", "重做"));
    redo->setShortcuts(QKeySequence::Redo);
    window->addActions({undo, redo});
}
