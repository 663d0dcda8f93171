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
#include "namepools.h"
#include "officercode.h"
#include "officerdialog.h"
#include "officerdragdrop.h"
#include "officertablewindow.h"
#include "restoredialog.h"
#include "typedname.h"

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
#include <QPointer>
#include <QSessionManager>
#include <QSettings>
#include <QStatusBar>
#include <QStringListModel>
#include <QTextCodec>
#include <QUndoStack>

#include <algorithm>

using namespace EditData;
using Messages::Text;
using Outcome = OfficerDocument::Outcome;

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

QList<MainWindow *> &madeWindows()
{
    static QList<MainWindow *> windows;
    return windows;
}

// The language the next start will use: the one chosen in the menu or,
// without a choice, the one in use.
InterfaceLanguage chosenLanguage()
{
    InterfaceLanguage language = Language::inUse();
    Language::fromCode(QSettings().value(QLatin1String(Language::settingsKey)).toString(),
                       &language);
    return language;
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

MainWindow::MainWindow(QWidget *parent)
    : MainWindow(std::shared_ptr<const Names::NamePools>(), parent)
{ }

MainWindow::MainWindow(std::shared_ptr<const Names::NamePools> namePools, QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_document(new OfficerDocument(this))
    , m_namePools(std::move(namePools))
{
    ui->setupUi(this);

    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));

    ui->num_male->setValidator(new QIntValidator(0, 150, this));
    ui->num_female->setValidator(new QIntValidator(0, 150, this));
    ui->num_jiazu->setValidator(new QIntValidator(0, 150, this));

    // The first window checks the codec and loads the pools for all.
    if (!m_namePools) {
        if (!big5Codec())
            QMessageBox::critical(this, tr("錯誤"), tr("程序無法找到Big5編碼器，將無法正常工作。"));
        loadNamePools();
    }

    connect(m_document, &OfficerDocument::recordsChanged, this, &MainWindow::refreshNameList);
    connect(m_document, &OfficerDocument::filePathChanged, this, [this] {
        m_importAction->setEnabled(true);
        m_pasteAction->setEnabled(true);
        m_checkAction->setEnabled(true);
        updateTitle();
    });
    connect(m_document, &OfficerDocument::modificationChanged, this, &QWidget::setWindowModified);
    connect(m_document, &OfficerDocument::fileChangedOnDisk, this, &MainWindow::fileChangedOnDisk);
    connect(m_document, &OfficerDocument::fileDeletedOnDisk, this,
            [this] { showStatus(tr("「%1」已從磁碟上刪除。").arg(fileName())); });
    connect(m_document, &OfficerDocument::recoveryFailed, this,
            [this](const QString &reason) { showStatus(tr("無法寫入恢復文件：%1").arg(reason)); });
    connect(m_document, &OfficerDocument::filePathChanged, this, &MainWindow::updateRestoreAction);
    connect(m_document, &OfficerDocument::backupsChanged, this, &MainWindow::updateRestoreAction);
    // A message about the command that made a step misleads once the step
    // is undone or redone.
    connect(m_document->undoStack(), &QUndoStack::indexChanged, statusBar(),
            &QStatusBar::clearMessage);
    createMenus();
#ifndef QT_NO_SESSIONMANAGER
    // The window asks about unsaved changes itself when the session ends.
    QGuiApplication::setFallbackSessionManagementEnabled(false);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::commitData);
#endif
    madeWindows().append(this);
}

MainWindow::~MainWindow()
{
    madeWindows().removeOne(this);
    delete ui;
}

QList<MainWindow *> MainWindow::windows()
{
    return madeWindows();
}

