#include "editdata.h"
#include "importdialog.h"
#include "importofficers.h"
#include "mainwindow.h"
#include "recordscommand.h"

#include <QFileDialog>
#include <QFileInfo>

// Copies officers chosen from another data file into the empty slots, in
// one undo step.
void MainWindow::importOfficers()
{
    if (m_filePath.isEmpty())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("選擇要匯入武將的數據文件"),
                                                      QFileInfo(m_filePath).absolutePath(),
                                                      QStringLiteral("editdata.rqv"));
    QByteArray image;
    if (path.isEmpty() || !loadDataFile(path, image))
        return;
    const QList<QByteArray> source = EditData::splitRecords(image);
    const int emptySlots = m_records.size() - EditData::occupiedSlots(m_records).size();
    ImportDialog dialog(source, emptySlots, this);
    if (dialog.exec() != QDialog::Accepted)
        return;

    const EditData::EditState before = editState();
    const auto copied = EditData::importOfficers(m_records, m_malePortraits, m_femalePortraits,
                                                 source, dialog.chosenSlots());
    if (!copied || copied->isEmpty())
        return;
    buildPortraitPools();
    markUsedPortraits();
    refreshNameList();
    if (commitStep(tr("匯入武將"), before))
        showStatus(tr("已匯入%1名武將。").arg(copied->size()));
}
