// Robustness: random data files driven through random command sequences,
// hostile name-pool files and hostile paths in the open command.

#include "big5.h"
#include "datafolder.h"
#include "editdata.h"
#include "mainwindow.h"
#include "namepools.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <random>
#include <thread>

// Named pipes are POSIX: Windows builds leave out the case that uses one.
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace EditData;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int randomFileCount = 200;
#else
constexpr int randomFileCount = 260;
#endif
constexpr quint32 baseSeed = 20240611;

using Rng = std::mt19937;

int uniform(Rng &rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

bool chance(Rng &rng, int percent)
{
    return uniform(rng, 0, 99) < percent;
}

template<typename T>
const T &pick(Rng &rng, const QList<T> &list)
{
    return list.at(uniform(rng, 0, list.size() - 1));
}

QByteArray randomBytes(Rng &rng, int size, bool nonZero = false)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; i += 4) {
        const quint32 word = rng();
        for (int j = i; j < qMin(i + 4, size); ++j)
            bytes[j] = static_cast<char>(word >> (8 * (j - i)));
    }
    if (nonZero)
        std::replace(bytes.begin(), bytes.end(), '\0', char(uniform(rng, 1, 255)));
    return bytes;
}

QTextCodec *big5Codec()
{
    return QTextCodec::codecForName("Big5");
}

QStringList bundledPool(const char *file)
{
    const QString dir = QString::fromLocal8Bit(qgetenv("OFFICER_DATA_DIR"));
    return Names::parseNamePool(readFile(dir + QLatin1Char('/') + QLatin1String(file)));
}

// The row the list shows for one record, or a null string for a free slot.
QString rowOf(const QByteArray &record)
{
    return officerNameRows({record}, big5Codec()).value(0);
}

void put(QByteArray &record, int offset, const QByteArray &bytes)
{
    record.replace(offset, bytes.size(), bytes);
}

// A Big5 lead byte with nothing valid after it: the field ends in half a
// character.
char leadByte(Rng &rng)
{
    return static_cast<char>(uniform(rng, 0x81, 0xFE));
}

// Valid Big5 text of exactly `size` bytes (size even), from the name pools.
QByteArray big5Filler(Rng &rng, const QList<QByteArray> &characters, int size)
{
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += pick(rng, characters);
    return bytes.left(size);
}

struct Material
{
    QList<QByteArray> families; // Big5
    QList<QByteArray> givens; // Big5
    QList<QByteArray> characters; // single two-byte Big5 characters
};

quint16 randomPortrait(Rng &rng)
{
    switch (uniform(rng, 0, 5)) {
    case 0:
        return 0;
    case 1:
        return 0xFFFF;
    case 2:
        return static_cast<quint16>(uniform(rng, 1130, 1179)); // generic men
    case 3:
        return static_cast<quint16>(uniform(rng, 1180, 1209)); // generic women
    default:
        return static_cast<quint16>(uniform(rng, 0, 0xFFFF));
    }
}

quint16 randomBirthYear(Rng &rng)
{
    switch (uniform(rng, 0, 5)) {
    case 0:
        return 0;
    case 1:
        return 0xFFFF;
    case 2:
        return static_cast<quint16>(uniform(rng, 0, 0xFFFF));
    default:
        return static_cast<quint16>(uniform(rng, 120, 200));
    }
}

// One occupied record with awkward names and numbers.
QByteArray occupied(Rng &rng, const Material &m, const QList<QByteArray> &fileFamilies)
{
    QByteArray record = chance(rng, 50) ? randomBytes(rng, recordSize) : QByteArray(recordSize, 0);
    if (chance(rng, 8))
        return randomBytes(rng, recordSize, true); // no zero byte at all

    switch (uniform(rng, 0, 5)) {
    case 0: // five bytes: the name runs into the given name
        put(record, familyName, randomBytes(rng, 5, true));
        break;
    case 1: // half a character at the end of the field
        put(record, familyName, pick(rng, m.characters) + 'a' + leadByte(rng));
        record[4] = 0;
        break;
    case 2: // no family name
        put(record, familyName, QByteArray(4, 0));
        break;
    default:
        put(record, familyName, QByteArray(5, 0));
        put(record, familyName, pick(rng, fileFamilies));
        break;
    }
    switch (uniform(rng, 0, 4)) {
    case 0: // 29 bytes ending in half a character
        put(record, givenName, big5Filler(rng, m.characters, 28) + leadByte(rng) + '\0');
        break;
    case 1: // no zero byte up to the style name
        put(record, givenName, randomBytes(rng, 30, true));
        break;
    default:
        put(record, givenName, pick(rng, m.givens) + '\0');
        break;
    }
    switch (uniform(rng, 0, 4)) {
    case 0:
        put(record, styleName, QByteArray(4, 0));
        break;
    case 1:
        put(record, styleName, big5Filler(rng, m.characters, 28) + leadByte(rng) + '\0');
        break;
    case 2: // runs on into the rest of the record
        put(record, styleName, randomBytes(rng, 30, true));
        break;
    default:
        put(record, styleName, pick(rng, m.givens) + '\0');
        break;
    }
    writeU16(record, portrait, randomPortrait(rng));
    writeU16(record, birthYear, randomBirthYear(rng));
    if (chance(rng, 50)) {
        const quint16 father = chance(rng, 50) ? noFather : uniform(rng, 700, 849);
        writeU16(record, fatherId, father);
        writeU16(record, fatherId2, father);
    }
    if (isEmptySlot(record))
        record[familyName] = 'x';
    return record;
}

