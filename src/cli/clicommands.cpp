#include "clicommands.h"

#include "console.h"

#include "csvupdate.h"
#include "datafile.h"
#include "datafilesession.h"
#include "editdata.h"
#include "filecheck.h"
#include "filekey.h"
#include "filelock.h"
#include "generate.h"
#include "inputfile.h"
#include "messages.h"
#include "namepools.h"
#include "officercode.h"
#include "officercommands.h"
#include "officerdetails.h"
#include "officertable.h"
#include "readerror.h"
#include "simplifiedconverter.h"
#include "typedname.h"
#include "wholefile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QPair>
#include <QTextCodec>

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <utility>

using namespace EditData;
using Commands::Outcome;
using Messages::Text;

namespace Cli {

namespace {

constexpr char programName[] = "officer-maker-cli";
// The file name that stands for standard input or output.
const QString standardStream = QStringLiteral("-");

// The groups of options a command takes.
enum OptionGroup : unsigned {
    JsonOption = 1 << 0,
    WriteOptions = 1 << 1, // --dry-run, --output
    BatchOptions = 1 << 2, // the numbers of a batch and its name pools
    FormOptions = 1 << 3, // the option rows of the window's form
    SexOptions = 1 << 4,
    CheckOptions = 1 << 5, // check's --json, --errors-only
};

struct OptionSpec
{
    unsigned group;
    const char *name;
    const char *valueName; // null for an option without a value
    const char *description;
};

const OptionSpec optionSpecs[] = {
        {JsonOption, "json", nullptr,
         QT_TRANSLATE_NOOP("CommandLine", "以JSON陣列列出，每名武將一個物件，鍵為CSV文件的欄名。")},
        {BatchOptions, "men", "N",
         QT_TRANSLATE_NOOP("CommandLine", "生成男：男武將的人數（0–150），預設0。")},
        {BatchOptions, "women", "N",
         QT_TRANSLATE_NOOP("CommandLine", "生成女：女武將的人數（0–150），預設0。")},
        {BatchOptions, "families", "N",
         QT_TRANSLATE_NOOP("CommandLine", "生成家族：家族的數目（0–150），預設不生成家族。")},
        {FormOptions, "abilities", "LEVEL",
         QT_TRANSLATE_NOOP(
                 "CommandLine",
                 "四維基本數值：super（超級）、high（高）、medium（平庸，預設）或low（庸才）。")},
        {FormOptions, "all-round", nullptr,
         QT_TRANSLATE_NOOP("CommandLine", "四維類型：全能（預設）。")},
        {FormOptions, "bias", nullptr, QT_TRANSLATE_NOOP("CommandLine", "四維類型：偏才。")},
        {FormOptions, "skills", "LEVEL",
         QT_TRANSLATE_NOOP("CommandLine",
                           "特技：all（全能，預設）、many（較多）、medium（中）或little（少）。")},
        {FormOptions, "troops", "LEVEL",
         QT_TRANSLATE_NOOP("CommandLine",
                           "兵科：all（全能）、some（部分好）或bad（無能，預設）。")},
        {FormOptions, "type-effect", nullptr, QT_TRANSLATE_NOOP("CommandLine", "文武有別。")},
        {FormOptions, "character", nullptr, QT_TRANSLATE_NOOP("CommandLine", "個性人物。")},
        {FormOptions, "historic-portraits", nullptr,
         QT_TRANSLATE_NOOP("CommandLine", "使用歷史人物頭像。")},
        {BatchOptions, "pools", "DIR",
         QT_TRANSLATE_NOOP("CommandLine", "從資料夾DIR讀取名字庫；預設與視窗相同：工作資料夾，"
                                          "其中沒有名字庫時為安裝的資料夾。")},
        {SexOptions, "male", nullptr, QT_TRANSLATE_NOOP("CommandLine", "男武將。")},
        {SexOptions, "female", nullptr, QT_TRANSLATE_NOOP("CommandLine", "女武將。")},
        {CheckOptions, "json", nullptr,
         QT_TRANSLATE_NOOP("CommandLine",
                           "以JSON陣列列出，每個問題一個物件，鍵為slot、id、name、field、value、"
                           "level、problem、reason和repairable。")},
        {CheckOptions, "errors-only", nullptr,
         QT_TRANSLATE_NOOP("CommandLine", "只列出錯誤，不列出注意；結束狀態不受影響。")},
        {WriteOptions, "dry-run", nullptr,
         QT_TRANSLATE_NOOP("CommandLine", "只列出會有的修改，不寫入任何文件。")},
        {WriteOptions, "output", "OUT",
         QT_TRANSLATE_NOOP("CommandLine", "把結果寫入OUT，FILE保持不變，也不建立備份。")},
};

class CommandLine;

// One command: its name, its arguments as the usage line shows them (an
// argument in brackets may be left out, one ending in "..." repeated), the
// options it takes, its texts for the help, and what runs it.
struct Command
{
    const char *name;
    const char *arguments;
    unsigned options;
    const char *summary;
    const char *description;
    int (CommandLine::*run)();
};

QTextCodec *big5Codec()
{
    return QTextCodec::codecForName("Big5");
}

QString lineEnd()
{
    return nativeLineEnd();
}

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

// The officer in slot as list shows him: ID, name, sex, birth year,
// portrait and father, as the officer table shows them, separated by tabs.
// One officer takes one line, whatever a hand-edited name holds.
QString listLine(const QList<QByteArray> &records, int slot)
{
    QTextCodec *codec = big5Codec();
    const QByteArray &record = records.at(slot);
    QStringList fields = {QString::number(officerIdBase + slot),
                          officerName(record, codec),
                          sexText(readU8(record, gender)),
                          QString::number(readU16(record, birthYear)),
                          QString::number(readU16(record, portrait)),
                          fatherText(records, readU16(record, fatherId), codec)};
    for (QString &field : fields) {
        for (QChar &c : field) {
            if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
                c = QLatin1Char(' ');
        }
    }
    return fields.join(QLatin1Char('\t'));
}

QString jsonString(const QString &text)
{
    QString json = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            json += QLatin1Char('\\') + QString(c);
        else if (c.unicode() < 0x20)
            json += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            json += c;
    }
    return json + QLatin1Char('"');
}

QString jsonObject(const QStringList &members)
{
    return QLatin1Char('{') + members.join(QLatin1Char(',')) + QLatin1Char('}');
}

// A JSON array with one object a line.
QString jsonArray(const QStringList &objects)
{
    if (objects.isEmpty())
        return QStringLiteral("[]") + lineEnd();
    return QLatin1Char('[') + lineEnd() + objects.join(QLatin1Char(',') + lineEnd()) + lineEnd()
           + QLatin1Char(']') + lineEnd();
}

// The officers as a JSON array: one object per officer, the CSV header's
// texts as keys in the order of its columns, whole numbers as numbers.
QString officersJson(const QList<QByteArray> &records)
{
    const QStringList header = officerTableHeader();
    QStringList objects;
    for (const QVariantList &row : officerTableRows(records, big5Codec())) {
        QStringList members;
        for (int column = 0; column < row.size(); ++column) {
            const QVariant &value = row.at(column);
            members.append(jsonString(header.at(column)) + QLatin1Char(':')
                           + (value.userType() == QMetaType::Int ? QString::number(value.toInt())
                                                                 : jsonString(value.toString())));
        }
        objects.append(jsonObject(members));
    }
    return jsonArray(objects);
}

QString jsonValue(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double:
        return QString::number(value.toDouble(), 'g', 15);
    case QJsonValue::String:
        return jsonString(value.toString());
    default:
        return QStringLiteral("null");
    }
}

