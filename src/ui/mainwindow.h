#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "officerdocument.h"

#include <QMainWindow>
#include <QString>
#include <QVector>

#include <functional>

class CheckDialog;
class FamilyTreeWindow;
class OfficerProxy;
class OfficerTableWindow;
class QAbstractItemView;
class QAction;
class QMenu;
class QSessionManager;
class WindowHost;
enum class InterfaceLanguage;

namespace EditData {
struct CopiedOfficers;
}

namespace Ui {
class MainWindow;
}

// The main window: the form, the menus and the commands. Each command slot
// reads the form, calls an operation of the window's document and tells the
// player what came of it; the open file itself lives in the document, whose
// officer model the name list and the officer table show. Each window has a
// document of its own; what the windows share (the name pools, the language,
// the other windows) its host keeps.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(WindowHost &host, QWidget *parent = nullptr);
    ~MainWindow() override;

    OfficerDocument *document() const { return m_document; }
    // The generation options as the form is set now.
    Generate::Options formOptions() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_cmd_generateAll_clicked();
    void on_cmd_generateSingle_clicked();
    void on_cmd_open_clicked();
    void on_cmd_save_clicked();
    void on_cmd_assignFather_clicked();

private:
    void createActions();
    void updateActions();
    void updateBackups();
    void updateTitle();
    bool maybeSave();
    bool save();
    void commitData(QSessionManager &manager);
    void showStatus(const QString &text);
    bool warnRefused(const OfficerDocument::Result &result);
    bool wasRead(const OfficerDocument::Result &result);
    QString fileName() const;

    // Keeping the work safe: recovery after a crash, changes made by other
    // programs, and the dated backups.
    void offerRecovery();
    void fileChangedOnDisk(const QByteArray &onDisk);
    void restoreBackup();

    // Looking at officers, removing and importing them.
    void showOfficer(int slot, QWidget *over);
    void removeSelectedOfficers();
    void importOfficers();
    void showFamilyTree();
    void showOfficerTable();
    void showCheckDialog();

    // Officers moved between windows.
    void copyOfficers(const QVector<int> &chosen);
    void pasteFromClipboard();
    void pasteOfficers(const EditData::CopiedOfficers &officers);
    void takeDragAndDrop(QAbstractItemView *view, const std::function<QVector<int>()> &selected);

    // The interface's language, for the next start, and the About box.
    void addLanguageMenu(QMenu *viewMenu);
    void chooseLanguage(InterfaceLanguage language);
    void showAbout();

    Ui::MainWindow *ui;
    WindowHost &m_host;
    OfficerDocument *m_document;
    // The occupied slots of the document's officers, their names alone.
    OfficerProxy *m_listModel;
    QAction *m_importAction = nullptr;
    QAction *m_restoreAction = nullptr;
    QAction *m_editAction = nullptr;
    QAction *m_removeAction = nullptr;
    QAction *m_copyAction = nullptr;
    QAction *m_pasteAction = nullptr;
    QAction *m_checkAction = nullptr;
    // 複製武將 in the officer table, which shares the menu's shortcut.
    QAction *m_tableCopyAction = nullptr;
    FamilyTreeWindow *m_familyTree = nullptr;
    OfficerTableWindow *m_officerTable = nullptr;
    CheckDialog *m_checkDialog = nullptr;
    // The open file has dated backups, as last looked.
    bool m_hasBackups = false;
};

#endif // MAINWINDOW_H