void MainWindow::loadNamePools()
{
    auto pools = std::make_shared<Names::NamePools>();
    const int failed = Names::loadNamePools(Names::programPoolFolder(), *pools);
    if (failed >= 0)
        QMessageBox::warning(this, tr("錯誤"), Messages::poolFailure(failed));
    m_namePools = std::move(pools);
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
    m_restoreAction = fileMenu->addAction(tr("還原備份…"), this, &MainWindow::restoreBackup);
    m_restoreAction->setEnabled(false);
    // Another window or running copy may have made backups meanwhile.
    connect(fileMenu, &QMenu::aboutToShow, this, &MainWindow::updateRestoreAction);
    fileMenu->addSeparator();
    QAction *newWindowAction = fileMenu->addAction(tr("新視窗"), this, &MainWindow::openNewWindow);
    newWindowAction->setShortcuts(QKeySequence::New);
    fileMenu->addSeparator();
    QAction *quitAction = fileMenu->addAction(tr("退出"), this, &MainWindow::quitAll);
    quitAction->setShortcuts(QKeySequence::Quit);

    QMenu *editMenu = menuBar()->addMenu(tr("編輯(&E)"));
    QAction *undoAction = m_document->undoStack()->createUndoAction(this, tr("撤銷"));
    undoAction->setShortcuts(QKeySequence::Undo);
    editMenu->addAction(undoAction);
    QAction *redoAction = m_document->undoStack()->createRedoAction(this, tr("重做"));
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
    editMenu->addSeparator();
    // Copy and paste act on the list, and on the officer table, while it has
    // the focus, for the same reason.
    m_copyAction =
            editMenu->addAction(tr("複製武將"), this, [this] { copyOfficers(selectedSlots()); });
    m_copyAction->setShortcuts(QKeySequence::Copy);
    m_copyAction->setShortcutContext(Qt::WidgetShortcut);
    ui->nameListView->addAction(m_copyAction);
    m_pasteAction = editMenu->addAction(tr("貼上武將"), this, &MainWindow::pasteFromClipboard);
    m_pasteAction->setShortcuts(QKeySequence::Paste);
    m_pasteAction->setShortcutContext(Qt::WidgetShortcut);
    m_pasteAction->setEnabled(false);
    ui->nameListView->addAction(m_pasteAction);
    editMenu->addSeparator();
    m_checkAction = editMenu->addAction(tr("檢查文件…"), this, &MainWindow::showCheckDialog);
    m_checkAction->setEnabled(false);
    updateOfficerActions();
    takeDragAndDrop(ui->nameListView, [this] { return selectedSlots(); });
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
    viewMenu->addSeparator();
    addLanguageMenu(viewMenu);

    QMenu *helpMenu = menuBar()->addMenu(tr("說明(&H)"));
    helpMenu->addAction(tr("關於龍旗戰記新武將作成器"), this, &MainWindow::showAbout);
    helpMenu->addAction(tr("關於Qt"), this, [this] { QMessageBox::aboutQt(this, tr("關於Qt")); });
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
    const auto showChoice = [group] {
        const InterfaceLanguage chosen = chosenLanguage();
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
    if (language == chosenLanguage())
        return;
    QSettings settings;
    settings.setValue(QLatin1String(Language::settingsKey), Language::code(language));
    settings.sync();
    if (settings.status() != QSettings::NoError) {
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
        if (m_document->writeFile().isEmpty())
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
bool MainWindow::warnRefused(Outcome outcome)
{
    const QString text = Messages::refusal(outcome);
    if (text.isEmpty())
        return false;
    QMessageBox::warning(this, tr("錯誤"), text);
    return true;
}

void MainWindow::on_cmd_open_clicked()
{
    if (!maybeSave())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("打開龍旗戰記自作武將數據"),
                                                      QString(), QStringLiteral("editdata.rqv"));
    if (path.isEmpty())
        return;
    if (!wasRead(m_document->open(path), path))
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
    ReadError error = ReadError::WrongSize;
    if (!modified) {
        error = m_document->reload();
    } else if (onDisk.size() == fileSize) {
        if (!answeredYes(this, tr("文件已修改"),
                         tr("「%1」已被其他程序修改。要重新載入嗎？未保存的修改將會遺失。")
                                 .arg(fileName())))
            return;
        // The unsaved changes are dropped only once they are kept, or when
        // the player says so.
        QString copy;
        const QString failure = m_document->backUpUnsaved(&copy);
        if (!failure.isEmpty()
            && !answeredYes(this, tr("文件已修改"),
                            tr("無法建立備份文件「%1」：%2。仍然重新載入嗎？")
                                    .arg(QDir::toNativeSeparators(copy), failure)))
            return;
        error = m_document->reload();
    }
    if (error == ReadError::None)
        showStatus(modified ? tr("「%1」已重新載入。").arg(fileName())
                            : tr("「%1」已被其他程序修改，已重新載入。").arg(fileName()));
    else
        showStatus(tr("「%1」已被其他程序修改，無法重新載入：%2")
                           .arg(fileName(), readErrorText(error, fileName())));
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
    const auto backupFailure = m_document->backUpBeforeWrite(othersVersion);
    // The .bak lies beside the file and is named alone; a dated copy is
    // named with its folder.
    if (backupFailure
        && !answeredYes(this, tr("保存"),
                        tr("無法建立備份文件「%1」：%2。仍然保存嗎？")
                                .arg(backupFailure->shownFile(m_document->filePath()),
                                     backupFailure->reason)))
        return false;
    QString reason;
    const QString failure = m_document->writeFile(&reason);
    if (!failure.isEmpty()) {
        // The reason, as the system gives it, below the program's own words.
        QMessageBox box(QMessageBox::Critical, tr("錯誤"), failure, QMessageBox::Ok, this);
        box.setInformativeText(reason);
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
    const Outcome outcome =
            m_document->generateSingle(typed.familyName, typed.givenName, typed.styleName,
                                       !ui->radio_genderM->isChecked(), formOptions(), &written);
    if (warnRefused(outcome) || outcome != Outcome::Changed)
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
    const Outcome outcome = m_document->generateBatch(request, formOptions(), *m_namePools);
    if (warnRefused(outcome))
        return;
    if (outcome == Outcome::Changed)
        showStatus(Messages::text(Text::Generated).arg(request.men + request.women));
    else
        refreshNameList(); // a batch refreshes the list even when it made nobody
}

void MainWindow::on_cmd_assignFather_clicked()
{
    // Fathers change no name: the list keeps its rows and the selection.
    m_keepListRows = true;
    const Outcome outcome = m_document->assignFathers();
    m_keepListRows = false;
    if (warnRefused(outcome))
        return;
    showStatus(Messages::text(outcome == Outcome::Changed ? Text::FathersLinked
                                                          : Text::FathersUnchanged));
}

void MainWindow::refreshNameList()
{
    if (m_keepListRows)
        return;
    const QList<QByteArray> &records = m_document->records();
    const QStringList rows = officerNameRows(records, big5Codec());
    auto *model = qobject_cast<QStringListModel *>(ui->nameListView->model());
    if (!model) {
        model = new QStringListModel(this);
        ui->nameListView->setModel(model);
        connect(ui->nameListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &MainWindow::updateOfficerActions);
        connect(ui->nameListView->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &MainWindow::updateOfficerActions);
    }
    // The officer that was current stays so, wherever his row now stands.
    const int current = listedSlot(ui->nameListView->currentIndex().row());
    m_listedSlots = occupiedSlots(records);
    model->setStringList(rows);
    const int row = m_listedSlots.indexOf(current);
    if (current >= 0 && row >= 0)
        ui->nameListView->selectionModel()->setCurrentIndex(model->index(row),
                                                            QItemSelectionModel::NoUpdate);
    updateOfficerActions();
}

// The slot of a row of the list as it was last filled, with the occupied
// slots in order; -1 for no row.
int MainWindow::listedSlot(int row) const
{
    return m_listedSlots.value(row, -1);
}

// The slots of the officers selected in the list, in ascending order.
QVector<int> MainWindow::selectedSlots() const
{
    QVector<int> selected;
    const QItemSelectionModel *selection = ui->nameListView->selectionModel();
    if (!selection)
        return selected;
    for (const QModelIndex &index : selection->selectedIndexes()) {
        const int slot = listedSlot(index.row());
        if (slot >= 0)
            selected.append(slot);
    }
    std::sort(selected.begin(), selected.end());
    return selected;
}

void MainWindow::updateOfficerActions()
{
    if (!m_editAction)
        return;
    const bool open = m_document->isOpen();
    m_editAction->setEnabled(open && listedSlot(ui->nameListView->currentIndex().row()) >= 0);
    m_removeAction->setEnabled(open && !selectedSlots().isEmpty());
    m_copyAction->setEnabled(open && !selectedSlots().isEmpty());
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
    if (!m_document->editOfficer(slot, dialog.record()))
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
    const QVector<int> selected = selectedSlots();
    if (!m_document->isOpen() || selected.isEmpty())
        return;
    if (!answeredYes(this, tr("刪除武將"), tr("刪除所選的 %1 名武將？").arg(selected.size())))
        return;
    if (m_document->removeOfficers(selected))
        showStatus(tr("已刪除%1名武將。").arg(selected.size()));
}

// Says why the data file at path could not be read; true when it was read.
bool MainWindow::wasRead(ReadError error, const QString &path)
{
    const QString text = readErrorText(error, path);
    switch (error) {
    case ReadError::None:
        return true;
    case ReadError::CannotOpen:
    case ReadError::WrongSize:
        QMessageBox::critical(this, tr("錯誤"), text);
        return false;
    case ReadError::HeldElsewhere:
        QMessageBox::warning(this, tr("錯誤"), text);
        return false;
    }
    return false;
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
        wasRead(m_document->restoreBackup(chosen), chosen.file);
}

void MainWindow::updateRestoreAction()
{
    if (m_restoreAction)
        m_restoreAction->setEnabled(!m_document->backups().isEmpty());
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
    QByteArray image;
    if (path.isEmpty() || !wasRead(readDataFile(path, image), path))
        return;
    const QList<QByteArray> source = splitRecords(image);
    const QList<QByteArray> &records = m_document->records();
    const int emptySlots = records.size() - occupiedSlots(records).size();
    ImportDialog dialog(source, emptySlots, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const auto copied = m_document->importOfficers(source, dialog.chosenSlots());
    if (copied && !copied->isEmpty())
        showStatus(Messages::text(Text::Imported).arg(copied->size()));
}

void MainWindow::showFamilyTree()
{
    if (!m_familyTree) {
        m_familyTree = new FamilyTreeWindow(m_document, this);
        connect(m_familyTree, &FamilyTreeWindow::officerActivated, this,
                [this](int slot) { showOfficer(slot, m_familyTree); });
    }
    m_familyTree->show();
    m_familyTree->raise();
    m_familyTree->activateWindow();
}

void MainWindow::showOfficerTable()
{
    if (!m_officerTable) {
        m_officerTable = new OfficerTableWindow(m_document, this);
        connect(m_officerTable, &OfficerTableWindow::officerActivated, this,
                [this](int slot) { showOfficer(slot, m_officerTable); });
        connect(m_officerTable, &OfficerTableWindow::statusMessage, this, &MainWindow::showStatus);

        QAbstractItemView *table = m_officerTable->officerView();
        auto *copyAction = new QAction(tr("複製武將"), table);
        copyAction->setShortcuts(QKeySequence::Copy);
        copyAction->setShortcutContext(Qt::WidgetShortcut);
        connect(copyAction, &QAction::triggered, this,
                [this] { copyOfficers(m_officerTable->selectedSlots()); });
        // A new file or a change empties the table's selection.
        const auto updateCopy = [this, copyAction] {
            copyAction->setEnabled(!m_officerTable->selectedSlots().isEmpty());
        };
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, copyAction,
                updateCopy);
        connect(table->model(), &QAbstractItemModel::modelReset, copyAction, updateCopy);
        updateCopy();
        table->addAction(copyAction);
        table->addAction(m_pasteAction);
        table->setContextMenuPolicy(Qt::ActionsContextMenu);
        takeDragAndDrop(table, [this] { return m_officerTable->selectedSlots(); });
    }
    m_officerTable->show();
    m_officerTable->raise();
    m_officerTable->activateWindow();
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
    m_checkDialog->show();
    m_checkDialog->raise();
    m_checkDialog->activateWindow();
}

void MainWindow::openNewWindow()
{
    auto *window = new MainWindow(m_namePools);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

// Closes every window, this one first and then the others in the order they
// were opened, each asking about its own unsaved changes; a window that stays
// open stops the quit, and those not yet asked stay open too.
void MainWindow::quitAll()
{
    QList<QPointer<MainWindow>> order{this};
    for (MainWindow *window : windows()) {
        if (window != this && window->isVisible())
            order.append(window);
    }
    for (const QPointer<MainWindow> &window : qAsConst(order)) {
        if (window && !window->close())
            return;
    }
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
    const auto pasted = m_document->pasteOfficers(officers);
    if (!pasted)
        warnRefused(Outcome::TooMany);
    else if (!pasted->isEmpty())
        showStatus(Messages::text(Text::Pasted).arg(pasted->size()));
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
