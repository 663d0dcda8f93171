#ifndef IMPORTDIALOG_H
#define IMPORTDIALOG_H

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QVector>

namespace Ui {
class ImportDialog;
}

// Lists the officers of another data file for the player to choose those to
// import. OK keeps the dialog open, with a warning, while more are chosen
// than there are empty slots to take them.
class ImportDialog : public QDialog
{
    Q_OBJECT

public:
    // source is the other file's 150 records; emptySlots counts the empty
    // slots of the open file.
    ImportDialog(const QList<QByteArray> &source, int emptySlots, QWidget *parent = nullptr);
    ~ImportDialog() override;

    // The source slots of the chosen officers, in ascending order.
    QVector<int> chosenSlots() const;

    void accept() override;

private:
    Ui::ImportDialog *ui;
    int m_emptySlots;
};

#endif // IMPORTDIALOG_H
