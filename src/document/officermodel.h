#ifndef OFFICERMODEL_H
#define OFFICERMODEL_H

#include "officercommands.h"

#include <QAbstractTableModel>
#include <QBitArray>
#include <QStringList>
#include <QVariant>
#include <QVector>

class OfficerDocument;

// The officers of a document as one table, for every view that shows them
// (the name list, the officer table): one row per slot, empty slots too, so
// that a row stands for the same slot whatever happens; views show the
// occupied ones through a proxy. The columns are those of the officer table
// (EditData::TableColumn), their values those of EditData::officerTableRow,
// numbers kept as numbers so that they sort by value. The model follows the
// document's changes with dataChanged for the rows they touch, and resets
// only when another file is opened; a row's values are made when a view
// first asks for them after a change.
class OfficerModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Role {
        // The slot of the row's officer, an int.
        SlotRole = Qt::UserRole + 1,
        // Whether the slot holds an officer, a bool.
        OccupiedRole,
    };

    // The model is a child of document.
    explicit OfficerModel(OfficerDocument *document);

    // The values of the officer in slot, one per column.
    const QVariantList &tableRow(int slot) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void follow(const EditData::RecordsChange &change);

    const OfficerDocument *m_document;
    QStringList m_header;
    int m_rows = 0;
    // Each row's values, made when first asked for; m_fresh tells which are
    // up to date.
    mutable QVector<QVariantList> m_values;
    mutable QBitArray m_fresh;
};

#endif // OFFICERMODEL_H
