#include "officermodel.h"

#include "editdata.h"
#include "officerdocument.h"
#include "officertable.h"

#include <QSet>
#include <QTextCodec>

using namespace EditData;

namespace {

QTextCodec *big5Codec()
{
    return QTextCodec::codecForName("Big5");
}

} // namespace

OfficerModel::OfficerModel(OfficerDocument *document)
    : QAbstractTableModel(document)
    , m_document(document)
    , m_header(officerTableHeader())
    , m_rows(document->records().size())
    , m_values(m_rows)
    , m_fresh(m_rows)
{
    connect(document, &OfficerDocument::changed, this, &OfficerModel::follow);
}

const QVariantList &OfficerModel::tableRow(int slot) const
{
    if (!m_fresh.testBit(slot)) {
        m_values[slot] = officerTableRow(m_document->records(), slot, big5Codec());
        m_fresh.setBit(slot);
    }
    return m_values.at(slot);
}

int OfficerModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int OfficerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : TableColumn::Count;
}

QVariant OfficerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return QVariant();
    const int slot = index.row();
    switch (role) {
    case SlotRole:
        return slot;
    case OccupiedRole:
        return !isEmptySlot(m_document->records().at(slot));
    case Qt::DisplayRole:
        // The name list asks for nothing else: the name alone is quick to
        // make.
        if (index.column() == TableColumn::Name)
            return officerName(m_document->records().at(slot), big5Codec());
        return tableRow(slot).at(index.column());
    case Qt::TextAlignmentRole:
        if (index.column() != TableColumn::Name
            && tableRow(slot).at(index.column()).userType() == QMetaType::Int)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant OfficerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < m_header.size())
        return m_header.at(section);
    // The first click on a column sorts it ascending.
    if (role == Qt::InitialSortOrderRole)
        return int(Qt::AscendingOrder);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void OfficerModel::follow(const RecordsChange &change)
{
    const QList<QByteArray> &records = m_document->records();
    if (change.fileReplaced || records.size() != m_rows) {
        beginResetModel();
        m_rows = records.size();
        m_values = QVector<QVariantList>(m_rows);
        m_fresh = QBitArray(m_rows);
        endResetModel();
        return;
    }

    // The rows changed, and those whose father column names an officer
    // whose name changed.
    QBitArray stale(m_rows);
    QSet<quint16> renamed;
    for (const int slot : change.changedSlots) {
        stale.setBit(slot);
        if (change.namesChanged)
            renamed.insert(quint16(officerIdBase + slot));
    }
    if (!renamed.isEmpty()) {
        for (int slot = 0; slot < m_rows; ++slot) {
            if (renamed.contains(readU16(records.at(slot), fatherId)))
                stale.setBit(slot);
        }
    }
    // One signal for each run of rows.
    const int lastColumn = TableColumn::Count - 1;
    for (int first = 0; first < m_rows; ++first) {
        if (!stale.testBit(first))
            continue;
        int last = first;
        while (last + 1 < m_rows && stale.testBit(last + 1))
            ++last;
        for (int slot = first; slot <= last; ++slot)
            m_fresh.clearBit(slot);
        emit dataChanged(index(first, 0), index(last, lastColumn));
        first = last;
    }
}
