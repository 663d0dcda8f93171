#include "officerdialog.h"
#include "ui_officerdialog.h"

#include "officerdetails.h"

#include <QTextCodec>

namespace {

QString joined(const QVector<int> &values)
{
    QStringList texts;
    for (const int value : values)
        texts.append(QString::number(value));
    return texts.join(QLatin1Char(' '));
}

} // namespace

OfficerDialog::OfficerDialog(const QList<QByteArray> &records, int slot, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::OfficerDialog)
{
    ui->setupUi(this);
    const EditData::OfficerDetails details =
            EditData::officerDetails(records, slot, QTextCodec::codecForName("Big5"));

    // A "[*]" in a name would otherwise be taken for the modified mark.
    QString title = details.title;
    setWindowTitle(title.replace(QLatin1String("[*]"), QLatin1String("[*][*]")));

    ui->idLabel->setText(QString::number(details.id));
    ui->familyNameLabel->setText(details.familyName);
    ui->givenNameLabel->setText(details.givenName);
    ui->styleNameLabel->setText(details.styleName);
    ui->sexLabel->setText(details.sex);
    ui->birthYearLabel->setText(QString::number(details.birthYear));
    ui->portraitLabel->setText(tr("%1（%2）").arg(details.portrait).arg(details.portraitKind));
    ui->abilitiesLabel->setText(joined(details.abilities));
    ui->aptitudesLabel->setText(joined(details.aptitudes));
    ui->skillsALabel->setText(joined(details.skillsA));
    ui->skillsBLabel->setText(joined(details.skillsB));
    ui->characterLabel->setText(QString::number(details.characterCode));
    ui->fatherLabel->setText(details.father);
}

OfficerDialog::~OfficerDialog()
{
    delete ui;
}
