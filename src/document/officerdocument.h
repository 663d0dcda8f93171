#ifndef OFFICERDOCUMENT_H
#define OFFICERDOCUMENT_H

#include "backups.h"
#include "datafile.h"
#include "datafilesession.h"
#include "editdata.h"
#include "generate.h"
#include "officercommands.h"
#include "recordscommand.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

#include <memory>
#include <optional>

class OfficerModel;
class QUndoStack;

namespace EditData {
struct FileProblem;
}

namespace Names {
struct NamePools;
struct PersonName;
} // namespace Names

namespace SafeKeeping {
class DiskWatcher;
class RecoveryWriter;
struct Recovery;
} // namespace SafeKeeping

// One open data file: its path and bytes, the 150 officer records cut out
// of them, the portrait pools and the undo history. Every change is an
// operation of the document that makes one undo step, or none when nothing
// changed, and the document's signals tell every view what changed. It shows
// no window and no message: an operation returns what came of it, as one
// Result.
//
// The document also keeps the player's work safe. It holds two states apart:
// its own unsaved changes (the undo history), and whether the file on disk
// still holds the bytes it last read or wrote. While a file is open it holds
// the file's lock, so no other window or running copy opens it too, and it
// watches the file for other programs' changes. While there are unsaved
// changes, a recovery copy of them is kept outside the file; dated copies of
// the file are kept before the program replaces it.
class OfficerDocument : public QObject, private RecordsTarget
{
    Q_OBJECT

public:
    using Outcome = Commands::Outcome;
    // What came of an operation: Changed made one undo step, Unchanged
    // none; Done for a file read, written or backed up; anything else
    // refused or failed, and Messages::describe says why.
    using Result = Commands::Result;

    explicit OfficerDocument(QObject *parent = nullptr);
    ~OfficerDocument() override;

    // Where the recovery copy and the dated backups are kept: by default the
    // program's own folders (SafeKeeping::recoveryFolder and backupsFolder).
    // With an empty recovery folder no recovery copy is kept.
    void setRecoveryFolder(const QString &folder);
    void setBackupsFolder(const QString &folder);

    // Empty while no file is open.
    QString filePath() const { return m_file.path(); }
    bool isOpen() const { return m_file.isOpen(); }
    // The 150 records of the open file; none before the first open.
    const QList<QByteArray> &records() const { return m_state.records; }
    // The records with the portrait flags that the next officers are given
    // their portraits by.
    const EditData::EditState &state() const { return m_state; }
    QUndoStack *undoStack() const { return m_undoStack; }
    // The officers as one table for every view of them; made at the first
    // call, and kept in step with the records from then on.
    OfficerModel *officerModel();
    // True while there are changes that the file on disk lacks.
    bool isModified() const;

    // Reads the data file at path and, when it is taken, makes it the open
    // file with a new undo history (Done). A refused file changes nothing;
    // so does a file that another window or running copy has open
    // (HeldElsewhere). The file this document has open is no conflict. Once
    // another file is taken, the recovery copy of the one before is removed:
    // its unsaved changes were saved or dropped before. Then looks for a
    // recovery copy of the new file (see recoveryTime). A refusal names path.
    Result open(const QString &path);
    // Reads the open file again from disk as open() would, as another program
    // changed it: a new undo history, a backup due again, the unsaved changes
    // and their recovery copy dropped. A refused file changes nothing.
    Result reload();

    // True when the file on disk holds other bytes than those last read or
    // written, or cannot be read: another program changed it. A file gone
    // from the disk is not changed; saving writes it again.
    bool changedOnDisk() const;
    // Before the file is written: at the first write after each open, keeps
    // the file as it stands on disk as the .bak beside it and as a dated copy;
    // with othersVersion (the file holds another program's change) keeps the
    // dated copy in any case. One dated copy at most, of the bytes on disk
    // now; a file that is gone leaves nothing to keep. BackupFailed names the
    // file that could not be written and why (see
    // SafeKeeping::shownBackupFile); asked again after a failure, the same
    // bytes are not copied twice.
    Result backUpBeforeWrite(bool othersVersion = false);
    // Writes the records into the open file, which is replaced whole or left
    // as it was; a failure gives the system's reason.
    Result writeFile();
    // Keeps the unsaved state (the file's bytes with the records as they are
    // now) as a dated copy, before a reload drops it. BackupFailed names the
    // copy and why it could not be written.
    Result backUpUnsaved();

    // The dated backups of the open file, newest first.
    QVector<SafeKeeping::Backup> backups() const;
    // Puts the records of a dated backup into the document as one undo step;
    // the file is not written. A copy that is not a data file's size (another
    // program may have written anything) is refused, as open() refuses it,
    // naming the copy.
    Result restoreBackup(const SafeKeeping::Backup &backup);