// The problems as a JSON array: one object per problem, its keys in the
// order of a problem's line.
QString problemsJson(const QVector<FileProblem> &problems)
{
    static const char *const keys[] = {"slot",  "id",      "name",   "field",     "value",
                                       "level", "problem", "reason", "repairable"};
    QStringList objects;
    for (const FileProblem &problem : problems) {
        const QJsonObject object = problemJson(problem);
        QStringList members;
        for (const char *key : keys)
            members.append(jsonString(QLatin1String(key)) + QLatin1Char(':')
                           + jsonValue(object.value(QLatin1String(key))));
        objects.append(jsonObject(members));
    }
    return jsonArray(objects);
}

// A problem as one line of text, whatever a hand-edited name holds.
QString problemText(const FileProblem &problem)
{
    QString line = problemLine(problem);
    for (QChar &c : line) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return line;
}

// Reads a data file from standard input, checked as a file is.
ReadError readStandardData(QByteArray &image)
{
    QByteArray read;
    if (!Console::readIn(fileSize, read))
        return ReadError::CannotOpen;
    if (read.size() != fileSize)
        return ReadError::WrongSize;
    image = read;
    return ReadError::None;
}

ReadError readData(const QString &path, QByteArray &image)
{
    return path == standardStream ? readStandardData(image) : readDataFile(path, image);
}

// Runs one command, with the arguments and options of its command line.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    CommandLine(const Command &command, const QCommandLineParser &parser)
        : m_command(command)
        , m_parser(parser)
        , m_arguments(parser.positionalArguments())
    { }

    int list();
    int exportCsv();
    int update();
    int generate();
    int single();
    int fathers();
    int importOfficers();
    int code();
    int paste();
    int check();
    int fix();

    // Says what is wrong with the command line, and where help is.
    static int usageError(const QString &text, const char *command = nullptr);

