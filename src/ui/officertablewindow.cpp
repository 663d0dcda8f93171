#include "officertablewindow.h"

#include "batchedit.h"
#include "batcheditdialog.h"
#include "csvupdate.h"
#include "csvupdatedialog.h"
#include "editdata.h"
#include "inputfile.h"
#include "messages.h"
#include "officerdocument.h"
#include "officermodel.h"
#include "officertable.h"
#include "officerviews.h"
#include "recordsfollower.h"
#include "simplifiedconverter.h"
#include "ui_officertablewindow.h"
#include "wholefile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTextCodec>
#include <QVector>

using namespace EditData;
using Messages::Text;

namespace {

// Where the header texts of the hidden columns are kept between starts.
constexpr char hiddenColumnsKey[] = "officerTable/hiddenColumns";

} // namespace

OfficerTableWindow::OfficerTableWindow(OfficerDocument *document, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_document(document)
    , ui(new Ui::OfficerTableWindow)
    , m_model(document->officerModel())
    , m_proxy(new OfficerProxy(m_model, OfficerProxy::AllColumns, this))
{
    ui->setupUi(this);
    m_proxy->setFilterKeyColumn(officerTableNameColumn);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    ui->table_officers->setModel(m_proxy);
    keepRowsInView(ui->table_officers);
    // Rows as high as a line of text, so that many officers fit.
    ui->table_officers->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Slot order until a header is clicked; the first click sorts
    // ascending, the next descending.
    ui->table_officers->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ui->table_officers->setSortingEnabled(true);

    // The columns as the player last chose them; the names and skill levels
    // start hidden. They are kept by their names in traditional Chinese,
    // whichever the interface's language.
    const QStringList header = officerTableSourceHeader();
    const QSettings settings;
    const QString key = QLatin1String(hiddenColumnsKey);
    const QStringList hidden = settings.contains(key) ? settings.value(key).toStringList()
                                                      : header.mid(TableColumn::FirstHidden);
    for (int column = TableColumn::Id + 1; column < TableColumn::Count; ++column)
        ui->table_officers->setColumnHidden(column, hidden.contains(header.at(column)));
    QHeaderView *columns = ui->table_officers->horizontalHeader();
    columns->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(columns, &QHeaderView::customContextMenuRequested, this,
            &OfficerTableWindow::showColumnMenu);

    connect(ui->edit_filter, &QLineEdit::textChanged, m_proxy,
            &QSortFilterProxyModel::setFilterFixedString);
    connect(ui->edit_filter, &QLineEdit::textChanged, this, &OfficerTableWindow::updateButtons);
    connect(ui->table_officers->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &OfficerTableWindow::updateButtons);
    // Another file's officers leave no selection behind.
    connect(m_proxy, &QAbstractItemModel::modelReset, this, &OfficerTableWindow::updateButtons);
    connect(ui->table_officers, &QTableView::activated, this, &OfficerTableWindow::activate);
    connect(ui->cmd_export, &QPushButton::clicked, this, &OfficerTableWindow::exportCsv);
    connect(ui->cmd_importCsv, &QPushButton::clicked, this, &OfficerTableWindow::updateFromCsv);
    connect(ui->cmd_batchEdit, &QPushButton::clicked, this, &OfficerTableWindow::batchEdit);
    // The columns fit the officers shown, also those that came while the
    // window was hidden.
    new RecordsFollower(document, this,
                        [this](const QList<QByteArray> &records, bool) { fitColumns(records); });
    // The steps made here are undone and redone here too.
    addUndoKeys(document, this);
    updateButtons();
}

OfficerTableWindow::~OfficerTableWindow() = default;

// The numbers are sized once there are officers; the names grow with the
// longest, and the fathers take the rest of the width.
void OfficerTableWindow::fitColumns(const QList<QByteArray> &records)
{
    if (!m_sized)
        ui->table_officers->resizeColumnsToContents();
    ui->table_officers->resizeColumnToContents(officerTableNameColumn);
    m_sized = !occupiedSlots(records).isEmpty();
}

QVector<int> OfficerTableWindow::selectedSlots() const
{
    return selectedOfficerSlots(ui->table_officers);
}

void OfficerTableWindow::updateButtons()
{
    const bool open = m_document->isOpen();
    ui->cmd_importCsv->setEnabled(open);
    ui->cmd_batchEdit->setEnabled(open && ui->table_officers->selectionModel()->hasSelection());
}

// Every column but 編號 as an entry that shows or hides it.
void OfficerTableWindow::showColumnMenu(const QPoint &pos)
{
    const QStringList header = officerTableHeader();
    QMenu menu(this);
    for (int column = TableColumn::Id + 1; column < TableColumn::Count; ++column) {
        QAction *action = menu.addAction(header.at(column));
        action->setCheckable(true);
        action->setChecked(!ui->table_officers->isColumnHidden(column));
        connect(action, &QAction::toggled, this,
                [this, column](bool shown) { showColumn(column, shown); });
    }
    menu.exec(ui->table_officers->horizontalHeader()->viewport()->mapToGlobal(pos));
}

void OfficerTableWindow::showColumn(int column, bool shown)
{
    ui->table_officers->setColumnHidden(column, !shown);
    if (shown)
        ui->table_officers->resizeColumnToContents(column);
    // The fathers take the rest of the width only while they come last.
    ui->table_officers->resizeColumnToContents(TableColumn::Father);
    const QStringList header = officerTableSourceHeader();
    QStringList hidden;
    for (int c = TableColumn::Id + 1; c < TableColumn::Count; ++c) {
        if (ui->table_officers->isColumnHidden(c))
            hidden.append(header.at(c));
    }
    QSettings().setValue(QLatin1String(hiddenColumnsKey), hidden);
}

QAbstractItemView *OfficerTableWindow::officerView() const
{
    return ui->table_officers;
}

void OfficerTableWindow::activate(const QModelIndex &index)
{
    const QVariant slot = index.data(OfficerModel::SlotRole);
    if (slot.isValid())
        emit officerActivated(slot.toInt());
}

void OfficerTableWindow::exportCsv()
{
    QString path =
            QFileDialog::getSaveFileName(this, tr("匯出CSV"), m_lastExport, tr("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        path += QLatin1String(".csv");
        // The file dialog asked about replacing the name as typed, not this
        // one.
        if (QFileInfo::exists(path)
            && QMessageBox::question(
                       this, tr("匯出CSV"),
                       tr("「%1」已存在，要取代它嗎？").arg(QDir::toNativeSeparators(path)),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                       != QMessageBox::Yes)
            return;
    }

    // The rows as the table shows them, sorted and filtered.
    QList<QVariantList> rows;
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        rows.append(m_model->tableRow(m_proxy->index(row, 0).data(OfficerModel::SlotRole).toInt()));
    const QByteArray csv = officerTableCsv(rows);

    // The file is replaced whole, or an older one stays as it was.
    const QString reason = SafeKeeping::writeWhole(path, csv);
    if (!reason.isEmpty()) {
        QMessageBox::critical(
                this, tr("錯誤"),
                Messages::text(Text::CannotWrite).arg(QDir::toNativeSeparators(path), reason));
        return;
    }
    m_lastExport = path;
    emit statusMessage(Messages::text(Text::CsvExported).arg(rows.size()));
}

// Reads a CSV file, shows what it would change and every error in it, and
// on OK writes the changes as one step.
void OfficerTableWindow::updateFromCsv()
{
    if (!m_document->isOpen())
        return;
    const QString path = QFileDialog::getOpenFileName(
            this, tr("選擇CSV文件"), m_lastImport.isEmpty() ? m_lastExport : m_lastImport,
            tr("CSV (*.csv *.txt)"));
    if (path.isEmpty())
        return;
    QByteArray csv;
    const QString failure = readInputFile(path, csv);
    if (!failure.isEmpty()) {
        QMessageBox::critical(
                this, tr("錯誤"),
                Messages::text(Text::CannotRead).arg(QDir::toNativeSeparators(path), failure));
        return;
    }
    m_lastImport = path;

    const CsvUpdatePlan plan =
            planCsvUpdate(m_document->records(), csv, QTextCodec::codecForName("Big5"),
                          SimplifiedConverter::program().function());
    if (plan.missingIdColumn) {
        QMessageBox::warning(this, tr("錯誤"), Messages::text(Text::CsvMissingId));
        return;
    }
    if (plan.changes.isEmpty() && plan.errors.isEmpty()) {
        QString text = Messages::text(Text::CsvUnchanged);
        if (plan.computedColumnsDiffer)
            text += QLatin1Char('\n') + computedColumnsNote();
        QMessageBox::information(this, tr("從CSV更新"), text);
        return;
    }
    CsvUpdateDialog dialog(plan, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int changed = m_document->updateFromCsv(plan).count;
    if (changed > 0)
        emit statusMessage(Messages::text(Text::CsvUpdated).arg(changed));
}

// Changes the officers of the selected rows as the player chooses, in one
// step.
void OfficerTableWindow::batchEdit()
{
    const QVector<int> selected = selectedSlots();
    if (!m_document->isOpen() || selected.isEmpty())
        return;
    BatchEditDialog dialog(selected.size(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int changed = m_document->batchEdit(selected, dialog.edit()).count;
    emit statusMessage(changed > 0 ? tr("已批量修改%1名武將。").arg(changed)
                                   : tr("沒有武將被修改。"));
}