// A free record: zero where the slot is tested, anything elsewhere.
QByteArray freeRecord(Rng &rng)
{
    QByteArray record = chance(rng, 50) ? randomBytes(rng, recordSize) : QByteArray(recordSize, 0);
    std::memset(record.data() + familyName, 0, 4);
    std::memset(record.data() + givenName, 0, 4);
    return record;
}

QByteArray randomImage(Rng &rng, const Material &m)
{
    if (chance(rng, 20))
        return randomBytes(rng, fileSize);

    QByteArray image = chance(rng, 50) ? randomBytes(rng, fileSize) : QByteArray(fileSize, 0);
    // A few family names per file, so that fathers can be found.
    QList<QByteArray> fileFamilies;
    for (int i = uniform(rng, 1, 5); i > 0; --i)
        fileFamilies.append(pick(rng, m.families));
    const int occupiedPercent = QList<int>{0, 10, 50, 90, 100}.at(uniform(rng, 0, 4));
    for (int slot = 0; slot < recordCount; ++slot) {
        putRecord(image, slot,
                  chance(rng, occupiedPercent) ? occupied(rng, m, fileFamilies) : freeRecord(rng));
    }
    return image;
}

// A name as someone might type it: mostly Big5 text, sometimes too long,
// sometimes with characters Big5 lacks.
QString typedName(Rng &rng, const Material &m, int maxCharacters)
{
    if (chance(rng, 15))
        return QString();
    QString name;
    const int length = uniform(rng, 1, maxCharacters);
    for (int i = 0; i < length; ++i) {
        switch (uniform(rng, 0, 19)) {
        case 0:
            name += QStringLiteral("ア"); // not in Big5, nor made so by any conversion
            break;
        case 1:
            name += QString::fromUcs4(U"\U0001F600");
            break;
        case 2:
            name += QLatin1Char(static_cast<char>(uniform(rng, 'A', 'z')));
            break;
        default:
            name += fromBig5(pick(rng, m.characters));
            break;
        }
    }
    return name;
}

QString typedCount(Rng &rng)
{
    switch (uniform(rng, 0, 11)) {
    case 0:
        return QString();
    case 1:
        return QStringLiteral("abc");
    case 2:
        return QStringLiteral("-3");
    case 3:
        return QString::number(uniform(rng, 0, 200));
    case 4:
        return QStringLiteral("99999999999");
    case 5:
        return QStringLiteral("0");
    default:
        return QString::number(uniform(rng, 0, 12));
    }
}

bool encodesExactly(const QString &name)
{
    QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
    const QByteArray bytes = big5Codec()->fromUnicode(name.constData(), name.size(), &state);
    return state.invalidChars == 0 && big5Codec()->toUnicode(bytes) == name;
}

bool isChecked(MainWindow &window, const char *name)
{
    auto *button = window.findChild<QAbstractButton *>(QLatin1String(name));
    return button && button->isChecked();
}

// What the test knows about the file that is open in the window.
struct Model
{
    QString path;
    QByteArray opened;
    QList<QByteArray> openedRecords;
    // The records as far as the test can tell: the opened ones, with the
    // names that single generation typed into them, and after each save
    // what the window saved.
    QList<QByteArray> records;
    // For the checks on save.
    QVector<bool> touched; // generation wrote into the slot
    QVector<bool> typed; // ... by single generation, with the names known
    QVector<int> genderByte; // what single generation wrote, or -1
    // For the checks on the list: which bytes of the records above may
    // differ from the window's since the last save.
    QVector<bool> namesUnknown; // bytes 0-64 (batch generation)
    QVector<bool> valuesUnknown; // bytes 1054-1117 (any generation)
    QVector<bool> fathersUnknown; // bytes 1094-1097 (father assignment)

    void reset(const QString &filePath, const QByteArray &image)
    {
        path = filePath;
        opened = image;
        openedRecords = splitRecords(image);
        records = openedRecords;
        touched = QVector<bool>(recordCount, false);
        typed = QVector<bool>(recordCount, false);
        genderByte = QVector<int>(recordCount, -1);
        sync(records);
    }
    // After a save the window's records are known again.
    void sync(const QList<QByteArray> &saved)
    {
        records = saved;
        namesUnknown = QVector<bool>(recordCount, false);
        valuesUnknown = QVector<bool>(recordCount, false);
        fathersUnknown = QVector<bool>(recordCount, false);
    }
    int occupiedCount() const
    {
        return int(std::count_if(records.cbegin(), records.cend(),
                                 [](const QByteArray &r) { return !isEmptySlot(r); }));
    }
    int firstFree() const
    {
        return int(std::find_if(records.cbegin(), records.cend(), isEmptySlot) - records.cbegin());
    }
};