private:
    QString argument(int index) const { return m_arguments.value(index); }
    bool isSet(const char *option) const { return m_parser.isSet(QLatin1String(option)); }
    QString value(const char *option) const { return m_parser.value(QLatin1String(option)); }

    bool oneStandardInput(const QStringList &inputs);
    bool readFile(bool changes);
    bool readText(const QString &path, QByteArray &bytes);
    bool parseIds(int from, QVector<int> *ids);
    bool slotsOf(const QList<QByteArray> &records, const QString &path, const QVector<int> &ids,
                 QVector<int> *chosen);
    bool parseCount(const char *option, qint64 *count);
    template<typename T>
    bool parseChoice(const char *option, std::initializer_list<std::pair<const char *, T>> choices,
                     T *chosen);
    bool parseFormOptions(Generate::Options *options);

    void say(const QString &text);
    int refuse(const QString &text, const QString &reason = QString());
    int usage(const QString &text);
    int finish(const EditState &after, const QString &status, bool listChanged = true);

    const Command &m_command;
    const QCommandLineParser &m_parser;
    const QStringList m_arguments;
    int m_status = Done;

    // FILE as read, and where its result goes.
    QString m_path;
    QByteArray m_image;
    QList<QByteArray> m_records;
    SafeKeeping::DataFileSession m_session; // FILE, when it is written in place
    bool m_dryRun = false;
    QString m_output;
    bool m_inPlace = false;
    // Standard output carries the data file; what the command says goes to
    // standard error.
    bool m_dataToStandardOutput = false;
};

const Command commands[] = {
        {"list", "FILE", JsonOption, QT_TRANSLATE_NOOP("CommandLine", "列出數據文件中的武將。"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "每名武將一行，按位置順序，以定位字元分隔：編號、姓名、性別、生年、"
                           "頭像、父親，如同武將一覽所示。"),
         &CommandLine::list},
        {"export", "FILE [OUT]", 0, QT_TRANSLATE_NOOP("CommandLine", "把武將匯出為CSV文件。"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "把全部武將按位置順序寫入CSV文件OUT，與武將一覽顯示全部武將、"
                           "沒有排序時「匯出CSV…」寫出的相同。沒有OUT時寫到標準輸出。"),
         &CommandLine::exportCsv},
        {"update", "FILE CSV", WriteOptions,
         QT_TRANSLATE_NOOP("CommandLine", "按CSV文件修改武將（從CSV更新）。"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "按CSV文件修改FILE中的武將，規則與「從CSV更新…」相同。"
                           "列出每項修改；CSV文件有錯誤時列出每個錯誤，不寫入任何內容。"),
         &CommandLine::update},
        {"generate", "FILE", WriteOptions | BatchOptions | FormOptions,
         QT_TRANSLATE_NOOP("CommandLine", "隨機生成武將。"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "以名字庫中的名字生成武將，如同在視窗中這樣設定後按「隨機生成」；"
                           "沒有指定的選項取程序啟動時的設定。"),
         &CommandLine::generate},
        {"single", "FILE FAMILY GIVEN [STYLE]", WriteOptions | FormOptions | SexOptions,
         QT_TRANSLATE_NOOP("CommandLine", "生成單個武將。"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "以姓FAMILY、名GIVEN和字STYLE生成一名武將，如同「生成單個」；"
                           "必須以--male或--female指定性別。以簡體字輸入的姓名會轉為繁體字。"),
         &CommandLine::single},
        {"fathers", "FILE", WriteOptions,
         QT_TRANSLATE_NOOP("CommandLine", "同姓武將匹配父子關係。"),
         QT_TRANSLATE_NOOP("CommandLine", "為每名武將從同姓、早生至少15年的武將中隨機選出父親，"
                                          "如同「同姓武將匹配父子關係」。"),
         &CommandLine::fathers},
        {"import", "FILE OTHER [ID...]", WriteOptions,
         QT_TRANSLATE_NOOP("CommandLine", "從另一個數據文件匯入武將。"),
         QT_TRANSLATE_NOOP("CommandLine", "把數據文件OTHER中編號為ID的武將（沒有ID時為全部武將）"
                                          "匯入FILE的空位，如同「匯入武將…」。"),
         &CommandLine::importOfficers},
        {"code", "FILE ID...", 0, QT_TRANSLATE_NOOP("CommandLine", "列出武將的武將碼。"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "列出「複製武將」放到剪貼簿的文本：每名武將一行編號和姓名，"
                           "然後是OFFICERS1:開頭的武將碼。"),
         &CommandLine::code},
        {"paste", "FILE [TEXT]", WriteOptions,
         QT_TRANSLATE_NOOP("CommandLine", "貼上武將碼中的武將。"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "把文件TEXT（沒有TEXT時為標準輸入）中第一個武將碼的武將加到FILE的空位，"
                           "如同「貼上武將」。"),
         &CommandLine::paste},
        {"check", "FILE", CheckOptions,
         QT_TRANSLATE_NOOP("CommandLine", "檢查武將中可能妨礙遊戲的問題（檢查文件）。"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "如同「檢查文件…」列出武將的問題，每個問題一行，按位置順序："
                           "「編號 姓名 級別 問題：說明」。不寫入任何文件。結束狀態：沒有錯誤時為0"
                           "（只有注意時也是），有錯誤或無法讀取文件時為1，用法錯誤時為2。"),
         &CommandLine::check},
        {"fix", "FILE", WriteOptions,
         QT_TRANSLATE_NOOP("CommandLine", "修正檢查發現的問題（全部修正）。"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "做「檢查文件…」顯示全部問題時「全部修正」所做的修正，每項修正列為一行，"
                           "然後列出無法自動修正的問題；這些問題不影響結束狀態。"),
         &CommandLine::fix},
};

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QString versionText()
{
    return QStringLiteral("%1 %2").arg(QLatin1String(programName), QLatin1String(OFFICER_VERSION))
           + lineEnd();
}

