#include "familytreemodel.h"

#include "editdata.h"
#include "familytree.h"

#include <QCoreApplication>
#include <QHash>
#include <QTextCodec>

using namespace EditData;

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("FamilyTreeWindow", source);
}

} // namespace

FamilyTreeModel::FamilyTreeModel(QObject *parent)
    : QAbstractItemModel(parent)
{ }

QVector<FamilyTreeModel::Node> FamilyTreeModel::build(const QList<QByteArray> &records) const
{
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const Family::FamilyTree tree = Family::buildFamilyTree(records, big5);
    QVector<Node> nodes;
    const auto addOfficer = [&](int parent, int slot) {
        Node officer;
        officer.parent = parent;
        officer.row = nodes[parent].children.size();
        officer.slot = slot;
        officer.text = officerName(records.at(slot), big5);
        officer.birthYear = readU16(records.at(slot), birthYear);
        nodes[parent].children.append(nodes.size());
        nodes.append(officer);
    };
    int familyRow = 0;
    for (const Family::FamilyGroup &group : tree.groups) {
        Node family;
        family.row = familyRow++;
        family.family = group.name;
        const QString name = group.name.isEmpty()
                                     ? text(QT_TRANSLATE_NOOP("FamilyTreeWindow", "（無姓）"))
                                     : group.name;
        family.text =
                text(QT_TRANSLATE_NOOP("FamilyTreeWindow", "%1（%2）")).arg(name).arg(group.count);
        const int familyNode = nodes.size();
        nodes.append(family);
        for (const int slot : group.roots)
            addOfficer(familyNode, slot);
        // Each officer's sons follow him, beneath him.
        for (int node = familyNode + 1; node < nodes.size(); ++node) {
            for (const int son : tree.children.at(nodes.at(node).slot))
                addOfficer(node, son);
        }
    }
    return nodes;
}

void FamilyTreeModel::setRecords(const QList<QByteArray> &records, bool anotherFile)
{
    QVector<Node> nodes = build(records);
    QVector<int> families;
    for (int node = 0; node < nodes.size(); ++node) {
        if (nodes.at(node).parent < 0)
            families.append(node);
    }
    if (anotherFile) {
        beginResetModel();
        m_nodes = std::move(nodes);
        m_families = std::move(families);
        endResetModel();
        return;
    }

    // A row is the same officer, or the same family name.
    QHash<int, int> officers;
    QHash<QString, int> familyNodes;
    for (int node = 0; node < nodes.size(); ++node) {
        if (nodes.at(node).slot >= 0)
            officers.insert(nodes.at(node).slot, node);
        else
            familyNodes.insert(nodes.at(node).family, node);
    }
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex &index : before) {
        const Node &was = m_nodes.at(int(index.internalId()));
        const int node =
                was.slot >= 0 ? officers.value(was.slot, -1) : familyNodes.value(was.family, -1);
        after.append(node < 0 ? QModelIndex()
                              : createIndex(nodes.at(node).row, index.column(), quintptr(node)));
    }
    m_nodes = std::move(nodes);
    m_families = std::move(families);
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

QModelIndex FamilyTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column < 0 || column >= 3 || row < 0)
        return QModelIndex();
    const QVector<int> &rows =
            parent.isValid() ? m_nodes.at(int(parent.internalId())).children : m_families;
    return row < rows.size() ? createIndex(row, column, quintptr(rows.at(row))) : QModelIndex();
}

QModelIndex FamilyTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return QModelIndex();
    const int parent = m_nodes.at(int(child.internalId())).parent;
    return parent < 0 ? QModelIndex() : createIndex(m_nodes.at(parent).row, 0, quintptr(parent));
}

int FamilyTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_families.size();
    return parent.column() == 0 ? m_nodes.at(int(parent.internalId())).children.size() : 0;
}

int FamilyTreeModel::columnCount(const QModelIndex &) const
{
    return 3;
}

QVariant FamilyTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const Node &node = m_nodes.at(int(index.internalId()));
    if (role == SlotRole)
        return node.slot >= 0 && index.column() == 0 ? QVariant(node.slot) : QVariant();
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case 0:
        return node.text;
    case 1:
        return node.slot >= 0 ? QVariant(node.birthYear) : QVariant();
    default:
        return node.slot >= 0 ? QVariant(int(officerIdBase) + node.slot) : QVariant();
    }
}

QVariant FamilyTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const titles[] = {QT_TRANSLATE_NOOP("FamilyTreeWindow", "姓名"),
                                         QT_TRANSLATE_NOOP("FamilyTreeWindow", "生年"),
                                         QT_TRANSLATE_NOOP("FamilyTreeWindow", "編號")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 3)
        return text(titles[section]);
    return QAbstractItemModel::headerData(section, orientation, role);
}
