#ifndef CHECKDIALOG_H
#define CHECKDIALOG_H

#include "filecheck.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>
#include <QVector>

#include <memory>

class OfficerDocument;
class QShowEvent;

namespace Ui {
class CheckDialog;
}

// A window of its own that lists the problems of the open file's officers,
// errors and notes, and mends those with a safe repair: the selected ones,
// or all those shown. It follows the document: after any change, undo or
// redo it lists the problems as they now are.
class CheckDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CheckDialog(OfficerDocument *document, QWidget *parent = nullptr);
    ~CheckDialog() override;

signals:
    // A problem's row was double-clicked or Enter pressed on it.
    void officerActivated(int slot);
    // What a repair did, for the status bar.
    void statusMessage(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showRecords(const QList<QByteArray> &records);
    void showProblems();
    QVector<EditData::FileProblem> selectedProblems() const;
    void updateButtons();
    void repair(const QVector<EditData::FileProblem> &problems);

    OfficerDocument *m_document;
    std::unique_ptr<Ui::CheckDialog> ui;
    QVector<EditData::FileProblem> m_problems;
    // The problems of the table's rows, in their order.
    QVector<EditData::FileProblem> m_shown;
};

#endif // CHECKDIALOG_H