// How far into the record its row reads: names without a zero byte run on.
int rowReadsTo(const QByteArray &record)
{
    auto end = [&record](int offset) {
        const int zero = record.indexOf('\0', offset);
        return zero < 0 ? record.size() : zero;
    };
    int to = qMax(end(familyName), end(givenName));
    if (readU16(record, styleName) != 0 || readU16(record, styleName + 2) != 0)
        to = qMax(to, end(styleName));
    return to;
}

// Checks the list the window shows against the model.
void checkList(MainWindow &window, const Model &model)
{
    const QStringList rows = listedNames(window);
    QCOMPARE(rows.size(), model.occupiedCount());
    int row = 0;
    for (int slot = 0; slot < recordCount; ++slot) {
        const QByteArray &record = model.records.at(slot);
        if (isEmptySlot(record))
            continue;
        const QString listed = rows.at(row++);
        const QString where = QStringLiteral("slot %1: %2").arg(slot).arg(listed.left(40));
        const int readsTo = rowReadsTo(record);
        if (model.namesUnknown.at(slot)) {
            QVERIFY2(!listed.isEmpty(), qPrintable(where));
        } else if (model.valuesUnknown.at(slot) && readsTo > gender) {
            // The row runs into values just drawn: the part before them
            // stands, but for its last character, which may be cut.
            QString known = rowOf(record.left(gender));
            if (known.endsWith(QLatin1Char(')')))
                known.chop(1);
            known.chop(1);
            QVERIFY2(listed.startsWith(known), qPrintable(where));
        } else if (model.fathersUnknown.at(slot) && readsTo > fatherId) {
            // The row runs through the father fields: any father will do.
            bool found = listed == rowOf(record);
            for (int father = officerIdBase; !found && father < officerIdBase + recordCount;
                 ++father) {
                QByteArray withFather = record;
                writeU16(withFather, fatherId, quint16(father));
                writeU16(withFather, fatherId2, quint16(father));
                found = listed == rowOf(withFather);
            }
            QVERIFY2(found, qPrintable(where));
        } else {
            QCOMPARE(listed, rowOf(record));
        }
    }
}

// The changed name field holds a name and its zero byte within its limits.
void checkNameField(const QByteArray &saved, const QByteArray &opened, int offset, int maxBytes)
{
    if (saved.mid(offset, maxBytes + 1) == opened.mid(offset, maxBytes + 1))
        return;
    const int zero = saved.indexOf('\0', offset);
    QVERIFY2(zero >= offset && zero <= offset + maxBytes, qPrintable(QString::number(offset)));
    const QByteArray name = saved.mid(offset, zero - offset);
    QCOMPARE(big5(fromBig5(name)), name);
}

// Checks the file the window saved against the file it opened.
void checkSaved(const Model &model)
{
    const QByteArray saved = readFile(model.path);
    QCOMPARE(saved.size(), fileSize);
    QVERIFY(saved.left(recordAreaOffset) == model.opened.left(recordAreaOffset));
    QVERIFY(saved.mid(recordAreaEnd) == model.opened.mid(recordAreaEnd));

    const QList<QByteArray> records = splitRecords(saved);
    for (int slot = 0; slot < recordCount; ++slot) {
        const QByteArray &now = records.at(slot);
        const QByteArray &before = model.openedRecords.at(slot);
        const QString where = QStringLiteral("slot %1").arg(slot);
        if (!model.touched.at(slot)) {
            // Only father assignment reaches a record generation left alone.
            QVERIFY2(now.left(fatherId) == before.left(fatherId), qPrintable(where));
            QVERIFY2(now.mid(fatherId2 + 2) == before.mid(fatherId2 + 2), qPrintable(where));
            if (isEmptySlot(before))
                QVERIFY2(now == before, qPrintable(where));
        } else {
            QVERIFY2(now.mid(65, gender - 65) == before.mid(65, gender - 65), qPrintable(where));
            QVERIFY2(now.mid(1098, 8) == before.mid(1098, 8), qPrintable(where));
            QVERIFY2(now.mid(1116) == before.mid(1116), qPrintable(where));
            if (model.typed.at(slot)) {
                QVERIFY2(now.left(65) == model.records.at(slot).left(65), qPrintable(where));
                QCOMPARE(readU16(now, birthYear), quint16(170));
                QCOMPARE(int(readU8(now, gender)), model.genderByte.at(slot));
            } else {
                checkNameField(now, before, familyName, familyNameMaxBytes);
                checkNameField(now, before, givenName, givenNameMaxBytes);
                checkNameField(now, before, styleName, styleNameMaxBytes);
                const quint16 year = readU16(now, birthYear);
                QVERIFY2(year == 150 || year == 170, qPrintable(where));
                QVERIFY2(readU8(now, gender) <= 1, qPrintable(where));
            }
        }
        // A father written by the program is an older namesake.
        if (now.mid(fatherId, 4) != before.mid(fatherId, 4)) {
            const quint16 father = readU16(now, fatherId);
            QCOMPARE(readU16(now, fatherId2), father);
            QVERIFY2(father >= officerIdBase && father < officerIdBase + recordCount,
                     qPrintable(where));
            const QByteArray &head = records.at(father - officerIdBase);
            QVERIFY2(!isEmptySlot(head), qPrintable(where));
            QCOMPARE(readName(head, familyName, big5Codec()),
                     readName(now, familyName, big5Codec()));
            QVERIFY2(readU16(head, birthYear) + 15 <= readU16(now, birthYear), qPrintable(where));
        }
    }
}

