// The dialogs of the table as a spreadsheet: the preview of a CSV update
// and the batch edit's choices.

#include "batcheditdialog.h"
#include "csvupdate.h"
#include "csvupdatedialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

using namespace EditData;

class TestSheetDialogs : public QObject
{
    Q_OBJECT

private slots:
    void previewRefusesAFileWithErrors();
    void batchEditReturnsWhatIsChecked();
};

void TestSheetDialogs::previewRefusesAFileWithErrors()
{
    CsvUpdatePlan plan;
    plan.changes = {{4, "關雲長", "名", "雲長", "羽"}};
    auto okEnabled = [](const CsvUpdateDialog &dialog) {
        return dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled();
    };
    {
        CsvUpdateDialog dialog(plan);
        auto *table = dialog.findChild<QTableWidget *>("table_changes");
        QCOMPARE(table->rowCount(), 1);
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << table->horizontalHeaderItem(column)->text() + '='
                             + table->item(0, column)->text();
        QCOMPARE(cells, (QStringList{"編號=704", "姓名=關雲長", "欄=名", "原值=雲長", "新值=羽"}));
        QVERIFY(okEnabled(dialog));
        QVERIFY(!dialog.findChild<QLabel *>("label_note")->isVisibleTo(&dialog));
    }
    // The note does not hold OK back; errors do, those beyond the listed
    // counted.
    plan.computedColumnsDiffer = true;
    {
        CsvUpdateDialog dialog(plan);
        auto *note = dialog.findChild<QLabel *>("label_note");
        QVERIFY(note->isVisibleTo(&dialog) && note->text() == computedColumnsNote());
        QVERIFY(okEnabled(dialog));
    }
    plan.errors = QStringList{"第3行「父親」：不能設為父親"};
    plan.unlistedErrors = 2;
    CsvUpdateDialog dialog(plan);
    auto *errors = dialog.findChild<QListWidget *>("list_errors");
    QCOMPARE(errors->count(), 2);
    QCOMPARE(errors->item(0)->text(), plan.errors.at(0));
    QCOMPARE(errors->item(1)->text(), QStringLiteral("……還有2個錯誤。"));
    QVERIFY(!okEnabled(dialog));
}

// Each check box and spin box stands for its own field; 增減 lets a value
// go below zero, down to minus the field's largest value.
void TestSheetDialogs::batchEditReturnsWhatIsChecked()
{
    BatchEditDialog dialog(3);
    QCOMPARE(dialog.findChild<QLabel *>("label_count")->text(), QStringLiteral("將修改3名武將"));
    auto *mode = dialog.findChild<QComboBox *>("combo_mode");
    QCOMPARE(mode->currentText(), QStringLiteral("設為"));
    for (QCheckBox *check : dialog.findChildren<QCheckBox *>())
        QVERIFY(!check->isChecked());
    auto *ability = dialog.findChild<QSpinBox *>("spin_ability2");
    QCOMPARE(ability->minimum(), 0);
    QCOMPARE(ability->maximum(), 148);
    QCOMPARE(dialog.findChild<QSpinBox *>("spin_birthYear")->maximum(), 65535);

    mode->setCurrentIndex(1);
    dialog.findChild<QCheckBox *>("chk_ability2")->setChecked(true);
    ability->setValue(-148);
    dialog.findChild<QCheckBox *>("chk_skillsB")->setChecked(true);
    dialog.findChild<QSpinBox *>("spin_skillsB")->setValue(-9);
    dialog.findChild<QSpinBox *>("spin_character")->setValue(2); // not checked

    const BatchEdit edit = dialog.edit();
    QCOMPARE(edit.mode, BatchEdit::Add);
    QVERIFY(edit.abilities[1].checked && edit.abilities[1].value == -148);
    QVERIFY(edit.skillsB.checked && edit.skillsB.value == -9);
    QVERIFY(!edit.character.checked && !edit.abilities[0].checked && !edit.skillsA.checked);
}

QTEST_MAIN(TestSheetDialogs)
#include "tst_sheetdialogs.moc"
