#include "mainwindow.h"
#include "editdata.h"
#include "familytreewindow.h"
#include "officertablewindow.h"
#include "recordscommand.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIntValidator>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSessionManager>
#include <QStatusBar>
#include <QTextCodec>
#include <QUndoStack>

namespace {

// How long a status-bar message stays, in milliseconds.
constexpr int statusTimeout = 5000;

// Steps kept for undo. Each keeps only the records its command changed, so
// the history stays small however long the session.
constexpr int undoLimit = 100;

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_undoStack(new QUndoStack(this))
{
    ui->setupUi(this);

    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));

    ui->num_male->setValidator(new QIntValidator(0, 150, this));
    ui->num_female->setValidator(new QIntValidator(0, 150, this));
    ui->num_jiazu->setValidator(new QIntValidator(0, 150, this));

    if (!QTextCodec::codecForName("Big5"))
        QMessageBox::critical(this, tr("錯誤"), tr("程序無法找到Big5編碼器，將無法正常工作。"));

    loadNamePools();

    m_undoStack->setUndoLimit(undoLimit);
    connect(m_undoStack, &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    createMenus();
#ifndef QT_NO_SESSIONMANAGER
    // The window asks about unsaved changes itself when the session ends.
    QGuiApplication::setFallbackSessionManagementEnabled(false);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::commitData);
#endif
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::createMenus()
{
    QMenu *fileMenu = menuBar()->addMenu(tr("文件(&F)"));
    QAction *openAction = fileMenu->addAction(tr("打開"), this, &MainWindow::on_cmd_open_clicked);
    openAction->setShortcuts(QKeySequence::Open);
    m_importAction = fileMenu->addAction(tr("匯入武將…"), this, &MainWindow::importOfficers);
    m_importAction->setEnabled(false);
    QAction *saveAction = fileMenu->addAction(tr("保存"), this, &MainWindow::on_cmd_save_clicked);
    saveAction->setShortcuts(QKeySequence::Save);
    fileMenu->addSeparator();
    QAction *quitAction = fileMenu->addAction(tr("退出"), this, &QWidget::close);
    quitAction->setShortcuts(QKeySequence::Quit);

    QMenu *editMenu = menuBar()->addMenu(tr("編輯(&E)"));
    QAction *undoAction = m_undoStack->createUndoAction(this, tr("撤銷"));
    undoAction->setShortcuts(QKeySequence::Undo);
    editMenu->addAction(undoAction);
    QAction *redoAction = m_undoStack->createRedoAction(this, tr("重做"));
    redoAction->setShortcuts(QKeySequence::Redo);
    editMenu->addAction(redoAction);
    editMenu->addSeparator();

    // F2 and Delete act on the list while it has the focus, so the keys
    // keep their meaning in the text fields.
    m_editAction = editMenu->addAction(tr("編輯武將…"), this, [this] {
        showOfficer(listedSlot(ui->nameListView->currentIndex().row()), this);
    });
    m_editAction->setShortcut(Qt::Key_F2);
    m_editAction->setShortcutContext(Qt::WidgetShortcut);
    ui->nameListView->addAction(m_editAction);
    m_removeAction = editMenu->addAction(tr("刪除武將"), this, &MainWindow::removeSelectedOfficers);
    m_removeAction->setShortcuts(QKeySequence::Delete);
    m_removeAction->setShortcutContext(Qt::WidgetShortcut);
    ui->nameListView->addAction(m_removeAction);
    updateOfficerActions();
    ui->nameListView->setContextMenuPolicy(Qt::ActionsContextMenu);
    ui->nameListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The list only shows the records; officers are changed in the editor.
    ui->nameListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(ui->nameListView, &QAbstractItemView::activated, this,
            [this](const QModelIndex &index) { showOfficer(listedSlot(index.row()), this); });

    QMenu *viewMenu = menuBar()->addMenu(tr("檢視(&V)"));
    QAction *treeAction = viewMenu->addAction(tr("家族樹"), this, &MainWindow::showFamilyTree);
    treeAction->setShortcut(Qt::CTRL + Qt::Key_T);
    QAction *tableAction = viewMenu->addAction(tr("武將一覽"), this, &MainWindow::showOfficerTable);
    tableAction->setShortcut(Qt::CTRL + Qt::Key_L);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

#ifndef QT_NO_SESSIONMANAGER
void MainWindow::commitData(QSessionManager &manager)
{
    if (manager.allowsInteraction()) {
        if (!maybeSave())
            manager.cancel();
    } else if (!m_undoStack->isClean()) {
        // Nobody can be asked: keep the work rather than lose it, with a
        // backup if one can be made.
        backUpBeforeFirstWrite();
        writeFile();
    }
}
#endif

// Asks what to do with unsaved changes; true when the caller may go on.
bool MainWindow::maybeSave()
{
    if (m_undoStack->isClean())
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::question(
            this, tr("未保存的修改"),
            tr("「%1」有未保存的修改，是否先保存？").arg(QFileInfo(m_filePath).fileName()),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    switch (answer) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

EditData::EditState MainWindow::editState() const
{
    return {m_records, m_malePortraits, m_femalePortraits};
}

// Makes what the command changed since before one undo step; a command that
// changed nothing leaves no step. Returns whether there was a change.
bool MainWindow::commitStep(const QString &name, const EditData::EditState &before)
{
    auto *step = new RecordsCommand(name, before, m_records, m_malePortraits, m_femalePortraits,
                                    [this] { stepApplied(); });
    if (step->isEmpty()) {
        delete step;
        return false;
    }
    m_undoStack->push(step);
    recordsChanged();
    return true;
}

// Undo or redo has put records back; a message about the command that made
// them would now mislead.
void MainWindow::stepApplied()
{
    statusBar()->clearMessage();
    refreshNameList();
    recordsChanged();
}

// The records changed: the views that follow them catch up.
void MainWindow::recordsChanged()
{
    updateOfficerActions();
    if (m_familyTree && m_familyTree->isVisible())
        m_familyTree->showRecords(m_records);
    if (m_officerTable && m_officerTable->isVisible())
        m_officerTable->showRecords(m_records);
}

void MainWindow::updateTitle()
{
    QString fileName = QFileInfo(m_filePath).fileName();
    // A literal [*] in the name is written twice so that it is shown as is.
    fileName.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    setWindowTitle(QStringLiteral("%1[*] - %2").arg(fileName, tr("龍旗戰記新武將作成器")));
    setWindowModified(!m_undoStack->isClean());
}

void MainWindow::showStatus(const QString &text)
{
    statusBar()->showMessage(text, statusTimeout);
}
