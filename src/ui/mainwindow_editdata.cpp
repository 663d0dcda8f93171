#include "datafile.h"
#include "editdata.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <QStringListModel>
#include <QTextCodec>
#include <QUndoStack>

void MainWindow::on_cmd_open_clicked()
{
    if (!maybeSave())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("打開龍旗戰記自作武將數據"),
                                                      QString(), QStringLiteral("editdata.rqv"));
    if (path.isEmpty())
        return;

    // Nothing of the file that is open now changes until the new one has
    // been read whole and checked, so a refused file costs no work.
    QByteArray image;
    if (!loadDataFile(path, image))
        return;

    m_filePath = path;
    m_fileImage = image;
    splitRecords();
    buildPortraitPools();
    markUsedPortraits();
    refreshNameList();

    m_undoStack->clear();
    m_backupDue = true;
    m_importAction->setEnabled(true);
    updateTitle();
    recordsChanged();
    showStatus(tr("已打開%1，共%2名武將。")
                       .arg(QDir::toNativeSeparators(path))
                       .arg(EditData::occupiedSlots(m_records).size()));
}

// Reads the data file at path whole into image, or says why it cannot:
// true when it was read.
bool MainWindow::loadDataFile(const QString &path, QByteArray &image)
{
    switch (EditData::readDataFile(path, image)) {
    case EditData::ReadError::None:
        return true;
    case EditData::ReadError::CannotOpen:
        QMessageBox::critical(this, tr("錯誤"), tr("文件無法打開。"));
        return false;
    case EditData::ReadError::WrongSize:
        QMessageBox::critical(this, tr("錯誤"), tr("文件大小非預期。"));
        return false;
    }
    return false;
}

void MainWindow::on_cmd_save_clicked()
{
    save();
}

// Saves as the save button does, with its messages; true when the file was
// written.
bool MainWindow::save()
{
    if (m_filePath.isEmpty())
        return false;
    const QString backupFailure = backUpBeforeFirstWrite();
    if (!backupFailure.isEmpty()
        && QMessageBox::question(
                   this, tr("保存"),
                   tr("無法建立備份文件「%1」：%2。仍然保存嗎？")
                           .arg(QFileInfo(EditData::backupPath(m_filePath)).fileName(),
                                backupFailure),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                   != QMessageBox::Yes)
        return false;
    const QString failure = writeFile();
    if (!failure.isEmpty()) {
        QMessageBox::critical(this, tr("錯誤"), failure);
        return false;
    }
    QMessageBox::information(this, tr("保存"), tr("保存完成。"));
    return true;
}

// Writes the records into the open file. Returns what went wrong, or an
// empty string once the file is written.
QString MainWindow::writeFile()
{
    writeRecordsToImage();

    // The image replaces the file whole, or the file stays as it was.
    QSaveFile file(m_filePath);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return tr("文件無法以可寫方式打開。");
    if (file.write(m_fileImage) != m_fileImage.size() || !file.commit()) {
        file.cancelWriting();
        return tr("文件寫入失敗。");
    }
    m_undoStack->setClean();
    m_backupDue = false;
    showStatus(tr("已保存%1。").arg(QDir::toNativeSeparators(m_filePath)));
    return QString();
}

// Before the file is first written after it was opened, keeps it as it
// stands on disk beside it; a file that is gone leaves nothing to keep.
// Returns why the backup could not be made, or an empty string.
QString MainWindow::backUpBeforeFirstWrite()
{
    if (!m_backupDue || !QFileInfo(m_filePath).isFile())
        return QString();
    const QString failure = EditData::backUpFile(m_filePath);
    if (failure.isEmpty())
        m_backupDue = false;
    return failure;
}

void MainWindow::splitRecords()
{
    m_records = EditData::splitRecords(m_fileImage);
}

void MainWindow::writeRecordsToImage()
{
    EditData::writeRecordsToImage(m_records, m_fileImage);
}

void MainWindow::refreshNameList()
{
    const QStringList rows = EditData::officerNameRows(m_records, QTextCodec::codecForName("Big5"));
    auto *model = qobject_cast<QStringListModel *>(ui->nameListView->model());
    if (!model) {
        model = new QStringListModel(this);
        ui->nameListView->setModel(model);
        connect(ui->nameListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &MainWindow::updateOfficerActions);
        connect(ui->nameListView->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &MainWindow::updateOfficerActions);
    }
    // The officer that was current stays so, wherever his row now stands.
    const int current = listedSlot(ui->nameListView->currentIndex().row());
    m_listedSlots = EditData::occupiedSlots(m_records);
    model->setStringList(rows);
    const int row = m_listedSlots.indexOf(current);
    if (current >= 0 && row >= 0)
        ui->nameListView->selectionModel()->setCurrentIndex(model->index(row),
                                                            QItemSelectionModel::NoUpdate);
    updateOfficerActions();
}

void MainWindow::buildPortraitPools()
{
    EditData::buildPortraitPools(m_malePortraits, m_femalePortraits, m_allMalePortraits,
                                 m_allFemalePortraits);
}

void MainWindow::markUsedPortraits()
{
    EditData::markUsedPortraits(m_records, m_malePortraits, m_femalePortraits);
}
