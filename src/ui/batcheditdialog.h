#ifndef BATCHEDITDIALOG_H
#define BATCHEDITDIALOG_H

#include "batchedit.h"

#include <QDialog>
#include <QVector>

#include <memory>

class QCheckBox;
class QSpinBox;

namespace Ui {
class BatchEditDialog;
}

// Asks which fields to set, or to change by how much, for every selected
// officer at once. Nothing is checked at first and every value is 0; with
// 增減 a value runs from minus to plus the field's largest value.
class BatchEditDialog : public QDialog
{
    Q_OBJECT

public:
    // count is the number of officers the edit is for.
    explicit BatchEditDialog(int count, QWidget *parent = nullptr);
    ~BatchEditDialog() override;

    // The fields as chosen.
    EditData::BatchEdit edit() const;

private:
    struct FieldRow
    {
        QCheckBox *check;
        QSpinBox *spin;
        int max;
    };

    void showMode();

    std::unique_ptr<Ui::BatchEditDialog> ui;
    QVector<FieldRow> m_rows; // in the order of the form
};

#endif // BATCHEDITDIALOG_H
