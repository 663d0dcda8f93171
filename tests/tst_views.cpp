// The officers as the window shows them beyond its list: the details dialog,
// removal from the list, and the family tree following every change.

#include "datafolder.h"
#include "editdata.h"
#include "familytreemodel.h"
#include "familytreewindow.h"
#include "mainwindow.h"
#include "officerdialog.h"
#include "officerdocument.h"
#include "officermodel.h"
#include "officertablewindow.h"
#include "officerviews.h"
#include "testsupport.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <memory>

using namespace EditData;

class TestViews : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void removal();
    void removalNeedsASelectionAndAYes();
    void details();
    void treeFollowsTheRecords();
    void selectionsStayThroughSteps();

private:
    QAction *action(const QString &text);
    void select(const QStringList &names);
    void pressDelete();
    QByteArray saved();
    QStringList treeRows();
    QString dialogTitleAfter(const std::function<void()> &opening);

    QTemporaryDir m_dir;
    QString m_path;
    QByteArray m_image;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
    QListView *m_list = nullptr;
};

void TestViews::initTestCase()
{
    useOwnDataFolder();
}

void TestViews::init()
{
    m_driver.reset(new DialogDriver);
    copyBundledPools(m_dir.path());
    m_window = startWindowIn(m_dir.path());
    m_list = m_window->findChild<QListView *>("nameListView");
    m_path = m_dir.path() + "/editdata.rqv";
    // 曹操 (portrait 1130) is the father of 曹丕 by the first link and of
    // 曹植 by the second; 孫權 is the son of nobody in the file.
    m_image = blankImage();
    QByteArray cao = occupiedRecord(big5("曹"), big5("操"), 150, 1130);
    QByteArray pi = occupiedRecord(big5("曹"), big5("丕"), 170, 1131);
    writeU16(pi, fatherId, 700);
    QByteArray zhi = occupiedRecord(big5("曹"), big5("植"), 172);
    writeU16(zhi, fatherId2, 700);
    QByteArray quan = occupiedRecord(big5("孫"), big5("權"), 170);
    writeU16(quan, fatherId, 709);
    putRecord(m_image, 0, cao);
    putRecord(m_image, 1, pi);
    putRecord(m_image, 2, zhi);
    putRecord(m_image, 4, quan);
    QVERIFY(writeFile(m_path, m_image));
    m_driver->planFileDialog(m_path);
    click(*m_window, "cmd_open");
    QVERIFY(m_driver->takeMessages().isEmpty());
}

void TestViews::cleanup()
{
    m_window.reset();
    m_driver.reset();
}

QAction *TestViews::action(const QString &text)
{
    for (QAction *menu : m_window->menuBar()->actions()) {
        for (QAction *entry : menu->menu()->actions()) {
            if (entry->text() == text)
                return entry;
        }
    }
    return nullptr;
}

void TestViews::select(const QStringList &names)
{
    m_list->clearSelection();
    const QStringList rows = listedNames(*m_window);
    for (const QString &name : names) {
        m_list->selectionModel()->select(m_list->model()->index(rows.indexOf(name), 0),
                                         QItemSelectionModel::Select);
    }
}

void TestViews::pressDelete()
{
    activate(*m_window);
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key_Delete);
}

QByteArray TestViews::saved()
{
    click(*m_window, "cmd_save");
    const auto messages = m_driver->takeMessages();
    return messages.size() == 1 ? readFile(m_path) : QByteArray();
}

// The tree's rows, depth-first, indented by their depth.
QStringList TestViews::treeRows()
{
    auto *tree = m_window->findChild<FamilyTreeWindow *>();
    if (!tree || !tree->isVisible())
        return {};
    const QAbstractItemModel *model = tree->findChild<QTreeView *>()->model();
    QStringList rows;
    std::function<void(const QModelIndex &, int)> walk = [&](const QModelIndex &parent, int depth) {
        for (int row = 0; row < model->rowCount(parent); ++row) {
            const QModelIndex index = model->index(row, 0, parent);
            rows << QString(depth, ' ') + index.data().toString();
            walk(index, depth + 1);
        }
    };
    walk(QModelIndex(), 0);
    return rows;
}

// The title of the officer dialog that opening shows; the dialog is closed.
QString TestViews::dialogTitleAfter(const std::function<void()> &opening)
{
    QString title;
    QTimer::singleShot(0, [&title] {
        if (auto *dialog = qobject_cast<OfficerDialog *>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            dialog->reject();
        }
    });
    opening();
    return title;
}

