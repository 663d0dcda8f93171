#ifndef OFFICERTABLEWINDOW_H
#define OFFICERTABLEWINDOW_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

class OfficerTableModel;
class OfficerDocument;
class QAbstractItemView;
class QModelIndex;
class QPoint;
class QSortFilterProxyModel;

namespace Ui {
class OfficerTableWindow;
}

// A window of its own showing every officer of a file as a row of a table
// that sorts by any column, filters by name, exports to CSV, takes back a
// CSV file that a spreadsheet changed and changes the selected officers at
// once. The columns shown are kept in the settings for the next start.
class OfficerTableWindow : public QWidget
{
    Q_OBJECT
public:
    // The window follows the records of document; without one it shows
    // what showRecords is given.
    explicit OfficerTableWindow(OfficerDocument *document = nullptr, QWidget *parent = nullptr);
    ~OfficerTableWindow() override;

    // Shows the occupied slots of the 150 records; the chosen sort order
    // and filter stay.
    void showRecords(const QList<QByteArray> &records);
    // The slots of the officers of the selected rows, in ascending order.
    QVector<int> selectedSlots() const;
    // The table itself, for the commands that act on its rows.
    QAbstractItemView *officerView() const;

signals:
    // An officer's row was double-clicked or Enter pressed on it.
    void officerActivated(int slot);
    // What the last command of the window did, for the status bar.
    void statusMessage(const QString &text);

private:
    void activate(const QModelIndex &index);
    void exportCsv();
    void updateFromCsv();
    void batchEdit();
    void updateButtons();
    void selectSlots(const QVector<int> &selected);
    void showColumnMenu(const QPoint &pos);
    void showColumn(int column, bool shown);

    OfficerDocument *m_document;
    std::unique_ptr<Ui::OfficerTableWindow> ui;
    OfficerTableModel *m_model;
    QSortFilterProxyModel *m_proxy;
    QString m_lastExport;
    QString m_lastImport;
};

#endif // OFFICERTABLEWINDOW_H
