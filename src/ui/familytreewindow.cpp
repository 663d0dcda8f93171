#include "familytreewindow.h"

#include "familytreemodel.h"
#include "officerviews.h"
#include "recordsfollower.h"
#include "ui_familytreewindow.h"

FamilyTreeWindow::FamilyTreeWindow(const OfficerDocument *document, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ui(new Ui::FamilyTreeWindow)
    , m_model(new FamilyTreeModel(this))
{
    ui->setupUi(this);
    ui->tree_officers->setModel(m_model);
    connect(ui->tree_officers, &QTreeView::activated, this, &FamilyTreeWindow::activate);
    if (document)
        new RecordsFollower(document, this,
                            [this](const QList<QByteArray> &records, bool anotherFile) {
                                showRecords(records, anotherFile);
                            });
}

FamilyTreeWindow::~FamilyTreeWindow() = default;

void FamilyTreeWindow::showRecords(const QList<QByteArray> &records, bool anotherFile)
{
    // The officers at the top stay there, once the new rows are open too.
    ViewTop top(ui->tree_officers);
    top.hold();
    m_model->setRecords(records, anotherFile);
    ui->tree_officers->expandAll();
    top.restore();
    for (int column = 0; column < m_model->columnCount(); ++column)
        ui->tree_officers->resizeColumnToContents(column);
}

void FamilyTreeWindow::activate(const QModelIndex &index)
{
    const QModelIndex first = index.siblingAtColumn(0);
    const QVariant slot = first.data(FamilyTreeModel::SlotRole);
    if (slot.isValid())
        emit officerActivated(slot.toInt());
    else
        ui->tree_officers->setExpanded(first, !ui->tree_officers->isExpanded(first));
}
