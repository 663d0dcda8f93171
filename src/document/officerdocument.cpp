#include "officerdocument.h"

#include "diskwatcher.h"
#include "filecheck.h"
#include "recordscommand.h"
#include "recovery.h"
#include "simplifiedconverter.h"

#include <QTextCodec>
#include <QUndoStack>

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

} // namespace

OfficerDocument::OfficerDocument(QObject *parent)
    : QObject(parent)
    , m_undoStack(new QUndoStack(this))
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
    m_file.setBackupsFolder(folder);
}

bool OfficerDocument::isModified() const
{
    return !m_undoStack->isClean();
}

EditData::ReadError OfficerDocument::open(const QString &path)
{
    // Nothing of the file that is open now changes until the new one has
    // been read whole and checked, so a refused file costs no work.
    const QString previous = m_file.path();
    const ReadError error = m_file.open(path);
    if (error != ReadError::None)
        return error;

    if (m_recovery && m_recoveryNoted) {
        m_recovery->remove(previous);
        m_recoveryNoted = false;
    }
    loadRecords();
    m_watcher->watch(path, m_file.image());
    lookForRecovery();
    emit filePathChanged(path);
    emit recordsChanged();
    return ReadError::None;
}

EditData::ReadError OfficerDocument::reload()
{
    const ReadError error = m_file.reread();
    if (error != ReadError::None)
        return error;
    dropRecovery();
    loadRecords();
    m_watcher->setCurrent(m_file.image());
    emit recordsChanged();
    return ReadError::None;
}

// Makes the records of the file's bytes as read the document's, with a new
// history.
void OfficerDocument::loadRecords()
{
    m_state = EditData::editStateOf(EditData::splitRecords(m_file.image()));
    m_loading = true;
    m_undoStack->clear();
    m_loading = false;
}

QByteArray OfficerDocument::imageWithRecords() const
{
    return m_file.imageWith(m_state.records);
}

bool OfficerDocument::changedOnDisk() const
{
    return m_file.changedOnDisk();
}

std::optional<OfficerDocument::BackupFailure> OfficerDocument::backUpBeforeWrite(bool othersVersion)
{
    bool datedCopyMade = false;
    const auto failure = m_file.backUpBeforeWrite(othersVersion, &datedCopyMade);
    if (datedCopyMade)
        emit backupsChanged();
    return failure;
}

QString OfficerDocument::writeFile(QString *reason)
{
    const QString error = m_file.write(m_state.records, reason);
    if (!error.isEmpty())
        return error;
    m_watcher->setCurrent(m_file.image());
    m_undoStack->setClean();
    return QString();
}

QString OfficerDocument::backUpUnsaved(QString *copyPath)
{
    if (!isOpen())
        return QString();
    const QString error = m_file.backUpUnsaved(m_state.records, copyPath);
    if (error.isEmpty())
        emit backupsChanged();
    return error;
}

QVector<SafeKeeping::Backup> OfficerDocument::backups() const
{
    return m_file.backups();
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
        m_recovery->remove(filePath());
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
    m_file.releaseLock();
}

// After a step, an undo or a redo: notes that the recovery copy is due. The
// file's bytes are made of the records only when the copy is written, at
// most once per delay however many steps come, so a step costs next to
// nothing.
void OfficerDocument::noteUnsavedState()
{
    if (m_loading || !m_recovery || !isOpen() || !isModified())
        return;
    m_recovery->schedule(filePath(), [this] { return imageWithRecords(); });
    m_recoveryNoted = true;
}

// Removes the recovery copy of the unsaved state, which was saved or dropped.
void OfficerDocument::dropRecovery()
{
    if (!m_recovery || !m_recoveryNoted)
        return;
    m_recovery->remove(filePath());
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
    if (!readRecovery(m_recovery->folder(), filePath(), *recovery)
        || recovery->bytes.size() != fileSize)
        return;
    if (EditData::splitRecords(recovery->bytes) == m_state.records)
        m_recovery->remove(filePath());
    else
        m_foundRecovery = std::move(recovery);
}

