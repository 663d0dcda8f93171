#ifndef FILECHECK_H
#define FILECHECK_H

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

class QTextCodec;

// Checking the officers of a file for what may trouble the game, and the
// repairs that need no guess: a broken family link is cut, two fields that
// must agree are made to agree, a generic portrait used twice is swapped for
// a free one. Names and values made by hand are never changed.
namespace EditData {

// The rules, in the order in which the problems of one slot are listed.
enum class CheckRule {
    FatherFieldsDiffer, // fatherId and fatherId2 differ
    FatherMissing, // fatherId names an empty slot of the file
    FatherIsSelf, // fatherId is the officer's own ID
    FatherRing, // following fatherId comes back to the officer
    NameUnended, // a name field holds no zero byte
    NameUnreadable, // a name's bytes are not Big5 that the codec reads
    PortraitRepeated, // a generic portrait that an earlier officer uses
    OutOfRange, // a value that generation never writes
    FatherYoung, // the father was born less than 15 years before
};

enum class ProblemLevel {
    Error, // "錯誤": may trouble the game
    Note, // "注意": unusual, but the game takes it
};

// One problem of one officer.
struct FileProblem
{
    int slot = 0;
    int id = 0; // officerIdBase + slot
    QString name; // the name as the officer list shows it
    CheckRule rule = CheckRule::FatherFieldsDiffer;
    ProblemLevel level = ProblemLevel::Error;
    // The field: the officer table's column header where it has one (父親,
    // 能力一, 特技一3), otherwise "字節<offset>".
    QString field;
    // The stored number, or for a name its bytes in hex ("A4 40 A3").
    QVariant value;
    QString problem; // the rule's own text, such as "父親不存在"
    // What is wrong, in plain words, and what the repair would do, or
    // "無法自動修正".
    QString reason;
    bool repairable = false;
};

// Every problem of the occupied slots of records, in slot order and within
// a slot in the order of the rules. Texts are in the language of the
// interface; names are read with codec (without one, names are not judged).
QVector<FileProblem> checkRecords(const QList<QByteArray> &records, QTextCodec *codec);

// The number of problems of level Error.
int errorCount(const QVector<FileProblem> &problems);

// "錯誤" or "注意", in the language of the interface.
QString levelText(ProblemLevel level);

// The problem as one line of text: "<編號> <姓名> <級別> <問題>：<說明>".
QString problemLine(const FileProblem &problem);
// The problem as an object with the keys slot, id, name, field, value,
// level, problem, reason and repairable.
QJsonObject problemJson(const FileProblem &problem);

// The records with the repairs of the given problems made, those that have
// one and that records still hold (as checkRecords finds them: the same
// slot, rule and field); the others are passed over. The repairs are made
// in slot and rule order, so that one slot's repairs build on each other,
// and each portrait repair takes the lowest free generic portrait of the
// officer's sex as the records and the repairs before it leave them, so no
// portrait is handed out twice. *repaired, when given, is set to the number
// of problems mended.
QList<QByteArray> repairRecords(const QList<QByteArray> &records,
                                const QVector<FileProblem> &problems, QTextCodec *codec,
                                int *repaired = nullptr);

} // namespace EditData

#endif // FILECHECK_H
