// The command line, run as a player runs it: a program of its own, started
// without a display. Every byte it writes is the byte the window writes after
// the same steps in a freshly started program; it refuses what the window
// refuses, and it never leaves a file half written.

#include "datafolder.h"
#include "editdata.h"
#include "filecheck.h"
#include "generate.h"
#include "mainwindow.h"
#include "namepools.h"
#include "officercode.h"
#include "officerdocument.h"
#include "officertable.h"
#include "officertablewindow.h"
#include "readerror.h"
#include "simplifiedconverter.h"
#include "testsupport.h"

#include "csvupdate.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

#include <cerrno>
#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace EditData;

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void theFormStartsWithTheDefaultOptions();
    void commandsWriteTheWindowsBytes();
    void readingCommandsShowWhatTheTableShows();
    void aFileHeldByAWindowIsRefusedAndUntouched();
    void aFailedWriteLeavesTheFileAsItWas();
    void commandsThatChangeNothingWriteNothing();
    void wrongUsageGivesTwo();
    void speaksTheWindowsLanguage();
    void checkFailsOnErrorsOnly();
    void fixMakesTheDocumentsRepairs();

private:
    struct Run
    {
        int status = -1;
        QString out;
        QString err;
        QByteArray bytes; // standard output as it came
    };
    Run cli(const QStringList &arguments, const QByteArray &input = QByteArray(),
            const QStringList &environment = QStringList());
    QString copyOfSample(const QString &name);

    QTemporaryDir m_dir;
};

namespace {

// Four officers: a father and a son of one family, two others.
QByteArray sampleImage()
{
    QByteArray image = blankImage();
    putRecord(image, 0, occupiedRecord(big5("曹"), big5("操"), 150, 1130));
    putRecord(image, 1, occupiedRecord(big5("曹"), big5("丕"), 170, 1131));
    putRecord(image, 3, occupiedRecord(big5("孫"), big5("權"), 180, 1132));
    putRecord(image, 4, occupiedRecord(big5("曹"), big5("植"), 172, 1133));
    return image;
}

// The document's command run as in a program just started, whose random
// sequence begins anew; what it wrote.
QByteArray afterFreshStart(const QString &path, const std::function<void(OfficerDocument &)> &step)
{
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(1);
    QT_WARNING_POP
    OfficerDocument document;
    if (document.open(path).failed())
        return QByteArray();
    step(document);
    document.writeFile();
    document.closeFile();
    return readFile(path);
}

// The sample damaged: 700 -> 704 -> 700 is a ring, the two father fields of
// 701 differ, 703's father is an empty slot, his family name has no end and
// his first ability is beyond generation's, 704 uses 700's portrait.
QByteArray damagedImage()
{
    QList<QByteArray> records = recordsOf(sampleImage());
    const std::pair<int, quint16> fathers[] = {{0, 704}, {3, 702}, {4, 700}};
    for (const auto &[slot, father] : fathers) {
        writeU16(records[slot], fatherId, father);
        writeU16(records[slot], fatherId2, father);
    }
    writeU16(records[1], fatherId2, 701);
    records[3].replace(familyName, 5, "ABCDE");
    writeU8(records[3], abilities, 200);
    writeU16(records[4], portrait, 1130);
    QByteArray image = blankImage();
    for (int slot = 0; slot < 5; ++slot)
        putRecord(image, slot, records.at(slot));
    return image;
}

QString unixLines(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

void TestCli::initTestCase()
{
    useOwnDataFolder();
    QVERIFY(m_dir.isValid());
    copyBundledPools(m_dir.path());
}

void TestCli::init()
{
    for (const QString &name : QDir(m_dir.path()).entryList({"*.rqv*", "*.csv"}))
        QFile::remove(m_dir.filePath(name));
    for (const char *folder : {"config", "data"})
        QDir(m_dir.filePath(folder)).removeRecursively();
}

TestCli::Run TestCli::cli(const QStringList &arguments, const QByteArray &input,
                          const QStringList &environment)
{
    // As a player starts it: no platform for windows, the program's own
    // folders for its settings and backups (kept away from the player's).
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("LANGUAGE"), QString());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    for (const QString &variable : environment)
        env.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(m_dir.path());
    // The program lies in the build folder, above the tests.
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../" OFFICER_CLI),
                  arguments);
    process.write(input);
    process.closeWriteChannel();
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.bytes = process.readAllStandardOutput();
    run.out = unixLines(QString::fromUtf8(run.bytes));
    run.err = unixLines(QString::fromUtf8(process.readAllStandardError()));
    return run;
}

