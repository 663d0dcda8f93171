#include "editdata.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <QStringListModel>
#include <QTextCodec>

void MainWindow::on_cmd_open_clicked()
{
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
}

void MainWindow::on_cmd_save_clicked()
{
    if (m_filePath.isEmpty())
        return;
    writeRecordsToImage();

    // The image replaces the file whole, or the file stays as it was.
    QSaveFile file(m_filePath);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        QMessageBox::critical(this, tr("錯誤"), tr("文件無法以可寫方式打開。"));
        return;
    }
    if (file.write(m_fileImage) != m_fileImage.size() || !file.commit()) {
        file.cancelWriting();
        QMessageBox::critical(this, tr("錯誤"), tr("文件寫入失敗。"));
        return;
    }
    QMessageBox::information(this, tr("保存"), tr("保存完成。"));
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
    }
    model->setStringList(rows);
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
