#include "csvupdatedialog.h"
#include "ui_csvupdatedialog.h"

#include "csvupdate.h"
#include "editdata.h"

#include <QPushButton>
#include <QTableWidgetItem>

CsvUpdateDialog::CsvUpdateDialog(const EditData::CsvUpdatePlan &plan, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CsvUpdateDialog)
{
    ui->setupUi(this);
    ui->table_changes->setRowCount(plan.changes.size());
    for (int row = 0; row < plan.changes.size(); ++row) {
        const EditData::CsvChange &change = plan.changes.at(row);
        const QString texts[] = {QString::number(EditData::officerIdBase + change.slot),
                                 change.officer, change.column, change.oldValue, change.newValue};
        for (int column = 0; column < 5; ++column)
            ui->table_changes->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
    ui->table_changes->resizeColumnsToContents();

    ui->label_note->setText(EditData::computedColumnsNote());
    ui->label_note->setVisible(plan.computedColumnsDiffer);
    ui->list_errors->addItems(EditData::csvErrorLines(plan));
    ui->list_errors->setVisible(!plan.errors.isEmpty());
    // Nothing is written until the file is mended.
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(plan.errors.isEmpty());
}

CsvUpdateDialog::~CsvUpdateDialog() = default;
