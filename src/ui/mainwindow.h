#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

class FamilyTreeWindow;
class OfficerTableWindow;
class QAction;
class QSessionManager;
class QUndoStack;

namespace EditData {
struct EditState;
}

namespace Ui {
class MainWindow;
}

// The one window of the program. It owns every piece of state: the opened
// data file and its officer records, the portrait pools and the name pools.
// Each command is one of its slots, bound to its button by object name.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_cmd_generateAll_clicked();
    void on_cmd_generateSingle_clicked();
    void on_cmd_open_clicked();
    void on_cmd_save_clicked();
    void on_cmd_assignFather_clicked();

private:
    void splitRecords();
    void writeRecordsToImage();
    void refreshNameList();
    void buildPortraitPools();
    void markUsedPortraits();
    void loadNamePools();
    void generateOfficer(qint64 slot, bool female, quint8 birthYear, const QString &familyName,
                         const QString &givenName, const QString &styleName, quint16 fatherId);
    quint16 pickPortrait(bool female);

    // The editor around the commands: undo history, unsaved-changes guard,
    // menus and title.
    void createMenus();
    EditData::EditState editState() const;
    bool commitStep(const QString &name, const EditData::EditState &before);
    void stepApplied();
    void updateTitle();
    bool maybeSave();
    bool save();
    QString writeFile();
    void commitData(QSessionManager &manager);
    void showStatus(const QString &text);
    void recordsChanged();

    // Looking at officers and removing them.
    int listedSlot(int row) const;
    QVector<int> selectedSlots() const;
    void updateOfficerActions();
    void showOfficer(int slot, QWidget *over);
    void removeSelectedOfficers();
    void showFamilyTree();
    void showOfficerTable();

    // Reading a data file with the open command's checks and messages,
    // importing officers from another file, and the backup before the first
    // save.
    bool loadDataFile(const QString &path, QByteArray &image);
    void importOfficers();
    QString backUpBeforeFirstWrite();

    QString m_filePath;
    QByteArray m_fileImage;
    QList<QByteArray> m_records;
    QMap<quint16, bool> m_malePortraits;
    QMap<quint16, bool> m_femalePortraits;
    QMap<quint16, bool> m_allMalePortraits;
    QMap<quint16, bool> m_allFemalePortraits;
    QStringList m_familyNames;
    QStringList m_boyNames;
    QStringList m_girlNames;
    Ui::MainWindow *ui;
    QUndoStack *m_undoStack;
    QAction *m_editAction = nullptr;
    QAction *m_removeAction = nullptr;
    FamilyTreeWindow *m_familyTree = nullptr;
    // The slot of each row of the officer list.
    QVector<int> m_listedSlots;
    OfficerTableWindow *m_officerTable = nullptr;
    QAction *m_importAction = nullptr;
    // From a successful open until the backup is made or the file written.
    bool m_backupDue = false;
};

#endif // MAINWINDOW_H
