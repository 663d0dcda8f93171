#include "familytreewindow.h"

#include "editdata.h"
#include "familytree.h"
#include "recordsfollower.h"
#include "ui_familytreewindow.h"

#include <QPair>
#include <QStandardItemModel>
#include <QTextCodec>
#include <QVector>

using namespace EditData;

namespace {

// Slot of an officer row, kept on its first column; family rows have none.
constexpr int slotRole = Qt::UserRole + 1;

QStandardItem *readOnlyItem(const QVariant &value = QVariant())
{
    auto *item = new QStandardItem;
    item->setData(value, Qt::DisplayRole);
    item->setEditable(false);
    return item;
}

QList<QStandardItem *> officerRow(const QList<QByteArray> &records, int slot, QTextCodec *codec)
{
    QStandardItem *name = readOnlyItem(officerName(records.at(slot), codec));
    name->setData(slot, slotRole);
    return {name, readOnlyItem(readU16(records.at(slot), birthYear)),
            readOnlyItem(officerIdBase + slot)};
}

} // namespace

FamilyTreeWindow::FamilyTreeWindow(const OfficerDocument *document, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ui(new Ui::FamilyTreeWindow)
    , m_model(new QStandardItemModel(this))
{
    ui->setupUi(this);
    m_model->setHorizontalHeaderLabels({tr("姓名"), tr("生年"), tr("編號")});
    ui->tree_officers->setModel(m_model);
    connect(ui->tree_officers, &QTreeView::activated, this, &FamilyTreeWindow::activate);
    if (document)
        new RecordsFollower(document, this,
                            [this](const QList<QByteArray> &records) { showRecords(records); });
}

FamilyTreeWindow::~FamilyTreeWindow() = default;

void FamilyTreeWindow::showRecords(const QList<QByteArray> &records)
{
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const Family::FamilyTree tree = Family::buildFamilyTree(records, big5);
    m_model->setRowCount(0);

    // Each officer's row is made with its siblings; its own sons follow when
    // it is taken from the stack.
    QVector<QPair<QStandardItem *, int>> pending;
    for (const Family::FamilyGroup &group : tree.groups) {
        const QString name = group.name.isEmpty() ? tr("（無姓）") : group.name;
        QStandardItem *groupItem = readOnlyItem(tr("%1（%2）").arg(name).arg(group.count));
        for (int slot : group.roots) {
            const QList<QStandardItem *> row = officerRow(records, slot, big5);
            groupItem->appendRow(row);
            pending.append({row.first(), slot});
        }
        while (!pending.isEmpty()) {
            const auto [item, father] = pending.takeLast();
            for (int son : tree.children.at(father)) {
                const QList<QStandardItem *> row = officerRow(records, son, big5);
                item->appendRow(row);
                pending.append({row.first(), son});
            }
        }
        m_model->appendRow({groupItem, readOnlyItem(), readOnlyItem()});
    }
    ui->tree_officers->expandAll();
    for (int column = 0; column < m_model->columnCount(); ++column)
        ui->tree_officers->resizeColumnToContents(column);
}

void FamilyTreeWindow::activate(const QModelIndex &index)
{
    const QModelIndex first = index.siblingAtColumn(0);
    const QVariant slot = first.data(slotRole);
    if (slot.isValid())
        emit officerActivated(slot.toInt());
    else
        ui->tree_officers->setExpanded(first, !ui->tree_officers->isExpanded(first));
}
