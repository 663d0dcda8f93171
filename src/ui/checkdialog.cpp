#include "checkdialog.h"

#include "officerdocument.h"
#include "recordsfollower.h"
#include "ui_checkdialog.h"

#include <QHeaderView>
#include <QShowEvent>
#include <QTextCodec>

#include <algorithm>

using namespace EditData;

namespace {

enum Column { IdColumn, NameColumn, LevelColumn, ProblemColumn, ReasonColumn, ColumnCount };

bool hasRepair(const QVector<FileProblem> &problems)
{
    return std::any_of(problems.cbegin(), problems.cend(),
                       [](const FileProblem &problem) { return problem.repairable; });
}

} // namespace

CheckDialog::CheckDialog(OfficerDocument *document, QWidget *parent)
    : QDialog(parent)
    , m_document(document)
    , ui(new Ui::CheckDialog)
{
    ui->setupUi(this);
    QTableWidget *table = ui->table_problems;
    // Rows as high as a line of text, so that many problems fit.
    table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(ui->chk_errorsOnly, &QCheckBox::toggled, this, &CheckDialog::showProblems);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CheckDialog::updateButtons);
    connect(table, &QTableWidget::activated, this, [this](const QModelIndex &index) {
        if (index.row() >= 0 && index.row() < m_shown.size())
            emit officerActivated(m_shown.at(index.row()).slot);
    });
    connect(ui->cmd_fixSelected, &QPushButton::clicked, this,
            [this] { repair(selectedProblems()); });
    connect(ui->cmd_fixAll, &QPushButton::clicked, this, [this] { repair(m_shown); });

    new RecordsFollower(document, this,
                        [this](const QList<QByteArray> &records, bool) { showRecords(records); });
    // The repairs made here are undone and redone here too.
    addUndoKeys(document, this);
    updateButtons();
}

CheckDialog::~CheckDialog() = default;

void CheckDialog::showEvent(QShowEvent *event)
{
    // Each time the dialog opens it shows every problem.
    if (!event->spontaneous())
        ui->chk_errorsOnly->setChecked(false);
    QDialog::showEvent(event);
}

void CheckDialog::showRecords(const QList<QByteArray> &records)
{
    m_problems = checkRecords(records, QTextCodec::codecForName("Big5"));
    showProblems();
}

void CheckDialog::showProblems()
{
    const bool errorsOnly = ui->chk_errorsOnly->isChecked();
    m_shown.clear();
    for (const FileProblem &problem : qAsConst(m_problems)) {
        if (!errorsOnly || problem.level == ProblemLevel::Error)
            m_shown.append(problem);
    }
    QTableWidget *table = ui->table_problems;
    table->clearSelection();
    table->setRowCount(m_shown.size());
    for (int row = 0; row < m_shown.size(); ++row) {
        const FileProblem &problem = m_shown.at(row);
        const QString texts[ColumnCount] = {QString::number(problem.id), problem.name,
                                            levelText(problem.level), problem.problem,
                                            problem.reason};
        for (int column = 0; column < ColumnCount; ++column) {
            auto *item = new QTableWidgetItem(texts[column]);
            if (column == NameColumn || column == ReasonColumn)
                item->setToolTip(texts[column]);
            table->setItem(row, column, item);
        }
    }
    // A name that runs on, as a damaged record's may, is cut short so that
    // the problem and its explanation stay in view.
    const int widest = fontMetrics().horizontalAdvance(QStringLiteral("國")) * 12;
    for (int column = 0; column < ReasonColumn; ++column) {
        table->resizeColumnToContents(column);
        table->setColumnWidth(column, qMin(table->columnWidth(column), widest));
    }
    updateButtons();
}

QVector<FileProblem> CheckDialog::selectedProblems() const
{
    QVector<FileProblem> selected;
    for (const QModelIndex &index : ui->table_problems->selectionModel()->selectedRows()) {
        if (index.row() < m_shown.size())
            selected.append(m_shown.at(index.row()));
    }
    return selected;
}

void CheckDialog::updateButtons()
{
    ui->cmd_fixSelected->setEnabled(hasRepair(selectedProblems()));
    ui->cmd_fixAll->setEnabled(hasRepair(m_shown));
}

// Mends the problems that have a repair as one step; the document's change
// brings the list up to date.
void CheckDialog::repair(const QVector<FileProblem> &problems)
{
    const OfficerDocument::Result repaired = m_document->repairProblems(problems);
    if (repaired.count > 0)
        emit statusMessage(tr("已修正%1個問題。").arg(repaired.count));
}
