#include "mainwindow.h"
#include "testsupport.h"
#include <QTest>
#include <QTemporaryDir>
#include <QFileDialog>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <sys/stat.h>
#include <unistd.h>
#include <fcntl.h>
#include <thread>
#include <atomic>

class T : public QObject { Q_OBJECT
private slots:
    void exp()
    {
        QTemporaryDir dir;
        copyBundledPools(dir.path());
        QDir::setCurrent(dir.path());
        QString good = dir.path() + "/good.rqv";
        writeFile(good, blankImage());
        QDir(dir.path()).mkdir("editdata.rqv");
        QString fifo = dir.path() + "/fifo.rqv";
        mkfifo(qPrintable(fifo), 0644);
        symlink("/nonexistent/x", qPrintable(dir.path() + "/dangling.rqv"));
        MainWindow w; w.show();
        QString answer; bool force = false;
        QTimer t; t.start(5);
        connect(&t, &QTimer::timeout, [&]{
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                qWarning() << "box" << box->parentWidget()->metaObject()->className() << box->windowTitle() << box->text();
                box->button(QMessageBox::Ok)->click();
            } else if (auto *d = qobject_cast<QFileDialog *>(modal)) {
                qWarning() << "dialog, answer" << answer << force;
                if (answer.isEmpty()) { d->reject(); return; }
                d->selectFile(answer); answer.clear();
                if (force) d->done(QDialog::Accepted); else d->accept();
            }
        });
        std::atomic<bool> done{false};
        std::thread guard([&]{
            for (int i = 0; i < 60 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            while (!done) { int fd = ::open(qPrintable(fifo), O_WRONLY | O_NONBLOCK); if (fd >= 0) { qWarning("guard opened writer"); ::close(fd);} std::this_thread::sleep_for(std::chrono::milliseconds(50)); }
        });
        answer = good; click(w, "cmd_open");
        for (bool f : {false, true})
        for (QString p : {dir.path() + "/editdata.rqv", dir.path() + "/missing.rqv", dir.path() + "/dangling.rqv", fifo}) {
            answer = p; force = f;
            qWarning() << "try" << p << f;
            click(w, "cmd_open");
        }
        done = true; guard.join();
    }
};
QTEST_MAIN(T)
#include "tst_robustness.moc"
