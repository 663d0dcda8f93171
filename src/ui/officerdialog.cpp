#include "officerdialog.h"
#include "ui_officerdialog.h"

#include "editdata.h"
#include "familytree.h"
#include "officeredit.h"
#include "simplifiedconverter.h"
#include "typedname.h"

#include <QMessageBox>
#include <QTextCodec>

#include <algorithm>

using namespace EditData;

namespace {

// A value outside what the field takes, as a hand-made file may hold, is
// still shown as it is.
void showValue(QSpinBox *box, int value)
{
    box->setRange(qMin(box->minimum(), value), qMax(box->maximum(), value));
    box->setValue(value);
}

QVector<int> values(const QVector<QSpinBox *> &boxes)
{
    QVector<int> result;
    for (const QSpinBox *box : boxes)
        result.append(box->value());
    return result;
}

} // namespace

OfficerDialog::OfficerDialog(const QList<QByteArray> &records, int slot, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::OfficerDialog)
    , m_record(records.value(slot))
{
    ui->setupUi(this);
    const OfficerDetails details = officerDetails(records, slot, QTextCodec::codecForName("Big5"));

    // A "[*]" in a name would otherwise be taken for the modified mark.
    QString title = details.title;
    setWindowTitle(title.replace(QLatin1String("[*]"), QLatin1String("[*][*]")));

    ui->label_id->setText(QString::number(details.id));
    ui->label_gender->setText(details.sex);
    ui->edit_familyName->setText(details.familyName);
    ui->edit_givenName->setText(details.givenName);
    ui->edit_styleName->setText(details.styleName);
    showValue(ui->spin_birthYear, details.birthYear);
    const QVector<QVector<int>> groups = {details.abilities, details.aptitudes, details.skillsA,
                                          details.skillsB};
    const QVector<QVector<QSpinBox *>> boxes = {
            spinBoxes("spin_ability", 4), spinBoxes("spin_aptitude", 3),
            spinBoxes("spin_skillA", 10), spinBoxes("spin_skillB", 10)};
    for (int group = 0; group < groups.size(); ++group) {
        for (int i = 0; i < boxes.at(group).size(); ++i)
            showValue(boxes.at(group).at(i), groups.at(group).value(i));
    }
    showValue(ui->spin_character, details.characterCode);
    showPortraits(records, slot);
    showFathers(records, slot);

    // Unchanged is what the fields show now: a line edit may show a stored
    // name other than it was decoded.
    m_shown = edited();
}

OfficerDialog::~OfficerDialog()
{
    delete ui;
}

QVector<QSpinBox *> OfficerDialog::spinBoxes(const char *prefix, int count) const
{
    QVector<QSpinBox *> boxes;
    for (int i = 1; i <= count; ++i)
        boxes.append(findChild<QSpinBox *>(QLatin1String(prefix) + QString::number(i)));
    return boxes;
}

void OfficerDialog::showPortraits(const QList<QByteArray> &records, int slot)
{
    const quint16 current = readU16(m_record, portrait);
    const QVector<PortraitChoice> choices =
            portraitChoices(records, slot, readU8(m_record, gender));
    const bool listed =
            std::any_of(choices.cbegin(), choices.cend(),
                        [current](const PortraitChoice &c) { return c.number == current; });
    if (!listed)
        ui->combo_portrait->addItem(QString::number(current), current);
    for (const PortraitChoice &choice : choices)
        ui->combo_portrait->addItem(choice.text, choice.number);
    ui->combo_portrait->setCurrentIndex(ui->combo_portrait->findData(current));
}

void OfficerDialog::showFathers(const QList<QByteArray> &records, int slot)
{
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    auto name = [&](int other) { return officerIdAndName(records.at(other), other, big5); };
    ui->combo_father->addItem(tr("無"), noFather);
    const quint16 current = readU16(m_record, fatherId);
    const QVector<int> choices = Family::fatherChoices(records, slot);
    const int currentSlot = int(current) - officerIdBase;
    if (current != noFather && !choices.contains(currentSlot)) {
        const bool occupied = currentSlot >= 0 && currentSlot < records.size()
                              && !isEmptySlot(records.at(currentSlot));
        ui->combo_father->addItem(occupied ? name(currentSlot) : QString::number(current), current);
    }
    for (const int other : choices)
        ui->combo_father->addItem(name(other), quint16(officerIdBase + other));
    ui->combo_father->setCurrentIndex(ui->combo_father->findData(current));
}

OfficerDetails OfficerDialog::edited() const
{
    OfficerDetails details;
    details.familyName = ui->edit_familyName->text();
    details.givenName = ui->edit_givenName->text();
    details.styleName = ui->edit_styleName->text();
    details.birthYear = ui->spin_birthYear->value();
    details.portrait = ui->combo_portrait->currentData().toInt();
    details.abilities = values(spinBoxes("spin_ability", 4));
    details.aptitudes = values(spinBoxes("spin_aptitude", 3));
    details.skillsA = values(spinBoxes("spin_skillA", 10));
    details.skillsB = values(spinBoxes("spin_skillB", 10));
    details.characterCode = ui->spin_character->value();
    details.fatherId = quint16(ui->combo_father->currentData().toUInt());
    return details;
}

void OfficerDialog::accept()
{
    // Names typed in simplified Chinese are written in traditional
    // characters when Big5 cannot write them as typed; when even that
    // cannot be written, the names are refused as typed.
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    OfficerDetails details = edited();
    const Names::PersonName typed = {details.familyName, details.givenName, details.styleName};
    const Names::NameToWrite names =
            Names::editedNameToWrite({m_shown.familyName, m_shown.givenName, m_shown.styleName},
                                     typed, big5, SimplifiedConverter::program().function());
    if (names.writable) {
        details.familyName = names.name.familyName;
        details.givenName = names.name.givenName;
        details.styleName = names.name.styleName;
    }
    QByteArray record = m_record;
    switch (applyOfficerEdit(record, m_shown, details, big5)) {
    case EditRefusal::None:
        m_record = record;
        m_conversionMessage = names.writable && names.converted
                                      ? Names::conversionMessage(typed, names.name)
                                      : QString();
        QDialog::accept();
        return;
    case EditRefusal::Unencodable:
        QMessageBox::warning(this, tr("錯誤"), tr("姓名含有Big5無法表示的字。"));
        return;
    case EditRefusal::TooLong:
        QMessageBox::warning(this, tr("錯誤"), tr("姓名過長，無法寫入。"));
        return;
    case EditRefusal::NoName:
        QMessageBox::warning(this, tr("錯誤"), tr("姓和名不能同時為空。"));
        return;
    }
}