// Two columns: the names padded to the widest, then the texts.
QString columns(const QList<QPair<QString, QString>> &rows)
{
    int width = 0;
    for (const auto &row : rows)
        width = qMax(width, row.first.size());
    QString text;
    for (const auto &row : rows)
        text += QStringLiteral("  ") + row.first.leftJustified(width + 2) + row.second + lineEnd();
    return text;
}

QList<QPair<QString, QString>> commonOptions()
{
    return {{QStringLiteral("-h, --help"), CommandLine::tr("顯示說明。")},
            {QStringLiteral("--version"), CommandLine::tr("顯示版本。")}};
}

QString generalHelp()
{
    const QString nl = lineEnd();
    QString text = CommandLine::tr("用法：%1 命令 [參數] [選項]").arg(QLatin1String(programName))
                   + nl + nl
                   + CommandLine::tr("不開視窗，為龍旗戰記的自作武將數據文件生成和編輯武將。") + nl
                   + nl + CommandLine::tr("命令：") + nl;
    QList<QPair<QString, QString>> rows;
    for (const Command &command : commands)
        rows.append({QLatin1String(command.name), CommandLine::tr(command.summary)});
    rows.append({QStringLiteral("help"), CommandLine::tr("顯示命令的說明。")});
    text += columns(rows) + nl + CommandLine::tr("選項：") + nl + columns(commonOptions()) + nl
            + CommandLine::tr(
                    "文件名「-」表示標準輸入或標準輸出；FILE為「-」時，結果寫到標準輸出。")
            + nl
            + CommandLine::tr("結束狀態：0 完成；1 文件或輸入被拒絕，或寫入失敗；"
                              "2 用法錯誤。")
            + nl + CommandLine::tr("每個命令的說明：%1 help 命令").arg(QLatin1String(programName))
            + nl;
    return text;
}

QString commandHelp(const Command &command)
{
    const QString nl = lineEnd();
    QString text = CommandLine::tr("用法：%1 %2 %3 [選項]")
                           .arg(QLatin1String(programName), QLatin1String(command.name),
                                QLatin1String(command.arguments))
                   + nl + nl + CommandLine::tr(command.description) + nl;
    if (command.options & WriteOptions)
        text += CommandLine::tr("FILE只在一切成功後才寫入，之前與視窗打開後第一次保存時一樣，"
                                "建立.bak和帶日期的備份；沒有修改時不寫入。在視窗或另一個正在執行的"
                                "程序中打開的文件不會被寫入。")
                + nl;
    text += nl + CommandLine::tr("選項：") + nl;
    QList<QPair<QString, QString>> rows;
    for (const OptionSpec &option : optionSpecs) {
        if (!(command.options & option.group))
            continue;
        QString name = QStringLiteral("--") + QLatin1String(option.name);
        if (option.valueName)
            name += QLatin1Char(' ') + QLatin1String(option.valueName);
        rows.append({name, CommandLine::tr(option.description)});
    }
    return text + columns(rows + commonOptions());
}

int CommandLine::usageError(const QString &text, const char *command)
{
    const QString help = command ? QStringLiteral("%1 %2 --help")
                                           .arg(QLatin1String(programName), QLatin1String(command))
                                 : QStringLiteral("%1 --help").arg(QLatin1String(programName));
    Console::err(text + lineEnd() + tr("請執行「%1」查看用法。").arg(help) + lineEnd());
    return WrongUsage;
}

int CommandLine::usage(const QString &text)
{
    m_status = usageError(text, m_command.name);
    return m_status;
}

// Says why the command was refused; a reason, as the system gives it, on a
// line of its own below, as the window shows it below its own words.
int CommandLine::refuse(const QString &text, const QString &reason)
{
    Console::err(text + lineEnd());
    if (!reason.isEmpty())
        Console::err(reason + lineEnd());
    m_status = Failed;
    return m_status;
}

void CommandLine::say(const QString &text)
{
    if (m_dataToStandardOutput)
        Console::err(text + lineEnd());
    else
        Console::out(text + lineEnd());
}

// Standard input can be read once.
bool CommandLine::oneStandardInput(const QStringList &inputs)
{
    if (inputs.count(standardStream) <= 1)
        return true;
    usage(tr("只有一個文件可以從標準輸入（「-」）讀取。"));
    return false;
}

