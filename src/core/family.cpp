#include "family.h"

#include <QHash>
#include <QString>
#include <QVector>

using namespace EditData;

namespace Family {

void assignFathers(QList<QByteArray> &records, QTextCodec *codec,
                   const Generate::RandomSource &random)
{
    // Slots of each family name, in descending slot order.
    QHash<QString, QVector<int>> families;
    for (int slot = records.size() - 1; slot >= 0; --slot) {
        if (!isEmptySlot(records.at(slot)))
            families[readName(records.at(slot), familyName, codec)].append(slot);
    }

    QVector<int> candidates;
    for (int slot = 0; slot < records.size(); ++slot) {
        if (isEmptySlot(records.at(slot)))
            continue;
        const int year = readU16(records.at(slot), birthYear);
        candidates.clear();
        for (int other : families.value(readName(records.at(slot), familyName, codec))) {
            if (readU16(records.at(other), birthYear) + 15 <= year)
                candidates.append(other);
        }
        if (candidates.isEmpty())
            continue;
        const quint16 father = officerIdBase + candidates.at(random() % candidates.size());
        QByteArray &record = records[slot];
        writeU16(record, fatherId, father);
        writeU16(record, fatherId2, father);
    }
}

} // namespace Family
