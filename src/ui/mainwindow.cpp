#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "checkdialog.h"
#include "editdata.h"
#include "familytreewindow.h"
#include "filecheck.h"
#include "importdialog.h"
#include "importofficers.h"
#include "language.h"
#include "messages.h"
#include "officercode.h"
#include "officerdialog.h"
#include "officerdragdrop.h"
#include "officermodel.h"
#include "officertablewindow.h"
#include "officerviews.h"
#include "restoredialog.h"
#include "typedname.h"
#include "windowhost.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIntValidator>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSessionManager>
#include <QStatusBar>
#include <QTextCodec>
#include <QUndoStack>

using namespace EditData;
using Messages::Text;
using Outcome = OfficerDocument::Outcome;
using Result = OfficerDocument::Result;

namespace {

// How long a status-bar message stays, in milliseconds.
constexpr int statusTimeout = 5000;

// Asks the player a question with Yes and No; true for Yes.
bool answeredYes(QWidget *parent, const QString &title, const QString &text,
                 QMessageBox::StandardButton byDefault = QMessageBox::No)
{
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, byDefault)
           == QMessageBox::Yes;
}

QTextCodec *big5Codec()
{
    return QTextCodec::codecForName("Big5");
}

// A shortcut that acts on view while it has the focus, so that the key keeps
// its meaning in the text fields.
void addViewShortcut(QAbstractItemView *view, QAction *action)
{
    action->setShortcutContext(Qt::WidgetShortcut);
    view->addAction(action);
}