void expectMessages(DialogDriver &driver, const QString &kind, const QString &text)
{
    const QList<DialogDriver::Message> messages = driver.takeMessages();
    if (text.isEmpty()) {
        QVERIFY2(messages.isEmpty(), qPrintable(messages.value(0).text));
        return;
    }
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).kind, kind);
    QCOMPARE(messages.at(0).text, text);
}

void randomizeOptions(MainWindow &window, Rng &rng)
{
    const QList<QList<const char *>> groups = {
            {"radio_dimAll", "radio_dimBias"},
            {"radio_dimSuper", "radio_dimHigh", "radio_dimMedium", "radio_dimLow"},
            {"radio_specialAll", "radio_specialMany", "radio_specialMedium", "radio_specialLittle"},
            {"radio_armyAll", "radio_armySome", "radio_armyBad"},
            {"radio_genderM", "radio_genderF"},
    };
    for (const auto &group : groups)
        setChecked(window, pick(rng, group));
    for (const char *box : {"chk_typeEffect", "chk_character", "chk_family", "chk_useHistoric"})
        setChecked(window, box, chance(rng, 50));
}

// Returns whether the window took the command (and so refreshed its list).
bool generateSingle(MainWindow &window, DialogDriver &driver, Model &model, Rng &rng,
                    const Material &material)
{
    const QString names[] = {typedName(rng, material, 3), typedName(rng, material, 16),
                             typedName(rng, material, 16)};
    setText(window, "edit_fName", names[0]);
    setText(window, "edit_gName", names[1]);
    setText(window, "edit_aName", names[2]);
    const bool female = !isChecked(window, "radio_genderM");
    click(window, "cmd_generateSingle");

    const int limits[] = {familyNameMaxBytes, givenNameMaxBytes, styleNameMaxBytes};
    QString refusal;
    if (model.occupiedCount() >= recordCount)
        refusal = QStringLiteral("新武將人數已滿。");
    else if (!std::all_of(std::begin(names), std::end(names), encodesExactly))
        refusal = QStringLiteral("姓名含有Big5無法表示的字。");
    else if (big5(names[0]).size() > limits[0] || big5(names[1]).size() > limits[1]
             || big5(names[2]).size() > limits[2])
        refusal = QStringLiteral("姓名過長，無法寫入。");
    expectMessages(driver, QStringLiteral("warning"), refusal);
    if (!refusal.isEmpty())
        return false;

    const int slot = model.firstFree();
    QByteArray &record = model.records[slot];
    const int offsets[] = {familyName, givenName, styleName};
    for (int i = 0; i < 3; ++i) {
        const QByteArray bytes = big5(names[i]);
        if (!bytes.isEmpty())
            put(record, offsets[i], bytes + '\0');
    }
    model.touched[slot] = true;
    model.typed[slot] = true;
    model.valuesUnknown[slot] = true;
    model.genderByte[slot] = female ? 1 : 0;
    return true;
}

bool generateBatch(MainWindow &window, DialogDriver &driver, Model &model, Rng &rng)
{
    const QString counts[] = {typedCount(rng), typedCount(rng), typedCount(rng)};
    setText(window, "num_male", counts[0]);
    setText(window, "num_female", counts[1]);
    setText(window, "num_jiazu", counts[2]);
    click(window, "cmd_generateAll");

    const qint64 men = qMax(0, counts[0].toInt());
    const qint64 women = qMax(0, counts[1].toInt());
    const qint64 families = isChecked(window, "chk_family") ? qMax(0, counts[2].toInt()) : 0;
    QString refusal;
    if (model.occupiedCount() + men + women > recordCount)
        refusal = QStringLiteral("指定的新武將數目超過上限。");
    else if (men < families)
        refusal = QStringLiteral("指定的男武將數量小於家族數，無法繼續。");
    expectMessages(driver, QStringLiteral("warning"), refusal);
    if (!refusal.isEmpty())
        return false;

    // The new officers take the lowest free slots; the bundled pools give
    // every one of them a name.
    for (qint64 i = 0; i < men + women; ++i) {
        const int slot = model.firstFree();
        if (slot >= recordCount) {
            QTest::qFail("more officers than free slots", __FILE__, __LINE__);
            return true;
        }
        model.touched[slot] = true;
        model.typed[slot] = false;
        model.namesUnknown[slot] = true;
        model.valuesUnknown[slot] = true;
        model.records[slot][familyName] = 'x'; // occupied now
    }
    return true;
}

