#include "officerdragdrop.h"

#include "officercode.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

using namespace EditData;

OfficerDragDrop::OfficerDragDrop(QAbstractItemView *view, QObject *origin, Dragged dragged,
                                 CanDrop canDrop, Dropped dropped)
    : QObject(view)
    , m_view(view)
    , m_viewport(view->viewport())
    , m_origin(origin)
    , m_dragged(std::move(dragged))
    , m_canDrop(std::move(canDrop))
    , m_dropped(std::move(dropped))
{
    m_viewport->setAcceptDrops(true);
    m_viewport->installEventFilter(this);
}

bool OfficerDragDrop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_viewport)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QItemSelectionModel *selection = m_view->selectionModel();
        m_pressedOnSelection = mouse->button() == Qt::LeftButton
                               && !(mouse->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))
                               && selection && selection->isSelected(m_view->indexAt(mouse->pos()));
        m_pressedAt = mouse->pos();
        m_dragStarted = false;
        return false;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_pressedOnSelection || !(mouse->buttons() & Qt::LeftButton))
            return false;
        // The view does not see the move, which would select anew.
        if ((mouse->pos() - m_pressedAt).manhattanLength() >= QApplication::startDragDistance()) {
            m_pressedOnSelection = false;
            m_dragStarted = true;
            startDrag();
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const bool dragged = m_dragStarted;
        m_pressedOnSelection = false;
        m_dragStarted = false;
        return dragged;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (takes(drag)) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!takes(drop)) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        const CopiedOfficers officers = officersFromMimeData(drop->mimeData());
        QTimer::singleShot(0, this, [this, officers] { m_dropped(officers); });
        return true;
    }
    default:
        return false;
    }
}

// Officers of the program's own type, from another window, while the view
// takes them.
bool OfficerDragDrop::takes(const QDropEvent *event) const
{
    return event->source() != m_origin && event->mimeData()
           && event->mimeData()->hasFormat(QLatin1String(officersMimeType)) && m_canDrop();
}

void OfficerDragDrop::startDrag()
{
    std::unique_ptr<QMimeData> data = m_dragged();
    if (!data)
        return;
    // Qt deletes the drag when it is over.
    auto *drag = new QDrag(m_origin);
    drag->setMimeData(data.release());
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}
