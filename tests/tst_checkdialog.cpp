// Checking the open file: generated officers have no problem, and the
// window's list follows the document and repairs in one undo step.

#include "checkdialog.h"
#include "datafolder.h"
#include "editdata.h"
#include "filecheck.h"
#include "mainwindow.h"
#include "namepools.h"
#include "officerdialog.h"
#include "officerdocument.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>
#include <QUndoStack>

using namespace EditData;
using Outcome = OfficerDocument::Outcome;

namespace {

QTextCodec *codec()
{
    return QTextCodec::codecForName("Big5");
}

// A file with two errors that have a repair (a ring of two, a missing
// father), one without (a name cut short), a repeated portrait and the
// values of hand-made records; one officer's style name runs on for a
// thousand letters.
QString writeDamaged(const QTemporaryDir &dir)
{
    QByteArray image = blankImage();
    putRecord(image, 0, patternedRecord("曹", "操", 0, 150, 1130, 701));
    putRecord(image, 1, patternedRecord("曹", "丕", 0, 170, 1131, 700));
    QByteArray longName = patternedRecord("曹", "植", 0, 170, 1130, 740);
    longName.replace(styleName, gender - styleName,
                     QByteArray(1000, 'A').leftJustified(gender - styleName, '\0'));
    putRecord(image, 2, longName);
    QByteArray cut = patternedRecord("曹", "彰", 0, 170, 500, 0xFFFF);
    cut[givenName + 2] = '\xA4';
    cut[givenName + 3] = '\0';
    putRecord(image, 3, cut);
    const QString path = dir.filePath("editdata.rqv");
    writeFile(path, image);
    return path;
}

} // namespace

class TestCheckDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void generatedFileHasNoProblem();
    void dialogFollowsTheDocument();
};

void TestCheckDialog::initTestCase()
{
    useOwnDataFolder();
}

// Families, fathers linked, every option at its ends: generation writes
// nothing that the check finds.
void TestCheckDialog::generatedFileHasNoProblem()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("editdata.rqv");
    QVERIFY(writeFile(path, blankImage()));
    OfficerDocument document;
    QCOMPARE(document.open(path).outcome, Outcome::Done);
    Names::NamePools pools;
    QCOMPARE(Names::loadNamePools(QString::fromLocal8Bit(qgetenv("OFFICER_DATA_DIR")), pools), -1);
    using namespace Generate;
    const Options strong{AbilityLevel::Super, true, SkillLevel::All,
                         AptitudeLevel::All,  true, true};
    const Options weak{AbilityLevel::Low,  false, SkillLevel::Little,
                       AptitudeLevel::Bad, false, true};
    QVERIFY(document.generateBatch({30, 20, 8}, strong, pools).changed());
    QVERIFY(document.generateSingle("關", "羽", "雲長", false, weak).changed());
    QVERIFY(document.generateBatch({25, 15, 6}, weak, pools).changed());
    QVERIFY(document.generateBatch({24, 15, 0}, strong, pools).changed());
    QVERIFY(document.assignFathers().changed());
    const QVector<FileProblem> problems = checkRecords(document.records(), codec());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.value(0).reason));
}

void TestCheckDialog::dialogFollowsTheDocument()
{
    QTemporaryDir dir;
    copyBundledPools(dir.path());
    DialogDriver driver;
    const auto window = startWindowIn(dir.path());
    QAction *check = nullptr;
    for (QAction *action : window->findChildren<QAction *>()) {
        if (action->text() == QStringLiteral("檢查文件…"))
            check = action;
    }
    QVERIFY(check && !check->isEnabled());

    const QString path = writeDamaged(dir);
    driver.planFileDialog(path);
    click(*window, "cmd_open");
    QCOMPARE(window->statusBar()->currentMessage(),
             QStringLiteral("已打開%1，共4名武將。文件有3個錯誤，可用「檢查文件…」查看。")
                     .arg(QDir::toNativeSeparators(path)));
    QVERIFY(check->isEnabled());
    check->trigger();
    auto *dialog = window->findChild<CheckDialog *>();
    QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
    auto *table = dialog->findChild<QTableWidget *>("table_problems");
    auto *errorsOnly = dialog->findChild<QCheckBox *>("chk_errorsOnly");
    auto *fixSelected = dialog->findChild<QPushButton *>("cmd_fixSelected");
    auto *fixAll = dialog->findChild<QPushButton *>("cmd_fixAll");

    const QVector<FileProblem> problems = checkRecords(window->document()->records(), codec());
    QCOMPARE(table->rowCount(), problems.size());
    // However long a name, the explanation stays in view.
    QVERIFY(table->columnViewportPosition(4) < table->viewport()->width() / 2);
    QVERIFY(!errorsOnly->isChecked());
    QVERIFY(fixAll->isEnabled());
    QVERIFY(!fixSelected->isEnabled());
    const int cutRow = int(std::find_if(problems.cbegin(), problems.cend(),
                                        [](const FileProblem &p) { return p.slot == 3; })
                           - problems.cbegin());
    table->selectRow(cutRow);
    QVERIFY(!fixSelected->isEnabled());
    table->selectRow(0);
    QVERIFY(fixSelected->isEnabled());

    // Only the errors: 全部修正 mends those shown, not the repeated portrait,
    // in one step that undo takes back to the last byte.
    const QList<QByteArray> before = window->document()->records();
    errorsOnly->setChecked(true);
    QCOMPARE(table->rowCount(), 3);
    fixAll->click();
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("已修正2個問題。"));
    QUndoStack *stack = window->document()->undoStack();
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("修正問題"));
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 3)->text(), QStringLiteral("姓名無法讀取"));
    QVERIFY(!fixAll->isEnabled());
    errorsOnly->setChecked(false);
    QVERIFY(fixAll->isEnabled());
    stack->undo();
    QCOMPARE(window->document()->records(), before);
    QCOMPARE(table->rowCount(), problems.size());

    // A double-click opens the officer of the row in the editor.
    QString opened;
    whenShown<OfficerDialog>(this, [&](OfficerDialog *editor) {
        opened = editor->findChild<QLabel *>("label_id")->text();
        editor->reject();
    });
    const QModelIndex cutIndex = table->model()->index(cutRow, 0);
    table->scrollTo(cutIndex);
    const QPoint point = table->visualRect(cutIndex).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(opened, QStringLiteral("703"));
}

QTEST_MAIN(TestCheckDialog)
#include "tst_checkdialog.moc"
