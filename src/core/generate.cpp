#include "generate.h"

#include <QtGlobal>

#include <algorithm>

using namespace EditData;

namespace Generate {

namespace {

// r(n): one fresh draw reduced to 0..n-1.
int draw(const RandomSource &random, int n)
{
    return random() % n;
}

// A draw u = r(10) and, only when u passes the threshold, the value drawn by
// next; otherwise 0.
int chancedDraw(const RandomSource &random, int threshold, int n, int offset = 0)
{
    return draw(random, 10) > threshold ? offset + draw(random, n) : 0;
}

int drawStyleCode(const RandomSource &random, bool female)
{
    return female ? 10 + draw(random, 4) : draw(random, 5);
}

} // namespace

bool operator==(const Options &a, const Options &b)
{
    return a.abilities == b.abilities && a.biased == b.biased && a.skills == b.skills
           && a.aptitudes == b.aptitudes && a.typeEffect == b.typeEffect
           && a.character == b.character && a.useHistoric == b.useHistoric;
}

int programRandom()
{
    // qrand() is deprecated in Qt 5.15, but its fixed, unseeded sequence is
    // what makes every run of the program draw the same officers.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return qrand();
    QT_WARNING_POP
}

quint16 pickPortrait(PortraitPool &generic, const PortraitPool &all, bool useHistoric,
                     const RandomSource &random)
{
    for (auto it = generic.begin(); it != generic.end(); ++it) {
        if (!it.value()) {
            it.value() = true;
            return it.key();
        }
    }
    const PortraitPool &candidates = useHistoric ? all : generic;
    if (candidates.isEmpty())
        return 0;
    return std::next(candidates.cbegin(), draw(random, candidates.size())).key();
}

void writeName(QByteArray &record, int offset, const QByteArray &name)
{
    if (name.isEmpty())
        return;
    record.replace(offset, name.size(), name);
    record[offset + name.size()] = '\0';
}

void synthesizeOfficer(QByteArray &record, const Officer &officer, quint16 portraitNumber,
                       const Options &options, const RandomSource &random)
{
    Q_ASSERT(record.size() == recordSize);
    Q_ASSERT(officer.familyName.size() <= familyNameMaxBytes);
    Q_ASSERT(officer.givenName.size() <= givenNameMaxBytes);
    Q_ASSERT(officer.styleName.size() <= styleNameMaxBytes);
    const bool female = officer.female;

    writeName(record, familyName, officer.familyName);
    writeName(record, givenName, officer.givenName);
    writeName(record, styleName, officer.styleName);
    writeU8(record, gender, female ? 1 : 0);
    writeU16(record, portrait, portraitNumber);
    writeU8(record, attr1057, draw(random, 11));

    // The style code is drawn twice; the second draw stands.
    writeU8(record, styleCode, drawStyleCode(random, female));
    writeU16(record, birthYear, officer.birthYear);
    writeU16(record, word1061, 255);
    int style = drawStyleCode(random, female);
    writeU8(record, styleCode, style);

    int ability[4];
    for (int &a : ability) {
        switch (options.abilities) {
        case AbilityLevel::Super:
            a = 100 + draw(random, 11);
            break;
        case AbilityLevel::High:
            a = 80 + draw(random, 16);
            break;
        case AbilityLevel::Medium:
            a = 60 + draw(random, 31);
            break;
        case AbilityLevel::Low:
            a = draw(random, 51);
            break;
        }
    }

    // Skill levels, alternating between the two groups.
    int skills[2][10];
    for (int i = 0; i < 10; ++i) {
        for (auto &group : skills) {
            switch (options.skills) {
            case SkillLevel::All:
                group[i] = 9;
                break;
            case SkillLevel::Many:
                group[i] = chancedDraw(random, 3, 10);
                break;
            case SkillLevel::Medium:
                group[i] = chancedDraw(random, 6, 6);
                break;
            case SkillLevel::Little:
                group[i] = chancedDraw(random, 7, 5);
                break;
            }
        }
    }

    writeU16(record, attr1070, draw(random, 133));
    writeU8(record, attr1092, draw(random, 20));
    writeU8(record, attr1093, draw(random, 17));

    for (int i = 0; i < 3; ++i) {
        int aptitude = 3;
        if (options.aptitudes == AptitudeLevel::Some)
            aptitude = chancedDraw(random, 3, 3, 1);
        else if (options.aptitudes == AptitudeLevel::Bad)
            aptitude = chancedDraw(random, 6, 4);
        writeU8(record, aptitudes + i, aptitude);
    }

    const int character = draw(random, 4);
    writeU8(record, characterCode, character);
    const int drawnRanges[] = {2, 2, 2, 3, 3, 5, 5, 5};
    for (int i = 0; i < 8; ++i)
        writeU8(record, attr1108 + i, draw(random, drawnRanges[i]));

    // The type effect favours one ability pair and one skill group.
    int favoured;
    if (options.typeEffect) {
        const bool firstPair = draw(random, 100) <= 49;
        writeU8(record, typeFlag, firstPair ? 1 : 0);
        favoured = (firstPair ? 0 : 2) + draw(random, 2);
        const int sign = firstPair ? 1 : -1;
        ability[0] += sign * draw(random, 20);
        ability[1] += sign * draw(random, 20);
        ability[2] -= sign * draw(random, 20);
        ability[3] -= sign * draw(random, 20);
        for (int i = 0; i < 10; ++i) {
            const int d = chancedDraw(random, 7, 10);
            skills[0][i] = std::clamp(skills[0][i] - sign * d, 0, 9);
            const int e = chancedDraw(random, 4, 10);
            skills[1][i] = std::clamp(skills[1][i] + sign * e, 0, 9);
        }
    } else {
        writeU8(record, typeFlag, 1);
        favoured = draw(random, 4);
    }

    if (options.biased)
        ability[favoured] += draw(random, 20);

    if (options.character) {
        if (character <= 1) {
            const bool first = draw(random, 2) == 1;
            style = female ? (first ? 10 : 11) : (first ? 0 : 4);
        } else if (!female) {
            style = 1 + draw(random, 3);
        } else {
            style = character == 2 ? 12 : 12 + draw(random, 2);
        }
        writeU8(record, styleCode, style);
        if (style == 3 || style == 11)
            writeU8(record, attr1112, 0);
        else if (readU8(record, attr1112) == 2)
            writeU8(record, attr1110, 1);
    }

    for (int i = 0; i < 4; ++i)
        writeU8(record, abilities + i, std::max(ability[i], 0));
    for (int i = 0; i < 10; ++i) {
        writeU8(record, skillsA + i, skills[0][i]);
        writeU8(record, skillsB + i, skills[1][i]);
    }

    if (officer.fatherId != noFather) {
        writeU16(record, fatherId, officer.fatherId);
        writeU16(record, fatherId2, officer.fatherId);
    }
}

void generateBatch(const QList<QByteArray> &records, BatchRequest request,
                   const QStringList &familyNames, const QStringList &boyNames,
                   const QStringList &girlNames, const RandomSource &random,
                   const std::function<void(const BatchOfficer &)> &makeOfficer)
{
    QMap<qint64, QString> families; // head's slot -> family name
    for (qint64 slot = 0; slot < records.size(); ++slot) {
        if (!isEmptySlot(records.at(slot)))
            continue;
        const bool head = request.families > 0;
        bool female = false;
        if (head) {
            --request.families;
            --request.men;
        } else if (request.men > 0) {
            --request.men;
        } else if (request.women > 0) {
            --request.women;
            female = true;
        } else {
            continue;
        }

        const QStringList &given = female ? girlNames : boyNames;
        BatchOfficer officer;
        officer.slot = slot;
        officer.female = female;
        officer.familyName = familyNames.at(draw(random, familyNames.size()));
        const QString first = given.at(draw(random, given.size()));
        const QString second = given.at(draw(random, given.size()));
        officer.givenName = draw(random, 10) > 3 ? first + second : first;

        if (head) {
            families.insert(slot, officer.familyName);
            officer.birthYear = 150;
        } else if (!families.isEmpty()) {
            const auto chosen = std::next(families.cbegin(), draw(random, families.size()));
            officer.familyName = chosen.value();
            officer.fatherId = static_cast<quint16>(officerIdBase + chosen.key());
        }
        makeOfficer(officer);
    }
}

} // namespace Generate
