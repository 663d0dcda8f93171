#ifndef RECORDSFOLLOWER_H
#define RECORDSFOLLOWER_H

#include <QByteArray>
#include <QList>
#include <QObject>

#include <functional>

class OfficerDocument;
class QWidget;

// Keeps a view in step with the records of a document: the view is shown
// the records at once while it is visible, and when it is next shown
// otherwise, so that hidden windows cost nothing.
class RecordsFollower : public QObject
{
public:
    using Show = std::function<void(const QList<QByteArray> &records)>;

    // The follower is a child of view.
    RecordsFollower(const OfficerDocument *document, QWidget *view, Show show);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void recordsChanged();

    const OfficerDocument *m_document;
    QWidget *m_view;
    Show m_show;
    bool m_stale = true;
};

// Lets the keys of undo and redo take back and redo the document's steps
// while window, a window of its own, is active, as they do in the main
// window.
void addUndoKeys(const OfficerDocument *document, QWidget *window);

#endif // RECORDSFOLLOWER_H