    // When the file last opened has a recovery copy holding other records
    // than the file (a copy left by a crash): when the copy was written.
    std::optional<QDateTime> recoveryTime() const;
    // Puts the recovered records into the document as one undo step, so that
    // undo goes back to the file as it is on disk; the file is not written.
    Result recover();
    // Removes the recovery copy found at the open.
    void discardRecovery();
    // Writes the recovery copy now, if one is due, and waits for the disk.
    void flushRecovery();
    // The window that shows the file closes normally: removes the recovery
    // copy (the unsaved changes were saved or dropped), stops watching the
    // file and lets other windows open it. The records stay as they are.
    void closeFile();

    // The commands. Each checks everything before it changes anything: it
    // runs the core's command (see Commands) on a copy of the records and
    // pushes what that changed as one undo step, which puts it into the
    // records. Without a file open, each is refused with NoFile.
    // generateSingle takes the names as typed (see Names::nameToWrite: names
    // typed in simplified Chinese are converted with the program's
    // converter) and, once the officer is made, gives the names it wrote in
    // written.
    Result generateSingle(const QString &familyName, const QString &givenName,
                          const QString &styleName, bool female, const Generate::Options &options,
                          Names::PersonName *written = nullptr);
    Result generateBatch(const Generate::BatchRequest &request, const Generate::Options &options,
                         const Names::NamePools &pools);
    Result assignFathers();
    // Puts the edited record into slot; a new portrait frees the old one.
    Result editOfficer(int slot, const QByteArray &record);
    // Clears the slots, unlinks the sons of the removed officers and frees
    // their portraits.
    Result removeOfficers(const QVector<int> &slotsToRemove);
    // Copies the chosen officers of another file's records into the empty
    // slots; see EditData::importOfficers. count is the number of officers
    // added; TooMany when they do not fit.
    Result importOfficers(const QList<QByteArray> &source, const QVector<int> &sourceSlots);
    // Adds officers copied or dragged out of a file as importOfficers adds
    // them; see EditData::pasteOfficers. Officers that are not valid add
    // nothing.
    Result pasteOfficers(const EditData::CopiedOfficers &officers);
    // Writes what a CSV file changes, from a plan made of the records as
    // they are (see EditData::applyCsvUpdate); a new portrait frees the old
    // one. A plan with an error writes nothing. count is the number of
    // officers whose bytes changed.
    Result updateFromCsv(const EditData::CsvUpdatePlan &plan);
    // Writes the edit into the officers of the selected slots (see
    // EditData::applyBatchEdit). count is the number of officers whose bytes
    // changed.
    Result batchEdit(const QVector<int> &selected, const EditData::BatchEdit &edit);
    // Makes the repairs of the problems that the records still hold (see
    // EditData::repairRecords) as one step. count is the number of problems
    // mended.
    Result repairProblems(const QVector<EditData::FileProblem> &problems);

signals:
    // The records changed: a command, an undo or redo, a reload, or another
    // file opened (change.fileReplaced). Sent once for each, after the
    // records changed; a step that changed no record sends nothing.
    void changed(const EditData::RecordsChange &change);
    // Another file was opened.
    void filePathChanged(const QString &path);
    // The document gained its first unsaved change or lost its last one.
    void modificationChanged(bool modified);
    // Another program changed the open file: onDisk is what the file now
    // holds (at most one byte more than a data file). Sent once for each new
    // content, never for the program's own saves.
    void fileChangedOnDisk(const QByteArray &onDisk);
    // The open file is gone from the disk; sent once until it is back.
    void fileDeletedOnDisk();
    // The recovery copy was written, or could not be (reason as the file
    // system says it); neither stops anything.
    void recoveryWritten();
    void recoveryFailed(const QString &reason);
    // A dated backup of the open file was made.
    void backupsChanged();

private:
    void applyRecords(const EditData::RecordsChange &change, const QList<QByteArray> &records,
                      const std::optional<PortraitFlags> &flags) override;
    void loadRecords();
    QByteArray imageWithRecords() const;
    void noteUnsavedState();
    void dropRecovery();
    void lookForRecovery();
    Result replaceRecords(const QString &stepName, const QList<QByteArray> &records);
    Result commit(const QString &stepName, const EditData::EditState &after, int count = 0);

    // The open file: its path, lock and the bytes last read or written, and
    // its backups.
    SafeKeeping::DataFileSession m_file;
    // The records and the portrait flags as the last step left them.
    EditData::EditState m_state;
    QUndoStack *m_undoStack;
    OfficerModel *m_officerModel = nullptr;
    SafeKeeping::DiskWatcher *m_watcher;
    SafeKeeping::RecoveryWriter *m_recovery = nullptr; // none while copies are off
    // A recovery copy of the unsaved state is on disk or on its way.
    bool m_recoveryNoted = false;
    // The recovery copy found at the open, until it is taken or discarded.
    std::unique_ptr<SafeKeeping::Recovery> m_foundRecovery;
    // While a file is being loaded, the history's signals mean no change.
    bool m_loading = false;
};

Q_DECLARE_METATYPE(EditData::RecordsChange)

#endif // OFFICERDOCUMENT_H
