#include "officerdocument.h"

#include "batchedit.h"
#include "csvupdate.h"
#include "family.h"
#include "importofficers.h"
#include "names.h"
#include "officercode.h"
#include "officerdetails.h"
#include "recordscommand.h"
#include "simplifiedconverter.h"
#include "typedname.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextCodec>
#include <QUndoStack>

#include <algorithm>

using namespace EditData;

namespace {

// Steps kept for undo. Each keeps only the records its command changed, so
// the history stays small however long the session.
constexpr int undoLimit = 100;

} // namespace

OfficerDocument::OfficerDocument(QObject *parent)
    : QObject(parent)
    , m_undoStack(new QUndoStack(this))
{
    m_undoStack->setUndoLimit(undoLimit);
    connect(m_undoStack, &QUndoStack::cleanChanged, this,
            [this](bool clean) { emit modificationChanged(!clean); });
}

OfficerDocument::~OfficerDocument() = default;

bool OfficerDocument::isModified() const
{
    return !m_undoStack->isClean();
}

EditData::ReadError OfficerDocument::open(const QString &path)
{
    // Nothing of the file that is open now changes until the new one has
    // been read whole and checked, so a refused file costs no work.
    QByteArray image;
    const ReadError error = readDataFile(path, image);
    if (error != ReadError::None)
        return error;

    m_filePath = path;
    m_fileImage = image;
    splitRecords();
    buildPortraitPools();
    markUsedPortraits();
    m_undoStack->clear();
    m_backupDue = true;
    emit filePathChanged(m_filePath);
    emit recordsChanged();
    return ReadError::None;
}

QString OfficerDocument::backUpBeforeFirstWrite()
{
    if (!m_backupDue || !QFileInfo(m_filePath).isFile())
        return QString();
    const QString failure = backUpFile(m_filePath);
    if (failure.isEmpty())
        m_backupDue = false;
    return failure;
}

QString OfficerDocument::writeFile()
{
    writeRecordsToImage();

    // The image replaces the file whole, or the file stays as it was.
    QSaveFile file(m_filePath);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return tr("文件無法以可寫方式打開。");
    if (file.write(m_fileImage) != m_fileImage.size() || !file.commit()) {
        file.cancelWriting();
        return tr("文件寫入失敗。");
    }
    m_backupDue = false;
    m_undoStack->setClean();
    return QString();
}

OfficerDocument::Outcome OfficerDocument::generateSingle(const QString &familyName,
                                                         const QString &givenName,
                                                         const QString &styleName, bool female,
                                                         const Generate::Options &options,
                                                         Names::PersonName *written)
{
    if (!isOpen())
        return Outcome::NoFile;
    if (occupiedSlots(m_records).size() > recordCount - 1)
        return Outcome::Full;
    const qint64 slot =
            std::find_if(m_records.cbegin(), m_records.cend(), isEmptySlot) - m_records.cbegin();

    // Typed names are stored whole or not at all.
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const Names::NameToWrite name = Names::nameToWrite({familyName, givenName, styleName}, big5,
                                                       SimplifiedConverter::program().function());
    if (!name.writable)
        return Outcome::Unencodable;
    const QString names[] = {name.name.familyName, name.name.givenName, name.name.styleName};
    const int limits[] = {familyNameMaxBytes, givenNameMaxBytes, styleNameMaxBytes};
    for (int i = 0; i < 3; ++i) {
        QByteArray encoded;
        Names::encodeName(names[i], big5, &encoded);
        if (encoded.size() > limits[i])
            return Outcome::TooLong;
    }

    const EditState before = editState();
    generateOfficer(slot, female, 170, names[0], names[1], names[2], noFather, options);
    if (written)
        *written = name.name;
    return commitStep(tr("生成單個"), before) ? Outcome::Changed : Outcome::Unchanged;
}

OfficerDocument::Outcome OfficerDocument::generateBatch(const Generate::BatchRequest &request,
                                                        const Generate::Options &options,
                                                        const Names::NamePools &pools)
{
    if (!isOpen())
        return Outcome::NoFile;
    if (occupiedSlots(m_records).size() + request.men + request.women > recordCount)
        return Outcome::TooMany;
    if (request.men < request.families)
        return Outcome::TooFewMen;
    const bool wantsMen = request.men > 0;
    const bool wantsWomen = request.women > 0;
    if (((wantsMen || wantsWomen) && pools.familyNames.isEmpty())
        || (wantsMen && pools.boyNames.isEmpty()) || (wantsWomen && pools.girlNames.isEmpty()))
        return Outcome::EmptyPools;

    const EditState before = editState();
    Generate::generateBatch(m_records, request, pools.familyNames, pools.boyNames, pools.girlNames,
                            Generate::programRandom, [&](const Generate::BatchOfficer &o) {
                                generateOfficer(o.slot, o.female, o.birthYear, o.familyName,
                                                o.givenName, QString(), o.fatherId, options);
                            });
    return commitStep(tr("隨機生成"), before) ? Outcome::Changed : Outcome::Unchanged;
}

OfficerDocument::Outcome OfficerDocument::assignFathers()
{
    if (!isOpen())
        return Outcome::NoFile;
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    if (!big5)
        return Outcome::Unchanged;
    const EditState before = editState();
    Family::assignFathers(m_records, big5, Generate::programRandom);
    return commitStep(tr("同姓武將匹配父子關係"), before) ? Outcome::Changed : Outcome::Unchanged;
}

