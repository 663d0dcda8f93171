// The officer editor: which bytes each field writes, what it refuses, the
// father and portrait choices, and the edit as one step of the window.

#include "datafolder.h"
#include "editdata.h"
#include "familytree.h"
#include "mainwindow.h"
#include "officerdialog.h"
#include "officeredit.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>
#include <QTimer>

#include <functional>

using namespace EditData;

namespace {

QByteArray patterned(const QString &family, const QString &given, quint16 born, quint16 face)
{
    return patternedRecord(family, given, 0, born, face, noFather);
}

// 劉弘, his son 劉備, grandson 劉禪; 關羽 stands alone. The four hold generic
// portraits 1130, 1132 and 1131, and historical 500.
QList<QByteArray> family()
{
    QList<QByteArray> records = splitRecords(QByteArray());
    records[0] = patterned("劉", "弘", 140, 1130);
    records[1] = patterned("劉", "備", 161, 1132);
    writeU16(records[1], fatherId, 700);
    writeU16(records[1], fatherId2, 700);
    records[2] = patterned("劉", "禪", 207, 500);
    writeU16(records[2], fatherId, 701);
    records[4] = patterned("關", "羽", 160, 1131);
    return records;
}

template<typename T>
T *field(QWidget &dialog, const char *name)
{
    T *widget = dialog.findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no field %s", name);
    return widget;
}

void choose(QComboBox *box, int number)
{
    box->setCurrentIndex(box->findData(number));
}

QStringList items(QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}

} // namespace

class TestOfficerEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void eachFieldWritesItsBytes();
    void shorterNames();
    void handMadeValuesSurvive();
    void choices();
    void editIsOneStep();
    void refusals_data();
    void refusals();
    void simplifiedNamesConverted();
    void portraitsFollow();

private:
    bool editRow(int row, const std::function<void(OfficerDialog &)> &edit);
    QByteArray saved();

    QTemporaryDir m_dir;
    QString m_path;
    QByteArray m_image;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
};

void TestOfficerEditor::initTestCase()
{
    useOwnDataFolder();
}

void TestOfficerEditor::init()
{
    m_driver.reset(new DialogDriver);
    copyBundledPools(m_dir.path());
    m_window = startWindowIn(m_dir.path());
    m_path = m_dir.path() + "/editdata.rqv";
    m_image = blankImage();
    const QList<QByteArray> records = family();
    for (int slot = 0; slot < records.size(); ++slot)
        putRecord(m_image, slot, records.at(slot));
    QVERIFY(writeFile(m_path, m_image));
    m_driver->planFileDialog(m_path);
    click(*m_window, "cmd_open");
    QVERIFY(m_driver->takeMessages().isEmpty());
}

void TestOfficerEditor::cleanup()
{
    m_window.reset();
    m_driver.reset();
}

// Opens the editor with F2 on a row of the list, lets edit fill it in and
// presses OK. Returns whether the editor refused and stayed open; it is then
// cancelled.
bool TestOfficerEditor::editRow(int row, const std::function<void(OfficerDialog &)> &edit)
{
    auto *list = m_window->findChild<QListView *>("nameListView");
    activate(*m_window);
    list->setFocus();
    list->setCurrentIndex(list->model()->index(row, 0));
    bool opened = false;
    bool stayed = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<OfficerDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        opened = true;
        edit(*dialog);
        field<QDialogButtonBox>(*dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        stayed = dialog->isVisible();
        if (stayed)
            dialog->reject();
    });
    QTest::keyClick(list, Qt::Key_F2);
    if (!opened)
        qWarning("the editor did not open");
    return stayed;
}

QByteArray TestOfficerEditor::saved()
{
    click(*m_window, "cmd_save");
    return m_driver->takeMessages().size() == 1 ? readFile(m_path) : QByteArray();
}

