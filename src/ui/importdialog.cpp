#include "importdialog.h"
#include "ui_importdialog.h"

#include "editdata.h"

#include <QListWidgetItem>
#include <QMessageBox>
#include <QTextCodec>

#include <algorithm>

ImportDialog::ImportDialog(const QList<QByteArray> &source, int emptySlots, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ImportDialog)
    , m_emptySlots(emptySlots)
{
    ui->setupUi(this);
    QTextCodec *codec = QTextCodec::codecForName("Big5");
    for (const int slot : EditData::occupiedSlots(source)) {
        auto *item = new QListWidgetItem(
                QStringLiteral("%1 %2").arg(QString::number(EditData::officerIdBase + slot),
                                            EditData::officerName(source.at(slot), codec)));
        item->setData(Qt::UserRole, slot);
        ui->list_officers->addItem(item);
    }
}

ImportDialog::~ImportDialog()
{
    delete ui;
}

QVector<int> ImportDialog::chosenSlots() const
{
    QVector<int> chosen;
    for (const QListWidgetItem *item : ui->list_officers->selectedItems())
        chosen.append(item->data(Qt::UserRole).toInt());
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

void ImportDialog::accept()
{
    if (ui->list_officers->selectedItems().size() > m_emptySlots) {
        QMessageBox::warning(this, tr("錯誤"), tr("指定的新武將數目超過上限。"));
        return;
    }
    QDialog::accept();
}
