#ifndef FAMILYTREEMODEL_H
#define FAMILYTREEMODEL_H

#include <QAbstractItemModel>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

// The officers of a file as a family tree (Family::buildFamilyTree): one row
// per family name with its number of officers, the officers who head a line
// beneath it, and each officer's sons beneath him; columns 姓名, 生年 and
// 編號. When the records change, the rows are made anew as a change of the
// layout: each family row and each officer's row stays the same row for the
// views (their selection, current row and open branches follow it) wherever
// it now stands, and one that is gone leaves them.
class FamilyTreeModel : public QAbstractItemModel
{
public:
    // The slot of an officer's row, on its first column; family rows have
    // none.
    static constexpr int SlotRole = Qt::UserRole + 1;

    explicit FamilyTreeModel(QObject *parent = nullptr);

    // Builds the tree of the 150 records. With anotherFile, the rows of the
    // records before are not kept: the model is reset.
    void setRecords(const QList<QByteArray> &records, bool anotherFile = false);

    QModelIndex index(int row, int column,
                      const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Node
    {
        int parent = -1; // -1 for a family row
        int row = 0; // among its parent's children, or among the families
        int slot = -1; // -1 for a family row
        QString family; // the family name of a family row
        QString text; // the family row's text, or the officer's name
        int birthYear = 0;
        QVector<int> children;
    };

    QVector<Node> build(const QList<QByteArray> &records) const;

    QVector<Node> m_nodes;
    QVector<int> m_families; // the family rows, in order
};

#endif // FAMILYTREEMODEL_H
