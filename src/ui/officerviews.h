#ifndef OFFICERVIEWS_H
#define OFFICERVIEWS_H

#include <QPersistentModelIndex>
#include <QSortFilterProxyModel>
#include <QVector>

class OfficerModel;
class QAbstractItemView;

// The occupied slots of a document's OfficerModel, as the name list and the
// officer table show them: in slot order unless sorted, and for the list the
// name column alone. Whatever else a QSortFilterProxyModel filters (the
// table's filter on the names) is filtered too. As the model changes, rows
// come and go with their officers, and the views keep their selection.
// Officers of equal values stand in slot order, however they are sorted and
// however they came.
class OfficerProxy : public QSortFilterProxyModel
{
public:
    enum Columns { AllColumns, NameOnly };

    OfficerProxy(OfficerModel *model, Columns columns, QObject *parent);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool filterAcceptsColumn(int sourceColumn, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    Columns m_columns;
};

// The slots of the officers selected in a view of an OfficerModel, in
// ascending order, each once.
QVector<int> selectedOfficerSlots(const QAbstractItemView *view);
// The slot of the view's current officer, or -1 for none.
int currentOfficerSlot(const QAbstractItemView *view);

// The row at the top of a view, held while the rows around it change and
// put back at the top afterwards, with the view scrolled sideways as it was.
// A hidden view holds nothing; a row that is gone leaves the view where it
// is.
class ViewTop
{
public:
    explicit ViewTop(QAbstractItemView *view)
        : m_view(view)
    { }

    void hold();
    void restore();

private:
    QAbstractItemView *m_view;
    QPersistentModelIndex m_top;
    int m_left = 0;
};

// Keeps the row at the top of view where it is, while rows are added,
// removed or moved around it (by the view's model, as it follows the
// document), so that the officers in view stay there. A row that goes
// leaves the view where it was.
void keepRowsInView(QAbstractItemView *view);

#endif // OFFICERVIEWS_H