// Shows a tool window, or brings it to the front when it is already shown.
void bringToFront(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

Generate::Options MainWindow::formOptions() const
{
    using namespace Generate;
    Options options;
    options.abilities = ui->radio_dimSuper->isChecked()    ? AbilityLevel::Super
                        : ui->radio_dimHigh->isChecked()   ? AbilityLevel::High
                        : ui->radio_dimMedium->isChecked() ? AbilityLevel::Medium
                                                           : AbilityLevel::Low;
    options.biased = ui->radio_dimBias->isChecked();
    options.skills = ui->radio_specialAll->isChecked()      ? SkillLevel::All
                     : ui->radio_specialMany->isChecked()   ? SkillLevel::Many
                     : ui->radio_specialMedium->isChecked() ? SkillLevel::Medium
                                                            : SkillLevel::Little;
    options.aptitudes = ui->radio_armyAll->isChecked()    ? AptitudeLevel::All
                        : ui->radio_armySome->isChecked() ? AptitudeLevel::Some
                                                          : AptitudeLevel::Bad;
    options.typeEffect = ui->chk_typeEffect->isChecked();
    options.character = ui->chk_character->isChecked();
    options.useHistoric = ui->chk_useHistoric->isChecked();
    return options;
}

MainWindow::MainWindow(WindowHost &host, QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_host(host)
    , m_document(new OfficerDocument(this))
    , m_listModel(new OfficerProxy(m_document->officerModel(), OfficerProxy::NameOnly, this))
{
    ui->setupUi(this);

    ui->num_male->setValidator(new QIntValidator(0, 150, this));
    ui->num_female->setValidator(new QIntValidator(0, 150, this));
    ui->num_jiazu->setValidator(new QIntValidator(0, 150, this));

    // The list only shows the officers; they are changed in the editor.
    QListView *list = ui->nameListView;
    list->setModel(m_listModel);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    keepRowsInView(list);
    connect(list, &QAbstractItemView::activated, this, [this](const QModelIndex &index) {
        showOfficer(index.data(OfficerModel::SlotRole).toInt(), this);
    });
    takeDragAndDrop(list, [list] { return selectedOfficerSlots(list); });

    createActions();
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::updateActions);
    connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &MainWindow::updateActions);
    // Another file leaves no selection, and no signal of the selection says so.
    connect(m_listModel, &QAbstractItemModel::modelReset, this, &MainWindow::updateActions);
    connect(m_document, &OfficerDocument::filePathChanged, this, [this] {
        updateBackups();
        updateTitle();
    });
    connect(m_document, &OfficerDocument::backupsChanged, this, &MainWindow::updateBackups);
    connect(m_document, &OfficerDocument::modificationChanged, this, &QWidget::setWindowModified);
    connect(m_document, &OfficerDocument::fileChangedOnDisk, this, &MainWindow::fileChangedOnDisk);
    connect(m_document, &OfficerDocument::fileDeletedOnDisk, this,
            [this] { showStatus(tr("「%1」已從磁碟上刪除。").arg(fileName())); });
    connect(m_document, &OfficerDocument::recoveryFailed, this,
            [this](const QString &reason) { showStatus(tr("無法寫入恢復文件：%1").arg(reason)); });
    // A message about the command that made a step misleads once the step
    // is undone or redone.
    connect(m_document->undoStack(), &QUndoStack::indexChanged, statusBar(),
            &QStatusBar::clearMessage);
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

// Every action of the window and its menus.
void MainWindow::createActions()
{
    QListView *list = ui->nameListView;

    QMenu *fileMenu = menuBar()->addMenu(tr("文件(&F)"));
    QAction *openAction = fileMenu->addAction(tr("打開"), this, &MainWindow::on_cmd_open_clicked);
    openAction->setShortcuts(QKeySequence::Open);
    m_importAction = fileMenu->addAction(tr("匯入武將…"), this, &MainWindow::importOfficers);
    QAction *saveAction = fileMenu->addAction(tr("保存"), this, &MainWindow::on_cmd_save_clicked);
    saveAction->setShortcuts(QKeySequence::Save);
    m_restoreAction = fileMenu->addAction(tr("還原備份…"), this, &MainWindow::restoreBackup);
    // Another window or running copy may have made backups meanwhile.
    connect(fileMenu, &QMenu::aboutToShow, this, &MainWindow::updateBackups);
    fileMenu->addSeparator();
    QAction *newWindowAction =
            fileMenu->addAction(tr("新視窗"), this, [this] { m_host.openNewWindow(); });
    newWindowAction->setShortcuts(QKeySequence::New);
    fileMenu->addSeparator();
    QAction *quitAction = fileMenu->addAction(tr("退出"), this, [this] { m_host.quitAll(this); });
    quitAction->setShortcuts(QKeySequence::Quit);

    QMenu *editMenu = menuBar()->addMenu(tr("編輯(&E)"));
    QAction *undoAction = m_document->undoStack()->createUndoAction(this, tr("撤銷"));
    undoAction->setShortcuts(QKeySequence::Undo);
    editMenu->addAction(undoAction);
    QAction *redoAction = m_document->undoStack()->createRedoAction(this, tr("重做"));
    redoAction->setShortcuts(QKeySequence::Redo);
    editMenu->addAction(redoAction);
    editMenu->addSeparator();
    // F2, Delete, copy and paste act on the list, and copy and paste on the
    // officer table, while it has the focus.
    m_editAction = editMenu->addAction(
            tr("編輯武將…"), this, [this, list] { showOfficer(currentOfficerSlot(list), this); });
    m_editAction->setShortcut(Qt::Key_F2);
    addViewShortcut(list, m_editAction);
    m_removeAction = editMenu->addAction(tr("刪除武將"), this, &MainWindow::removeSelectedOfficers);
    m_removeAction->setShortcuts(QKeySequence::Delete);
    addViewShortcut(list, m_removeAction);
    editMenu->addSeparator();
    m_copyAction = editMenu->addAction(tr("複製武將"), this,
                                       [this, list] { copyOfficers(selectedOfficerSlots(list)); });
    m_copyAction->setShortcuts(QKeySequence::Copy);
    addViewShortcut(list, m_copyAction);
    m_pasteAction = editMenu->addAction(tr("貼上武將"), this, &MainWindow::pasteFromClipboard);
    m_pasteAction->setShortcuts(QKeySequence::Paste);
    addViewShortcut(list, m_pasteAction);
    editMenu->addSeparator();
    m_checkAction = editMenu->addAction(tr("檢查文件…"), this, &MainWindow::showCheckDialog);
    m_tableCopyAction = new QAction(tr("複製武將"), this);
    m_tableCopyAction->setShortcuts(QKeySequence::Copy);
    connect(m_tableCopyAction, &QAction::triggered, this,
            [this] { copyOfficers(m_officerTable->selectedSlots()); });

    QMenu *viewMenu = menuBar()->addMenu(tr("檢視(&V)"));
    QAction *treeAction = viewMenu->addAction(tr("家族樹"), this, &MainWindow::showFamilyTree);
    treeAction->setShortcut(Qt::CTRL + Qt::Key_T);
    QAction *tableAction = viewMenu->addAction(tr("武將一覽"), this, &MainWindow::showOfficerTable);
    tableAction->setShortcut(Qt::CTRL + Qt::Key_L);
    viewMenu->addSeparator();
    addLanguageMenu(viewMenu);

    QMenu *helpMenu = menuBar()->addMenu(tr("說明(&H)"));
    helpMenu->addAction(tr("關於龍旗戰記新武將作成器"), this, &MainWindow::showAbout);
    helpMenu->addAction(tr("關於Qt"), this, [this] { QMessageBox::aboutQt(this, tr("關於Qt")); });

    updateActions();
}

// Enables each action as the file and the selections allow.
void MainWindow::updateActions()
{
    const bool open = m_document->isOpen();
    const QListView *list = ui->nameListView;
    const bool selected = !selectedOfficerSlots(list).isEmpty();
    m_importAction->setEnabled(open);
    m_restoreAction->setEnabled(m_hasBackups);
    m_editAction->setEnabled(open && currentOfficerSlot(list) >= 0);
    m_removeAction->setEnabled(open && selected);
    m_copyAction->setEnabled(open && selected);
    m_pasteAction->setEnabled(open);
    m_checkAction->setEnabled(open);
    m_tableCopyAction->setEnabled(m_officerTable && !m_officerTable->selectedSlots().isEmpty());
}

// Looks whether the open file has dated backups, which only the disk tells.
void MainWindow::updateBackups()
{
    m_hasBackups = !m_document->backups().isEmpty();
    updateActions();
}

void MainWindow::addLanguageMenu(QMenu *viewMenu)
{
    QMenu *menu = viewMenu->addMenu(tr("語言"));
    auto *group = new QActionGroup(menu);
    // Each language is named in its own script, whichever the interface's.
    const std::pair<InterfaceLanguage, QString> languages[] = {
            {InterfaceLanguage::Traditional, QStringLiteral("繁體中文")},
            {InterfaceLanguage::Simplified, QStringLiteral("简体中文")},
    };
    for (const auto &[language, name] : languages) {
        QAction *action = group->addAction(name);
        action->setCheckable(true);
        action->setData(int(language));
        menu->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, chosen = language] { chooseLanguage(chosen); });
    }
    // The choice may have been made in another window.
    const auto showChoice = [this, group] {
        const InterfaceLanguage chosen = m_host.nextLanguage();
        for (QAction *action : group->actions())
            action->setChecked(InterfaceLanguage(action->data().toInt()) == chosen);
    };
    connect(menu, &QMenu::aboutToShow, group, showChoice);
    showChoice();
}

