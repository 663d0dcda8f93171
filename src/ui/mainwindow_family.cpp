#include "family.h"
#include "familytreewindow.h"
#include "mainwindow.h"
#include "recordscommand.h"

#include <QMessageBox>
#include <QTextCodec>

void MainWindow::on_cmd_assignFather_clicked()
{
    if (m_filePath.isEmpty()) {
        QMessageBox::warning(this, tr("錯誤"), tr("請先打開數據文件。"));
        return;
    }
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    if (!big5)
        return;
    const EditData::EditState before = editState();
    Family::assignFathers(m_records, big5, Generate::programRandom);
    if (commitStep(tr("同姓武將匹配父子關係"), before))
        showStatus(tr("已匹配父子關係。"));
    else
        showStatus(tr("父子關係沒有變化。"));
}

void MainWindow::showFamilyTree()
{
    if (!m_familyTree) {
        m_familyTree = new FamilyTreeWindow(this);
        connect(m_familyTree, &FamilyTreeWindow::officerActivated, this,
                [this](int slot) { showOfficer(slot, m_familyTree); });
    }
    m_familyTree->showRecords(m_records);
    m_familyTree->show();
    m_familyTree->raise();
    m_familyTree->activateWindow();
}
