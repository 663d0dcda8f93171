#include "mainwindow.h"
#include "officertablewindow.h"

void MainWindow::showOfficerTable()
{
    if (!m_officerTable) {
        m_officerTable = new OfficerTableWindow(this);
        connect(m_officerTable, &OfficerTableWindow::officerActivated, this,
                [this](int slot) { showOfficer(slot, m_officerTable); });
        connect(m_officerTable, &OfficerTableWindow::statusMessage, this, &MainWindow::showStatus);
    }
    m_officerTable->showRecords(m_records);
    m_officerTable->show();
    m_officerTable->raise();
    m_officerTable->activateWindow();
}