// Makes records the document's records in one undo step, the portrait pools
// rebuilt from them; no step when nothing changes.
bool OfficerDocument::replaceRecords(const QString &stepName, const QList<QByteArray> &records)
{
    if (records.size() != m_state.records.size())
        return false;
    const EditState before = editState();
    m_state.records = records;
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
    const EditState before = editState();
    const Outcome outcome =
            Commands::generateSingle(m_state, {familyName, givenName, styleName}, female, options,
                                     SimplifiedConverter::program().function(), written);
    if (outcome != Outcome::Changed)
        return outcome;
    return commitStep(tr("生成單個"), before) ? Outcome::Changed : Outcome::Unchanged;
}

OfficerDocument::Outcome OfficerDocument::generateBatch(const Generate::BatchRequest &request,
                                                        const Generate::Options &options,
                                                        const Names::NamePools &pools)
{
    if (!isOpen())
        return Outcome::NoFile;
    const EditState before = editState();
    const Outcome outcome = Commands::generateBatch(m_state, request, options, pools);
    if (outcome != Outcome::Changed)
        return outcome;
    return commitStep(tr("隨機生成"), before) ? Outcome::Changed : Outcome::Unchanged;
}

OfficerDocument::Outcome OfficerDocument::assignFathers()
{
    if (!isOpen())
        return Outcome::NoFile;
    const EditState before = editState();
    const Outcome outcome = Commands::assignFathers(m_state);
    if (outcome != Outcome::Changed)
        return outcome;
    return commitStep(tr("同姓武將匹配父子關係"), before) ? Outcome::Changed : Outcome::Unchanged;
}

bool OfficerDocument::editOfficer(int slot, const QByteArray &record)
{
    const EditState before = editState();
    if (!Commands::editOfficer(m_state, slot, record))
        return false;
    return commitStep(tr("編輯武將"), before);
}

bool OfficerDocument::removeOfficers(const QVector<int> &slotsToRemove)
{
    if (!isOpen() || slotsToRemove.isEmpty())
        return false;
    const EditState before = editState();
    Commands::removeOfficers(m_state, slotsToRemove);
    return commitStep(tr("刪除武將"), before);
}

std::optional<QVector<int>> OfficerDocument::importOfficers(const QList<QByteArray> &source,
                                                            const QVector<int> &sourceSlots)
{
    return addOfficers(tr("匯入武將"),
                       [&] { return Commands::importOfficers(m_state, source, sourceSlots); });
}

std::optional<QVector<int>> OfficerDocument::pasteOfficers(const EditData::CopiedOfficers &officers)
{
    return addOfficers(tr("貼上武將"), [&] { return Commands::pasteOfficers(m_state, officers); });
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
    commitStep(stepName, before);
    return added;
}

int OfficerDocument::updateFromCsv(const EditData::CsvUpdatePlan &plan)
{
    if (!isOpen())
        return 0;
    const EditState before = editState();
    const int changed = Commands::updateFromCsv(m_state, plan);
    commitStep(tr("從CSV更新"), before);
    return changed;
}

int OfficerDocument::batchEdit(const QVector<int> &selected, const EditData::BatchEdit &edit)
{
    if (!isOpen())
        return 0;
    const EditState before = editState();
    const int changed = Commands::batchEdit(m_state, selected, edit);
    commitStep(tr("批量修改"), before);
    return changed;
}

int OfficerDocument::repairProblems(const QVector<EditData::FileProblem> &problems)
{
    if (!isOpen())
        return 0;
    int repaired = 0;
    const QList<QByteArray> records = EditData::repairRecords(
            m_state.records, problems, QTextCodec::codecForName("Big5"), &repaired);
    return replaceRecords(tr("修正問題"), records) ? repaired : 0;
}

// Builds the portrait pools afresh and marks those the records use.
void OfficerDocument::rebuildPortraitPools()
{
    EditData::rebuildPortraitPools(m_state);
}

EditData::EditState OfficerDocument::editState() const
{
    return m_state;
}

// Makes what the command changed since before one undo step; a command that
// changed nothing leaves no step. Returns whether there was a change.
bool OfficerDocument::commitStep(const QString &name, const EditData::EditState &before)
{
    auto *step = new RecordsCommand(name, before, m_state.records, m_state.malePortraits,
                                    m_state.femalePortraits, [this] { emit recordsChanged(); });
    if (step->isEmpty()) {
        delete step;
        return false;
    }
    m_undoStack->push(step);
    emit recordsChanged();
    return true;
}