bool OfficerDocument::editOfficer(int slot, const QByteArray &record)
{
    if (slot < 0 || slot >= m_records.size() || record.size() != recordSize)
        return false;
    const EditState before = editState();
    const bool newPortrait = readU16(record, portrait) != readU16(m_records.at(slot), portrait);
    m_records[slot] = record;
    if (newPortrait) {
        // The portrait given up is free again, the one taken is not.
        buildPortraitPools();
        markUsedPortraits();
    }
    return commitStep(tr("編輯武將"), before);
}

bool OfficerDocument::removeOfficers(const QVector<int> &slotsToRemove)
{
    if (!isOpen() || slotsToRemove.isEmpty())
        return false;
    const EditState before = editState();
    EditData::removeOfficers(m_records, slotsToRemove);
    buildPortraitPools();
    markUsedPortraits();
    return commitStep(tr("刪除武將"), before);
}

std::optional<QVector<int>> OfficerDocument::importOfficers(const QList<QByteArray> &source,
                                                            const QVector<int> &sourceSlots)
{
    return addOfficers(tr("匯入武將"), [&] {
        return EditData::importOfficers(m_records, m_malePortraits, m_femalePortraits, source,
                                        sourceSlots);
    });
}

std::optional<QVector<int>> OfficerDocument::pasteOfficers(const EditData::CopiedOfficers &officers)
{
    return addOfficers(tr("貼上武將"), [&] {
        return EditData::pasteOfficers(m_records, m_malePortraits, m_femalePortraits, officers);
    });
}

// Runs add, which puts officers into empty slots and returns the slots it
// wrote, and makes what it wrote one step.
std::optional<QVector<int>> OfficerDocument::addOfficers(const QString &stepName,
                                                         const AddOfficers &add)
{
    if (!isOpen())
        return std::nullopt;
    const EditState before = editState();
    const auto added = add();
    if (!added || added->isEmpty())
        return added;
    buildPortraitPools();
    markUsedPortraits();
    commitStep(stepName, before);
    return added;
}

int OfficerDocument::updateFromCsv(const EditData::CsvUpdatePlan &plan)
{
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    if (!isOpen() || !big5)
        return 0;
    const EditState before = editState();
    const CsvUpdateResult result = applyCsvUpdate(m_records, plan, big5);
    if (result.portraitChanged) {
        // The portraits given up are free again, the ones taken are not.
        buildPortraitPools();
        markUsedPortraits();
    }
    commitStep(tr("從CSV更新"), before);
    return result.changedSlots.size();
}

int OfficerDocument::batchEdit(const QVector<int> &selected, const EditData::BatchEdit &edit)
{
    if (!isOpen())
        return 0;
    const EditState before = editState();
    const int changed = applyBatchEdit(m_records, selected, edit);
    commitStep(tr("批量修改"), before);
    return changed;
}

void OfficerDocument::splitRecords()
{
    m_records = EditData::splitRecords(m_fileImage);
}

void OfficerDocument::writeRecordsToImage()
{
    EditData::writeRecordsToImage(m_records, m_fileImage);
}

void OfficerDocument::buildPortraitPools()
{
    EditData::buildPortraitPools(m_malePortraits, m_femalePortraits, m_allMalePortraits,
                                 m_allFemalePortraits);
}

void OfficerDocument::markUsedPortraits()
{
    EditData::markUsedPortraits(m_records, m_malePortraits, m_femalePortraits);
}

void OfficerDocument::generateOfficer(qint64 slot, bool female, quint8 birthYear,
                                      const QString &familyName, const QString &givenName,
                                      const QString &styleName, quint16 fatherId,
                                      const Generate::Options &options)
{
    // Names too long for their fields are cut at a character boundary.
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    Generate::Officer officer;
    officer.female = female;
    officer.birthYear = birthYear;
    officer.familyName = Names::fitName(familyName, big5, familyNameMaxBytes);
    officer.givenName = Names::fitName(givenName, big5, givenNameMaxBytes);
    officer.styleName = Names::fitName(styleName, big5, styleNameMaxBytes);
    officer.fatherId = fatherId;
    const quint16 portrait = pickPortrait(female, options.useHistoric);
    Generate::synthesizeOfficer(m_records[slot], officer, portrait, options,
                                Generate::programRandom);
}

quint16 OfficerDocument::pickPortrait(bool female, bool useHistoric)
{
    return Generate::pickPortrait(female ? m_femalePortraits : m_malePortraits,
                                  female ? m_allFemalePortraits : m_allMalePortraits, useHistoric,
                                  Generate::programRandom);
}

EditData::EditState OfficerDocument::editState() const
{
    return {m_records, m_malePortraits, m_femalePortraits};
}

// Makes what the command changed since before one undo step; a command that
// changed nothing leaves no step. Returns whether there was a change.
bool OfficerDocument::commitStep(const QString &name, const EditData::EditState &before)
{
    auto *step = new RecordsCommand(name, before, m_records, m_malePortraits, m_femalePortraits,
                                    [this] { emit recordsChanged(); });
    if (step->isEmpty()) {
        delete step;
        return false;
    }
    m_undoStack->push(step);
    emit recordsChanged();
    return true;
}
