#ifndef OFFICERDRAGDROP_H
#define OFFICERDRAGDROP_H

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <memory>

class QAbstractItemView;
class QDropEvent;
class QMimeData;
class QWidget;

namespace EditData {
struct CopiedOfficers;
}

// Lets the selected officers of a view (the officer list, the officer table)
// be dragged into another window's view, and takes the officers dropped on
// it. A drag starts on a selected row pressed without Shift or Ctrl; a press
// anywhere else selects as the view always does. Drags offer only copying,
// so the view they leave keeps its rows.
class OfficerDragDrop : public QObject
{
public:
    // The selected officers as a drag carries them; null when none is.
    using Dragged = std::function<std::unique_ptr<QMimeData>()>;
    // Whether the view takes officers now.
    using CanDrop = std::function<bool()>;
    // Handed the officers of a drop once the drop is over, so that a message
    // it shows does not hold up the window they came from.
    using Dropped = std::function<void(const EditData::CopiedOfficers &officers)>;

    // Watches view and becomes its child. Drags started here name origin as
    // their source; drops whose source is origin are refused, so that a
    // window does not take its own officers.
    OfficerDragDrop(QAbstractItemView *view, QObject *origin, Dragged dragged, CanDrop canDrop,
                    Dropped dropped);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool takes(const QDropEvent *event) const;
    void startDrag();

    QAbstractItemView *m_view;
    // Kept apart: it is told of events while the view is being destroyed.
    QWidget *m_viewport;
    QPointer<QObject> m_origin;
    Dragged m_dragged;
    CanDrop m_canDrop;
    Dropped m_dropped;
    // Where a press on a selected row began, while the button is held.
    bool m_pressedOnSelection = false;
    QPoint m_pressedAt;
    // The release that ends a drag is the drag's, not a click.
    bool m_dragStarted = false;
};

#endif // OFFICERDRAGDROP_H