// Reads FILE, the first argument. A command that changes it decides here
// where the result goes; one that writes FILE in place takes its lock, which
// it keeps until it ends.
bool CommandLine::readFile(bool changes)
{
    m_path = argument(0);
    if (changes) {
        m_dryRun = isSet("dry-run");
        m_output = value("output");
        // --output naming FILE itself is FILE written in place.
        if (!m_output.isEmpty() && m_output != standardStream && m_path != standardStream
            && SafeKeeping::fileKey(m_output) == SafeKeeping::fileKey(m_path))
            m_output.clear();
        m_inPlace = !m_dryRun && m_output.isEmpty() && m_path != standardStream;
        m_dataToStandardOutput =
                !m_dryRun
                && (m_output == standardStream || (m_output.isEmpty() && m_path == standardStream));
    }
    ReadError error;
    if (m_inPlace) {
        error = m_session.open(m_path);
        m_image = m_session.image();
    } else {
        error = readData(m_path, m_image);
    }
    if (error != ReadError::None) {
        refuse(readErrorText(error, m_path));
        return false;
    }
    m_records = splitRecords(m_image);
    return true;
}

// Reads a text file, or standard input for "-".
bool CommandLine::readText(const QString &path, QByteArray &bytes)
{
    QString failure;
    if (path != standardStream) {
        failure = readInputFile(path, bytes);
    } else if (!Console::readIn(maxInputSize, bytes)) {
        failure = QString::fromLocal8Bit(std::strerror(errno));
    } else if (bytes.size() > maxInputSize) {
        failure = Messages::text(Text::FileTooLarge);
    }
    if (failure.isEmpty())
        return true;
    refuse(Messages::text(Text::CannotRead).arg(QDir::toNativeSeparators(path), failure));
    return false;
}

// The officer IDs given from the argument at from on.
bool CommandLine::parseIds(int from, QVector<int> *ids)
{
    for (int i = from; i < m_arguments.size(); ++i) {
        bool ok = false;
        const int id = argument(i).toInt(&ok);
        if (!ok) {
            usage(tr("「%1」不是武將的編號。").arg(argument(i)));
            return false;
        }
        ids->append(id);
    }
    return true;
}

// The slots of the officers with the IDs given; every ID must name an
// officer of the file at path.
bool CommandLine::slotsOf(const QList<QByteArray> &records, const QString &path,
                          const QVector<int> &ids, QVector<int> *chosen)
{
    for (int id : ids) {
        const int slot = id - officerIdBase;
        if (slot < 0 || slot >= records.size() || isEmptySlot(records.at(slot))) {
            refuse(tr("「%1」中沒有編號為%2的武將。").arg(fileNameOf(path)).arg(id));
            return false;
        }
        chosen->append(slot);
    }
    return true;
}

// A number of officers, as the form's fields take it: 0 to 150.
bool CommandLine::parseCount(const char *option, qint64 *count)
{
    if (!isSet(option))
        return true;
    bool ok = false;
    const int number = value(option).toInt(&ok);
    if (!ok || number < 0 || number > recordCount) {
        usage(tr("「--%1」的值「%2」不是0到150之間的整數。")
                      .arg(QLatin1String(option), value(option)));
        return false;
    }
    *count = number;
    return true;
}

template<typename T>
bool CommandLine::parseChoice(const char *option,
                              std::initializer_list<std::pair<const char *, T>> choices, T *chosen)
{
    if (!isSet(option))
        return true;
    QStringList names;
    for (const auto &[name, choice] : choices) {
        if (value(option) == QLatin1String(name)) {
            *chosen = choice;
            return true;
        }
        names.append(QLatin1String(name));
    }
    usage(tr("「--%1」的值「%2」無效，可用的值：%3。")
                  .arg(QLatin1String(option), value(option), names.join(QStringLiteral("、"))));
    return false;
}

// The option rows of the form: those left out as the form stands when the
// program starts.
bool CommandLine::parseFormOptions(Generate::Options *options)
{
    using namespace Generate;
    *options = startOptions;
    if (isSet("all-round") && isSet("bias")) {
        usage(tr("「%1」與「%2」不能同時使用。")
                      .arg(QStringLiteral("--all-round"), QStringLiteral("--bias")));
        return false;
    }
    if (isSet("bias"))
        options->biased = true;
    if (isSet("all-round"))
        options->biased = false;
    options->typeEffect = options->typeEffect || isSet("type-effect");
    options->character = options->character || isSet("character");
    options->useHistoric = options->useHistoric || isSet("historic-portraits");
    return parseChoice<AbilityLevel>("abilities",
                                     {{"super", AbilityLevel::Super},
                                      {"high", AbilityLevel::High},
                                      {"medium", AbilityLevel::Medium},
                                      {"low", AbilityLevel::Low}},
                                     &options->abilities)
           && parseChoice<SkillLevel>("skills",
                                      {{"all", SkillLevel::All},
                                       {"many", SkillLevel::Many},
                                       {"medium", SkillLevel::Medium},
                                       {"little", SkillLevel::Little}},
                                      &options->skills)
           && parseChoice<AptitudeLevel>("troops",
                                         {{"all", AptitudeLevel::All},
                                          {"some", AptitudeLevel::Some},
                                          {"bad", AptitudeLevel::Bad}},
                                         &options->aptitudes);
}

