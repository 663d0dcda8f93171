#include "batcheditdialog.h"
#include "ui_batcheditdialog.h"

#include "officeredit.h"

using namespace EditData;

namespace {

// The edit's fields in the order of the dialog's rows.
QVector<BatchEdit::Field *> batchFields(BatchEdit &edit)
{
    return {&edit.birthYear,    &edit.abilities[0], &edit.abilities[1], &edit.abilities[2],
            &edit.abilities[3], &edit.aptitudes[0], &edit.aptitudes[1], &edit.aptitudes[2],
            &edit.skillsA,      &edit.skillsB,      &edit.character};
}

} // namespace

BatchEditDialog::BatchEditDialog(int count, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::BatchEditDialog)
{
    ui->setupUi(this);
    ui->label_count->setText(tr("將修改%1名武將").arg(count));
    m_rows = {
            {ui->chk_birthYear, ui->spin_birthYear, maxBirthYear},
            {ui->chk_ability1, ui->spin_ability1, maxAbility},
            {ui->chk_ability2, ui->spin_ability2, maxAbility},
            {ui->chk_ability3, ui->spin_ability3, maxAbility},
            {ui->chk_ability4, ui->spin_ability4, maxAbility},
            {ui->chk_aptitude1, ui->spin_aptitude1, maxAptitude},
            {ui->chk_aptitude2, ui->spin_aptitude2, maxAptitude},
            {ui->chk_aptitude3, ui->spin_aptitude3, maxAptitude},
            {ui->chk_skillsA, ui->spin_skillsA, maxSkillLevel},
            {ui->chk_skillsB, ui->spin_skillsB, maxSkillLevel},
            {ui->chk_character, ui->spin_character, maxCharacterCode},
    };
    for (const FieldRow &row : qAsConst(m_rows))
        connect(row.check, &QCheckBox::toggled, row.spin, &QSpinBox::setEnabled);
    showMode();
    connect(ui->combo_mode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &BatchEditDialog::showMode);
}

BatchEditDialog::~BatchEditDialog() = default;

void BatchEditDialog::showMode()
{
    const bool add = ui->combo_mode->currentIndex() == 1;
    for (const FieldRow &row : qAsConst(m_rows))
        row.spin->setRange(add ? -row.max : 0, row.max);
}

BatchEdit BatchEditDialog::edit() const
{
    BatchEdit edit;
    edit.mode = ui->combo_mode->currentIndex() == 1 ? BatchEdit::Add : BatchEdit::Set;
    const QVector<BatchEdit::Field *> fields = batchFields(edit);
    for (int i = 0; i < m_rows.size(); ++i)
        *fields.at(i) = {m_rows.at(i).check->isChecked(), m_rows.at(i).spin->value()};
    return edit;
}
