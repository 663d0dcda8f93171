#include "officerdocument.h"

#include "batchedit.h"
#include "csvupdate.h"
#include "diskwatcher.h"
#include "family.h"
#include "filecheck.h"
#include "filekey.h"
#include "importofficers.h"
#include "names.h"
#include "officercode.h"
#include "officerdetails.h"
#include "recordscommand.h"
#include "recovery.h"
#include "simplifiedconverter.h"
#include "typedname.h"

#include <QFileInfo>
#include <QTextCodec>
#include <QUndoStack>

#include <algorithm>

using namespace EditData;
using namespace SafeKeeping;

namespace {

// Steps kept for undo. Each keeps only the records its command changed, so
// the history stays small however long the session.
constexpr int undoLimit = 100;

// How long the file's events settle, and how long after a change its
// recovery copy is written, in milliseconds.
constexpr int settleMs = 500;
constexpr int recoveryDelayMs = 500;

// The most of a file that a dated copy takes: whatever another program
// wrote there, a copy of it stays a reasonable size.
constexpr qint64 datedCopyLimit = 64 * 1024 * 1024;

} // namespace

OfficerDocument::OfficerDocument(QObject *parent)
    : QObject(parent)
    , m_undoStack(new QUndoStack(this))
    , m_backupsFolder(backupsFolder())
    , m_watcher(new DiskWatcher(settleMs, this))
{
    m_undoStack->setUndoLimit(undoLimit);
    connect(m_undoStack, &QUndoStack::cleanChanged, this,
            [this](bool clean) { emit modificationChanged(!clean); });
    // A step, an undo or a redo; a save makes the history clean without
    // moving it.
    connect(m_undoStack, &QUndoStack::indexChanged, this, &OfficerDocument::noteUnsavedState);
    connect(m_undoStack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (clean && !m_loading)
            dropRecovery();
    });
    connect(m_watcher, &DiskWatcher::changed, this, &OfficerDocument::fileChangedOnDisk);
    connect(m_watcher, &DiskWatcher::deleted, this, &OfficerDocument::fileDeletedOnDisk);
    setRecoveryFolder(recoveryFolder());
}

OfficerDocument::~OfficerDocument()
{
    // The recovery copy still due is made of the records, so it is written
    // while they are there.
    delete m_recovery;
    m_recovery = nullptr;
}

void OfficerDocument::setRecoveryFolder(const QString &folder)
{
    if (m_recovery) {
        dropRecovery();
        delete m_recovery;
        m_recovery = nullptr;
    }
    if (folder.isEmpty())
        return;
    m_recovery = new RecoveryWriter(folder, recoveryDelayMs, this);
    connect(m_recovery, &RecoveryWriter::written, this, &OfficerDocument::recoveryWritten);
    connect(m_recovery, &RecoveryWriter::failed, this, &OfficerDocument::recoveryFailed);
    noteUnsavedState();
}

void OfficerDocument::setBackupsFolder(const QString &folder)
{
    m_backupsFolder = folder;
}

bool OfficerDocument::isModified() const
{
    return !m_undoStack->isClean();
}

EditData::ReadError OfficerDocument::open(const QString &path)
{
    // Nothing of the file that is open now changes until the new one has
    // been read whole and checked, so a refused file costs no work. Its lock
    // is let go only once the new file is taken.
    FileLock lock;
    const bool held = m_lock.holds(path);
    // A lock that cannot be made at all (no writable temporary folder) does
    // not keep the player from the file; only a lock held elsewhere does.
    if (!held && lock.lock(path) == FileLock::HeldElsewhere)
        return ReadError::HeldElsewhere;
    QByteArray image;
    const ReadError error = readDataFile(path, image);
    if (error != ReadError::None)
        return error;
    if (!held)
        m_lock = std::move(lock);

    dropRecovery();
    m_filePath = path;
    loadImage(image);
    m_watcher->watch(path, image);
    lookForRecovery();
    emit filePathChanged(m_filePath);
    emit recordsChanged();
    return ReadError::None;
}

