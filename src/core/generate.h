#ifndef GENERATE_H
#define GENERATE_H

#include "editdata.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

namespace Generate {

// A source of non-negative random numbers; r(n) is one draw taken modulo n.
// The program draws from qrand(); tests script the sequence.
using RandomSource = std::function<int()>;

// The program's random source: qrand(), never seeded, so every run draws the
// same sequence.
int programRandom();

enum class AbilityLevel { Super, High, Medium, Low };
enum class SkillLevel { All, Many, Medium, Little };
enum class AptitudeLevel { All, Some, Bad };

// The generation options of the form, as they stand when an officer is made.
struct Options
{
    AbilityLevel abilities = AbilityLevel::Low;
    bool biased = false;
    SkillLevel skills = SkillLevel::Little;
    AptitudeLevel aptitudes = AptitudeLevel::Bad;
    bool typeEffect = false;
    bool character = false;
    // Historical portraits once the generic ones of a sex are all taken.
    bool useHistoric = false;
};

bool operator==(const Options &a, const Options &b);

// The options as the main form shows them when the program starts: middling
// abilities, all-round, every skill, poor troop aptitudes, nothing checked.
constexpr Options startOptions = {
        AbilityLevel::Medium, false, SkillLevel::All, AptitudeLevel::Bad, false, false, false};

// Who a new officer is; everything else about it is drawn. The names are
// already encoded and fitted to their fields; an empty name leaves its field
// untouched.
struct Officer
{
    bool female = false;
    quint8 birthYear = 170;
    QByteArray familyName;
    QByteArray givenName;
    QByteArray styleName;
    quint16 fatherId = EditData::noFather;
};

// Hands out the lowest free generic portrait and flags it; when every one is
// taken, draws any portrait of the generic pool or, with useHistoric, of the
// whole pool of that sex, and flags nothing.
quint16 pickPortrait(EditData::PortraitPool &generic, const EditData::PortraitPool &all,
                     bool useHistoric, const RandomSource &random);

// Writes a complete new officer into the record. The portrait has been
// picked already; every other value is drawn from random in a fixed order.
void synthesizeOfficer(QByteArray &record, const Officer &officer, quint16 portraitNumber,
                       const Options &options, const RandomSource &random);

// Writes the name's bytes and one zero byte into the field at offset. The
// bytes after the zero byte keep their values; an empty name writes nothing.
void writeName(QByteArray &record, int offset, const QByteArray &name);

struct BatchRequest
{
    qint64 men = 0;
    qint64 women = 0;
    qint64 families = 0;
};

// One officer of a batch, before it is made.
struct BatchOfficer
{
    qint64 slot = 0;
    bool female = false;
    quint8 birthYear = 170;
    QString familyName;
    QString givenName;
    quint16 fatherId = EditData::noFather;
};

// Walks the empty slots in ascending order: family heads first, then the
// other men, then the women, drawing their names from the pools and making
// each one through makeOfficer as soon as its names are drawn. With
// families, every other officer becomes the child of a head chosen at random.
// The pools that the request needs must not be empty.
void generateBatch(const QList<QByteArray> &records, BatchRequest request,
                   const QStringList &familyNames, const QStringList &boyNames,
                   const QStringList &girlNames, const RandomSource &random,
                   const std::function<void(const BatchOfficer &)> &makeOfficer);

} // namespace Generate

#endif // GENERATE_H