QString TestCli::copyOfSample(const QString &name)
{
    const QString path = m_dir.filePath(name);
    writeFile(path, sampleImage());
    return path;
}

void TestCli::theFormStartsWithTheDefaultOptions()
{
    const auto window = startWindowIn(m_dir.path());
    QVERIFY(window->formOptions() == Generate::startOptions);
}

// Each command against the document's operation after the same steps.
void TestCli::commandsWriteTheWindowsBytes()
{
    QTextCodec *codec = QTextCodec::codecForName("Big5");
    Names::NamePools pools;
    QCOMPARE(Names::loadNamePools(m_dir.path(), pools), -1);

    // 隨機生成 in one start, 同姓武將匹配父子關係 in the next; the pools found
    // in the working folder, as the window finds them.
    const QString cliFile = copyOfSample("cli.rqv");
    Run run = cli({"generate", cliFile, "--men", "20", "--women", "10", "--families", "3",
                   "--abilities", "high", "--bias", "--skills", "many", "--troops", "some",
                   "--type-effect", "--character", "--historic-portraits"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("已生成30名武將。\n已保存%1。\n")
                              .arg(QDir::toNativeSeparators(cliFile)));
    QCOMPARE(cli({"fathers", cliFile}).status, 0);
    Generate::Options options;
    options.abilities = Generate::AbilityLevel::High;
    options.biased = true;
    options.skills = Generate::SkillLevel::Many;
    options.aptitudes = Generate::AptitudeLevel::Some;
    options.typeEffect = options.character = options.useHistoric = true;
    const QString windowFile = copyOfSample("window.rqv");
    afterFreshStart(windowFile, [&](OfficerDocument &document) {
        QVERIFY(document.generateBatch({20, 10, 3}, options, pools).changed());
    });
    const QByteArray generated = afterFreshStart(windowFile, [](OfficerDocument &document) {
        QVERIFY(document.assignFathers().changed());
    });
    QCOMPARE(readFile(cliFile), generated);

    // 生成單個 with names typed in simplified Chinese.
    run = cli({"single", cliFile, "赵", "云", "子龙", "--male", "--abilities", "super"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out.section('\n', 0, 0),
             QStringLiteral("已將簡體字轉為繁體字：赵云(子龙) → 趙雲(子龍)。"));
    options = Generate::startOptions;
    options.abilities = Generate::AbilityLevel::Super;
    QCOMPARE(readFile(cliFile), afterFreshStart(windowFile, [&](OfficerDocument &document) {
                 document.generateSingle("赵", "云", "子龙", false, options);
             }));

    // 匯入武將 of two officers of another file, from standard input.
    run = cli({"import", cliFile, "-", "700", "703"}, sampleImage());
    QCOMPARE(run.status, 0);
    QCOMPARE(readFile(cliFile), afterFreshStart(windowFile, [](OfficerDocument &document) {
                 document.importOfficers(recordsOf(sampleImage()), {0, 3});
             }));

    // 從CSV更新 of an exported file with two cells changed.
    QCOMPARE(cli({"export", cliFile, m_dir.filePath("officers.csv")}).status, 0);
    QByteArray csv = readFile(m_dir.filePath("officers.csv"));
    csv.replace("\r\n700,曹操,男,150,", "\r\n700,曹操,男,151,");
    csv.replace(",孫,權,", ",孫,谦,");
    writeFile(m_dir.filePath("officers.csv"), csv);
    run = cli({"update", cliFile, m_dir.filePath("officers.csv")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out.section('\n', 0, 3),
             QStringLiteral("700 曹操 生年：150 → 151\n703 孫權 名：權 → 謙\n736 孫權 名：權 → 謙\n"
                            "已從CSV更新3名武將。"));
    QCOMPARE(readFile(cliFile), afterFreshStart(windowFile, [&](OfficerDocument &document) {
                 document.updateFromCsv(planCsvUpdate(document.records(), csv, codec,
                                                      SimplifiedConverter::program().function()));
             }));

    // 複製武將 of two officers, 貼上武將 into another file.
    run = cli({"code", cliFile, "700", "701"});
    QCOMPARE(run.status, 0);
    const QList<QByteArray> records = recordsOf(readFile(cliFile));
    QCOMPARE(QString::fromUtf8(run.bytes), officerText(records, {0, 1}, codec));
    const QString cliOther = copyOfSample("cli-other.rqv");
    QCOMPARE(cli({"paste", cliOther}, run.bytes).status, 0);
    const QString windowOther = copyOfSample("window-other.rqv");
    QCOMPARE(readFile(cliOther), afterFreshStart(windowOther, [&](OfficerDocument &document) {
                 document.pasteOfficers(officersFromText(officerText(records, {0, 1}, codec)));
             }));
}

// export is the table's export with every row shown and unsorted; list and
// its JSON show the table's cells.
void TestCli::readingCommandsShowWhatTheTableShows()
{
    const QString path = copyOfSample("editdata.rqv");
    DialogDriver driver;
    const auto window = startWindowIn(m_dir.path());
    driver.planFileDialog(path);
    click(*window, "cmd_open");
    activate(*window);
    QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
    auto *table = window->findChild<OfficerTableWindow *>();
    QVERIFY(table);
    driver.planFileDialog(m_dir.filePath("table.csv"));
    QTest::mouseClick(table->findChild<QPushButton *>("cmd_export"), Qt::LeftButton);
    const Run exported = cli({"export", path});
    QCOMPARE(exported.status, 0);
    QCOMPARE(exported.bytes, readFile(m_dir.filePath("table.csv")));

    const Run listed = cli({"list", path});
    QCOMPARE(listed.out,
             QStringLiteral("700\t曹操\t男\t150\t1130\t0\n701\t曹丕\t男\t170\t1131\t0\n"
                            "703\t孫權\t男\t180\t1132\t0\n704\t曹植\t男\t172\t1133\t0\n"));
    const QJsonArray json = QJsonDocument::fromJson(cli({"list", path, "--json"}).bytes).array();
    QCOMPARE(json.size(), 4);
    QCOMPARE(json.at(2).toObject().value("編號").toInt(), 703);
    QCOMPARE(json.at(2).toObject().value("姓名").toString(), QStringLiteral("孫權"));
    QCOMPARE(json.at(2).toObject().value("父親").toString(), QStringLiteral("0"));
    QCOMPARE(json.at(2).toObject().keys().size(), int(TableColumn::Count));
}

void TestCli::aFileHeldByAWindowIsRefusedAndUntouched()
{
    const QString path = copyOfSample("editdata.rqv");
    const QString other = copyOfSample("other.rqv");
    {
        OfficerDocument window;
        QCOMPARE(window.open(path).outcome, OfficerDocument::Outcome::Done);
        for (const QStringList &arguments :
             {QStringList{"fathers", path}, QStringList{"fathers", other, "--output", path}}) {
            const Run run = cli(arguments);
            QCOMPARE(run.status, 1);
            QCOMPARE(run.err, readErrorText(ReadError::HeldElsewhere, path) + "\n");
            QCOMPARE(run.out, QString());
        }
        QCOMPARE(readFile(path), sampleImage());
        QVERIFY(!QFile::exists(path + ".bak"));
        // Reading it is no harm.
        QCOMPARE(cli({"list", path}).status, 0);
        QCOMPARE(cli({"check", path}).status, 0);
        window.closeFile();
    }
    // Let go, the file is written after its backups.
    const Run run = cli({"fathers", path});
    QCOMPARE(run.status, 0);
    QCOMPARE(readFile(path + ".bak"), sampleImage());
    QVERIFY(readFile(path) != sampleImage());
#ifdef Q_OS_UNIX
    // The dated copy, in the folder the environment gave the program.
    QCOMPARE(QDir(m_dir.filePath("data/officer-maker/officer-maker/backups"))
                     .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                     .size(),
             1);
#endif
}

void TestCli::aFailedWriteLeavesTheFileAsItWas()
{
#ifdef Q_OS_UNIX
    // A limit on the size of files written makes writing fail halfway, as a
    // full disk would. The program inherits it.
    const QString path = copyOfSample("editdata.rqv");
    const QString out = m_dir.filePath("out.rqv");
    writeFile(out, "old");
    rlimit previous;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const rlimit limit = {64 * 1024, previous.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const Run inPlace = cli({"fathers", path});
    const Run elsewhere = cli({"fathers", path, "--output", out});
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);

    QCOMPARE(inPlace.status, 1);
    QVERIFY2(inPlace.err.startsWith("無法建立備份文件「editdata.rqv.bak」："),
             qPrintable(inPlace.err));
    QCOMPARE(readFile(path), sampleImage());
    QCOMPARE(elsewhere.status, 1);
    QCOMPARE(elsewhere.err, QStringLiteral("文件寫入失敗。\n") + qt_error_string(EFBIG) + "\n");
    QCOMPARE(readFile(out), QByteArray("old"));
    QCOMPARE(QDir(m_dir.path()).entryList({"out.rqv*"}), QStringList{"out.rqv"});
#else
    QSKIP("needs a limit on the size of files");
#endif
}

void TestCli::commandsThatChangeNothingWriteNothing()
{
    QByteArray lone = blankImage();
    putRecord(lone, 0, occupiedRecord(big5("關"), big5("羽"), 160, 1130));
    const QString path = m_dir.filePath("editdata.rqv");
    writeFile(path, lone);
    QCOMPARE(cli({"export", path, m_dir.filePath("same.csv")}).status, 0);
    const QList<QPair<QStringList, QString>> runs = {
            {{"fathers", path}, "父子關係沒有變化。\n"},
            {{"generate", path}, ""},
            {{"update", path, m_dir.filePath("same.csv")},
             "CSV文件與目前的武將相同，沒有需要更新的內容。\n"},
            {{"generate", path, "--men", "3", "--dry-run"}, "已生成3名武將。\n"},
            {{"fix", path}, "沒有可以自動修正的問題。\n"},
    };
    for (const auto &[arguments, said] : runs) {
        const Run run = cli(arguments);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out.left(said.size()), said);
        QCOMPARE(readFile(path), lone);
    }
    QCOMPARE(QDir(m_dir.path()).entryList({"editdata.rqv*"}), QStringList{"editdata.rqv"});
    QVERIFY(!QFile::exists(m_dir.filePath("data/officer-maker/officer-maker/backups")));
    // To standard output the file goes all the same, as a filter's would.
    QCOMPARE(cli({"fathers", "-"}, lone).bytes, lone);
    const QString damaged = m_dir.filePath("damaged.rqv");
    writeFile(damaged, damagedImage());
    QCOMPARE(cli({"fix", damaged, "--dry-run"}).status, 0);
    QCOMPARE(readFile(damaged), damagedImage());
    QCOMPARE(QDir(m_dir.path()).entryList({"damaged.rqv*"}), QStringList{"damaged.rqv"});
}

void TestCli::wrongUsageGivesTwo()
{
    const QString path = copyOfSample("editdata.rqv");
    const QList<QStringList> wrong = {
            {},
            {"frob", path},
            {"list"},
            {"list", path, "more"},
            {"list", path, "--bogus"},
            {"generate", path, "--men", "many"},
            {"generate", path, "--men", "151"},
            {"generate", path, "--skills", "some"},
            {"generate", path, "--bias", "--all-round"},
            {"single", path, "關", "羽"},
            {"single", path, "關", "羽", "--male", "--female"},
            {"code", path, "seven"},
            {"update", "-", "-"},
            {"help", "frob"},
            {"check", path, "--dry-run"},
            {"fix", path, "--json"},
    };
    for (const QStringList &arguments : wrong) {
        const Run run = cli(arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err.count('\n'), 2);
        QVERIFY2(run.err.contains("--help」查看用法。"), qPrintable(run.err));
    }
    QCOMPARE(readFile(path), sampleImage());
    QCOMPARE(cli({"update", "--help"}).out, cli({"help", "update"}).out);
    QVERIFY(cli({"update", "--help"})
                    .out.startsWith("用法：officer-maker-cli update FILE CSV [選項]"));
    QCOMPARE(cli({"--version"}).out, QStringLiteral("officer-maker-cli %1\n").arg(OFFICER_VERSION));
}

// The language chosen in the window's menu, else the system's.
void TestCli::speaksTheWindowsLanguage()
{
#ifdef Q_OS_UNIX
    const QString path = copyOfSample("editdata.rqv");
    const QString settings = m_dir.filePath("config/officer-maker/officer-maker.conf");
    QDir().mkpath(QFileInfo(settings).path());
    const QString unchanged = QStringLiteral("父子關係沒有變化。\n");
    const QString simplified = QStringLiteral("父子关系没有变化。\n");
    const QStringList chinese = {"LANGUAGE=zh_CN"};
    cli({"fathers", path});
    QCOMPARE(cli({"fathers", path}).out, unchanged);
    QCOMPARE(cli({"fathers", path}, QByteArray(), chinese).out, simplified);
    writeFile(settings, "[General]\ninterfaceLanguage=zh_TW\n");
    QCOMPARE(cli({"fathers", path}, QByteArray(), chinese).out, unchanged);
    writeFile(settings, "[General]\ninterfaceLanguage=zh_CN\n");
    QCOMPARE(cli({"fathers", path}).out, simplified);
    QFile::remove(settings);
#else
    QSKIP("the settings lie in the registry");
#endif
}

// check fails on errors alone: notes pass, --errors-only hides them but
// judges the same.
void TestCli::checkFailsOnErrorsOnly()
{
    const QString path = copyOfSample("check.rqv");
    QCOMPARE(cli({"check", path}).status, 0);
    QCOMPARE(cli({"check", path}).out, QString());
    QCOMPARE(cli({"check", path, "--json"}).out, QStringLiteral("[]\n"));
    QByteArray image = sampleImage();
    image[recordAreaOffset + 3 * recordSize + skillsA] = char(10);
    writeFile(path, image);
    Run run = cli({"check", path});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.startsWith("703 孫權 注意 超出生成範圍：") && run.out.count('\n') == 1,
             qPrintable(run.out));
    QCOMPARE(cli({"check", path, "--errors-only"}).out, QString());

    writeFile(path, damagedImage());
    const QVector<FileProblem> problems =
            checkRecords(recordsOf(damagedImage()), QTextCodec::codecForName("Big5"));
    QString lines;
    for (const FileProblem &problem : problems)
        lines += problemLine(problem) + '\n';
    run = cli({"check", path});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, lines);
    run = cli({"check", path, "--errors-only"});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out.count('\n'), errorCount(problems));
    const QJsonArray json = QJsonDocument::fromJson(cli({"check", path, "--json"}).bytes).array();
    QCOMPARE(json.size(), problems.size());
    for (int i = 0; i < json.size(); ++i)
        QCOMPARE(json.at(i).toObject(), problemJson(problems.at(i)));

    writeFile(path, "too short");
    run = cli({"check", path});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, readErrorText(ReadError::WrongSize, path) + "\n");
}

