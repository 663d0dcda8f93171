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
    // Only a regular file is read: opening a pipe would block the window
    // until something writes to it.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        QMessageBox::critical(this, tr("錯誤"), tr("文件無法打開。"));
        return;
    }
    const QByteArray image =
            file.size() == EditData::fileSize ? file.read(EditData::fileSize + 1) : QByteArray();
    if (image.size() != EditData::fileSize) {
        QMessageBox::critical(this, tr("錯誤"), tr("文件大小非預期。"));
        return;
    }

    m_filePath = path;
    m_fileImage = image;
    splitRecords();
    buildPortraitPools();
    markUsedPortraits();
    refreshNameList();

    m_undoStack->clear();
    updateTitle();
    recordsChanged();
    showStatus(tr("已打開%1，共%2名武將。")
                       .arg(QDir::toNativeSeparators(path))
                       .arg(EditData::occupiedSlots(m_records).size()));
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
    showStatus(tr("已保存%1。").arg(QDir::toNativeSeparators(m_filePath)));
    return QString();
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
