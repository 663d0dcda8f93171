#include "familytree.h"

#include "editdata.h"

#include <QHash>

#include <algorithm>

using namespace EditData;

namespace Family {

int fatherSlot(const QList<QByteArray> &records, int slot)
{
    const int father = readU16(records.at(slot), fatherId) - officerIdBase;
    if (father < 0 || father >= qMin(records.size(), recordCount) || father == slot
        || isEmptySlot(records.at(father)))
        return -1;
    return father;
}

namespace {

// Marks every officer beneath top, top included, as placed.
void placeLine(const FamilyTree &tree, int top, QVector<bool> &placed)
{
    QVector<int> pending{top};
    while (!pending.isEmpty()) {
        const int slot = pending.takeLast();
        if (placed.at(slot))
            continue;
        placed[slot] = true;
        pending += tree.children.at(slot);
    }
}

} // namespace

FamilyTree buildFamilyTree(const QList<QByteArray> &records, QTextCodec *codec)
{
    const int size = records.size();
    FamilyTree tree;
    tree.children.resize(size);
    QVector<int> father(size, -1);
    QVector<int> groupOf(size, -1);
    QVector<bool> occupied(size, false);
    QHash<QString, int> groupByName;

    for (int slot = 0; slot < size; ++slot) {
        if (isEmptySlot(records.at(slot)))
            continue;
        occupied[slot] = true;
        const QString name = readName(records.at(slot), familyName, codec);
        auto group = groupByName.find(name);
        if (group == groupByName.end()) {
            group = groupByName.insert(name, tree.groups.size());
            tree.groups.append(FamilyGroup{name, 0, {}});
        }
        groupOf[slot] = *group;
        ++tree.groups[*group].count;
        father[slot] = fatherSlot(records, slot);
        if (father.at(slot) >= 0)
            tree.children[father.at(slot)].append(slot);
    }

    // Heads and everything beneath them; then the lowest officer left over,
    // who hangs in a ring of fathers or under one, until none is left.
    QVector<bool> placed(size, false);
    QVector<bool> root(size, false);
    for (int slot = 0; slot < size; ++slot) {
        if (occupied.at(slot) && father.at(slot) < 0) {
            root[slot] = true;
            placeLine(tree, slot, placed);
        }
    }
    for (int slot = 0; slot < size; ++slot) {
        if (!occupied.at(slot) || placed.at(slot))
            continue;
        QVector<int> &siblings = tree.children[father.at(slot)];
        siblings.erase(std::find(siblings.begin(), siblings.end(), slot));
        root[slot] = true;
        placeLine(tree, slot, placed);
    }

    for (int slot = 0; slot < size; ++slot) {
        if (root.at(slot))
            tree.groups[groupOf.at(slot)].roots.append(slot);
    }
    return tree;
}

QVector<int> fatherChoices(const QList<QByteArray> &records, int slot)
{
    const int size = records.size();
    QVector<QVector<int>> sons(size);
    for (int other = 0; other < size; ++other) {
        if (!isEmptySlot(records.at(other))) {
            const int father = fatherSlot(records, other);
            if (father >= 0)
                sons[father].append(other);
        }
    }
    // The officer himself and everyone beneath him, rings included.
    QVector<bool> below(size, false);
    QVector<int> pending;
    if (slot >= 0 && slot < size)
        pending.append(slot);
    while (!pending.isEmpty()) {
        const int next = pending.takeLast();
        if (below.at(next))
            continue;
        below[next] = true;
        pending += sons.at(next);
    }
    QVector<int> choices;
    for (int other = 0; other < size; ++other) {
        if (!below.at(other) && !isEmptySlot(records.at(other)))
            choices.append(other);
    }
    return choices;
}

} // namespace Family
