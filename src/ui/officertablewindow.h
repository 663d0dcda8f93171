#ifndef OFFICERTABLEWINDOW_H
#define OFFICERTABLEWINDOW_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

class OfficerDocument;
class OfficerModel;
class OfficerProxy;
class QAbstractItemView;
class QModelIndex;
class QPoint;

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
    // The window shows the officers of document's OfficerModel, and follows
    // them: the selection, the sort order and the filter stay as they
    // change.
    explicit OfficerTableWindow(OfficerDocument *document, QWidget *parent = nullptr);
    ~OfficerTableWindow() override;

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
    void fitColumns(const QList<QByteArray> &records);
    void showColumnMenu(const QPoint &pos);
    void showColumn(int column, bool shown);

    OfficerDocument *m_document;
    std::unique_ptr<Ui::OfficerTableWindow> ui;
    OfficerModel *m_model;
    OfficerProxy *m_proxy;
    // The columns have been sized to officers.
    bool m_sized = false;
    QString m_lastExport;
    QString m_lastImport;
};

#endif // OFFICERTABLEWINDOW_H