EditData::ReadError OfficerDocument::reload()
{
    QByteArray image;
    const ReadError error = readDataFile(m_filePath, image);
    if (error != ReadError::None)
        return error;
    dropRecovery();
    loadImage(image);
    m_watcher->setCurrent(image);
    emit recordsChanged();
    return ReadError::None;
}

// Makes image the file's bytes as read, with a new history.
void OfficerDocument::loadImage(const QByteArray &image)
{
    m_fileImage = image;
    m_records = EditData::splitRecords(m_fileImage);
    rebuildPortraitPools();
    m_loading = true;
    m_undoStack->clear();
    m_loading = false;
    m_backupDue = true;
    m_lastDatedCopy.clear();
}

QByteArray OfficerDocument::imageWithRecords() const
{
    QByteArray image = m_fileImage;
    EditData::writeRecordsToImage(m_records, image);
    return image;
}

bool OfficerDocument::changedOnDisk() const
{
    if (!isOpen() || !QFileInfo(m_filePath).isFile())
        return false;
    QByteArray onDisk;
    // A file that cannot be read may hold anything: it is not overwritten
    // unasked either.
    return !readFileHead(m_filePath, fileSize + 1, onDisk).isEmpty() || onDisk != m_fileImage;
}

std::optional<OfficerDocument::BackupFailure> OfficerDocument::backUpBeforeWrite(bool othersVersion)
{
    if (!isOpen() || !QFileInfo(m_filePath).isFile() || (!m_backupDue && !othersVersion))
        return std::nullopt;
    std::optional<BackupFailure> failure;
    if (m_backupDue) {
        const QString error = backUpFile(m_filePath);
        if (!error.isEmpty())
            failure = BackupFailure{backupPath(m_filePath), error};
    }
    QByteArray onDisk;
    QString error = readFileHead(m_filePath, datedCopyLimit, onDisk);
    if (!error.isEmpty()) {
        if (!failure)
            failure = BackupFailure{m_filePath, error};
    } else if (m_lastDatedCopy.isNull() || onDisk != m_lastDatedCopy) {
        QString copy;
        error = addBackup(m_backupsFolder, m_filePath, onDisk, BackupKind::OnDisk, &copy);
        if (error.isEmpty()) {
            m_lastDatedCopy = onDisk;
            emit backupsChanged();
        } else if (!failure) {
            failure = BackupFailure{copy, error};
        }
    }
    if (!failure)
        m_backupDue = false;
    return failure;
}

QString OfficerDocument::writeFile()
{
    const QByteArray image = imageWithRecords();
    QString reason;
    switch (writeDataFile(m_filePath, image, &reason)) {
    case WriteError::None:
        break;
    case WriteError::CannotOpen:
        return tr("文件無法以可寫方式打開：%1").arg(reason);
    case WriteError::WriteFailed:
        return tr("文件寫入失敗：%1").arg(reason);
    }
    m_fileImage = image;
    m_backupDue = false;
    m_lastDatedCopy.clear();
    m_watcher->setCurrent(image);
    m_undoStack->setClean();
    return QString();
}

QString OfficerDocument::backUpUnsaved(QString *copyPath)
{
    if (!isOpen())
        return QString();
    const QString error = addBackup(m_backupsFolder, m_filePath, imageWithRecords(),
                                    BackupKind::Unsaved, copyPath);
    if (error.isEmpty())
        emit backupsChanged();
    return error;
}

QVector<SafeKeeping::Backup> OfficerDocument::backups() const
{
    return isOpen() ? listBackups(m_backupsFolder, m_filePath) : QVector<Backup>();
}

EditData::ReadError OfficerDocument::restoreBackup(const SafeKeeping::Backup &backup)
{
    if (!isOpen())
        return ReadError::CannotOpen;
    QByteArray image;
    const ReadError error = readDataFile(backup.file, image);
    if (error == ReadError::None)
        replaceRecords(tr("還原備份"), EditData::splitRecords(image));
    return error;
}