// Ends a command that changes FILE; status says what it did, as the
// window's status bar says it. With --dry-run, it lists the officers that
// would change (with listChanged) and writes nothing. Otherwise the result
// goes to standard output, to OUT, or into FILE: in place only when
// anything changed, after the backups that the window's first save after an
// open makes, and never over another program's change.
int CommandLine::finish(const EditState &after, const QString &status, bool listChanged)
{
    const QVector<int> changed = changedSlots(m_records, after.records);
    if (m_dryRun) {
        if (!status.isEmpty())
            say(status);
        if (listChanged) {
            for (int slot : changed)
                say(listLine(after.records, slot));
        }
        say(tr("試運行，沒有寫入任何文件。"));
        return Done;
    }
    QByteArray image = m_image;
    writeRecordsToImage(after.records, image);
    if (m_dataToStandardOutput) {
        Console::outBytes(image);
    } else if (!m_output.isEmpty()) {
        // Nor is OUT written while a window has it open.
        SafeKeeping::FileLock lock;
        if (lock.lock(m_output) == SafeKeeping::FileLock::HeldElsewhere)
            return refuse(readErrorText(ReadError::HeldElsewhere, m_output));
        QString reason;
        const QString failure = writeDataFile(m_output, image, &reason);
        if (!failure.isEmpty())
            return refuse(failure, reason);
    } else if (!changed.isEmpty()) {
        if (m_session.changedOnDisk())
            return refuse(
                    tr("「%1」在讀取之後已被其他程序修改，沒有寫入。").arg(fileNameOf(m_path)));
        if (const auto failure = m_session.backUpBeforeWrite())
            return refuse(tr("無法建立備份文件「%1」：%2。文件沒有寫入。")
                                  .arg(failure->shownFile(m_path), failure->reason));
        QString reason;
        const QString failure = m_session.write(after.records, &reason);
        if (!failure.isEmpty())
            return refuse(failure, reason);
    }
    if (!status.isEmpty())
        say(status);
    const QString written = m_inPlace ? (changed.isEmpty() ? QString() : m_path) : m_output;
    if (!written.isEmpty() && written != standardStream)
        say(Messages::text(Text::Saved).arg(QDir::toNativeSeparators(written)));
    return Done;
}

int CommandLine::list()
{
    if (!readFile(false))
        return m_status;
    if (isSet("json")) {
        Console::out(officersJson(m_records));
        return Done;
    }
    QString text;
    for (int slot : occupiedSlots(m_records))
        text += listLine(m_records, slot) + lineEnd();
    Console::out(text);
    return Done;
}

int CommandLine::exportCsv()
{
    if (!readFile(false))
        return m_status;
    const QList<QVariantList> rows = officerTableRows(m_records, big5Codec());
    const QByteArray csv = officerTableCsv(rows);
    const QString out = argument(1);
    if (out.isEmpty() || out == standardStream) {
        Console::outBytes(csv);
        return Done;
    }
    // The file is replaced whole, or an older one stays as it was.
    const QString reason = SafeKeeping::writeWhole(out, csv);
    if (!reason.isEmpty())
        return refuse(Messages::text(Text::CannotWrite).arg(QDir::toNativeSeparators(out), reason));
    say(Messages::text(Text::CsvExported).arg(rows.size()));
    return Done;
}

int CommandLine::update()
{
    if (!oneStandardInput({argument(0), argument(1)}) || !readFile(true))
        return m_status;
    QByteArray csv;
    if (!readText(argument(1), csv))
        return m_status;
    const CsvUpdatePlan plan =
            planCsvUpdate(m_records, csv, big5Codec(), SimplifiedConverter::program().function());
    if (plan.missingIdColumn)
        return refuse(Messages::text(Text::CsvMissingId));
    EditState state = editStateOf(m_records);
    // The columns the window's table computes are not read, which the
    // window says under the changes, or below its message when nothing
    // changes.
    const QString note = plan.computedColumnsDiffer ? computedColumnsNote() : QString();
    if (plan.changes.isEmpty() && plan.errors.isEmpty()) {
        const QString unchanged = Messages::text(Text::CsvUnchanged);
        return finish(state, note.isEmpty() ? unchanged : unchanged + lineEnd() + note, false);
    }
    for (const CsvChange &change : plan.changes)
        say(tr("%1 %2 %3：%4 → %5")
                    .arg(QString::number(officerIdBase + change.slot), change.officer,
                         change.column, change.oldValue, change.newValue));
    if (!note.isEmpty())
        say(note);
    for (const QString &error : csvErrorLines(plan))
        Console::err(error + lineEnd());
    if (!plan.errors.isEmpty())
        return Failed;
    const int changed = Commands::updateFromCsv(state, plan);
    return finish(state, changed > 0 ? Messages::text(Text::CsvUpdated).arg(changed) : QString(),
                  false);
}

