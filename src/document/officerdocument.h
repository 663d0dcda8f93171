#ifndef OFFICERDOCUMENT_H
#define OFFICERDOCUMENT_H

#include "datafile.h"
#include "editdata.h"
#include "generate.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

class QUndoStack;

namespace EditData {
struct BatchEdit;
struct CopiedOfficers;
struct CsvUpdatePlan;
struct EditState;
} // namespace EditData

namespace Names {
struct NamePools;
struct PersonName;
} // namespace Names

// One open data file: its path and bytes, the 150 officer records cut out
// of them, the portrait pools and the undo history. Every change is an
// operation of the document that makes one undo step, or none when nothing
// changed, and the document's signals tell every view what changed. It shows
// no window and no message: an operation returns what came of it.
class OfficerDocument : public QObject
{
    Q_OBJECT

public:
    // What a command came to.
    enum class Outcome {
        Changed, // one undo step was made
        Unchanged, // the command ran and changed nothing: no step
        NoFile, // no data file is open
        Full, // no empty slot is left
        Unencodable, // a typed name has a character that Big5 cannot hold
        TooLong, // a typed name takes more bytes than its field holds
        TooMany, // more officers asked for than there are empty slots
        TooFewMen, // fewer men asked for than families
        EmptyPools, // a name pool that the batch needs is empty
    };

    explicit OfficerDocument(QObject *parent = nullptr);
    ~OfficerDocument() override;

    // Empty while no file is open.
    QString filePath() const { return m_filePath; }
    bool isOpen() const { return !m_filePath.isEmpty(); }
    // The 150 records of the open file; none before the first open.
    const QList<QByteArray> &records() const { return m_records; }
    QUndoStack *undoStack() const { return m_undoStack; }
    // True while there are changes that the file on disk lacks.
    bool isModified() const;

    // Reads the data file at path and, when it is taken, makes it the open
    // file with a new undo history. A refused file changes nothing.
    EditData::ReadError open(const QString &path);
    // Before the file is first written after it was opened, keeps it as it
    // stands on disk beside it; a file that is gone leaves nothing to keep.
    // Returns why the backup could not be made, or an empty string.
    QString backUpBeforeFirstWrite();
    // Writes the records into the open file, which is replaced whole or left
    // as it was. Returns what went wrong, or an empty string once written.
    QString writeFile();

    // The commands. Each checks everything before it changes anything.
    // generateSingle takes the names as typed (see Names::nameToWrite: names
    // typed in simplified Chinese are converted with the program's
    // converter) and, once the officer is made, gives the names it wrote in
    // written.
    Outcome generateSingle(const QString &familyName, const QString &givenName,
                           const QString &styleName, bool female, const Generate::Options &options,
                           Names::PersonName *written = nullptr);
    Outcome generateBatch(const Generate::BatchRequest &request, const Generate::Options &options,
                          const Names::NamePools &pools);
    Outcome assignFathers();
    // Puts the edited record into slot; a new portrait frees the old one.
    bool editOfficer(int slot, const QByteArray &record);
    // Clears the slots, unlinks the sons of the removed officers and frees
    // their portraits.
    bool removeOfficers(const QVector<int> &slotsToRemove);
    // Copies the chosen officers of another file's records into the empty
    // slots; see EditData::importOfficers. Returns the slots written, or
    // nothing when they do not fit.
    std::optional<QVector<int>> importOfficers(const QList<QByteArray> &source,
                                               const QVector<int> &sourceSlots);
    // Adds officers copied or dragged out of a file as importOfficers adds
    // them; see EditData::pasteOfficers. Returns the slots written, none for
    // officers that are not valid, or nothing when they do not fit.
    std::optional<QVector<int>> pasteOfficers(const EditData::CopiedOfficers &officers);
    // Writes what a CSV file changes, from a plan made of the records as
    // they are (see EditData::applyCsvUpdate); a new portrait frees the old
    // one. A plan with an error writes nothing. Returns the number of
    // officers whose bytes changed.
    int updateFromCsv(const EditData::CsvUpdatePlan &plan);
    // Writes the edit into the officers of the selected slots (see
    // EditData::applyBatchEdit). Returns the number of officers whose bytes
    // changed.
    int batchEdit(const QVector<int> &selected, const EditData::BatchEdit &edit);

signals:
    // The records changed: a command, an undo or redo, or another file.
    void recordsChanged();
    // Another file was opened.
    void filePathChanged(const QString &path);
    // The document gained its first unsaved change or lost its last one.
    void modificationChanged(bool modified);

private:
    void splitRecords();
    void writeRecordsToImage();
    void buildPortraitPools();
    void markUsedPortraits();
    void generateOfficer(qint64 slot, bool female, quint8 birthYear, const QString &familyName,
                         const QString &givenName, const QString &styleName, quint16 fatherId,
                         const Generate::Options &options);
    quint16 pickPortrait(bool female, bool useHistoric);
    using AddOfficers = std::function<std::optional<QVector<int>>()>;
    std::optional<QVector<int>> addOfficers(const QString &stepName, const AddOfficers &add);
    EditData::EditState editState() const;
    bool commitStep(const QString &name, const EditData::EditState &before);

    QString m_filePath;
    QByteArray m_fileImage;
    QList<QByteArray> m_records;
    QMap<quint16, bool> m_malePortraits;
    QMap<quint16, bool> m_femalePortraits;
    QMap<quint16, bool> m_allMalePortraits;
    QMap<quint16, bool> m_allFemalePortraits;
    QUndoStack *m_undoStack;
    // From a successful open until the backup is made or the file written.
    bool m_backupDue = false;
};

#endif // OFFICERDOCUMENT_H
