#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "officerdocument.h"

#include <QMainWindow>
#include <QString>
#include <QVector>

#include <memory>

class FamilyTreeWindow;
class OfficerTableWindow;
class QAction;
class QSessionManager;

namespace Names {
struct NamePools;
}

namespace Ui {
class MainWindow;
}

// The main window: the form, the menus and the commands. Each command slot
// reads the form, calls an operation of the window's document and tells the
// player what came of it; the open file itself lives in the document, which
// the name list and the tool windows follow.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    OfficerDocument *document() const { return m_document; }

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
    bool wasRead(EditData::ReadError error);

    // Looking at officers, removing and importing them.
    int listedSlot(int row) const;
    QVector<int> selectedSlots() const;
    void updateOfficerActions();
    void showOfficer(int slot, QWidget *over);
    void removeSelectedOfficers();
    void importOfficers();
    void showFamilyTree();
    void showOfficerTable();

    Ui::MainWindow *ui;
    OfficerDocument *m_document;
    std::shared_ptr<const Names::NamePools> m_namePools;
    QAction *m_editAction = nullptr;
    QAction *m_removeAction = nullptr;
    QAction *m_importAction = nullptr;
    FamilyTreeWindow *m_familyTree = nullptr;
    OfficerTableWindow *m_officerTable = nullptr;
    // The slot of each row of the officer list, as it was last filled.
    QVector<int> m_listedSlots;
    // While set, a change of the records leaves the list's rows as they are.
    bool m_keepListRows = false;
};

#endif // MAINWINDOW_H
