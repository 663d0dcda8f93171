#include "editdata.h"
#include "mainwindow.h"
#include "officerdetails.h"
#include "officerdialog.h"
#include "recordscommand.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QMessageBox>

#include <algorithm>

// The slot of a row of the list, which shows the occupied slots in order;
// -1 for a row beyond them.
int MainWindow::listedSlot(int row) const
{
    return EditData::occupiedSlots(m_records).value(row, -1);
}

// The slots of the officers selected in the list, in ascending order.
QVector<int> MainWindow::selectedSlots() const
{
    QVector<int> selected;
    const QItemSelectionModel *selection = ui->nameListView->selectionModel();
    if (!selection)
        return selected;
    for (const QModelIndex &index : selection->selectedIndexes()) {
        const int slot = listedSlot(index.row());
        if (slot >= 0)
            selected.append(slot);
    }
    std::sort(selected.begin(), selected.end());
    return selected;
}

void MainWindow::updateRemoveAction()
{
    if (m_removeAction)
        m_removeAction->setEnabled(!m_filePath.isEmpty() && !selectedSlots().isEmpty());
}

void MainWindow::showOfficer(int slot, QWidget *over)
{
    if (slot < 0 || slot >= m_records.size())
        return;
    OfficerDialog dialog(m_records, slot, over);
    dialog.exec();
}

// Clears the selected slots, unlinks the sons of the removed officers and
// frees their portraits, in one undo step.
void MainWindow::removeSelectedOfficers()
{
    const QVector<int> selected = selectedSlots();
    if (m_filePath.isEmpty() || selected.isEmpty())
        return;
    if (QMessageBox::question(this, tr("刪除武將"),
                              tr("刪除所選的 %1 名武將？").arg(selected.size()),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;

    const EditData::EditState before = editState();
    EditData::removeOfficers(m_records, selected);
    buildPortraitPools();
    markUsedPortraits();
    refreshNameList();
    if (commitStep(tr("刪除武將"), before))
        showStatus(tr("已刪除%1名武將。").arg(selected.size()));
}
