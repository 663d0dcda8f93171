// The interface's language, chosen in the menu for the next start; the
// interface in simplified Chinese; and the About boxes.

#include "language.h"
#include "mainwindow.h"
#include "officertable.h"
#include "officertablewindow.h"
#include "startup.h"
#include "testsupport.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The entry of the window's menus with the text given, searched through
// the submenus.
QAction *entry(const QList<QAction *> &actions, const QString &text)
{
    for (QAction *action : actions) {
        if (action->text() == text)
            return action;
        if (action->menu()) {
            if (QAction *found = entry(action->menu()->actions(), text))
                return found;
        }
    }
    return nullptr;
}

QAction *entry(MainWindow &window, const QString &text)
{
    QAction *found = entry(window.menuBar()->actions(), text);
    if (!found)
        qFatal("no menu entry %s", qPrintable(text));
    return found;
}

QVariant savedLanguage()
{
    return QSettings().value(QLatin1String(Language::settingsKey));
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void choiceKeptForTheNextStart();
    void choiceThatCannotBeKept();
    void aboutBoxes();
    void simplifiedInterface();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
};

void TestLanguage::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("officer-maker-tests"));
    copyBundledPools(m_dir.path());
}

void TestLanguage::init()
{
    QSettings().clear();
    m_driver.reset(new DialogDriver);
    m_window = startWindowIn(m_dir.path());
}

// Only a change says that it waits for a restart, in the language being
// left; going back to the language in use, or choosing the one chosen,
// says nothing.
void TestLanguage::choiceKeptForTheNextStart()
{
    QAction *traditional = entry(*m_window, QStringLiteral("繁體中文"));
    QAction *simplified = entry(*m_window, QStringLiteral("简体中文"));
    QVERIFY(traditional->isChecked());
    QVERIFY(!simplified->isChecked());
    traditional->trigger();
    QVERIFY(m_driver->takeMessages().isEmpty());
    QVERIFY(!savedLanguage().isValid());

    simplified->trigger();
    const QList<DialogDriver::Message> messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).title, QStringLiteral("語言"));
    QCOMPARE(messages.at(0).text, QStringLiteral("語言將在重新啟動後生效。"));
    QCOMPARE(savedLanguage().toString(), QStringLiteral("zh_CN"));
    simplified->trigger();
    QVERIFY(m_driver->takeMessages().isEmpty());
    // Another window shows the choice.
    const std::unique_ptr<MainWindow> other = startWindowIn(m_dir.path());
    QVERIFY(entry(*other, QStringLiteral("简体中文"))->isChecked());

    traditional->trigger();
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(savedLanguage().toString(), QStringLiteral("zh_TW"));
}

// Settings that cannot be written are said to be so, not to wait for a
// restart.
void TestLanguage::choiceThatCannotBeKept()
{
#ifdef Q_OS_WIN
    QSKIP("Windows keeps the settings in the registry");
#endif
    const QString notAFolder = m_dir.filePath(QStringLiteral("file"));
    QVERIFY(writeFile(notAFolder, "x"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, notAFolder);
    entry(*m_window, QStringLiteral("简体中文"))->trigger();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    const QList<DialogDriver::Message> messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).kind, QStringLiteral("warning"));
    QCOMPARE(messages.at(0).text, QStringLiteral("無法保存語言設定。"));
}

void TestLanguage::aboutBoxes()
{
    entry(*m_window, QStringLiteral("關於龍旗戰記新武將作成器"))->trigger();
    entry(*m_window, QStringLiteral("關於Qt"))->trigger();
    const QList<DialogDriver::Message> messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages.at(0).title, QStringLiteral("關於龍旗戰記新武將作成器"));
    for (const QString &part :
         {QStringLiteral("龍旗戰記新武將作成器"), QStringLiteral("版本 " OFFICER_VERSION),
          QStringLiteral("GNU General Public License 第3版"),
          QStringLiteral("Qt ") + QLatin1String(qVersion())})
        QVERIFY2(messages.at(0).text.contains(part), qPrintable(part));
    QCOMPARE(messages.at(1).title, QStringLiteral("關於Qt"));
    QVERIFY(messages.at(1).text.contains(QLatin1String(qVersion())));
}

// Started in simplified Chinese, the window, Qt's buttons and the box about
// the language speak it; the table's columns hidden under their traditional
// names stay hidden.
void TestLanguage::simplifiedInterface()
{
    QVERIFY(installTranslations(*qApp, InterfaceLanguage::Simplified));
    QSettings().setValue(QStringLiteral("officerTable/hiddenColumns"), QStringList{"父親"});
    m_window = startWindowIn(m_dir.path());
    QVERIFY(m_window->windowTitle().endsWith(QStringLiteral("龙旗战记新武将作成器")));
    QStringList menus;
    for (QAction *menu : m_window->menuBar()->actions())
        menus.append(menu->text());
    QCOMPARE(menus, QStringList({"文件(&F)", "编辑(&E)", "查看(&V)", "帮助(&H)"}));
    QCOMPARE(m_window->findChild<QPushButton *>("cmd_generateSingle")->text(), "生成单个");
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Save | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Save)->text(), QStringLiteral("保存"));

    QVERIFY(entry(*m_window, QStringLiteral("简体中文"))->isChecked());
    entry(*m_window, QStringLiteral("繁體中文"))->trigger();
    const QList<DialogDriver::Message> messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).title, QStringLiteral("语言"));
    QCOMPARE(messages.at(0).text, QStringLiteral("语言将在重新启动后生效。"));

    entry(*m_window, QStringLiteral("武将一览"))->trigger();
    auto *table = m_window->findChild<OfficerTableWindow *>();
    QVERIFY(table);
    auto *view = qobject_cast<QTableView *>(table->officerView());
    QVERIFY(view->isColumnHidden(EditData::TableColumn::Father));
    QVERIFY(!view->isColumnHidden(EditData::TableColumn::FamilyName));
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
