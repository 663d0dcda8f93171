// Measures the program: name-pool loading, batch generation, father
// assignment, the recovery copy's cost to a step, opening and saving,
// start-up, and the command line's listing of a full file. Prints one line
// per figure,
// "name: value unit", each the median of repeated runs.

#include "big5.h"
#include "editdata.h"
#include "mainwindow.h"
#include "namepools.h"
#include "officerdocument.h"
#include "program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs the measured step `runs` times, each after an untimed preparation,
// and gives the median in milliseconds.
double medianMs(int runs, const std::function<void()> &prepare,
                const std::function<void()> &measured)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        measured();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

void report(const char *name, double value, const char *unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A pool file of `lines` distinct names with readings, like the bundled ones.
QByteArray poolFile(int lines)
{
    QByteArray bytes;
    for (int i = 0; i < lines; ++i) {
        const QString name = QString(QChar(0x4E00 + i % 1000)) + QChar(0x4E00 + (i / 1000) % 1000)
                             + QChar(0x5B50 + i % 7);
        const QString reading = QString(QChar(0x3042 + i % 80)) + QChar(0x3042 + (i / 80) % 80);
        bytes += (name + QLatin1Char(',') + reading).toUtf8() + "\r\n";
    }
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the window does per pool file at start-up.
QStringList loadPool(const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return QStringList();
    return Names::parseNamePool(in.readAll());
}

// Reading the file and decoding each line, nothing else.
qsizetype decodeLines(const QString &path)
{
    const QByteArray bytes = readAll(path);
    const char *data = bytes.constData();
    const int size = bytes.size();
    qsizetype decoded = 0;
    int start = 0;
    while (start < size) {
        const void *newline = std::memchr(data + start, '\n', size - start);
        const int end = newline ? static_cast<const char *>(newline) - data + 1 : size;
        decoded += QString::fromUtf8(data + start, end - start).size();
        start = end;
    }
    return decoded;
}

// Answers the window's dialogs as soon as they are shown: the file dialog
// with the planned path, every message box with OK, and the question about
// unsaved changes with Discard.
class DialogAnswerer : public QObject
{
public:
    QString path;
    QStringList messages;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        if (auto *dialog = qobject_cast<QFileDialog *>(object)) {
            QPointer<QFileDialog> guard(dialog);
            QMetaObject::invokeMethod(
                    this,
                    [this, guard] {
                        if (!guard)
                            return;
                        guard->selectFile(path);
                        static_cast<QDialog *>(guard.data())->accept();
                    },
                    Qt::QueuedConnection);
        } else if (auto *box = qobject_cast<QMessageBox *>(object)) {
            if (box->button(QMessageBox::Ok))
                messages.append(box->text());
            QPointer<QMessageBox> guard(box);
            QMetaObject::invokeMethod(
                    this,
                    [guard] {
                        if (!guard)
                            return;
                        // Unsaved officers are dropped when the next file
                        // is opened.
                        QAbstractButton *answer = guard->button(QMessageBox::Ok);
                        if (!answer)
                            answer = guard->button(QMessageBox::Discard);
                        answer->click();
                    },
                    Qt::QueuedConnection);
        }
        return false;
    }
};

void click(MainWindow &window, const char *name)
{
    window.findChild<QPushButton *>(QLatin1String(name))->click();
}

void setText(MainWindow &window, const char *name, const QString &text)
{
    window.findChild<QLineEdit *>(QLatin1String(name))->setText(text);
}

void setChecked(MainWindow &window, const char *name, bool checked)
{
    window.findChild<QAbstractButton *>(QLatin1String(name))->setChecked(checked);
}

// A full file: 150 officers in 10 families, born over 60 years.
QByteArray fullImage(const QStringList &familyNames)
{
    using namespace EditData;
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    QByteArray image(fileSize, '\0');
    QList<QByteArray> records = splitRecords(image);
    for (int slot = 0; slot < recordCount; ++slot) {
        QByteArray &record = records[slot];
        const QByteArray family = Names::fitName(familyNames.at(slot % 10), big5, 4);
        const QByteArray given = Names::fitName(QString(QChar(0x4E00 + slot)), big5, 29);
        record.replace(familyName, family.size(), family);
        record.replace(givenName, given.size(), given);
        writeU16(record, birthYear, quint16(150 + (slot * 7) % 60));
        writeU16(record, portrait, quint16(1 + slot));
        writeU16(record, fatherId, noFather);
        writeU16(record, fatherId2, noFather);
    }
    writeRecordsToImage(records, image);
    return image;
}

// The file work of opening and saving, as the window's open and save
// commands do it, without their dialogs: read and check the file, split the
// records, build the portrait pools, list the names, write the records back
// and replace the file.
bool openAndSaveFile(const QString &path)
{
    using namespace EditData;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != fileSize)
        return false;
    QByteArray image = file.read(fileSize + 1);
    file.close();
    if (image.size() != fileSize)
        return false;
    QList<QByteArray> records = splitRecords(image);
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    markUsedPortraits(records, male, female);
    if (officerNameRows(records, QTextCodec::codecForName("Big5")).size() != recordCount)
        return false;

    writeRecordsToImage(records, image);
    QSaveFile out(path);
    out.setDirectWriteFallback(true);
    return out.open(QIODevice::WriteOnly) && out.write(image) == image.size() && out.commit();
}