#ifndef Q_OS_WIN
// Opens the writing end of a pipe if the window still blocks on it after a
// while, so that a window stuck on a pipe fails the test instead of hanging.
class PipeRescue
{
public:
    explicit PipeRescue(const QString &path)
        : m_path(QFile::encodeName(path))
        , m_thread([this] { run(); })
    { }
    ~PipeRescue()
    {
        m_stop = true;
        m_thread.join();
    }
    bool rescued() const { return m_rescued; }

private:
    void run()
    {
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + seconds(5);
        while (!m_stop) {
            if (steady_clock::now() > deadline) {
                const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    m_rescued = true;
                    ::close(fd);
                }
            }
            std::this_thread::sleep_for(milliseconds(20));
        }
    }

    QByteArray m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_rescued{false};
    std::thread m_thread;
};
#endif

// The loading rules of a name-pool file, written out plainly.
QStringList poolByTheRules(const QByteArray &bytes)
{
    QStringList names;
    QSet<QString> seen;
    int start = 0;
    while (start < bytes.size()) {
        const int newline = bytes.indexOf('\n', start);
        const int end = newline < 0 ? bytes.size() : newline + 1;
        QByteArray line = bytes.mid(start, end - start);
        const int nul = line.indexOf('\0');
        if (nul >= 0)
            line.truncate(nul);
        const QString name = QString::fromUtf8(line).section(QLatin1Char(','), 0, 0);
        if (!seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
        start = end;
    }
    return names;
}

QByteArray repeated(const QByteArray &line, int times)
{
    QByteArray bytes;
    bytes.reserve(line.size() * times);
    for (int i = 0; i < times; ++i)
        bytes += line;
    return bytes;
}

QByteArray hostilePool(const QString &kind)
{
    Rng rng(baseSeed);
    if (kind == "random bytes")
        return randomBytes(rng, 64 * 1024);
    if (kind == "one line of several megabytes")
        return repeated("名", 1500 * 1000) + ",めい\r\n張,ちょう\r\n";
    if (kind == "several megabytes without a comma or break")
        return repeated("ab", 2 * 1024 * 1024);
    if (kind == "NUL bytes only")
        return QByteArray(1000, '\0');
    if (kind == "NUL bytes inside lines") {
        static const char bytes[] = "\0abc\n張\0,x\r\n\0\0\n劉,\0\n孫權\0\n";
        return QByteArray(bytes, sizeof bytes - 1);
    }
    if (kind == "invalid UTF-8") {
        return QByteArray("\xff\xfe\n\xc0\xaf,x\r\n\xed\xa0\x80,y\n\xe5\x8a,z\n"
                          "\xef\xbb\xbf\xe5\x8a\x89,a\n\x80\x80\x80\n\xe5\x8a");
    }
    if (kind == "no line break")
        return QByteArray("司馬,しば");
    if (kind == "100,000 duplicate lines")
        return repeated("劉,りゅう\r\n", 100000);
    if (kind == "empty")
        return QByteArray();
    return QByteArray("?");
}

} // namespace

class TestRobustness : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void randomFilesAndCommands();
    void hostilePoolsParseByTheRules_data();
    void hostilePoolsParseByTheRules();
    void windowStartsWithHostilePools_data();
    void windowStartsWithHostilePools();
    void hostileFilesKeepTheOpenFile_data();
    void hostileFilesKeepTheOpenFile();

private:
    QTemporaryDir m_dir;
    Material m_material;
};

void TestRobustness::initTestCase()
{
    useOwnDataFolder();
    QVERIFY(m_dir.isValid());
    QVERIFY(big5Codec());
    copyBundledPools(m_dir.path());

    for (const QString &name : bundledPool("familyName.dat"))
        m_material.families.append(big5(name));
    for (const char *file : {"boyName.dat", "girlName.dat"}) {
        for (const QString &name : bundledPool(file)) {
            m_material.givens.append(big5(name));
            for (QChar c : name)
                m_material.characters.append(big5(QString(c)));
        }
    }
    QVERIFY(m_material.families.size() > 100 && m_material.characters.size() > 100);
    for (const QByteArray &c : qAsConst(m_material.characters))
        QCOMPARE(c.size(), 2);
}

