#ifndef FAMILY_H
#define FAMILY_H

#include "generate.h"

#include <QByteArray>
#include <QList>

class QTextCodec;

namespace Family {

// Gives every occupied record a father drawn at random among the officers of
// the same family name born at least 15 years earlier, written into both
// father fields. Records without such a namesake keep their fathers.
void assignFathers(QList<QByteArray> &records, QTextCodec *codec,
                   const Generate::RandomSource &random);

} // namespace Family

#endif // FAMILY_H
