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
class QSortFilterProxyModel;

namespace Ui {
class OfficerTableWindow;
}

// A window of its own showing every officer of a file as a row of a table
// that sorts by any column, filters by name and exports to CSV.
class OfficerTableWindow : public QWidget
{
    Q_OBJECT
public:
    // The window follows the records of document; without one it shows
    // what showRecords is given.
    explicit OfficerTableWindow(const OfficerDocument *document = nullptr,
                                QWidget *parent = nullptr);
    ~OfficerTableWindow() override;

    // Shows the occupied slots of the 150 records; the chosen sort order
    // and filter stay.
    void showRecords(const QList<QByteArray> &records);

    // The slots of the selected rows, ascending.
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

    std::unique_ptr<Ui::OfficerTableWindow> ui;
    OfficerTableModel *m_model;
    QSortFilterProxyModel *m_proxy;
    QString m_lastExport;
};

#endif // OFFICERTABLEWINDOW_H