// fix writes what 全部修正 writes with every problem shown, after the
// backups, and lists what it left.
void TestCli::fixMakesTheDocumentsRepairs()
{
    const QString cliFile = m_dir.filePath("cli.rqv");
    const QString windowFile = m_dir.filePath("window.rqv");
    writeFile(cliFile, damagedImage());
    writeFile(windowFile, damagedImage());
    const Run run = cli({"fix", cliFile});
    QCOMPARE(run.status, 0);
    QCOMPARE(readFile(cliFile), afterFreshStart(windowFile, [](OfficerDocument &document) {
                 QCOMPARE(document.repairProblems(checkRecords(document.records(),
                                                               QTextCodec::codecForName("Big5")))
                                  .count,
                          4);
             }));
    QCOMPARE(readFile(cliFile + ".bak"), damagedImage());
    const QStringList lines = run.out.split('\n');
    QCOMPARE(lines.size(), 10);
    QVERIFY(lines.at(0).startsWith("700 曹操 錯誤 父子關係成環："));
    QVERIFY(lines.at(3).startsWith("704 曹植 注意 頭像重複："));
    QCOMPARE(lines.at(4), QStringLiteral("已修正4個問題。"));
    QCOMPARE(lines.at(6), QStringLiteral("以下問題無法自動修正："));
    QVERIFY(lines.at(7).contains("錯誤 姓名沒有結束："));
    QVERIFY(lines.at(8).contains("注意 超出生成範圍："));
}

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