// Random files through random command sequences: after every command the
// list matches what the test knows of the records, and every save writes the
// opened file back with nothing changed but what generation and father
// assignment may write.
void TestRobustness::randomFilesAndCommands()
{
    const QString path = m_dir.path() + QStringLiteral("/editdata.rqv");
    DialogDriver driver;
    const auto started = startWindowIn(m_dir.path());
    MainWindow &window = *started;
    QVERIFY(driver.takeMessages().isEmpty());
    Model model;
    QElapsedTimer timer;
    timer.start();
    int commands = 0;

    for (int file = 0; file < randomFileCount; ++file) {
        const quint32 seed = baseSeed + quint32(file);
        Rng rng(seed);
        const QByteArray image = randomImage(rng, m_material);
        QCOMPARE(image.size(), fileSize);
        QVERIFY(writeFile(path, image));
        driver.planFileDialog(path);
        click(window, "cmd_open");
        QVERIFY(driver.takeMessages().isEmpty());
        model.reset(path, image);
        checkList(window, model);
        QStringList rows = listedNames(window);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("file %1 (seed %2) on open").arg(file).arg(seed)));

        const int steps = uniform(rng, 2, 8);
        for (int step = 0; step <= steps; ++step) {
            const int command = step == steps ? 99 : uniform(rng, 0, 23);
            QString what;
            bool refreshed = false;
            if (command <= 7) {
                what = QStringLiteral("single");
                if (chance(rng, 60))
                    randomizeOptions(window, rng);
                refreshed = generateSingle(window, driver, model, rng, m_material);
            } else if (command <= 15) {
                what = QStringLiteral("batch");
                if (chance(rng, 60))
                    randomizeOptions(window, rng);
                refreshed = generateBatch(window, driver, model, rng);
            } else if (command <= 19) {
                what = QStringLiteral("fathers");
                click(window, "cmd_assignFather");
                expectMessages(driver, QString(), QString());
                for (int slot = 0; slot < recordCount; ++slot)
                    model.fathersUnknown[slot] = !isEmptySlot(model.records.at(slot));
                // A name without its end reads on into the father fields.
                refreshed = true;
            } else if (command == 20) {
                what = QStringLiteral("cancelled open");
                driver.planFileDialog(QString());
                click(window, "cmd_open");
                expectMessages(driver, QString(), QString());
            } else {
                what = QStringLiteral("save");
                click(window, "cmd_save");
                expectMessages(driver, QStringLiteral("information"), QStringLiteral("保存完成。"));
                if (!QTest::currentTestFailed())
                    checkSaved(model);
                model.sync(splitRecords(readFile(path)));
            }
            // The list follows the records: generation and fathers may
            // change it, nothing else does.
            if (refreshed && !QTest::currentTestFailed())
                checkList(window, model);
            else if (!QTest::currentTestFailed())
                QCOMPARE(listedNames(window), rows);
            rows = listedNames(window);
            ++commands;
            if (QTest::currentTestFailed()) {
                QFAIL(qPrintable(QStringLiteral("file %1 (seed %2), command %3: %4")
                                         .arg(file)
                                         .arg(seed)
                                         .arg(step)
                                         .arg(what)));
            }
        }
    }
    qInfo("%d files, %d commands in %lld ms", randomFileCount, commands, timer.elapsed());
}

void TestRobustness::hostilePoolsParseByTheRules_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("expected"); // empty: only against the rules

    QTest::newRow("random bytes") << "random bytes" << QStringList();
    QTest::newRow("one line of several megabytes")
            << "one line of several megabytes"
            << QStringList{QString(1500 * 1000, QChar(0x540D)), QStringLiteral("張")};
    QTest::newRow("several megabytes without a comma or break")
            << "several megabytes without a comma or break"
            << QStringList{QString::fromLatin1(repeated("ab", 2 * 1024 * 1024))};
    QTest::newRow("NUL bytes only") << "NUL bytes only" << QStringList{QString()};
    QTest::newRow("NUL bytes inside lines")
            << "NUL bytes inside lines"
            << QStringList{QString(), QStringLiteral("張"), QStringLiteral("劉"),
                           QStringLiteral("孫權")};
    QTest::newRow("invalid UTF-8") << "invalid UTF-8" << QStringList();
    QTest::newRow("no line break") << "no line break" << QStringList{QStringLiteral("司馬")};
    QTest::newRow("100,000 duplicate lines")
            << "100,000 duplicate lines" << QStringList{QStringLiteral("劉")};
    QTest::newRow("empty") << "empty" << QStringList();
}

void TestRobustness::hostilePoolsParseByTheRules()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, expected);
    const QByteArray bytes = hostilePool(kind);
    const QStringList names = Names::parseNamePool(bytes);
    QCOMPARE(names, poolByTheRules(bytes));
    if (!expected.isEmpty())
        QCOMPARE(names, expected);
    // No name holds a NUL, and a name runs past a line break only at its end.
    for (const QString &name : names) {
        QVERIFY(!name.contains(QChar(0)));
        QVERIFY(name.indexOf(QLatin1Char('\n')) < 0
                || name.indexOf(QLatin1Char('\n')) == name.size() - 1);
    }
    if (kind == "invalid UTF-8")
        QVERIFY(names.at(0).startsWith(QChar(QChar::ReplacementCharacter)));
}

void TestRobustness::windowStartsWithHostilePools_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("boys"); // empty: the bundled pool
    QTest::addColumn<QString>("girls");

    const QStringList kinds = {"random bytes",
                               "one line of several megabytes",
                               "several megabytes without a comma or break",
                               "NUL bytes only",
                               "NUL bytes inside lines",
                               "invalid UTF-8",
                               "no line break",
                               "100,000 duplicate lines",
                               "empty"};
    for (const QString &kind : kinds) {
        QTest::newRow(qPrintable("family: " + kind)) << kind << QString() << QString();
        QTest::newRow(qPrintable("all: " + kind)) << kind << kind << kind;
    }
    QTest::newRow("mixed") << "100,000 duplicate lines"
                           << "one line of several megabytes"
                           << "NUL bytes inside lines";
}

