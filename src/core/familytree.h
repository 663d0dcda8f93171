#ifndef FAMILYTREE_H
#define FAMILYTREE_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

class QTextCodec;

namespace Family {

// The officers of one family name.
struct FamilyGroup
{
    QString name;
    // Officers of this name, wherever they stand in the tree.
    int count = 0;
    // Officers of this name who head a line, in slot order.
    QVector<int> roots;
};

// The officers of a file as a tree: family groups at the top, under each its
// heads, under each officer his sons. Every occupied slot stands exactly
// once, either among the roots of its family or among the children of one
// other officer.
struct FamilyTree
{
    // One group per family name, in the order of each name's first slot.
    QVector<FamilyGroup> groups;
    // For each slot of the records, the slots standing directly beneath it,
    // in slot order; empty for empty slots.
    QVector<QVector<int>> children;
};

// The slot of the officer's father in the records, or -1 when the father ID
// names no other occupied slot (no father, an ID outside the file's officers,
// an empty slot, the officer himself).
int fatherSlot(const QList<QByteArray> &records, int slot);

// The officers who may become the father of the officer in slot: every
// other occupied slot that is not among his descendants, in slot order, so
// that no ring of fathers can be made.
QVector<int> fatherChoices(const QList<QByteArray> &records, int slot);

// Arranges the occupied records into their tree; without a codec every
// family name is empty. Father links that run in a ring are cut: while
// officers are left that no head leads to, the one in the lowest slot heads
// his own line as if he had no father.
FamilyTree buildFamilyTree(const QList<QByteArray> &records, QTextCodec *codec);

} // namespace Family

#endif // FAMILYTREE_H
