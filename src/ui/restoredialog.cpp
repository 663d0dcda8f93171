#include "restoredialog.h"
#include "ui_restoredialog.h"

#include "datafile.h"
#include "editdata.h"
#include "readerror.h"

#include <QFileInfo>
#include <QListWidgetItem>
#include <QPushButton>

RestoreDialog::RestoreDialog(const QVector<SafeKeeping::Backup> &backups, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::RestoreDialog)
    , m_backups(backups)
{
    ui->setupUi(this);
    // A full-width space parts the time from what the copy holds.
    const QString rowFormat = QStringLiteral("%1\u3000%2");
    for (int i = 0; i < backups.size(); ++i) {
        const SafeKeeping::Backup &backup = backups.at(i);
        QByteArray image;
        const EditData::ReadError error = EditData::readDataFile(backup.file, image);
        QString holds =
                error == EditData::ReadError::None
                        ? tr("%1名武將")
                                  .arg(EditData::occupiedSlots(EditData::splitRecords(image))
                                               .size())
                        : readErrorText(error, QFileInfo(backup.file).fileName());
        if (backup.first)
            holds += tr("（最初）");
        else if (backup.kind == SafeKeeping::BackupKind::Unsaved)
            holds += tr("（重新載入前的修改）");
        auto *item = new QListWidgetItem(
                rowFormat.arg(backup.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), holds));
        item->setData(Qt::UserRole, i);
        if (error != EditData::ReadError::None)
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        ui->list_backups->addItem(item);
    }
    connect(ui->list_backups, &QListWidget::itemSelectionChanged, this, &RestoreDialog::updateOk);
    for (int row = 0; row < ui->list_backups->count(); ++row) {
        QListWidgetItem *item = ui->list_backups->item(row);
        if (item->flags() & Qt::ItemIsSelectable) {
            ui->list_backups->setCurrentItem(item);
            break;
        }
    }
    updateOk();
}

RestoreDialog::~RestoreDialog()
{
    delete ui;
}

SafeKeeping::Backup RestoreDialog::chosenBackup() const
{
    const QList<QListWidgetItem *> chosen = ui->list_backups->selectedItems();
    return chosen.isEmpty() ? SafeKeeping::Backup()
                            : m_backups.value(chosen.first()->data(Qt::UserRole).toInt());
}

void RestoreDialog::updateOk()
{
    ui->buttonBox->button(QDialogButtonBox::Ok)
            ->setEnabled(!ui->list_backups->selectedItems().isEmpty());
}
