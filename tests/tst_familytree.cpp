#include "editdata.h"
#include "familytree.h"
#include "familytreewindow.h"
#include "generate.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextCodec>
#include <QTreeView>

#include <algorithm>

using namespace EditData;
using namespace Family;

namespace {

constexpr int freeSlot = -1;

// Where each slot stands: -1 at the top of a group, else its father's slot,
// -2 nowhere; -3 when it stands twice (the walk never loops).
QVector<int> placement(const FamilyTree &tree)
{
    QVector<int> parent(recordCount, -2), pending;
    for (const FamilyGroup &group : tree.groups) {
        for (int root : group.roots)
            parent[root] = parent.at(root) == -2 ? -1 : -3;
        pending += group.roots;
    }
    while (!pending.isEmpty()) {
        const int father = pending.takeLast();
        for (int son : tree.children.value(father)) {
            if (parent.at(son) != -2) {
                parent[son] = -3;
                continue;
            }
            parent[son] = father;
            pending.append(son);
        }
    }
    return parent;
}

// Officers of family 張 with these father IDs; freeSlot leaves a slot empty.
QList<QByteArray> linkedRecords(const QVector<int> &links)
{
    QList<QByteArray> records = splitRecords(QByteArray());
    for (int slot = 0; slot < links.size(); ++slot) {
        if (links.at(slot) != freeSlot) {
            records[slot] = occupiedRecord(big5("張"), big5("某"), 150 + slot);
            writeU16(records[slot], fatherId, links.at(slot));
        }
    }
    return records;
}

QStringList rowTexts(const QModelIndex &index)
{
    return {index.data().toString(), index.siblingAtColumn(1).data().toString(),
            index.siblingAtColumn(2).data().toString()};
}

} // namespace

class TestFamilyTree : public QObject
{
    Q_OBJECT

private slots:
    void links_data();
    void links();
    void familyNames();
    void generatedFamilies();
    void window();
    void columnsFitTheirContents();
};

void TestFamilyTree::links_data()
{
    QTest::addColumn<QVector<int>>("links");
    QTest::addColumn<QVector<int>>("parents");

    const int none = noFather;
    QTest::newRow("self") << QVector<int>{700, 700} << QVector<int>{-1, 0};
    QTest::newRow("ring of two") << QVector<int>{701, 700} << QVector<int>{-1, 0};
    QTest::newRow("ring of three") << QVector<int>{702, 700, 701} << QVector<int>{-1, 0, 1};
    // The lowest officer left over hangs under a ring without being in it.
    QTest::newRow("under a ring") << QVector<int>{702, 702, 701} << QVector<int>{-1, -1, 1};
    QTest::newRow("empty slot") << QVector<int>{702, 700, freeSlot} << QVector<int>{-1, 0, -2};
    QTest::newRow("outside the IDs")
            << QVector<int>{0, 699, 850, none, 700, 849} << QVector<int>{-1, -1, -1, -1, 0, -1};
    QVector<int> last(recordCount, none), lastParents(recordCount, -1);
    last[0] = 849;
    lastParents[0] = 149;
    QTest::newRow("last slot") << last << lastParents;

    QVector<int> chain(recordCount), ring(recordCount), backwards(recordCount);
    QVector<int> down(recordCount), up(recordCount);
    for (int slot = 0; slot < recordCount; ++slot) {
        chain[slot] = slot == 0 ? none : officerIdBase + slot - 1;
        ring[slot] = officerIdBase + (slot + recordCount - 1) % recordCount;
        backwards[slot] = officerIdBase + (slot + 1) % recordCount;
        down[slot] = slot - 1;
        up[slot] = slot == 0 ? -1 : (slot + 1) % recordCount;
    }
    QTest::newRow("chain of 150") << chain << down;
    QTest::newRow("ring of 150") << ring << down;
    QTest::newRow("ring of 150 backwards") << backwards << up;
}

void TestFamilyTree::links()
{
    QFETCH(QVector<int>, links);
    QFETCH(QVector<int>, parents);
    const FamilyTree tree = buildFamilyTree(linkedRecords(links), QTextCodec::codecForName("Big5"));
    parents.resize(recordCount);
    std::fill(parents.begin() + links.size(), parents.end(), -2);
    QCOMPARE(placement(tree), parents);
    QCOMPARE(tree.groups.size(), 1);
    QCOMPARE(tree.groups.at(0).count, links.size() - links.count(freeSlot));
    QVERIFY(std::is_sorted(tree.groups.at(0).roots.cbegin(), tree.groups.at(0).roots.cend()));
}

void TestFamilyTree::familyNames()
{
    QList<QByteArray> records = splitRecords(QByteArray());
    records[0] = occupiedRecord(big5("張"), big5("飛"));
    records[1] = occupiedRecord(big5("李"), big5("典"));
    records[3] = occupiedRecord(big5("張"), big5("苞"));
    records[4] = occupiedRecord(big5("李"), big5("整"));
    writeU16(records[1], fatherId, 703); // a son under another family's officer
    writeU16(records[1], fatherId2, 704); // not read
    writeU16(records[3], fatherId, 700);
    writeU16(records[4], fatherId, noFather);

    const FamilyTree tree = buildFamilyTree(records, QTextCodec::codecForName("Big5"));
    QCOMPARE(tree.groups.size(), 2);
    QCOMPARE(tree.groups.at(0).name, QStringLiteral("張"));
    QCOMPARE(tree.groups.at(0).count, 2);
    QCOMPARE(tree.groups.at(0).roots, QVector<int>{0});
    QCOMPARE(tree.groups.at(1).name, QStringLiteral("李"));
    QCOMPARE(tree.groups.at(1).count, 2);
    QCOMPARE(tree.groups.at(1).roots, QVector<int>{4});
    QCOMPARE(tree.children.at(0), QVector<int>{3});
    QCOMPARE(tree.children.at(3), QVector<int>{1});

    // Without a codec every name is empty: one group, the same links.
    const FamilyTree nameless = buildFamilyTree(records, nullptr);
    QCOMPARE(nameless.groups.size(), 1);
    QCOMPARE(nameless.groups.at(0).count, 4);
    QCOMPARE(nameless.groups.at(0).roots, (QVector<int>{0, 4}));
    QCOMPARE(nameless.children, tree.children);
}

