#ifndef FAMILYTREEWINDOW_H
#define FAMILYTREEWINDOW_H

#include <QByteArray>
#include <QList>
#include <QWidget>

#include <memory>

class OfficerDocument;
class QModelIndex;
class FamilyTreeModel;

namespace Ui {
class FamilyTreeWindow;
}

// A window of its own showing the officers of a file as a family tree:
// family names at the top, heads beneath, sons beneath their fathers (see
// FamilyTreeModel). While hidden it does not follow the document; it catches
// up when it is shown again.
class FamilyTreeWindow : public QWidget
{
    Q_OBJECT
public:
    // The window follows the records of document; without one it shows
    // what showRecords is given.
    explicit FamilyTreeWindow(const OfficerDocument *document = nullptr, QWidget *parent = nullptr);
    ~FamilyTreeWindow() override;

    // Shows the tree of the 150 records, expanded whole. The rows selected
    // stay selected wherever they now stand, unless anotherFile (the records
    // are another file's).
    void showRecords(const QList<QByteArray> &records, bool anotherFile = false);

signals:
    // An officer's row was double-clicked or Enter pressed on it.
    void officerActivated(int slot);

private:
    void activate(const QModelIndex &index);

    std::unique_ptr<Ui::FamilyTreeWindow> ui;
    FamilyTreeModel *m_model;
};

#endif // FAMILYTREEWINDOW_H
