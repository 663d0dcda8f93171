#ifndef OFFICERDIALOG_H
#define OFFICERDIALOG_H

#include <QByteArray>
#include <QDialog>
#include <QList>

namespace Ui {
class OfficerDialog;
}

// Shows what the record of one slot holds, read-only; closing it changes
// nothing.
class OfficerDialog : public QDialog
{
    Q_OBJECT

public:
    OfficerDialog(const QList<QByteArray> &records, int slot, QWidget *parent = nullptr);
    ~OfficerDialog() override;

private:
    Ui::OfficerDialog *ui;
};

#endif // OFFICERDIALOG_H