std::optional<QDateTime> OfficerDocument::recoveryTime() const
{
    return m_foundRecovery ? std::optional<QDateTime>(m_foundRecovery->time) : std::nullopt;
}

bool OfficerDocument::recover()
{
    if (!m_foundRecovery)
        return false;
    const QList<QByteArray> records = EditData::splitRecords(m_foundRecovery->bytes);
    m_foundRecovery.reset();
    return replaceRecords(tr("恢復未保存的修改"), records);
}

void OfficerDocument::discardRecovery()
{
    if (!m_foundRecovery)
        return;
    m_foundRecovery.reset();
    if (m_recovery)
        m_recovery->remove(m_filePath);
}

void OfficerDocument::flushRecovery()
{
    if (m_recovery)
        m_recovery->finish();
}

void OfficerDocument::closeFile()
{
    m_foundRecovery.reset();
    dropRecovery();
    flushRecovery();
    m_watcher->stop();
    m_lock.unlock();
}

// After a step, an undo or a redo: notes that the recovery copy is due. The
// file's bytes are made of the records only when the copy is written, at
// most once per delay however many steps come, so a step costs next to
// nothing.
void OfficerDocument::noteUnsavedState()
{
    if (m_loading || !m_recovery || !isOpen() || !isModified())
        return;
    m_recovery->schedule(m_filePath, [this] { return imageWithRecords(); });
    m_recoveryNoted = true;
}

// Removes the recovery copy of the unsaved state, which was saved or dropped.
void OfficerDocument::dropRecovery()
{
    if (!m_recovery || !m_recoveryNoted)
        return;
    m_recovery->remove(m_filePath);
    m_recoveryNoted = false;
}

// Looks for a recovery copy of the file just opened. One that holds the
// file's own records has nothing to give and is removed; one that is not a
// data file's size was not written by the program and is left alone.
void OfficerDocument::lookForRecovery()
{
    m_foundRecovery.reset();
    if (!m_recovery)
        return;
    // The copy of the file open before may be on its way off the disk.
    m_recovery->finish();
    auto recovery = std::make_unique<Recovery>();
    if (!readRecovery(m_recovery->folder(), m_filePath, *recovery)
        || recovery->bytes.size() != fileSize)
        return;
    if (EditData::splitRecords(recovery->bytes) == m_records)
        m_recovery->remove(m_filePath);
    else
        m_foundRecovery = std::move(recovery);
}

// Makes records the document's records in one undo step, the portrait pools
// rebuilt from them; no step when nothing changes.
bool OfficerDocument::replaceRecords(const QString &stepName, const QList<QByteArray> &records)
{
    if (records.size() != m_records.size())
        return false;
    const EditState before = editState();
    m_records = records;
    rebuildPortraitPools();
    return commitStep(stepName, before);
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
        rebuildPortraitPools();
    }
    return commitStep(tr("編輯武將"), before);
}

bool OfficerDocument::removeOfficers(const QVector<int> &slotsToRemove)
{
    if (!isOpen() || slotsToRemove.isEmpty())
        return false;
    const EditState before = editState();
    EditData::removeOfficers(m_records, slotsToRemove);
    rebuildPortraitPools();
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
    rebuildPortraitPools();
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
        rebuildPortraitPools();
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

int OfficerDocument::repairProblems(const QVector<EditData::FileProblem> &problems)
{
    if (!isOpen())
        return 0;
    int repaired = 0;
    const QList<QByteArray> records = EditData::repairRecords(
            m_records, problems, QTextCodec::codecForName("Big5"), &repaired);
    return replaceRecords(tr("修正問題"), records) ? repaired : 0;
}

// Builds the portrait pools afresh and marks those the records use.
void OfficerDocument::rebuildPortraitPools()
{
    EditData::buildPortraitPools(m_malePortraits, m_femalePortraits, m_allMalePortraits,
                                 m_allFemalePortraits);
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