// Removing a father clears his sons' links and nothing else; his slot and
// portrait are the next taken; undo and redo give back every byte.
void TestViews::removal()
{
    QVERIFY(!action("刪除武將")->isEnabled());
    select({"曹操", "孫權"});
    QVERIFY(action("刪除武將")->isEnabled());
    m_driver->planAnswer(QMessageBox::Yes);
    pressDelete();
    const auto questions = m_driver->takeQuestions();
    QCOMPARE(questions.size(), 1);
    QCOMPARE(questions.at(0).title, QStringLiteral("刪除武將"));
    QCOMPARE(questions.at(0).text, QStringLiteral("刪除所選的 2 名武將？"));
    QCOMPARE(m_driver->lastQuestionButtons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(m_driver->lastQuestionDefault, QMessageBox::No);
    QCOMPARE(listedNames(*m_window), (QStringList{"曹丕", "曹植"}));
    QVERIFY(m_window->isWindowModified());

    // Which bytes a removal clears is checked in tst_officers; here, that the
    // window made them one step and freed the portrait.
    const QByteArray removed = saved();
    QCOMPARE(readU16(recordsOf(removed).at(2), fatherId2), noFather);
    triggerAction(*m_window, QKeySequence::Undo);
    QCOMPARE(saved(), m_image);
    triggerAction(*m_window, QKeySequence::Redo);
    QCOMPARE(saved(), removed);

    setText(*m_window, "edit_gName", "甲");
    setChecked(*m_window, "radio_genderM");
    click(*m_window, "cmd_generateSingle");
    const QByteArray taken = recordsOf(saved()).at(0);
    QVERIFY(!isEmptySlot(taken));
    QCOMPARE(readU16(taken, portrait), quint16(1130));
}

void TestViews::removalNeedsASelectionAndAYes()
{
    pressDelete();
    QVERIFY(m_driver->takeQuestions().isEmpty());
    select({"曹丕"});
    m_driver->planAnswer(QMessageBox::No);
    pressDelete();
    QCOMPARE(m_driver->takeQuestions().size(), 1);
    QCOMPARE(listedNames(*m_window).size(), 4);
    QVERIFY(!m_window->isWindowModified());
    // The key belongs to the list: in a text field it deletes text.
    auto *field = m_window->findChild<QLineEdit *>("edit_fName");
    field->setText("ab");
    field->setFocus();
    field->setCursorPosition(0);
    QTest::keyClick(field, Qt::Key_Delete);
    QCOMPARE(field->text(), QStringLiteral("b"));
    QVERIFY(m_driver->takeQuestions().isEmpty());
}

// Enter on a row of the list, or activating a row of the tree, opens that
// officer; closing changes nothing.
void TestViews::details()
{
    activate(*m_window);
    m_list->setFocus();
    m_list->setCurrentIndex(m_list->model()->index(3, 0));
    QCOMPARE(dialogTitleAfter([this] { QTest::keyClick(m_list, Qt::Key_Return); }),
             QStringLiteral("孫權"));
    action("家族樹")->trigger();
    auto *tree = m_window->findChild<FamilyTreeWindow *>();
    QCOMPARE(dialogTitleAfter([tree] { emit tree->officerActivated(2); }), QStringLiteral("曹植"));
    QVERIFY(!m_window->isWindowModified());
}

void TestViews::treeFollowsTheRecords()
{
    QVERIFY(treeRows().isEmpty());
    action("家族樹")->trigger();
    const QStringList opened = {"曹（3）", " 曹操", "  曹丕", " 曹植", "孫（1）", " 孫權"};
    QCOMPARE(treeRows(), opened);

    setText(*m_window, "edit_fName", "孫");
    setText(*m_window, "edit_gName", "堅");
    click(*m_window, "cmd_generateSingle");
    QCOMPARE(treeRows().mid(4), (QStringList{"孫（2）", " 孫堅", " 孫權"}));
    triggerAction(*m_window, QKeySequence::Undo);
    QCOMPARE(treeRows(), opened);

    select({"曹操"});
    m_driver->planAnswer(QMessageBox::Yes);
    pressDelete();
    QCOMPARE(treeRows(), (QStringList{"曹（2）", " 曹丕", " 曹植", "孫（1）", " 孫權"}));

    m_driver->planFileDialog(m_path);
    click(*m_window, "cmd_open"); // the removal is discarded
    QCOMPARE(treeRows(), opened);
}

namespace {

// Every index of a view's model, depth first.
QModelIndexList allRows(const QAbstractItemModel *model, const QModelIndex &parent = {})
{
    QModelIndexList rows;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        rows.append(model->index(row, 0, parent));
        rows += allRows(model, rows.last());
    }
    return rows;
}

// The officers' rows as the view's selection, the first current and at the
// top of the view.
void selectOfficers(QAbstractItemView *view, const QVector<int> &chosen, int role)
{
    QItemSelection selection;
    QModelIndex first;
    for (const QModelIndex &index : allRows(view->model())) {
        if (chosen.contains(index.data(role).toInt()) && index.data(role).isValid()) {
            selection.select(index, index);
            if (!first.isValid())
                first = index;
        }
    }
    view->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    view->selectionModel()->select(selection,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(first, QAbstractItemView::PositionAtTop);
}

QVector<int> selectedOfficers(const QAbstractItemView *view, int role)
{
    QVector<int> selected;
    for (const QModelIndex &index : view->selectionModel()->selectedRows())
        selected.append(index.data(role).toInt());
    std::sort(selected.begin(), selected.end());
    return selected;
}

bool selectionInView(const QAbstractItemView *view)
{
    for (const QModelIndex &index : view->selectionModel()->selectedRows()) {
        if (!view->viewport()->rect().contains(view->visualRect(index)))
            return false;
    }
    return true;
}

} // namespace

// Three officers selected in the list, in the table and in the tree stay
// selected and current through a batch, fathers, their undo and redo, each
// view scrolled as it was; one that is removed leaves the selection.
void TestViews::selectionsStayThroughSteps()
{
    // 98 officers with a gap after every second, more than the views show,
    // born 150 and 170 so that fathers can be found among them; the batch
    // fills 40 gaps before the three.
    QByteArray image = blankImage();
    for (int slot = 0; slot < 147; ++slot) {
        if (slot % 3 != 1)
            putRecord(image, slot,
                      occupiedRecord(big5("張"), big5(QString(QChar(0x4E00 + slot))),
                                     slot < 45 ? 150 : 170));
    }
    QVERIFY(writeFile(m_path, image));
    m_driver->planFileDialog(m_path);
    click(*m_window, "cmd_open");
    action("武將一覽")->trigger();
    action("家族樹")->trigger();
    auto *table = m_window->findChild<OfficerTableWindow *>()->findChild<QTableView *>();
    auto *tree = m_window->findChild<FamilyTreeWindow *>()->findChild<QTreeView *>();
    QVERIFY(QTest::qWaitForWindowExposed(table) && QTest::qWaitForWindowExposed(tree));
    const QVector<int> chosen{120, 122, 123};
    const int slotRole = OfficerModel::SlotRole;
    selectOfficers(m_list, chosen, slotRole);
    selectOfficers(table, chosen, slotRole);
    selectOfficers(tree, chosen, FamilyTreeModel::SlotRole);
    const auto stay = [&](const QVector<int> &selected, const char *step) {
        QApplication::processEvents(); // the views lay out their rows
        QCOMPARE(selectedOfficerSlots(m_list), selected);
        QCOMPARE(selectedOfficers(table, slotRole), selected);
        QCOMPARE(selectedOfficers(tree, FamilyTreeModel::SlotRole), selected);
        QCOMPARE(currentOfficerSlot(m_list), selected.first());
        QCOMPARE(table->currentIndex().data(slotRole).toInt(), selected.first());
        QCOMPARE(tree->currentIndex().data(FamilyTreeModel::SlotRole).toInt(), selected.first());
        QVERIFY2(selectionInView(m_list) && selectionInView(table), step);
    };

    setText(*m_window, "num_male", "40");
    click(*m_window, "cmd_generateAll");
    QCOMPARE(listedNames(*m_window).size(), 138);
    stay(chosen, "batch");
    click(*m_window, "cmd_assignFather");
    stay(chosen, "fathers");
    for (const auto key :
         {QKeySequence::Undo, QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Redo}) {
        triggerAction(*m_window, key);
        stay(chosen, key == QKeySequence::Undo ? "undo" : "redo");
    }
    QVERIFY(m_window->document()->removeOfficers({122}).changed());
    stay({120, 123}, "removal");
    triggerAction(*m_window, QKeySequence::Undo);
    stay({120, 123}, "its undo");
}

QTEST_MAIN(TestViews)
#include "tst_views.moc"
