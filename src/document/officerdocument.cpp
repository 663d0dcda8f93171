#include "officerdocument.h"

#include "diskwatcher.h"
#include "filecheck.h"
#include "officermodel.h"
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
    qRegisterMetaType<EditData::RecordsChange>();
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

OfficerModel *OfficerDocument::officerModel()
{
    if (!m_officerModel)
        m_officerModel = new OfficerModel(this);
    return m_officerModel;
}

OfficerDocument::Result OfficerDocument::open(const QString &path)
{
    // Nothing of the file that is open now changes until the new one has
    // been read whole and checked, so a refused file costs no work.
    const QString previous = m_file.path();
    const ReadError error = m_file.open(path);
    if (error != ReadError::None)
        return {Commands::outcomeOf(error), 0, path};

    if (m_recovery && m_recoveryNoted) {
        m_recovery->remove(previous);
        m_recoveryNoted = false;
    }
    loadRecords();
    m_watcher->watch(path, m_file.image());
    lookForRecovery();
    emit filePathChanged(path);
    RecordsChange change;
    for (int slot = 0; slot < m_state.records.size(); ++slot)
        change.changedSlots.append(slot);
    change.namesChanged = true;
    change.fileReplaced = true;
    emit changed(change);
    return {Outcome::Done};
}

