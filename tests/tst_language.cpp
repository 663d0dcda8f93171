// The interface's language, chosen in the menu for the next start; the
// interface in simplified Chinese; and the About boxes.

#include "language.h"
#include "mainwindow.h"
#include "officertable.h"
#include "officertablewindow.h"
#include "startup.h"
#include "testsupport.h"

#include <QAction>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

QAction *entry(MainWindow &window, const QString &text)
{
    for (QAction *action : window.findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    qFatal("no menu entry %s", qPrintable(text));
}

QString savedLanguage()
{
    return QSettings().value(Language::settingsKey).toString();
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void choiceKeptForTheNextStart();
    void aboutBoxes();
    void simplifiedInterface();

private:
    // The messages shown since the last call, as "title: text".
    QStringList messages();

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

QStringList TestLanguage::messages()
{
    QStringList shown;
    for (const DialogDriver::Message &message : m_driver->takeMessages())
        shown.append(message.title + ": " + message.text);
    return shown;
}

// Only a change says that it waits for a restart, in the language being
// left; going back to the language in use, or choosing the one chosen, says
// nothing. Settings that cannot be written are said to be so.
void TestLanguage::choiceKeptForTheNextStart()
{
    QAction *traditional = entry(*m_window, "繁體中文");
    QAction *simplified = entry(*m_window, "简体中文");
    QVERIFY(traditional->isChecked() && !simplified->isChecked());
    traditional->trigger();
    QCOMPARE(messages(), QStringList());
    simplified->trigger();
    QCOMPARE(messages(), QStringList("語言: 語言將在重新啟動後生效。"));
    QCOMPARE(savedLanguage(), "zh_CN");
    simplified->trigger();
    QCOMPARE(messages(), QStringList());
    QVERIFY(entry(*startWindowIn(m_dir.path()), "简体中文")->isChecked());
    traditional->trigger();
    QCOMPARE(messages(), QStringList());
    QCOMPARE(savedLanguage(), "zh_TW");

#ifndef Q_OS_WIN // where the settings are kept in the registry
    const QString notAFolder = m_dir.filePath("file");
    QVERIFY(writeFile(notAFolder, "x"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, notAFolder);
    simplified->trigger();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    QCOMPARE(messages(), QStringList("錯誤: 無法保存語言設定。"));
#endif
}

void TestLanguage::aboutBoxes()
{
    entry(*m_window, "關於龍旗戰記新武將作成器")->trigger();
    entry(*m_window, "關於Qt")->trigger();
    const QStringList shown = messages();
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown.at(0).startsWith("關於龍旗戰記新武將作成器: <h3>龍旗戰記新武將作成器</h3>"));
    for (const QString &part :
         {QStringLiteral("版本 " OFFICER_VERSION),
          QStringLiteral("GNU General Public License 第3版"), QStringLiteral("Qt ") + qVersion()})
        QVERIFY2(shown.at(0).contains(part), qPrintable(part));
    QVERIFY(shown.at(1).startsWith("關於Qt: "));
}

// Started in simplified Chinese, the window, Qt's buttons and the box about
// the language speak it; the table's columns hidden under their traditional
// names stay hidden.
void TestLanguage::simplifiedInterface()
{
    QVERIFY(installTranslations(*qApp, InterfaceLanguage::Simplified));
    QSettings().setValue("officerTable/hiddenColumns", QStringList{"父親"});
    m_window = startWindowIn(m_dir.path());
    QVERIFY(m_window->windowTitle().endsWith("龙旗战记新武将作成器"));
    QCOMPARE(m_window->findChild<QPushButton *>("cmd_generateSingle")->text(), "生成单个");
    QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Save);
    QCOMPARE(box.button(QMessageBox::Save)->text(), "保存");

    QVERIFY(entry(*m_window, "简体中文")->isChecked());
    entry(*m_window, "繁體中文")->trigger();
    QCOMPARE(messages(), QStringList("语言: 语言将在重新启动后生效。"));

    entry(*m_window, "武将一览")->trigger();
    auto *view =
            qobject_cast<QTableView *>(m_window->findChild<OfficerTableWindow *>()->officerView());
    QVERIFY(view->isColumnHidden(EditData::TableColumn::Father));
    QVERIFY(!view->isColumnHidden(EditData::TableColumn::FamilyName));
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