// Keeps the language for the next start; the interface stays as it is until
// then.
void MainWindow::chooseLanguage(InterfaceLanguage language)
{
    if (language == m_host.nextLanguage())
        return;
    if (!m_host.keepNextLanguage(language)) {
        QMessageBox::warning(this, tr("錯誤"), tr("無法保存語言設定。"));
        return;
    }
    // Going back to the language in use needs no restart.
    if (language != Language::inUse())
        QMessageBox::information(this, tr("語言"), tr("語言將在重新啟動後生效。"));
}

void MainWindow::showAbout()
{
    const QString paragraph = QStringLiteral("<p>%1</p>");
    QMessageBox::about(
            this, tr("關於龍旗戰記新武將作成器"),
            QStringLiteral("<h3>%1</h3>").arg(tr("龍旗戰記新武將作成器"))
                    + paragraph.arg(tr("版本 %1").arg(QStringLiteral(OFFICER_VERSION)))
                    + paragraph.arg(tr("為龍旗戰記的自作武將數據文件生成和編輯武將。"))
                    + paragraph.arg(tr("本程序是自由軟件，依 GNU General Public License "
                                       "第3版或（由你選擇）任何更新的版本發佈。"))
                    + paragraph.arg(tr("運行於 Qt %1。").arg(QLatin1String(qVersion()))));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    // A window that is closed but kept, as the first one is while others
    // are open, leaves no view of its file behind.
    if (m_familyTree)
        m_familyTree->close();
    if (m_officerTable)
        m_officerTable->close();
    // The unsaved changes were saved or dropped: their recovery copy goes,
    // and other windows may open the file.
    m_document->closeFile();
    event->accept();
}

