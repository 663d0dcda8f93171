#ifndef RESTOREDIALOG_H
#define RESTOREDIALOG_H

#include "backups.h"

#include <QDialog>
#include <QVector>

namespace Ui {
class RestoreDialog;
}

// Lists the dated backups of the open file, newest first, one row each with
// the time it was made and its number of officers; the first ever made is
// marked. A copy that is not a data file (another program may have written
// anything there) is listed with the reason and cannot be chosen.
class RestoreDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RestoreDialog(const QVector<SafeKeeping::Backup> &backups, QWidget *parent = nullptr);
    ~RestoreDialog() override;

    // The backup chosen; only valid while one is.
    SafeKeeping::Backup chosenBackup() const;

private:
    void updateOk();

    Ui::RestoreDialog *ui;
    QVector<SafeKeeping::Backup> m_backups;
};

#endif // RESTOREDIALOG_H