// Each field changes its own bytes and nothing else of the 1118.
void TestOfficerEditor::eachFieldWritesItsBytes()
{
    struct Edit
    {
        const char *what;
        std::function<void(OfficerDialog &)> edit;
        std::function<void(QByteArray &)> expected;
    };
    const auto spin = [](const char *name, int value) {
        return [=](OfficerDialog &d) { field<QSpinBox>(d, name)->setValue(value); };
    };
    const Edit edits[] = {
            {"family name",
             [](OfficerDialog &d) { field<QLineEdit>(d, "edit_familyName")->setText("諸葛"); },
             [](QByteArray &r) { r.replace(familyName, 5, big5("諸葛") + '\0'); }},
            {"given name",
             [](OfficerDialog &d) { field<QLineEdit>(d, "edit_givenName")->setText("玄德公"); },
             [](QByteArray &r) { r.replace(givenName, 7, big5("玄德公") + '\0'); }},
            {"style name",
             [](OfficerDialog &d) { field<QLineEdit>(d, "edit_styleName")->setText("玄德"); },
             [](QByteArray &r) { r.replace(styleName, 5, big5("玄德") + '\0'); }},
            {"birth year", spin("spin_birthYear", 65535),
             [](QByteArray &r) { writeU16(r, birthYear, 65535); }},
            {"portrait", [](OfficerDialog &d) { choose(field<QComboBox>(d, "combo_portrait"), 5); },
             [](QByteArray &r) { writeU16(r, portrait, 5); }},
            {"ability", spin("spin_ability3", 148),
             [](QByteArray &r) { writeU8(r, abilities + 2, 148); }},
            {"aptitude", spin("spin_aptitude2", 3),
             [](QByteArray &r) { writeU8(r, aptitudes + 1, 3); }},
            {"skill", spin("spin_skillA10", 0), [](QByteArray &r) { writeU8(r, skillsA + 9, 0); }},
            {"skill B", spin("spin_skillB1", 9), [](QByteArray &r) { writeU8(r, skillsB, 9); }},
            {"character", spin("spin_character", 0),
             [](QByteArray &r) { writeU8(r, characterCode, 0); }},
            {"father", [](OfficerDialog &d) { choose(field<QComboBox>(d, "combo_father"), 704); },
             [](QByteArray &r) {
                 writeU16(r, fatherId, 704);
                 writeU16(r, fatherId2, 704);
             }},
    };
    const QList<QByteArray> records = family();
    for (const Edit &edit : edits) {
        OfficerDialog dialog(records, 1);
        edit.edit(dialog);
        dialog.accept();
        QByteArray expected = records.at(1);
        edit.expected(expected);
        QVERIFY2(expected != records.at(1), edit.what);
        QVERIFY2(dialog.record() == expected, edit.what);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    OfficerDialog untouched(records, 1);
    untouched.accept();
    QCOMPARE(untouched.record(), records.at(1));
}

// A shorter name clears the old text behind it, not the bytes behind that,
// and never writes past its field.
void TestOfficerEditor::shorterNames()
{
    QByteArray record(recordSize, '\x55');
    record.replace(givenName, 9, "ABCDEFGH\0", 9);
    writeNameField(record, givenName, 30, "XY");
    QCOMPARE(record.mid(givenName, 11), QByteArray("XY\0\0\0\0\0\0\0\x55\x55", 11));

    record.fill('\x55'); // no zero byte anywhere
    writeNameField(record, familyName, 5, "Z");
    QCOMPARE(record.left(6), QByteArray("Z\0\0\0\0\x55", 6));
    writeNameField(record, styleName, 30, QByteArray());
    QCOMPARE(record.mid(styleName, 31), QByteArray(30, '\0') + '\x55');
}

// Values a hand-made file holds outside the fields' ranges are shown as
// they are and kept while another field changes.
void TestOfficerEditor::handMadeValuesSurvive()
{
    QList<QByteArray> records = family();
    QByteArray &odd = records[1];
    writeU8(odd, gender, 7);
    writeU16(odd, portrait, 5000);
    writeU8(odd, abilities, 200);
    writeU8(odd, skillsB + 4, 255);
    writeU16(odd, fatherId, 900);
    OfficerDialog dialog(records, 1);
    QCOMPARE(field<QLabel>(dialog, "label_gender")->text(), QStringLiteral("7"));
    QCOMPARE(items(field<QComboBox>(dialog, "combo_portrait")), QStringList{"5000"});
    QCOMPARE(field<QComboBox>(dialog, "combo_father")->currentText(), QStringLiteral("900"));
    QCOMPARE(field<QComboBox>(dialog, "combo_father")->currentIndex(), 1);
    QCOMPARE(field<QSpinBox>(dialog, "spin_ability1")->value(), 200);
    QCOMPARE(field<QSpinBox>(dialog, "spin_skillB5")->value(), 255);
    field<QSpinBox>(dialog, "spin_birthYear")->setValue(1);
    dialog.accept();
    QByteArray expected = odd;
    writeU16(expected, birthYear, 1);
    QCOMPARE(dialog.record(), expected);

    // A father who is his son's son is shown under his name, and kept.
    records = family();
    writeU16(records[0], fatherId, 702);
    OfficerDialog ring(records, 0);
    QCOMPARE(field<QComboBox>(ring, "combo_father")->currentText(), QStringLiteral("702 劉禪"));
    ring.accept();
    QCOMPARE(ring.record(), records.at(0));
}

void TestOfficerEditor::choices()
{
    QList<QByteArray> records = family();
    QCOMPARE(Family::fatherChoices(records, 0), QVector<int>{4});
    QCOMPARE(Family::fatherChoices(records, 1), (QVector<int>{0, 4}));
    QCOMPARE(Family::fatherChoices(records, 4), (QVector<int>{0, 1, 2}));
    writeU16(records[0], fatherId, 702); // a ring: everyone of it is his own descendant
    QCOMPARE(Family::fatherChoices(records, 1), QVector<int>{4});

    OfficerDialog dialog(family(), 1);
    QCOMPARE(items(field<QComboBox>(dialog, "combo_father")),
             (QStringList{"無", "700 劉弘", "704 關羽"}));
    const QStringList portraits = items(field<QComboBox>(dialog, "combo_portrait"));
    QCOMPARE(portraits.size(), 1053);
    QCOMPARE(portraits.first(), QStringLiteral("1（歷史）"));
    QCOMPARE(portraits.mid(971, 3),
             (QStringList{"1130（通用，已用）", "1131（通用，已用）", "1132（通用）"}));
    QCOMPARE(field<QComboBox>(dialog, "combo_portrait")->currentText(),
             QStringLiteral("1132（通用）"));
    const QVector<PortraitChoice> women = portraitChoices(family(), 1, 1);
    QCOMPARE(women.size(), 94);
    QCOMPARE(women.first().text, QStringLiteral("952（歷史）"));
    QVERIFY(portraitChoices(family(), 1, 2).isEmpty());
}

// OK with a change is one step, named after the editor, that every key the
// platform lists for undo and redo (not only the first) takes back and
// brings again; OK without a change and Cancel make none.
void TestOfficerEditor::editIsOneStep()
{
    const auto action = [this](const QString &text) {
        for (QAction *candidate : m_window->findChildren<QAction *>()) {
            if (candidate->text() == text)
                return candidate;
        }
        return static_cast<QAction *>(nullptr);
    };
    QVERIFY(!action("編輯武將…")->isEnabled()); // no officer is current yet
    QVERIFY(!editRow(1, [](OfficerDialog &) {}));
    QVERIFY(!m_window->isWindowModified());
    QVERIFY(!editRow(1, [](OfficerDialog &d) {
        field<QLineEdit>(d, "edit_givenName")->setText("玄德");
        field<QSpinBox>(d, "spin_ability1")->setValue(100);
    }));
    QCOMPARE(listedNames(*m_window).at(1), QStringLiteral("劉玄德"));
    QVERIFY(m_window->isWindowModified());
    const QByteArray edited = saved();
    QCOMPARE(readU8(recordsOf(edited).at(1), abilities), quint8(100));
    QVERIFY(action("撤銷 編輯武將"));

    const auto keys = [](QKeySequence::StandardKey key) { return QKeySequence::keyBindings(key); };
    QVERIFY(keys(QKeySequence::Redo).size() > 1);
    const auto press = [this](const QKeySequence &key) {
        activate(*m_window); // a message box may have left no window active
        QTest::keySequence(m_window.get(), key);
    };
    for (const QKeySequence &undo : keys(QKeySequence::Undo)) {
        for (const QKeySequence &redo : keys(QKeySequence::Redo)) {
            press(undo);
            QCOMPARE(listedNames(*m_window).at(1), QStringLiteral("劉備"));
            QVERIFY2(saved() == m_image, qPrintable(undo.toString()));
            press(redo);
            QVERIFY2(saved() == edited, qPrintable(redo.toString()));
        }
    }
}

void TestOfficerEditor::refusals_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("message");
    QTest::newRow("not Big5") << "劉"
                              << "ア"
                              << ""
                              << "姓名含有Big5無法表示的字。";
    QTest::newRow("family name too long") << "諸葛亮"
                                          << "備"
                                          << ""
                                          << "姓名過長，無法寫入。";
    QTest::newRow("style name too long")
            << "劉"
            << "備" << QString(15, QChar(0x5FB7)) << "姓名過長，無法寫入。";
    QTest::newRow("no name") << ""
                             << ""
                             << "玄德"
                             << "姓和名不能同時為空。";
}