int CommandLine::generate()
{
    Generate::BatchRequest request;
    Generate::Options options;
    if (!parseCount("men", &request.men) || !parseCount("women", &request.women)
        || !parseCount("families", &request.families) || !parseFormOptions(&options))
        return m_status;
    // The pools are loaded and reported as the window does at its start.
    Names::NamePools pools;
    const int failed = Names::loadNamePools(
            isSet("pools") ? value("pools") : Names::programPoolFolder(), pools);
    if (failed >= 0)
        Console::err(Messages::poolFailure(failed) + lineEnd());
    if (!readFile(true))
        return m_status;
    EditState state = editStateOf(m_records);
    const Outcome outcome = Commands::generateBatch(state, request, options, pools);
    if (const QString refusal = Messages::refusal(outcome); !refusal.isEmpty())
        return refuse(refusal);
    return finish(state, outcome == Outcome::Changed
                                 ? Messages::text(Text::Generated).arg(request.men + request.women)
                                 : QString());
}

int CommandLine::single()
{
    const bool male = isSet("male");
    const bool female = isSet("female");
    if (male && female)
        return usage(tr("「%1」與「%2」不能同時使用。")
                             .arg(QStringLiteral("--male"), QStringLiteral("--female")));
    if (!male && !female)
        return usage(tr("請以「--male」或「--female」指定性別。"));
    Generate::Options options;
    if (!parseFormOptions(&options) || !readFile(true))
        return m_status;
    EditState state = editStateOf(m_records);
    const Names::PersonName typed = {argument(1), argument(2), argument(3)};
    Names::PersonName written;
    const Outcome outcome = Commands::generateSingle(
            state, typed, female, options, SimplifiedConverter::program().function(), &written);
    if (const QString refusal = Messages::refusal(outcome); !refusal.isEmpty())
        return refuse(refusal);
    // Names typed in simplified Chinese were written in traditional characters.
    QString status;
    if (outcome == Outcome::Changed)
        status = written == typed ? Messages::text(Text::GeneratedOne)
                                  : Names::conversionMessage(typed, written);
    return finish(state, status);
}

int CommandLine::fathers()
{
    if (!readFile(true))
        return m_status;
    EditState state = editStateOf(m_records);
    const Outcome outcome = Commands::assignFathers(state);
    return finish(state, Messages::text(outcome == Outcome::Changed ? Text::FathersLinked
                                                                    : Text::FathersUnchanged));
}

int CommandLine::importOfficers()
{
    QVector<int> ids;
    if (!oneStandardInput({argument(0), argument(1)}) || !parseIds(2, &ids) || !readFile(true))
        return m_status;
    const QString other = argument(1);
    QByteArray otherImage;
    const ReadError error = readData(other, otherImage);
    if (error != ReadError::None)
        return refuse(readErrorText(error, other));
    const QList<QByteArray> source = splitRecords(otherImage);
    QVector<int> chosen;
    if (ids.isEmpty())
        chosen = occupiedSlots(source);
    else if (!slotsOf(source, other, ids, &chosen))
        return m_status;
    EditState state = editStateOf(m_records);
    const auto added = Commands::importOfficers(state, source, chosen);
    if (!added)
        return refuse(Messages::refusal(Outcome::TooMany));
    return finish(state,
                  added->isEmpty() ? QString() : Messages::text(Text::Imported).arg(added->size()));
}

int CommandLine::code()
{
    QVector<int> ids;
    QVector<int> chosen;
    if (!parseIds(1, &ids) || !readFile(false) || !slotsOf(m_records, m_path, ids, &chosen))
        return m_status;
    Console::out(officerText(m_records, chosen, big5Codec()));
    return Done;
}

int CommandLine::paste()
{
    const QString textPath = m_arguments.size() > 1 ? argument(1) : standardStream;
    if (!oneStandardInput({argument(0), textPath}) || !readFile(true))
        return m_status;
    QByteArray text;
    if (!readText(textPath, text))
        return m_status;
    const CopiedOfficers officers = officersFromText(QString::fromUtf8(text));
    switch (officers.status) {
    case CopiedOfficers::NoOfficers:
        return refuse(tr("文本中沒有武將碼。"));
    case CopiedOfficers::Damaged:
        return refuse(Messages::text(Text::CodeDamaged));
    case CopiedOfficers::Valid:
        break;
    }
    EditState state = editStateOf(m_records);
    const auto pasted = Commands::pasteOfficers(state, officers);
    if (!pasted)
        return refuse(Messages::refusal(Outcome::TooMany));
    return finish(state,
                  pasted->isEmpty() ? QString() : Messages::text(Text::Pasted).arg(pasted->size()));
}

