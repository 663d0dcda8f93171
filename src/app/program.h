#ifndef PROGRAM_H
#define PROGRAM_H

#include "namepools.h"
#include "windowhost.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

// What the main windows of one running program share: the name pools, the
// interface language chosen for the next start, and the windows, in the
// order they were opened. Windows are made here and handed what they need.
class Program : public QObject, public WindowHost
{
public:
    Program();

    // Reads the name pools of folder for the windows from now on; the next
    // window made says what could not be read.
    void loadNamePools(const QString &folder);

    // A main window with no file open, not yet shown. The first window made
    // after the pools were loaded warns about what is missing: the Big5
    // codec, a pool file.
    MainWindow *newWindow();
    // The main windows that exist, in the order they were made.
    QList<MainWindow *> windows() const { return m_windows; }
    // Deletes the windows that still exist, as the program ends.
    void deleteWindows();

    const Names::NamePools &namePools() const override { return *m_namePools; }
    InterfaceLanguage nextLanguage() const override;
    bool keepNextLanguage(InterfaceLanguage language) override;
    void openNewWindow() override;
    void quitAll(MainWindow *first) override;

private:
    // Shared with the windows' commands, which may outlive a reload of the
    // pools.
    std::shared_ptr<const Names::NamePools> m_namePools;
    QList<MainWindow *> m_windows;
    // The pool file that could not be read (Names::loadNamePools), until a
    // window says so; -1 for none.
    int m_poolFailure = -1;
    bool m_warned = true;
};

#endif // PROGRAM_H