#ifndef QT_NO_SESSIONMANAGER
void MainWindow::commitData(QSessionManager &manager)
{
    // A closed window was asked when it closed.
    if (!isVisible())
        return;
    if (manager.allowsInteraction()) {
        if (!maybeSave())
            manager.cancel();
    } else if (m_document->isModified()) {
        // Nobody can be asked: keep the work rather than lose it, with
        // backups if they can be made, another program's version among them.
        m_document->backUpBeforeWrite(m_document->changedOnDisk());
        if (!m_document->writeFile().failed())
            showStatus(Messages::text(Text::Saved)
                               .arg(QDir::toNativeSeparators(m_document->filePath())));
        else
            m_document->flushRecovery();
    }
}
#endif

// Asks what to do with unsaved changes; true when the caller may go on.
bool MainWindow::maybeSave()
{
    if (!m_document->isModified())
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::question(
            this, tr("未保存的修改"), tr("「%1」有未保存的修改，是否先保存？").arg(fileName()),
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

void MainWindow::updateTitle()
{
    QString fileName = QFileInfo(m_document->filePath()).fileName();
    // A literal [*] in the name is written twice so that it is shown as is.
    fileName.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    setWindowTitle(QStringLiteral("%1[*] - %2").arg(fileName, tr("龍旗戰記新武將作成器")));
    setWindowModified(m_document->isModified());
}

// The name of the open file, as messages name it.
QString MainWindow::fileName() const
{
    return QFileInfo(m_document->filePath()).fileName();
}

void MainWindow::showStatus(const QString &text)
{
    statusBar()->showMessage(text, statusTimeout);
}

// Warns about a refused command; true when it was refused.
bool MainWindow::warnRefused(const Result &result)
{
    const QString text = Messages::describe(result);
    if (text.isEmpty())
        return false;
    QMessageBox::warning(this, tr("錯誤"), text);
    return true;
}

// Says why a data file (result.file) could not be read; true when it was
// read.
bool MainWindow::wasRead(const Result &result)
{
    switch (result.outcome) {
    case Outcome::CannotOpen:
    case Outcome::WrongSize:
        QMessageBox::critical(this, tr("錯誤"), Messages::describe(result));
        return false;
    case Outcome::HeldElsewhere:
        QMessageBox::warning(this, tr("錯誤"), Messages::describe(result));
        return false;
    default:
        return true;
    }
}

void MainWindow::on_cmd_open_clicked()
{
    if (!maybeSave())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("打開龍旗戰記自作武將數據"),
                                                      QString(), QStringLiteral("editdata.rqv"));
    if (path.isEmpty())
        return;
    if (!wasRead(m_document->open(path)))
        return;
    offerRecovery();
    QString status = tr("已打開%1，共%2名武將。")
                             .arg(QDir::toNativeSeparators(path))
                             .arg(occupiedSlots(m_document->records()).size());
    // Errors are worth a word; notes alone are not.
    const int errors = errorCount(checkRecords(m_document->records(), big5Codec()));
    if (errors > 0)
        status += tr("文件有%1個錯誤，可用「檢查文件…」查看。").arg(errors);
    showStatus(status);
}

// Offers the unsaved changes that a crash left of the file just opened.
void MainWindow::offerRecovery()
{
    const std::optional<QDateTime> time = m_document->recoveryTime();
    if (!time)
        return;
    if (answeredYes(this, tr("恢復"),
                    tr("「%1」有未保存的修改（%2）。要恢復嗎？")
                            .arg(fileName(), time->toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
                    QMessageBox::Yes))
        m_document->recover();
    else
        m_document->discardRecovery();
}

// Another program changed the open file: it is read again at once when
// nothing would be lost, and only when the player agrees otherwise. With
// unsaved changes, content that could not be read is not worth a question;
// the next save asks before it overwrites it.
void MainWindow::fileChangedOnDisk(const QByteArray &onDisk)
{
    const bool modified = m_document->isModified();
    Result reloaded(Outcome::WrongSize);
    if (!modified) {
        reloaded = m_document->reload();
    } else if (onDisk.size() == fileSize) {
        if (!answeredYes(this, tr("文件已修改"),
                         tr("「%1」已被其他程序修改。要重新載入嗎？未保存的修改將會遺失。")
                                 .arg(fileName())))
            return;
        // The unsaved changes are dropped only once they are kept, or when
        // the player says so.
        const Result kept = m_document->backUpUnsaved();
        if (kept.failed()
            && !answeredYes(this, tr("文件已修改"),
                            tr("無法建立備份文件「%1」：%2。仍然重新載入嗎？")
                                    .arg(QDir::toNativeSeparators(kept.file), kept.reason)))
            return;
        reloaded = m_document->reload();
    }
    if (!reloaded.failed())
        showStatus(modified ? tr("「%1」已重新載入。").arg(fileName())
                            : tr("「%1」已被其他程序修改，已重新載入。").arg(fileName()));
    else
        showStatus(tr("「%1」已被其他程序修改，無法重新載入：%2")
                           .arg(fileName(), Messages::describe(reloaded)));
}

void MainWindow::on_cmd_save_clicked()
{
    save();
}

// Saves as the save button does, with its messages; true when the file was
// written.
bool MainWindow::save()
{
    if (!m_document->isOpen())
        return false;
    // Another program's change is not overwritten unasked.
    const bool othersVersion = m_document->changedOnDisk();
    if (othersVersion
        && !answeredYes(this, tr("保存"),
                        tr("「%1」在打開之後已被其他程序修改。仍然保存嗎？").arg(fileName())))
        return false;
    const Result backedUp = m_document->backUpBeforeWrite(othersVersion);
    // The .bak lies beside the file and is named alone; a dated copy is
    // named with its folder.
    if (backedUp.failed()
        && !answeredYes(
                this, tr("保存"),
                tr("無法建立備份文件「%1」：%2。仍然保存嗎？")
                        .arg(SafeKeeping::shownBackupFile(backedUp.file, m_document->filePath()),
                             backedUp.reason)))
        return false;
    const Result written = m_document->writeFile();
    if (written.failed()) {
        // The reason, as the system gives it, below the program's own words.
        QMessageBox box(QMessageBox::Critical, tr("錯誤"), Messages::describe(written),
                        QMessageBox::Ok, this);
        box.setInformativeText(written.reason);
        box.exec();
        return false;
    }
    showStatus(Messages::text(Text::Saved).arg(QDir::toNativeSeparators(m_document->filePath())));
    QMessageBox::information(this, tr("保存"), tr("保存完成。"));
    return true;
}

void MainWindow::on_cmd_generateSingle_clicked()
{
    const Names::PersonName typed = {ui->edit_fName->text(), ui->edit_gName->text(),
                                     ui->edit_aName->text()};
    Names::PersonName written;
    const Result result =
            m_document->generateSingle(typed.familyName, typed.givenName, typed.styleName,
                                       !ui->radio_genderM->isChecked(), formOptions(), &written);
    if (warnRefused(result) || !result.changed())
        return;
    // Names typed in simplified Chinese were written in traditional characters.
    showStatus(written == typed ? Messages::text(Text::GeneratedOne)
                                : Names::conversionMessage(typed, written));
}

void MainWindow::on_cmd_generateAll_clicked()
{
    Generate::BatchRequest request;
    request.men = qMax(0, ui->num_male->text().toInt());
    request.women = qMax(0, ui->num_female->text().toInt());
    if (ui->chk_family->isChecked())
        request.families = qMax(0, ui->num_jiazu->text().toInt());
    const Result result = m_document->generateBatch(request, formOptions(), m_host.namePools());
    if (!warnRefused(result) && result.changed())
        showStatus(Messages::text(Text::Generated).arg(request.men + request.women));
}

void MainWindow::on_cmd_assignFather_clicked()
{
    const Result result = m_document->assignFathers();
    if (warnRefused(result))
        return;
    showStatus(Messages::text(result.changed() ? Text::FathersLinked : Text::FathersUnchanged));
}

// Opens the officer in the editor; OK with a change makes one undo step.
void MainWindow::showOfficer(int slot, QWidget *over)
{
    const QList<QByteArray> &records = m_document->records();
    if (slot < 0 || slot >= records.size() || isEmptySlot(records.at(slot)))
        return;
    OfficerDialog dialog(records, slot, over);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!m_document->editOfficer(slot, dialog.record()).changed())
        return;
    if (!dialog.conversionMessage().isEmpty())
        showStatus(dialog.conversionMessage());
    else
        showStatus(
                tr("已修改武將%1。").arg(officerName(m_document->records().at(slot), big5Codec())));
}

// Clears the selected slots, unlinks the sons of the removed officers and
// frees their portraits, in one undo step.
void MainWindow::removeSelectedOfficers()
{
    const QVector<int> selected = selectedOfficerSlots(ui->nameListView);
    if (!m_document->isOpen() || selected.isEmpty())
        return;
    if (!answeredYes(this, tr("刪除武將"), tr("刪除所選的 %1 名武將？").arg(selected.size())))
        return;
    if (m_document->removeOfficers(selected).changed())
        showStatus(tr("已刪除%1名武將。").arg(selected.size()));
}

// Puts the records of a dated backup, chosen by the player, into the
// document as one undo step.
void MainWindow::restoreBackup()
{
    const QVector<SafeKeeping::Backup> backups = m_document->backups();
    if (backups.isEmpty())
        return;
    RestoreDialog dialog(backups, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const SafeKeeping::Backup chosen = dialog.chosenBackup();
    if (!chosen.file.isEmpty())
        wasRead(m_document->restoreBackup(chosen));
}

// Copies officers chosen from another data file into the empty slots, in
// one undo step.
void MainWindow::importOfficers()
{
    if (!m_document->isOpen())
        return;
    const QString path = QFileDialog::getOpenFileName(
            this, tr("選擇要匯入武將的數據文件"), QFileInfo(m_document->filePath()).absolutePath(),
            QStringLiteral("editdata.rqv"));
    if (path.isEmpty())
        return;
    QByteArray image;
    if (!wasRead({Commands::outcomeOf(readDataFile(path, image)), 0, path}))
        return;
    const QList<QByteArray> source = splitRecords(image);
    const QList<QByteArray> &records = m_document->records();
    const int emptySlots = records.size() - occupiedSlots(records).size();
    ImportDialog dialog(source, emptySlots, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const Result imported = m_document->importOfficers(source, dialog.chosenSlots());
    if (imported.changed())
        showStatus(Messages::text(Text::Imported).arg(imported.count));
}

void MainWindow::showFamilyTree()
{
    if (!m_familyTree) {
        m_familyTree = new FamilyTreeWindow(m_document, this);
        connect(m_familyTree, &FamilyTreeWindow::officerActivated, this,
                [this](int slot) { showOfficer(slot, m_familyTree); });
    }
    bringToFront(m_familyTree);
}

void MainWindow::showOfficerTable()
{
    if (!m_officerTable) {
        m_officerTable = new OfficerTableWindow(m_document, this);
        connect(m_officerTable, &OfficerTableWindow::officerActivated, this,
                [this](int slot) { showOfficer(slot, m_officerTable); });
        connect(m_officerTable, &OfficerTableWindow::statusMessage, this, &MainWindow::showStatus);

        QAbstractItemView *table = m_officerTable->officerView();
        addViewShortcut(table, m_tableCopyAction);
        table->addAction(m_pasteAction);
        table->setContextMenuPolicy(Qt::ActionsContextMenu);
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &MainWindow::updateActions);
        connect(table->model(), &QAbstractItemModel::modelReset, this, &MainWindow::updateActions);
        takeDragAndDrop(table, [this] { return m_officerTable->selectedSlots(); });
        updateActions();
    }
    bringToFront(m_officerTable);
}

// Opens the list of the file's problems, or brings it to the front.
void MainWindow::showCheckDialog()
{
    if (!m_checkDialog) {
        m_checkDialog = new CheckDialog(m_document, this);
        connect(m_checkDialog, &CheckDialog::officerActivated, this,
                [this](int slot) { showOfficer(slot, m_checkDialog); });
        connect(m_checkDialog, &CheckDialog::statusMessage, this, &MainWindow::showStatus);
    }
    bringToFront(m_checkDialog);
}

// Puts the officers of the chosen slots on the clipboard, as the program's
// own bytes and as text.
void MainWindow::copyOfficers(const QVector<int> &chosen)
{
    const QList<QByteArray> &records = m_document->records();
    std::unique_ptr<QMimeData> copied = officerMimeData(records, chosen, big5Codec());
    if (!copied)
        return;
    QGuiApplication::clipboard()->setMimeData(copied.release());
    showStatus(tr("已複製%1名武將。").arg(chosenOfficerSlots(records, chosen).size()));
}

void MainWindow::pasteFromClipboard()
{
    if (m_document->isOpen())
        pasteOfficers(officersFromMimeData(QGuiApplication::clipboard()->mimeData()));
}

// Adds copied or dropped officers into the empty slots, in one undo step.
void MainWindow::pasteOfficers(const CopiedOfficers &officers)
{
    if (!m_document->isOpen())
        return;
    switch (officers.status) {
    case CopiedOfficers::NoOfficers:
        showStatus(tr("剪貼簿中沒有武將。"));
        return;
    case CopiedOfficers::Damaged:
        QMessageBox::warning(this, tr("錯誤"), Messages::text(Text::CodeDamaged));
        return;
    case CopiedOfficers::Valid:
        break;
    }
    const Result pasted = m_document->pasteOfficers(officers);
    if (!warnRefused(pasted) && pasted.changed())
        showStatus(Messages::text(Text::Pasted).arg(pasted.count));
}

// Lets the selected officers of view be dragged into another window, and
// pastes those dropped on it from another window.
void MainWindow::takeDragAndDrop(QAbstractItemView *view,
                                 const std::function<QVector<int>()> &selected)
{
    new OfficerDragDrop(
            view, this,
            [this, selected] {
                return officerMimeData(m_document->records(), selected(), big5Codec());
            },
            [this] { return m_document->isOpen(); },
            [this](const CopiedOfficers &officers) { pasteOfficers(officers); });
}
