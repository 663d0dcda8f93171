#include "officerviews.h"

#include "officermodel.h"
#include "officertable.h"

#include <QAbstractItemView>
#include <QScrollBar>

#include <algorithm>

OfficerProxy::OfficerProxy(OfficerModel *model, Columns columns, QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_columns(columns)
{
    setSourceModel(model);
}

bool OfficerProxy::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const QModelIndex slot = sourceModel()->index(sourceRow, 0, sourceParent);
    return slot.data(OfficerModel::OccupiedRole).toBool()
           && QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
}

bool OfficerProxy::filterAcceptsColumn(int sourceColumn, const QModelIndex &) const
{
    return m_columns == AllColumns || sourceColumn == EditData::TableColumn::Name;
}

bool OfficerProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (QSortFilterProxyModel::lessThan(left, right))
        return true;
    if (QSortFilterProxyModel::lessThan(right, left))
        return false;
    // Descending, the order is the reverse of this one.
    return sortOrder() == Qt::AscendingOrder ? left.row() < right.row() : left.row() > right.row();
}

QVector<int> selectedOfficerSlots(const QAbstractItemView *view)
{
    QVector<int> selected;
    const QItemSelectionModel *selection = view->selectionModel();
    if (!selection)
        return selected;
    for (const QModelIndex &index : selection->selectedIndexes()) {
        const QVariant slot = index.data(OfficerModel::SlotRole);
        if (slot.isValid())
            selected.append(slot.toInt());
    }
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    return selected;
}

int currentOfficerSlot(const QAbstractItemView *view)
{
    const QVariant slot = view->currentIndex().data(OfficerModel::SlotRole);
    return slot.isValid() ? slot.toInt() : -1;
}

void ViewTop::hold()
{
    if (m_view->isVisible()) {
        m_top = m_view->indexAt(QPoint(1, 1));
        m_left = m_view->horizontalScrollBar()->value();
    }
}

void ViewTop::restore()
{
    if (!m_top.isValid())
        return;
    const QModelIndex top = m_top;
    m_top = QPersistentModelIndex();
    m_view->scrollTo(top, QAbstractItemView::PositionAtTop);
    m_view->horizontalScrollBar()->setValue(m_left);
}

namespace {

// Holds the top row of a view while its model moves rows.
class RowAnchor : public QObject
{
public:
    explicit RowAnchor(QAbstractItemView *view)
        : QObject(view)
        , m_top(view)
    {
        const QAbstractItemModel *model = view->model();
        const auto hold = [this] { m_top.hold(); };
        const auto restore = [this] { m_top.restore(); };
        connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, hold);
        connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, hold);
        connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, hold);
        connect(model, &QAbstractItemModel::rowsInserted, this, restore);
        connect(model, &QAbstractItemModel::rowsRemoved, this, restore);
        connect(model, &QAbstractItemModel::layoutChanged, this, restore);
    }

private:
    ViewTop m_top;
};

} // namespace

void keepRowsInView(QAbstractItemView *view)
{
    new RowAnchor(view);
}
