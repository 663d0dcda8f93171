#include "editdata.h"
#include "mainwindow.h"
#include "officerdetails.h"
#include "officerdialog.h"
#include "recordscommand.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QMessageBox>
#include <QTextCodec>

#include <algorithm>

// The slot of a row of the list as it was last filled, with the occupied
// slots in order; -1 for no row.
int MainWindow::listedSlot(int row) const
{
    return m_listedSlots.value(row, -1);
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

void MainWindow::updateOfficerActions()
{
    if (!m_editAction)
        return;
    const bool open = !m_filePath.isEmpty();
    m_editAction->setEnabled(open && listedSlot(ui->nameListView->currentIndex().row()) >= 0);
    m_removeAction->setEnabled(open && !selectedSlots().isEmpty());
}

// Opens the officer in the editor; OK with a change makes one undo step.
void MainWindow::showOfficer(int slot, QWidget *over)
{
    if (slot < 0 || slot >= m_records.size() || EditData::isEmptySlot(m_records.at(slot)))
        return;
    OfficerDialog dialog(m_records, slot, over);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const EditData::EditState before = editState();
    const bool newPortrait = EditData::readU16(dialog.record(), EditData::portrait)
                             != EditData::readU16(m_records.at(slot), EditData::portrait);
    m_records[slot] = dialog.record();
    if (newPortrait) {
        // The portrait given up is free again, the one taken is not.
        buildPortraitPools();
        markUsedPortraits();
    }
    refreshNameList();
    if (commitStep(tr("編輯武將"), before))
        showStatus(tr("已修改武將%1。")
                           .arg(EditData::officerName(m_records.at(slot),
                                                      QTextCodec::codecForName("Big5"))));
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