// A refused edit warns, keeps the editor open and changes nothing.
void TestOfficerEditor::refusals()
{
    QFETCH(QString, family);
    QFETCH(QString, given);
    QFETCH(QString, style);
    QFETCH(QString, message);
    QVERIFY(editRow(1, [&](OfficerDialog &d) {
        field<QLineEdit>(d, "edit_familyName")->setText(family);
        field<QLineEdit>(d, "edit_givenName")->setText(given);
        field<QLineEdit>(d, "edit_styleName")->setText(style);
        choose(field<QComboBox>(d, "combo_portrait"), 1140);
    }));
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).title, QStringLiteral("錯誤"));
    QCOMPARE(messages.at(0).text, message);
    QVERIFY(!m_window->isWindowModified());
    QCOMPARE(saved(), m_image);
}

// Names typed in simplified Chinese are written in traditional characters,
// a name left as it was is not converted, and the status bar says so.
void TestOfficerEditor::simplifiedNamesConverted()
{
    QVERIFY(!editRow(1, [](OfficerDialog &d) {
        field<QLineEdit>(d, "edit_familyName")->setText("赵");
        field<QLineEdit>(d, "edit_styleName")->setText("子龙");
    }));
    QCOMPARE(m_window->statusBar()->currentMessage(),
             QStringLiteral("已將簡體字轉為繁體字：赵備(子龙) → 趙備(子龍)。"));
    QByteArray expected = recordsOf(m_image).at(1);
    expected.replace(familyName, 3, big5("趙") + '\0');
    expected.replace(styleName, 5, big5("子龍") + '\0');
    QCOMPARE(recordsOf(saved()).at(1), expected);
}

// A new portrait frees the old one for the next officer and takes the new.
void TestOfficerEditor::portraitsFollow()
{
    QVERIFY(!editRow(
            1, [](OfficerDialog &d) { choose(field<QComboBox>(d, "combo_portrait"), 1134); }));
    setText(*m_window, "edit_gName", "甲");
    setChecked(*m_window, "radio_genderM");
    for (int i = 0; i < 3; ++i)
        click(*m_window, "cmd_generateSingle");
    const QList<QByteArray> records = recordsOf(saved());
    QCOMPARE(readU16(records.at(3), portrait), quint16(1132));
    QCOMPARE(readU16(records.at(5), portrait), quint16(1133));
    QCOMPARE(readU16(records.at(6), portrait), quint16(1135));
}

QTEST_MAIN(TestOfficerEditor)
#include "tst_officereditor.moc"
