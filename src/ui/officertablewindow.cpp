#include "officertablewindow.h"

#include "editdata.h"
#include "officertable.h"
#include "recordsfollower.h"
#include "ui_officertablewindow.h"

#include <QAbstractTableModel>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QTextCodec>
#include <QVector>

#include <algorithm>

using namespace EditData;

// One row per occupied slot, in slot order; numbers are kept as numbers so
// that they sort by value.
class OfficerTableModel : public QAbstractTableModel
{
public:
    explicit OfficerTableModel(QObject *parent)
        : QAbstractTableModel(parent)
        , m_header(officerTableHeader())
    { }

    void setRecords(const QList<QByteArray> &records)
    {
        QTextCodec *big5 = QTextCodec::codecForName("Big5");
        beginResetModel();
        m_slots = occupiedSlots(records);
        m_rows.clear();
        for (int slot : qAsConst(m_slots))
            m_rows.append(officerTableRow(records, slot, big5));
        endResetModel();
    }

    int slotAt(int row) const { return m_slots.at(row); }
    const QVariantList &rowAt(int row) const { return m_rows.at(row); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_rows.size();
    }

    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_header.size();
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        const QVariant &value = m_rows.at(index.row()).at(index.column());
        if (role == Qt::DisplayRole)
            return value;
        if (role == Qt::TextAlignmentRole && value.userType() == QMetaType::Int)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
            && section < m_header.size())
            return m_header.at(section);
        // The first click on a column sorts it ascending.
        if (role == Qt::InitialSortOrderRole)
            return int(Qt::AscendingOrder);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    QStringList m_header;
    QVector<int> m_slots;
    QList<QVariantList> m_rows;
};

namespace {

// Writes straight through to the file, on after a short write, so that a
// failure shows its cause and commit() refuses the file.
bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return false;
        written += count;
    }
    return true;
}

} // namespace

OfficerTableWindow::OfficerTableWindow(const OfficerDocument *document, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ui(new Ui::OfficerTableWindow)
    , m_model(new OfficerTableModel(this))
    , m_proxy(new QSortFilterProxyModel(this))
{
    ui->setupUi(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterKeyColumn(officerTableNameColumn);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    ui->table_officers->setModel(m_proxy);
    // Rows as high as a line of text, so that many officers fit.
    ui->table_officers->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Slot order until a header is clicked; the first click sorts
    // ascending, the next descending.
    ui->table_officers->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ui->table_officers->setSortingEnabled(true);

    connect(ui->edit_filter, &QLineEdit::textChanged, m_proxy,
            &QSortFilterProxyModel::setFilterFixedString);
    connect(ui->table_officers, &QTableView::activated, this, &OfficerTableWindow::activate);
    connect(ui->cmd_export, &QPushButton::clicked, this, &OfficerTableWindow::exportCsv);
    if (document)
        new RecordsFollower(document, this,
                            [this](const QList<QByteArray> &records) { showRecords(records); });
}

OfficerTableWindow::~OfficerTableWindow() = default;

void OfficerTableWindow::showRecords(const QList<QByteArray> &records)
{
    const bool first = m_model->rowCount() == 0;
    m_model->setRecords(records);
    // The numbers are sized once; the names grow with the longest, and the
    // fathers take the rest of the width.
    if (first)
        ui->table_officers->resizeColumnsToContents();
    ui->table_officers->resizeColumnToContents(officerTableNameColumn);
}

QVector<int> OfficerTableWindow::selectedSlots() const
{
    QVector<int> selected;
    for (const QModelIndex &index : ui->table_officers->selectionModel()->selectedRows())
        selected.append(m_model->slotAt(m_proxy->mapToSource(index).row()));
    std::sort(selected.begin(), selected.end());
    return selected;
}

QAbstractItemView *OfficerTableWindow::officerView() const
{
    return ui->table_officers;
}

void OfficerTableWindow::activate(const QModelIndex &index)
{
    const QModelIndex source = m_proxy->mapToSource(index);
    if (source.isValid())
        emit officerActivated(m_model->slotAt(source.row()));
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
        rows.append(m_model->rowAt(m_proxy->mapToSource(m_proxy->index(row, 0)).row()));
    const QByteArray csv = officerTableCsv(rows);

    // The file is replaced whole, or an older one stays as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !writeAll(file, csv)
        || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        QMessageBox::critical(this, tr("錯誤"),
                              tr("無法寫入「%1」：%2").arg(QDir::toNativeSeparators(path), reason));
        return;
    }
    m_lastExport = path;
    emit statusMessage(tr("已匯出%1名武將。").arg(rows.size()));
}