OfficerDocument::Result OfficerDocument::reload()
{
    const ReadError error = m_file.reread();
    if (error != ReadError::None)
        return {Commands::outcomeOf(error), 0, filePath()};
    dropRecovery();
    const QList<QByteArray> before = m_state.records;
    loadRecords();
    m_watcher->setCurrent(m_file.image());
    const RecordsChange change = recordsChange(before, m_state.records);
    if (!change.isEmpty())
        emit changed(change);
    return {Outcome::Done};
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

OfficerDocument::Result OfficerDocument::backUpBeforeWrite(bool othersVersion)
{
    bool datedCopyMade = false;
    const auto failure = m_file.backUpBeforeWrite(othersVersion, &datedCopyMade);
    if (datedCopyMade)
        emit backupsChanged();
    if (failure)
        return {Outcome::BackupFailed, 0, failure->file, failure->reason};
    return {Outcome::Done};
}

OfficerDocument::Result OfficerDocument::writeFile()
{
    QString reason;
    const WriteError error = m_file.writeRecords(m_state.records, &reason);
    if (error != WriteError::None)
        return {Commands::outcomeOf(error), 0, filePath(), reason};
    m_watcher->setCurrent(m_file.image());
    m_undoStack->setClean();
    return {Outcome::Done};
}

OfficerDocument::Result OfficerDocument::backUpUnsaved()
{
    if (!isOpen())
        return {Outcome::Done};
    QString copy;
    const QString error = m_file.backUpUnsaved(m_state.records, &copy);
    if (!error.isEmpty())
        return {Outcome::BackupFailed, 0, copy, error};
    emit backupsChanged();
    return {Outcome::Done, 0, copy};
}

QVector<SafeKeeping::Backup> OfficerDocument::backups() const
{
    return m_file.backups();
}

OfficerDocument::Result OfficerDocument::restoreBackup(const SafeKeeping::Backup &backup)
{
    if (!isOpen())
        return {Outcome::CannotOpen, 0, backup.file};
    QByteArray image;
    const ReadError error = readDataFile(backup.file, image);
    if (error != ReadError::None)
        return {Commands::outcomeOf(error), 0, backup.file};
    return replaceRecords(tr("還原備份"), EditData::splitRecords(image));
}

std::optional<QDateTime> OfficerDocument::recoveryTime() const
{
    return m_foundRecovery ? std::optional<QDateTime>(m_foundRecovery->time) : std::nullopt;
}

OfficerDocument::Result OfficerDocument::recover()
{
    if (!m_foundRecovery)
        return {};
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
OfficerDocument::Result OfficerDocument::replaceRecords(const QString &stepName,
                                                        const QList<QByteArray> &records)
{
    if (!isOpen())
        return {Outcome::NoFile};
    if (records.size() != m_state.records.size())
        return {};
    return commit(stepName, editStateOf(records));
}

OfficerDocument::Result OfficerDocument::generateSingle(const QString &familyName,
                                                        const QString &givenName,
                                                        const QString &styleName, bool female,
                                                        const Generate::Options &options,
                                                        Names::PersonName *written)
{
    if (!isOpen())
        return {Outcome::NoFile};
    EditState after = m_state;
    const Outcome outcome =
            Commands::generateSingle(after, {familyName, givenName, styleName}, female, options,
                                     SimplifiedConverter::program().function(), written);
    if (outcome != Outcome::Changed)
        return {outcome};
    return commit(tr("生成單個"), after, 1);
}

OfficerDocument::Result OfficerDocument::generateBatch(const Generate::BatchRequest &request,
                                                       const Generate::Options &options,
                                                       const Names::NamePools &pools)
{
    if (!isOpen())
        return {Outcome::NoFile};
    EditState after = m_state;
    const Outcome outcome = Commands::generateBatch(after, request, options, pools);
    if (outcome != Outcome::Changed)
        return {outcome};
    return commit(tr("隨機生成"), after, int(request.men + request.women));
}

OfficerDocument::Result OfficerDocument::assignFathers()
{
    if (!isOpen())
        return {Outcome::NoFile};
    EditState after = m_state;
    const Outcome outcome = Commands::assignFathers(after);
    if (outcome != Outcome::Changed)
        return {outcome};
    return commit(tr("同姓武將匹配父子關係"), after);
}

OfficerDocument::Result OfficerDocument::editOfficer(int slot, const QByteArray &record)
{
    if (!isOpen())
        return {Outcome::NoFile};
    EditState after = m_state;
    if (!Commands::editOfficer(after, slot, record))
        return {};
    return commit(tr("編輯武將"), after, 1);
}

OfficerDocument::Result OfficerDocument::removeOfficers(const QVector<int> &slotsToRemove)
{
    if (!isOpen())
        return {Outcome::NoFile};
    if (slotsToRemove.isEmpty())
        return {};
    EditState after = m_state;
    Commands::removeOfficers(after, slotsToRemove);
    return commit(tr("刪除武將"), after, slotsToRemove.size());
}

OfficerDocument::Result OfficerDocument::importOfficers(const QList<QByteArray> &source,
                                                        const QVector<int> &sourceSlots)
{
    if (!isOpen())
        return {Outcome::NoFile};
    EditState after = m_state;
    const auto added = Commands::importOfficers(after, source, sourceSlots);
    if (!added)
        return {Outcome::TooMany};
    return commit(tr("匯入武將"), after, added->size());
}

OfficerDocument::Result OfficerDocument::pasteOfficers(const EditData::CopiedOfficers &officers)
{
    if (!isOpen())
        return {Outcome::NoFile};
    EditState after = m_state;
    const auto added = Commands::pasteOfficers(after, officers);
    if (!added)
        return {Outcome::TooMany};
    return commit(tr("貼上武將"), after, added->size());
}

OfficerDocument::Result OfficerDocument::updateFromCsv(const EditData::CsvUpdatePlan &plan)
{
    if (!isOpen())
        return {Outcome::NoFile};
    EditState after = m_state;
    const int changedOfficers = Commands::updateFromCsv(after, plan);
    return commit(tr("從CSV更新"), after, changedOfficers);
}

OfficerDocument::Result OfficerDocument::batchEdit(const QVector<int> &selected,
                                                   const EditData::BatchEdit &edit)
{
    if (!isOpen())
        return {Outcome::NoFile};
    EditState after = m_state;
    const int changedOfficers = Commands::batchEdit(after, selected, edit);
    return commit(tr("批量修改"), after, changedOfficers);
}

OfficerDocument::Result
OfficerDocument::repairProblems(const QVector<EditData::FileProblem> &problems)
{
    if (!isOpen())
        return {Outcome::NoFile};
    int repaired = 0;
    const QList<QByteArray> records = EditData::repairRecords(
            m_state.records, problems, QTextCodec::codecForName("Big5"), &repaired);
    Result result = replaceRecords(tr("修正問題"), records);
    result.count = result.changed() ? repaired : 0;
    return result;
}

// Pushes the step from the records as they are to after, named stepName,
// which puts after into the records; a command that changed nothing leaves
// no step. count is what the command made, changed or added.
OfficerDocument::Result OfficerDocument::commit(const QString &stepName,
                                                const EditData::EditState &after, int count)
{
    RecordsTarget &target = *this;
    auto step = std::make_unique<RecordsCommand>(stepName, target, m_state, after);
    if (step->isEmpty())
        return {Outcome::Unchanged, count, QString()};
    m_undoStack->push(step.release());
    return {Outcome::Changed, count, QString()};
}

void OfficerDocument::applyRecords(const EditData::RecordsChange &change,
                                   const QList<QByteArray> &records,
                                   const std::optional<PortraitFlags> &flags)
{
    Q_ASSERT(records.size() == change.changedSlots.size());
    for (int i = 0; i < records.size(); ++i)
        m_state.records[change.changedSlots.at(i)] = records.at(i);
    if (flags) {
        m_state.malePortraits = flags->male;
        m_state.femalePortraits = flags->female;
    } else {
        rebuildPortraitPools(m_state);
    }
    if (!change.isEmpty())
        emit changed(change);
}
