#ifndef RECORDSFOLLOWER_H
#define RECORDSFOLLOWER_H

#include <QByteArray>
#include <QList>
#include <QObject>

#include <functional>

class OfficerDocument;
class QWidget;

namespace EditData {
struct RecordsChange;
}

// Keeps a view that is made anew from the records (the family tree, the
// file check) in step with a document: at each change of the records the
// view is shown them at once while it is visible, and when it is next shown
// otherwise, so that hidden windows cost nothing.
class RecordsFollower : public QObject
{
public:
    // anotherFile: another file was opened since the view was last shown
    // the records.
    using Show = std::function<void(const QList<QByteArray> &records, bool anotherFile)>;

    // The follower is a child of view.
    RecordsFollower(const OfficerDocument *document, QWidget *view, Show show);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void recordsChanged(const EditData::RecordsChange &change);
    void showRecords();

    const OfficerDocument *m_document;
    QWidget *m_view;
    Show m_show;
    bool m_stale = true;
    bool m_anotherFile = false;
};

// Lets the keys of undo and redo take back and redo the document's steps
// while window, a window of its own, is active, as they do in the main
// window.
void addUndoKeys(const OfficerDocument *document, QWidget *window);

#endif // RECORDSFOLLOWER_H