// The window starts on any pool files, and batch generation draws exactly
// from what the loading rules give.
void TestRobustness::windowStartsWithHostilePools()
{
    QFETCH(QString, family);
    QFETCH(QString, boys);
    QFETCH(QString, girls);

    QTemporaryDir dir;
    copyBundledPools(dir.path());
    QList<QStringList> pools;
    const QString kinds[] = {family, boys, girls};
    const char *files[] = {"familyName.dat", "boyName.dat", "girlName.dat"};
    for (int i = 0; i < 3; ++i) {
        const QString file = dir.path() + QLatin1Char('/') + QLatin1String(files[i]);
        if (!kinds[i].isEmpty())
            QVERIFY(writeFile(file, hostilePool(kinds[i])));
        pools.append(poolByTheRules(readFile(file)));
    }
    const QString image = dir.path() + QStringLiteral("/editdata.rqv");
    QVERIFY(writeFile(image, blankImage()));

    DialogDriver driver;
    const auto started = startWindowIn(dir.path());
    MainWindow &window = *started;
    QVERIFY(driver.takeMessages().isEmpty());

    driver.planFileDialog(image);
    click(window, "cmd_open");
    QVERIFY(driver.takeMessages().isEmpty());
    setChecked(window, "chk_family");
    setText(window, "num_jiazu", "3");
    setText(window, "num_male", "10");
    setText(window, "num_female", "5");
    click(window, "cmd_generateAll");
    const QList<DialogDriver::Message> messages = driver.takeMessages();
    const QStringList rows = listedNames(window);
    if (pools.at(0).isEmpty() || pools.at(1).isEmpty() || pools.at(2).isEmpty()) {
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.at(0).text, QStringLiteral("名字庫為空，無法隨機生成。"));
        QVERIFY(rows.isEmpty());
        return;
    }
    QVERIFY(messages.isEmpty());

    // Every name is fitted to its field; an officer without any name leaves
    // its slot free.
    QTextCodec *codec = big5Codec();
    auto fitted = [codec](const QString &name, int maxBytes) {
        return fromBig5(Names::fitName(name, codec, maxBytes));
    };
    QStringList families;
    for (const QString &name : pools.at(0))
        families.append(fitted(name, familyNameMaxBytes));
    const bool anyEmpty = std::any_of(pools.cbegin(), pools.cend(),
                                      [](const QStringList &p) { return p.contains(QString()); });
    if (anyEmpty)
        QVERIFY(rows.size() <= 15);
    else
        QCOMPARE(rows.size(), 15);
    for (const QString &row : rows) {
        QVERIFY2(std::any_of(families.cbegin(), families.cend(),
                             [&row](const QString &f) { return row.startsWith(f); }),
                 qPrintable(row.left(40)));
    }
    // Small pools: every row is a family name and one or two given names.
    const QStringList givens = pools.at(1) + pools.at(2);
    if (qint64(families.size()) * givens.size() * givens.size() <= 20000) {
        QSet<QString> possible;
        for (const QString &f : qAsConst(families)) {
            for (const QString &first : givens) {
                possible.insert(f + fitted(first, givenNameMaxBytes));
                for (const QString &second : givens)
                    possible.insert(f + fitted(first + second, givenNameMaxBytes));
            }
        }
        for (const QString &row : rows)
            QVERIFY2(possible.contains(row), qPrintable(row.left(40)));
    }
    if (family == "100,000 duplicate lines" || family == "no line break") {
        for (const QString &row : rows)
            QVERIFY(row.startsWith(pools.at(0).at(0)));
    }
}

void TestRobustness::hostileFilesKeepTheOpenFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("how");
    QTest::addColumn<QString>("message"); // empty: the command sees a cancel

    const QString cannotOpen = QStringLiteral("文件無法打開。");
    const QString wrongSize = QStringLiteral("文件大小非預期。");
    QTest::newRow("folder handed to the window")
            << "folder" << int(DialogDriver::AsTyped) << cannotOpen;
    // The dialog goes into a folder instead of choosing it.
    QTest::newRow("folder chosen in the dialog")
            << "folder" << int(DialogDriver::ThroughDialog) << QString();
    QTest::newRow("missing file") << "missing" << int(DialogDriver::AsTyped) << cannotOpen;
    QTest::newRow("file vanishing after the dialog")
            << "good size" << int(DialogDriver::ThenRemoved) << cannotOpen;
#ifdef Q_OS_WIN
    // On Windows QFile::link makes a shortcut: a file of its own, too small.
    QTest::newRow("dangling shortcut")
            << "dangling link" << int(DialogDriver::AsTyped) << wrongSize;
#else
    QTest::newRow("dangling symbolic link")
            << "dangling link" << int(DialogDriver::AsTyped) << cannotOpen;
#endif
#ifndef Q_OS_WIN
    QTest::newRow("named pipe") << "pipe" << int(DialogDriver::ThroughDialog) << cannotOpen;
#endif
    for (int size : {0, 1, fileSize - 1, fileSize + 1, 5 * 1024 * 1024 + 3}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 bytes").arg(size)))
                << QString::number(size) << int(DialogDriver::ThroughDialog) << wrongSize;
    }
}