int CommandLine::check()
{
    if (!readFile(false))
        return m_status;
    const QVector<FileProblem> problems = checkRecords(m_records, big5Codec());
    QVector<FileProblem> shown;
    for (const FileProblem &problem : problems) {
        if (!isSet("errors-only") || problem.level == ProblemLevel::Error)
            shown.append(problem);
    }
    if (isSet("json")) {
        Console::out(problemsJson(shown));
    } else {
        QString text;
        for (const FileProblem &problem : qAsConst(shown))
            text += problemText(problem) + lineEnd();
        Console::out(text);
    }
    // Notes alone do not fail a check, and showing errors only changes
    // nothing of it.
    return errorCount(problems) > 0 ? Failed : Done;
}

// 全部修正 with every problem shown: the repairs of every problem that has
// one, each listed as its problem's line; then what they leave.
int CommandLine::fix()
{
    if (!readFile(true))
        return m_status;
    QTextCodec *codec = big5Codec();
    const QVector<FileProblem> problems = checkRecords(m_records, codec);
    int repaired = 0;
    const QList<QByteArray> records = repairRecords(m_records, problems, codec, &repaired);
    for (const FileProblem &problem : problems) {
        if (problem.repairable)
            say(problemText(problem));
    }
    const int status = finish(editStateOf(records),
                              repaired > 0 ? tr("已修正%1個問題。").arg(repaired)
                                           : tr("沒有可以自動修正的問題。"),
                              false);
    if (status != Done)
        return status;
    const QVector<FileProblem> left = checkRecords(records, codec);
    if (!left.isEmpty()) {
        say(tr("以下問題無法自動修正："));
        for (const FileProblem &problem : left)
            say(problemText(problem));
    }
    return Done;
}

// How many arguments a command takes: its required ones, and at most (-1
// for any number).
std::pair<int, int> argumentCounts(const Command &command, QStringList *names)
{
    int required = 0;
    int most = 0;
    for (const QString &word : QString::fromLatin1(command.arguments).split(QLatin1Char(' '))) {
        const bool optional = word.startsWith(QLatin1Char('['));
        QString name = word;
        name.remove(QLatin1Char('[')).remove(QLatin1Char(']')).remove(QStringLiteral("..."));
        names->append(name);
        if (!optional)
            ++required;
        most = word.contains(QLatin1String("...")) || most < 0 ? -1 : most + 1;
    }
    return {required, most};
}

int runCommand(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
    for (const OptionSpec &option : optionSpecs) {
        if (command.options & option.group)
            parser.addOption(option.valueName
                                     ? QCommandLineOption(QLatin1String(option.name), QString(),
                                                          QLatin1String(option.valueName))
                                     : QCommandLineOption(QLatin1String(option.name)));
    }
    if (!parser.parse(arguments))
        return CommandLine::usageError(parser.errorText(), command.name);
    if (parser.isSet(QStringLiteral("help"))) {
        Console::out(commandHelp(command));
        return Done;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        Console::out(versionText());
        return Done;
    }
    QStringList names;
    const auto [required, most] = argumentCounts(command, &names);
    const QStringList given = parser.positionalArguments();
    if (given.size() < required)
        return CommandLine::usageError(CommandLine::tr("缺少參數%1。").arg(names.at(given.size())),
                                       command.name);
    if (most >= 0 && given.size() > most)
        return CommandLine::usageError(CommandLine::tr("多餘的參數「%1」。").arg(given.at(most)),
                                       command.name);
    CommandLine line(command, parser);
    return (line.*command.run)();
}

int dispatch(const QStringList &arguments)
{
    // The options before the command are the program's own; everything
    // after it is the command's.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
    if (!parser.parse(arguments))
        return CommandLine::usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        Console::out(generalHelp());
        return Done;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        Console::out(versionText());
        return Done;
    }
    const QStringList rest = parser.positionalArguments();
    if (rest.isEmpty())
        return CommandLine::usageError(CommandLine::tr("缺少命令。"));
    if (rest.first() == QLatin1String("help")) {
        if (rest.size() == 1) {
            Console::out(generalHelp());
            return Done;
        }
        const Command *command = findCommand(rest.at(1));
        if (!command || rest.size() > 2)
            return CommandLine::usageError(
                    CommandLine::tr("未知的命令「%1」。").arg(rest.mid(1).join(QLatin1Char(' '))));
        Console::out(commandHelp(*command));
        return Done;
    }
    const Command *command = findCommand(rest.first());
    if (!command)
        return CommandLine::usageError(CommandLine::tr("未知的命令「%1」。").arg(rest.first()));
    return runCommand(*command, QStringList{arguments.value(0)} + rest.mid(1));
}

} // namespace

int run(const QStringList &arguments)
{
    const int status = dispatch(arguments);
    // Output that could not be written (a full disk) is a failure too.
    if (!Console::flush()) {
        Console::err(CommandLine::tr("無法寫入標準輸出。") + lineEnd());
        return Failed;
    }
    return status;
}

} // namespace Cli
