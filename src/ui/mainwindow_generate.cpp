#include "editdata.h"
#include "generate.h"
#include "mainwindow.h"
#include "names.h"
#include "recordscommand.h"
#include "ui_mainwindow.h"

#include <QMessageBox>
#include <QTextCodec>

#include <algorithm>

using namespace EditData;

namespace {

Generate::Options optionsFromForm(const Ui::MainWindow &ui)
{
    using namespace Generate;
    Options options;
    options.abilities = ui.radio_dimSuper->isChecked()    ? AbilityLevel::Super
                        : ui.radio_dimHigh->isChecked()   ? AbilityLevel::High
                        : ui.radio_dimMedium->isChecked() ? AbilityLevel::Medium
                                                          : AbilityLevel::Low;
    options.biased = ui.radio_dimBias->isChecked();
    options.skills = ui.radio_specialAll->isChecked()      ? SkillLevel::All
                     : ui.radio_specialMany->isChecked()   ? SkillLevel::Many
                     : ui.radio_specialMedium->isChecked() ? SkillLevel::Medium
                                                           : SkillLevel::Little;
    options.aptitudes = ui.radio_armyAll->isChecked()    ? AptitudeLevel::All
                        : ui.radio_armySome->isChecked() ? AptitudeLevel::Some
                                                         : AptitudeLevel::Bad;
    options.typeEffect = ui.chk_typeEffect->isChecked();
    options.character = ui.chk_character->isChecked();
    return options;
}

} // namespace

void MainWindow::generateOfficer(qint64 slot, bool female, quint8 birthYear,
                                 const QString &familyName, const QString &givenName,
                                 const QString &styleName, quint16 fatherId)
{
    // Names too long for their fields are cut at a character boundary.
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    Generate::Officer officer;
    officer.female = female;
    officer.birthYear = birthYear;
    officer.familyName = Names::fitName(familyName, big5, familyNameMaxBytes);
    officer.givenName = Names::fitName(givenName, big5, givenNameMaxBytes);
    officer.styleName = Names::fitName(styleName, big5, styleNameMaxBytes);
    officer.fatherId = fatherId;
    const quint16 portrait = pickPortrait(female);
    Generate::synthesizeOfficer(m_records[slot], officer, portrait, optionsFromForm(*ui),
                                Generate::programRandom);
}

quint16 MainWindow::pickPortrait(bool female)
{
    return Generate::pickPortrait(female ? m_femalePortraits : m_malePortraits,
                                  female ? m_allFemalePortraits : m_allMalePortraits,
                                  ui->chk_useHistoric->isChecked(), Generate::programRandom);
}

void MainWindow::on_cmd_generateSingle_clicked()
{
    if (m_filePath.isEmpty()) {
        QMessageBox::warning(this, tr("錯誤"), tr("請先打開數據文件。"));
        return;
    }
    if (occupiedSlots(m_records).size() > recordCount - 1) {
        QMessageBox::warning(this, tr("錯誤"), tr("新武將人數已滿。"));
        return;
    }
    const qint64 slot =
            std::find_if(m_records.cbegin(), m_records.cend(), isEmptySlot) - m_records.cbegin();
    const QString familyName = ui->edit_fName->text();
    const QString givenName = ui->edit_gName->text();
    const QString styleName = ui->edit_aName->text();
    const bool male = ui->radio_genderM->isChecked();

    // Typed names are stored whole or not at all.
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const QString names[] = {familyName, givenName, styleName};
    const int limits[] = {familyNameMaxBytes, givenNameMaxBytes, styleNameMaxBytes};
    QByteArray encoded[3];
    for (int i = 0; i < 3; ++i) {
        if (!Names::encodeName(names[i], big5, &encoded[i])) {
            QMessageBox::warning(this, tr("錯誤"), tr("姓名含有Big5無法表示的字。"));
            return;
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (encoded[i].size() > limits[i]) {
            QMessageBox::warning(this, tr("錯誤"), tr("姓名過長，無法寫入。"));
            return;
        }
    }

    const EditState before = editState();
    generateOfficer(slot, !male, 170, familyName, givenName, styleName, noFather);
    refreshNameList();
    if (commitStep(tr("生成單個"), before))
        showStatus(tr("已生成1名武將。"));
}

void MainWindow::on_cmd_generateAll_clicked()
{
    if (m_filePath.isEmpty()) {
        QMessageBox::warning(this, tr("錯誤"), tr("請先打開數據文件。"));
        return;
    }
    Generate::BatchRequest request;
    const qint64 occupied = occupiedSlots(m_records).size();
    request.men = qMax(0, ui->num_male->text().toInt());
    request.women = qMax(0, ui->num_female->text().toInt());
    if (occupied + request.men + request.women > recordCount) {
        QMessageBox::warning(this, tr("錯誤"), tr("指定的新武將數目超過上限。"));
        return;
    }
    if (ui->chk_family->isChecked()) {
        request.families = qMax(0, ui->num_jiazu->text().toInt());
        if (request.men < request.families) {
            QMessageBox::warning(this, tr("錯誤"), tr("指定的男武將數量小於家族數，無法繼續。"));
            return;
        }
    }
    const bool wantsMen = request.men > 0;
    const bool wantsWomen = request.women > 0;
    if (((wantsMen || wantsWomen) && m_familyNames.isEmpty()) || (wantsMen && m_boyNames.isEmpty())
        || (wantsWomen && m_girlNames.isEmpty())) {
        QMessageBox::warning(this, tr("錯誤"), tr("名字庫為空，無法隨機生成。"));
        return;
    }

    const EditState before = editState();
    Generate::generateBatch(m_records, request, m_familyNames, m_boyNames, m_girlNames,
                            Generate::programRandom, [this](const Generate::BatchOfficer &o) {
                                generateOfficer(o.slot, o.female, o.birthYear, o.familyName,
                                                o.givenName, QString(), o.fatherId);
                            });
    refreshNameList();
    if (commitStep(tr("隨機生成"), before))
        showStatus(tr("已生成%1名武將。").arg(request.men + request.women));
}