// Starts the program and waits for it to end; returns the milliseconds taken
// and the peak memory it printed, or a negative time on failure.
double timedStart(const QString &program, const QString &workingDir, long *peakKb,
                  const QStringList &arguments = QStringList())
{
    QProcess process;
    process.setWorkingDirectory(workingDir);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return -1;
    const double ms = timer.nsecsElapsed() / 1e6;
    const QByteArray out = process.readAllStandardOutput();
    const int at = out.indexOf("peak_kb: ");
    if (peakKb)
        *peakKb = at < 0 ? -1 : out.mid(at + 9).trimmed().toLong();
    return ms;
}

void ignoreOffscreenNotes(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // Notes of the offscreen platform that say nothing about the program.
    if (message.contains(QLatin1String("propagateSizeHints"))
        || message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(ignoreOffscreenNotes);
    QApplication app(argc, argv);

    QString dataDir = QString::fromLocal8Bit(qgetenv("OFFICER_DATA_DIR"));
    if (dataDir.isEmpty())
        dataDir = QStringLiteral(OFFICER_BUNDLED_DATA);
    QTemporaryDir work;
    if (!work.isValid() || !QFile::exists(dataDir + QStringLiteral("/familyName.dat"))) {
        std::fprintf(stderr, "officer-bench: no working folder or no name pools in %s\n",
                     qPrintable(dataDir));
        return 1;
    }

    // Name pools.
    const QString pool10k = work.filePath(QStringLiteral("pool10k.dat"));
    const QString pool100k = work.filePath(QStringLiteral("pool100k.dat"));
    if (!writeFile(pool10k, poolFile(10000)) || !writeFile(pool100k, poolFile(100000)))
        return 1;
    if (loadPool(pool10k).size() != 10000 || loadPool(pool100k).size() != 100000) {
        std::fprintf(stderr, "officer-bench: the pools did not load whole\n");
        return 1;
    }
    report("pool_load_10k_ms", medianMs(21, nullptr, [&] { loadPool(pool10k); }), "ms");
    report("pool_load_100k_ms", medianMs(21, nullptr, [&] { loadPool(pool100k); }), "ms");
    report("pool_floor_100k_ms", medianMs(21, nullptr, [&] { decodeLines(pool100k); }), "ms");

    // The window, started in a folder with the bundled pools.
    DialogAnswerer answerer;
    app.installEventFilter(&answerer);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dataDir);
    Program program;
    program.loadNamePools(Names::programPoolFolder());
    std::unique_ptr<MainWindow> owned(program.newWindow());
    MainWindow &window = *owned;
    QDir::setCurrent(previous);
    // What the program keeps outside the data files stays in the work folder.
    window.document()->setRecoveryFolder(work.filePath(QStringLiteral("recovery")));
    window.document()->setBackupsFolder(work.filePath(QStringLiteral("backups")));
    window.show();
    QCoreApplication::processEvents();

    const QString blank = work.filePath(QStringLiteral("blank/editdata.rqv"));
    QDir(work.path()).mkdir(QStringLiteral("blank"));
    const QByteArray blankBytes(EditData::fileSize, '\0');
    auto openFile = [&](const QString &path) {
        answerer.path = path;
        click(window, "cmd_open");
    };

    // Batch generation filling every slot of a blank file.
    setText(window, "num_jiazu", QStringLiteral("10"));
    setChecked(window, "chk_family", true);
    setText(window, "num_male", QStringLiteral("100"));
    setText(window, "num_female", QStringLiteral("50"));
    answerer.messages.clear();
    const double batch = medianMs(
            31,
            [&] {
                writeFile(blank, blankBytes);
                openFile(blank);
            },
            [&] { click(window, "cmd_generateAll"); });
    const QAbstractItemModel *listed =
            window.findChild<QListView *>(QStringLiteral("nameListView"))->model();
    if (!answerer.messages.isEmpty() || !listed || listed->rowCount() != EditData::recordCount) {
        std::fprintf(stderr, "officer-bench: the batch did not fill the file\n");
        return 1;
    }
    report("batch_full_ms", batch, "ms");

    // Father assignment on a full file.
    const QStringList families = [&] {
        QFile in(dataDir + QStringLiteral("/familyName.dat"));
        in.open(QIODevice::ReadOnly);
        return Names::parseNamePool(in.readAll()).mid(0, 10);
    }();
    const QString full = work.filePath(QStringLiteral("full/editdata.rqv"));
    QDir(work.path()).mkdir(QStringLiteral("full"));
    writeFile(full, fullImage(families));
    openFile(full);
    const double father = medianMs(31, nullptr, [&] { click(window, "cmd_assignFather"); });
    click(window, "cmd_save");
    const QList<QByteArray> linked = EditData::splitRecords(readAll(full));
    if (std::none_of(linked.cbegin(), linked.cend(), [](const QByteArray &record) {
            return EditData::readU16(record, EditData::fatherId) != EditData::noFather;
        })) {
        std::fprintf(stderr, "officer-bench: no father was assigned\n");
        return 1;
    }
    report("father_full_ms", father, "ms");

    // One hundred father assignments on a full file, each undone and redone,
    // in a document that keeps the recovery copy and in one that does not,
    // taken in turn, each first every other run. Every one of these steps
    // notes that the copy is due; it is written at most every half second,
    // on a thread of its own.
    {
        std::unique_ptr<OfficerDocument> documents[2];
        for (int withCopy = 0; withCopy < 2; ++withCopy) {
            // Files of their own: the window holds the other.
            const QString folder = QStringLiteral("steps%1").arg(withCopy);
            QDir(work.path()).mkdir(folder);
            writeFile(work.filePath(folder + QStringLiteral("/editdata.rqv")), fullImage(families));
            documents[withCopy].reset(new OfficerDocument);
            documents[withCopy]->setBackupsFolder(work.filePath(QStringLiteral("backups")));
            documents[withCopy]->setRecoveryFolder(
                    withCopy ? work.filePath(QStringLiteral("recovery")) : QString());
        }
        std::vector<double> times[2];
        bool allSteps = true;
        for (int run = 0; run < 41; ++run) {
            for (int turn = 0; turn < 2; ++turn) {
                const int withCopy = (run + turn) % 2;
                OfficerDocument &document = *documents[withCopy];
                const QString path =
                        work.filePath(QStringLiteral("steps%1/editdata.rqv").arg(withCopy));
                allSteps &= !document.open(path).failed();
                QElapsedTimer timer;
                timer.start();
                for (int step = 0; step < 100; ++step) {
                    allSteps &= document.assignFathers().changed();
                    document.undoStack()->undo();
                    document.undoStack()->redo();
                }
                times[withCopy].push_back(timer.nsecsElapsed() / 1e6);
                // The copy is written between runs, as between a player's
                // clicks.
                QCoreApplication::processEvents();
                document.flushRecovery();
            }
        }
        if (!allSteps || !QFile::exists(work.filePath(QStringLiteral("recovery")))) {
            std::fprintf(stderr, "officer-bench: the steps or the recovery copy failed\n");
            return 1;
        }
        report("steps_ms", median(times[0]), "ms");
        report("steps_recovery_ms", median(times[1]), "ms");
        // Each run's two times were taken side by side, so their ratio is
        // spared the machine's slower and quicker spells.
        std::vector<double> ratios;
        for (size_t run = 0; run < times[0].size(); ++run)
            ratios.push_back(times[1][run] / times[0][run]);
        report("step_recovery_ratio", median(ratios), "x");
    }

    // Opening a file through the window's dialog and saving it back, with
    // the dialog and the message box answered as soon as they show.
    answerer.messages.clear();
    const double openSave = medianMs(21, nullptr, [&] {
        openFile(full);
        click(window, "cmd_save");
    });
    if (answerer.messages.size() != 21
        || answerer.messages.count(QStringLiteral("保存完成。")) != 21) {
        std::fprintf(stderr, "officer-bench: saving failed\n");
        return 1;
    }
    report("open_save_ms", openSave, "ms");
    bool filesOk = true;
    const double files = medianMs(21, nullptr, [&] { filesOk &= openAndSaveFile(full); });
    if (!filesOk) {
        std::fprintf(stderr, "officer-bench: opening or saving failed\n");
        return 1;
    }
    report("open_save_files_ms", files, "ms");

    // Start-up of the program, of its form alone and of a bare window, in a
    // folder with the bundled pools, taken in turn so that a slow spell of
    // the machine falls on all three alike.
    const QString launcher = QCoreApplication::applicationDirPath() + "/officer-bench-launch";
    const QString form = QCoreApplication::applicationDirPath() + "/officer-bench-form";
    const QString bare = QCoreApplication::applicationDirPath() + "/officer-bench-bare";
    std::vector<double> startup, startupForm, startupBare, peaks;
    timedStart(launcher, dataDir, nullptr); // warm the file cache
    timedStart(form, dataDir, nullptr);
    timedStart(bare, dataDir, nullptr);
    for (int i = 0; i < 15; ++i) {
        long peakKb = -1;
        startup.push_back(timedStart(launcher, dataDir, &peakKb));
        peaks.push_back(peakKb / 1024.0);
        startupForm.push_back(timedStart(form, dataDir, nullptr));
        startupBare.push_back(timedStart(bare, dataDir, nullptr));
    }
    if (*std::min_element(startup.begin(), startup.end()) < 0
        || *std::min_element(startupForm.begin(), startupForm.end()) < 0
        || *std::min_element(startupBare.begin(), startupBare.end()) < 0
        || *std::min_element(peaks.begin(), peaks.end()) < 0) {
        std::fprintf(stderr, "officer-bench: a start-up run failed\n");
        return 1;
    }
    report("startup_ms", median(startup), "ms");
    report("startup_form_ms", median(startupForm), "ms");
    report("startup_bare_ms", median(startupBare), "ms");
    report("startup_rss_mb", median(peaks), "MB");

    // The command line listing a full file, against a Qt Core program that
    // does nothing, started in turn; each pair's ratio is spared the
    // machine's slower and quicker spells.
    const QString cli = QCoreApplication::applicationDirPath() + "/../officer-maker-cli";
    const QString floor = QCoreApplication::applicationDirPath() + "/officer-bench-floor";
    const QStringList listFull = {QStringLiteral("list"), full};
    std::vector<double> listing, floors, listRatios;
    timedStart(cli, dataDir, nullptr, listFull);
    timedStart(floor, dataDir, nullptr);
    for (int i = 0; i < 31; ++i) {
        listing.push_back(timedStart(cli, dataDir, nullptr, listFull));
        floors.push_back(timedStart(floor, dataDir, nullptr));
        listRatios.push_back(listing.back() / floors.back());
    }
    if (*std::min_element(listing.begin(), listing.end()) < 0
        || *std::min_element(floors.begin(), floors.end()) < 0) {
        std::fprintf(stderr, "officer-bench: a command line run failed\n");
        return 1;
    }
    report("cli_list_ms", median(listing), "ms");
    report("cli_floor_ms", median(floors), "ms");
    report("cli_list_ratio", median(listRatios), "x");
    return 0;
}
