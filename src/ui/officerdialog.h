#ifndef OFFICERDIALOG_H
#define OFFICERDIALOG_H

#include "officerdetails.h"

#include <QByteArray>
#include <QDialog>
#include <QList>

class QSpinBox;

namespace Ui {
class OfficerDialog;
}

// Shows the officer of one slot and lets the player change his names,
// birth year, portrait, abilities, aptitudes, skills, character and father.
// OK writes the changed fields into a copy of the record, or warns and stays
// open when a name cannot be written; the record itself is left to the
// caller.
class OfficerDialog : public QDialog
{
    Q_OBJECT

public:
    OfficerDialog(const QList<QByteArray> &records, int slot, QWidget *parent = nullptr);
    ~OfficerDialog() override;

    // The record with the player's changes once accepted; until then, and
    // when nothing was changed, the record as it was.
    QByteArray record() const { return m_record; }
    // Once accepted, the status text that tells of names typed in
    // simplified Chinese and written in traditional characters; empty when
    // the names were written as typed.
    QString conversionMessage() const { return m_conversionMessage; }

    void accept() override;

private:
    void showPortraits(const QList<QByteArray> &records, int slot);
    void showFathers(const QList<QByteArray> &records, int slot);
    QVector<QSpinBox *> spinBoxes(const char *prefix, int count) const;
    EditData::OfficerDetails edited() const;

    Ui::OfficerDialog *ui;
    QByteArray m_record;
    // What the fields showed when the dialog opened.
    EditData::OfficerDetails m_shown;
    QString m_conversionMessage;
};

#endif // OFFICERDIALOG_H
