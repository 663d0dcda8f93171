#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "officerdocument.h"

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class CheckDialog;
class FamilyTreeWindow;
class OfficerTableWindow;
class QAbstractItemView;
class QAction;
class QMenu;
class QSessionManager;
enum class InterfaceLanguage;

namespace EditData {
struct CopiedOfficers;
}

namespace Names {
struct NamePools;
}

namespace Ui {
class MainWindow;
}

// The main window: the form, the menus and the commands. Each command slot
// reads the form, calls an operation of the window's document and tells the
// player what came of it; the open file itself lives in the document, which
// the name list and the tool windows follow. Each window has a document of
// its own; 新視窗 opens another, and the windows share the name pools.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The program's first window: it loads the name pools.
    explicit MainWindow(QWidget *parent = nullptr);
    // Another window, with no file open, that uses the name pools given.
    explicit MainWindow(std::shared_ptr<const Names::NamePools> namePools,
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    OfficerDocument *document() const { return m_document; }
    // The generation options as the form is set now.
    Generate::Options formOptions() const;

    // The main windows that exist, in the order they were made.
    static QList<MainWindow *> windows();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_cmd_generateAll_clicked();
    void on_cmd_generateSingle_clicked();
    void on_cmd_open_clicked();
    void on_cmd_save_clicked();
    void on_cmd_assignFather_clicked();

private:
    void loadNamePools();
    void createMenus();
    void refreshNameList();
    void updateTitle();
    bool maybeSave();
    bool save();
    void commitData(QSessionManager &manager);
    void showStatus(const QString &text);
    bool warnRefused(OfficerDocument::Outcome outcome);
    bool wasRead(EditData::ReadError error, const QString &path);
    QString fileName() const;

    // Keeping the work safe: recovery after a crash, changes made by other
    // programs, and the dated backups.
    void offerRecovery();
    void fileChangedOnDisk(const QByteArray &onDisk);
    void restoreBackup();
    void updateRestoreAction();

    // Looking at officers, removing and importing them.
    int listedSlot(int row) const;
    QVector<int> selectedSlots() const;
    void updateOfficerActions();
    void showOfficer(int slot, QWidget *over);
    void removeSelectedOfficers();
    void importOfficers();
    void showFamilyTree();
    void showOfficerTable();
    void showCheckDialog();

    // More windows, and officers moved between them.
    void openNewWindow();
    void quitAll();
    void copyOfficers(const QVector<int> &chosen);
    void pasteFromClipboard();
    void pasteOfficers(const EditData::CopiedOfficers &officers);
    void takeDragAndDrop(QAbstractItemView *view, const std::function<QVector<int>()> &selected);

    // The interface's language, for the next start, and the About box.
    void addLanguageMenu(QMenu *viewMenu);
    void chooseLanguage(InterfaceLanguage language);
    void showAbout();

    Ui::MainWindow *ui;
    OfficerDocument *m_document;
    std::shared_ptr<const Names::NamePools> m_namePools;
    QAction *m_editAction = nullptr;
    QAction *m_removeAction = nullptr;
    QAction *m_importAction = nullptr;
    QAction *m_restoreAction = nullptr;
    QAction *m_copyAction = nullptr;
    QAction *m_pasteAction = nullptr;
    QAction *m_checkAction = nullptr;
    FamilyTreeWindow *m_familyTree = nullptr;
    OfficerTableWindow *m_officerTable = nullptr;
    CheckDialog *m_checkDialog = nullptr;
    // The slot of each row of the officer list, as it was last filled.
    QVector<int> m_listedSlots;
    // While set, a change of the records leaves the list's rows as they are.
    bool m_keepListRows = false;
};

#endif // MAINWINDOW_H
