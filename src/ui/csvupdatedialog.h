#ifndef CSVUPDATEDIALOG_H
#define CSVUPDATEDIALOG_H

#include <QDialog>

#include <memory>

namespace EditData {
struct CsvUpdatePlan;
}

namespace Ui {
class CsvUpdateDialog;
}

// Shows what a CSV file would change, one row per changed cell, a note when
// its computed columns differ from the officers, and the errors found in it.
// OK stays disabled while the file has an error.
class CsvUpdateDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CsvUpdateDialog(const EditData::CsvUpdatePlan &plan, QWidget *parent = nullptr);
    ~CsvUpdateDialog() override;

private:
    std::unique_ptr<Ui::CsvUpdateDialog> ui;
};

#endif // CSVUPDATEDIALOG_H