// A refused file changes nothing: before any file is open, the commands still
// ask for one; with a file open, its list stays and a save writes it.
void TestRobustness::hostileFilesKeepTheOpenFile()
{
    QFETCH(QString, kind);
    QFETCH(int, how);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const QString hostile = dir.path() + QStringLiteral("/hostile/editdata.rqv");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("hostile")));
    auto makeHostile = [&] {
        if (kind == "folder") {
            QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("hostile/editdata.rqv")));
        } else if (kind == "good size") {
            QVERIFY(writeFile(hostile, blankImage()));
        } else if (kind == "dangling link") {
            QVERIFY(QFile::link(dir.path() + QStringLiteral("/nowhere"), hostile));
#ifndef Q_OS_WIN
        } else if (kind == "pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(hostile).constData(), 0644), 0);
#endif
        } else if (kind != "missing") {
            QVERIFY(writeFile(hostile, QByteArray(kind.toInt(), 'x')));
        }
    };
    auto hostileState = [&] {
        const QFileInfo info(hostile);
        return QStringLiteral("%1 %2 %3 %4")
                .arg(info.exists())
                .arg(info.isDir())
                .arg(info.isSymLink())
                .arg(info.isFile() ? QString::fromLatin1(readFile(hostile).toBase64()) : QString());
    };

    DialogDriver answerer;
    const auto started = startWindowIn(m_dir.path());
    MainWindow &window = *started;
    QVERIFY(answerer.takeMessages().isEmpty());

    auto tryHostile = [&] {
        makeHostile();
        const QString before = hostileState();
        answerer.planFileDialog(hostile, DialogDriver::Choice(how));
#ifndef Q_OS_WIN
        if (kind == "pipe") {
            PipeRescue rescue(hostile);
            click(window, "cmd_open");
            QVERIFY2(!rescue.rescued(), "the window blocked on the pipe");
        } else {
            click(window, "cmd_open");
        }
#else
        click(window, "cmd_open");
#endif
        const QList<DialogDriver::Message> messages = answerer.takeMessages();
        if (message.isEmpty()) {
            QVERIFY(messages.isEmpty());
        } else {
            QCOMPARE(messages.size(), 1);
            QCOMPARE(messages.at(0).kind, QStringLiteral("critical"));
            QCOMPARE(messages.at(0).title, QStringLiteral("錯誤"));
            QCOMPARE(messages.at(0).text, message);
        }
        if (how != DialogDriver::ThenRemoved)
            QCOMPARE(hostileState(), before);
    };

    // Before any file is open.
    tryHostile();
    if (QTest::currentTestFailed())
        return;
    QVERIFY(listedNames(window).isEmpty());
    click(window, "cmd_save");
    QVERIFY(answerer.takeMessages().isEmpty());
    click(window, "cmd_generateSingle");
    const QList<DialogDriver::Message> refused = answerer.takeMessages();
    QCOMPARE(refused.size(), 1);
    QCOMPARE(refused.at(0).text, QStringLiteral("請先打開數據文件。"));

    // With a file open that has an officer not saved yet.
    QByteArray image = blankImage();
    putRecord(image, 0, occupiedRecord(big5("關"), big5("羽"), 160));
    putRecord(image, 2, occupiedRecord(big5("關"), big5("平"), 180));
    const QString good = dir.path() + QStringLiteral("/editdata.rqv");
    QVERIFY(writeFile(good, image));
    answerer.planFileDialog(good, DialogDriver::ThroughDialog);
    click(window, "cmd_open");
    QVERIFY(answerer.takeMessages().isEmpty());
    setText(window, "edit_fName", QStringLiteral("關"));
    setText(window, "edit_gName", QStringLiteral("興"));
    click(window, "cmd_generateSingle");
    const QStringList listed = {"關羽", "關興", "關平"};
    QCOMPARE(listedNames(window), listed);

    if (kind != "folder" && kind != "missing")
        QVERIFY(QFile::remove(hostile) || !QFileInfo::exists(hostile));
    tryHostile();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(listedNames(window), listed);

    click(window, "cmd_assignFather");
    click(window, "cmd_save");
    const QList<DialogDriver::Message> saved = answerer.takeMessages();
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.at(0).text, QStringLiteral("保存完成。"));
    const QByteArray written = readFile(good);
    QCOMPARE(written.size(), fileSize);
    const QList<QByteArray> records = recordsOf(written);
    QCOMPARE(rowOf(records.at(1)), QStringLiteral("關興"));
    // 關平 (born 180) is the son of 關羽 (160); the new 關興 (170) is born
    // too soon after 關羽 to be his son.
    QCOMPARE(readU16(records.at(2), fatherId), quint16(officerIdBase));
    QCOMPARE(readU16(records.at(2), fatherId2), quint16(officerIdBase));
    QVERIFY(readU16(records.at(1), fatherId) != officerIdBase);
    QVERIFY(written.left(recordAreaOffset) == image.left(recordAreaOffset));
}

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"