void TestFamilyTree::generatedFamilies()
{
    QList<QByteArray> records = splitRecords(QByteArray());
    records[0] = occupiedRecord(big5("關"), big5("羽"));
    quint32 state = 12345;
    const Generate::RandomSource random = [&state] {
        state = state * 1103515245u + 12345u;
        return int(state >> 16 & 0x7FFF);
    };
    QVector<int> parents(recordCount, -2);
    parents[0] = -1;
    Generate::generateBatch(
            records, {60, 40, 6}, {"劉", "張", "趙"}, {"備"}, {"月"}, random,
            [&](const Generate::BatchOfficer &made) {
                Generate::Officer officer;
                officer.familyName = big5(made.familyName);
                officer.givenName = big5(made.givenName);
                officer.fatherId = made.fatherId;
                Generate::synthesizeOfficer(records[made.slot], officer, 1130, {}, random);
                parents[made.slot] = made.fatherId == noFather ? -1 : made.fatherId - officerIdBase;
            });
    QCOMPARE(parents.count(-1), 7); // six heads and the officer already there
    QCOMPARE(placement(buildFamilyTree(records, QTextCodec::codecForName("Big5"))), parents);
}

void TestFamilyTree::window()
{
    QList<QByteArray> records = splitRecords(QByteArray());
    records[0] = occupiedRecord(big5("張"), big5("飛"), 150);
    records[0].replace(styleName, 4, big5("翼德"));
    records[1] = occupiedRecord(big5("李"), big5("典"), 160);
    records[2] = occupiedRecord(big5("張"), big5("苞"), 170);
    writeU16(records[2], fatherId, 700);
    records[3] = occupiedRecord(QByteArray(), big5("某"), 180);

    FamilyTreeWindow window;
    window.showRecords(records);
    window.showRecords(records); // a rebuild replaces the rows
    QCOMPARE(window.windowTitle(), QStringLiteral("家族樹"));
    auto *view = window.findChild<QTreeView *>();
    const QAbstractItemModel *model = view->model();
    QCOMPARE(model->rowCount(), 3);
    const QModelIndex zhang = model->index(0, 0);
    const QModelIndex fei = model->index(0, 0, zhang);
    const QModelIndex bao = model->index(0, 0, fei);
    QCOMPARE(rowTexts(zhang), (QStringList{"張（2）", "", ""}));
    QCOMPARE(rowTexts(model->index(1, 0)), (QStringList{"李（1）", "", ""}));
    QCOMPARE(rowTexts(model->index(2, 0)), (QStringList{"（無姓）（1）", "", ""}));
    QCOMPARE(model->rowCount(zhang), 1);
    QCOMPARE(rowTexts(fei), (QStringList{"張飛(翼德)", "150", "700"}));
    QCOMPARE(rowTexts(bao), (QStringList{"張苞", "170", "702"}));
    QCOMPARE(rowTexts(model->index(0, 0, model->index(2, 0))), (QStringList{"某", "180", "703"}));
    QVERIFY(!(model->flags(bao) & Qt::ItemIsEditable));

    // Enter or a double click opens an officer; on a family row it folds.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy activated(&window, &FamilyTreeWindow::officerActivated);
    const auto doubleClick = [view](const QModelIndex &index) {
        const QPoint point = view->visualRect(index).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
    };
    view->setCurrentIndex(bao.siblingAtColumn(2));
    QTest::keyClick(view, Qt::Key_Return);
    doubleClick(fei);
    QCOMPARE(activated, (QList<QVariantList>{{2}, {0}}));
    QVERIFY(view->isExpanded(fei));
    view->setCurrentIndex(zhang);
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(!view->isExpanded(zhang));
    doubleClick(zhang);
    QVERIFY(view->isExpanded(zhang));
    QCOMPARE(activated.size(), 2);
}

// Deep lines and long names are never cut, on the first showing and after
// a rebuild while shown.
void TestFamilyTree::columnsFitTheirContents()
{
    QList<QByteArray> records = splitRecords(QByteArray());
    FamilyTreeWindow window;
    const auto fits = [&window] {
        const QAbstractItemView *view = window.findChild<QTreeView *>();
        for (int column = 0; column < 3; ++column) {
            if (qobject_cast<const QTreeView *>(view)->columnWidth(column)
                < view->sizeHintForColumn(column))
                return false;
        }
        return true;
    };
    records[0] = occupiedRecord(big5("張"), big5("飛"), 150);
    for (int slot = 1; slot < 40; ++slot) {
        records[slot] = occupiedRecord(big5("張"), big5(QString(14, QChar(0x9F8D))), 65535);
        writeU16(records[slot], fatherId, officerIdBase + slot - 1);
    }
    window.showRecords(records);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(fits());
    records[40] = occupiedRecord(big5("張"), big5(QString(14, QChar(0x9F8D))), 65535);
    writeU16(records[40], fatherId, officerIdBase + 39);
    window.showRecords(records);
    QVERIFY(fits());
}

QTEST_MAIN(TestFamilyTree)
#include "tst_familytree.moc"
