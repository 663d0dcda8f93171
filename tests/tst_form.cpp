#include "datafolder.h"
#include "editdata.h"
#include "mainwindow.h"
#include "program.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <memory>

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void window();
    void widgets_data();
    void widgets();
    void layouts();
    void validators_data();
    void validators();
    void radioGroupsAreIndependent();
    void slotTable();
    void buttonsReachTheirSlotsOnce();

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
};

void TestForm::initTestCase()
{
    useOwnDataFolder();
    copyBundledPools(m_dir.path());
    m_previousDir = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    m_driver.reset(new DialogDriver);
    m_window = startWindowIn(m_dir.path());
    QVERIFY(m_driver->takeMessages().isEmpty());
}

void TestForm::cleanupTestCase()
{
    m_window.reset();
    QDir::setCurrent(m_previousDir);
}

void TestForm::window()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("龍旗戰記新武將作成器"));
    // The form asks for 669 x 572; a shown window may grow to what its
    // layout needs with the fonts at hand.
    MainWindow fresh(testProgram());
    QCOMPARE(fresh.size(), QSize(669, 572));
    QVERIFY(m_window->width() >= 669 && m_window->height() >= 572);
    QCOMPARE(m_driver->takeMessages().size(), 0);
    QCOMPARE(m_window->menuBar()->objectName(), QStringLiteral("menuBar"));
    QStringList menus;
    for (const QAction *menu : m_window->menuBar()->actions())
        menus << menu->text();
    QCOMPARE(menus, (QStringList{"文件(&F)", "編輯(&E)", "檢視(&V)", "說明(&H)"}));
    auto *toolBar = m_window->findChild<QToolBar *>(QStringLiteral("mainToolBar"));
    QVERIFY(toolBar);
    QCOMPARE(m_window->toolBarArea(toolBar), Qt::TopToolBarArea);
    QCOMPARE(toolBar->actions().size(), 0);
    QCOMPARE(m_window->statusBar()->objectName(), QStringLiteral("statusBar"));
    QCOMPARE(m_window->statusBar()->currentMessage(), QString());
    QCOMPARE(m_window->centralWidget()->objectName(), QStringLiteral("centralWidget"));

    auto *list = m_window->findChild<QListView *>(QStringLiteral("nameListView"));
    QVERIFY(list);
    QCOMPARE(list->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
    QCOMPARE(list->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
    QVERIFY(!list->model()
            || list->model()->rowCount() == 0); // nothing listed before a file is open
}

void TestForm::widgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("checked");

    const char *rows[][5] = {
            {"label", "QLabel", "centralWidget", "姓：", ""},
            {"edit_fName", "QLineEdit", "centralWidget", "", ""},
            {"label_2", "QLabel", "centralWidget", "名：", ""},
            {"edit_gName", "QLineEdit", "centralWidget", "", ""},
            {"label_3", "QLabel", "centralWidget", "字：", ""},
            {"edit_aName", "QLineEdit", "centralWidget", "", ""},
            {"label_10", "QLabel", "centralWidget", "性別：", ""},
            {"radio_genderM", "QRadioButton", "centralWidget", "男", ""},
            {"radio_genderF", "QRadioButton", "centralWidget", "女", ""},
            {"label_4", "QLabel", "centralWidget", "四維類型：", ""},
            {"frame", "QFrame", "centralWidget", "", ""},
            {"radio_dimAll", "QRadioButton", "frame", "全能", "x"},
            {"radio_dimBias", "QRadioButton", "frame", "偏才", ""},
            {"label_5", "QLabel", "centralWidget", "四維基本數值：", ""},
            {"frame_2", "QFrame", "centralWidget", "", ""},
            {"radio_dimSuper", "QRadioButton", "frame_2", "超級", ""},
            {"radio_dimHigh", "QRadioButton", "frame_2", "高", ""},
            {"radio_dimMedium", "QRadioButton", "frame_2", "平庸", "x"},
            {"radio_dimLow", "QRadioButton", "frame_2", "庸才", ""},
            {"label_8", "QLabel", "centralWidget", "特技：", ""},
            {"frame_3", "QFrame", "centralWidget", "", ""},
            {"radio_specialAll", "QRadioButton", "frame_3", "全能", "x"},
            {"radio_specialMany", "QRadioButton", "frame_3", "較多", ""},
            {"radio_specialMedium", "QRadioButton", "frame_3", "中", ""},
            {"radio_specialLittle", "QRadioButton", "frame_3", "少", ""},
            {"label_6", "QLabel", "centralWidget", "兵科：", ""},
            {"frame_4", "QFrame", "centralWidget", "", ""},
            {"radio_armyAll", "QRadioButton", "frame_4", "全能", ""},
            {"radio_armySome", "QRadioButton", "frame_4", "部分好", ""},
            {"radio_armyBad", "QRadioButton", "frame_4", "無能", ""},
            {"chk_typeEffect", "QCheckBox", "centralWidget", "文武有別", ""},
            {"chk_character", "QCheckBox", "centralWidget", "個性人物", ""},
            {"chk_family", "QCheckBox", "centralWidget", "生成家族", ""},
            {"chk_useHistoric", "QCheckBox", "centralWidget", "使用歷史人物頭像", ""},
            {"label_11", "QLabel", "centralWidget", "生成家族：", ""},
            {"num_jiazu", "QLineEdit", "centralWidget", "", ""},
            {"label_7", "QLabel", "centralWidget", "生成男：", ""},
            {"num_male", "QLineEdit", "centralWidget", "", ""},
            {"label_9", "QLabel", "centralWidget", "生成女：", ""},
            {"num_female", "QLineEdit", "centralWidget", "", ""},
            {"cmd_generateSingle", "QPushButton", "centralWidget", "生成單個", ""},
            {"cmd_generateAll", "QPushButton", "centralWidget", "隨機生成", ""},
            {"cmd_assignFather", "QPushButton", "centralWidget", "同姓武將匹配父子關係", ""},
            {"cmd_open", "QPushButton", "centralWidget", "打開", ""},
            {"cmd_save", "QPushButton", "centralWidget", "保存", ""},
    };
    for (const auto &row : rows) {
        QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1])
                              << QString::fromUtf8(row[2]) << QString::fromUtf8(row[3])
                              << (row[4][0] == 'x');
    }
}

void TestForm::widgets()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parentName);
    QFETCH(QString, text);
    QFETCH(bool, checked);

    const QList<QWidget *> found = m_window->findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    QWidget *widget = found.first();
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(widget->parentWidget()->objectName(), parentName);
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), text);
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QCOMPARE(button->text(), text);
        QCOMPARE(button->isChecked(), checked);
    }
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        QCOMPARE(edit->text(), QString());
    if (auto *frame = qobject_cast<QFrame *>(widget); frame && className == "QFrame") {
        QCOMPARE(frame->frameShape(), QFrame::StyledPanel);
        QCOMPARE(frame->frameShadow(), QFrame::Raised);
        const QSizePolicy policy = frame->sizePolicy();
        QCOMPARE(policy.horizontalPolicy(), QSizePolicy::Preferred);
        QCOMPARE(policy.verticalPolicy(),
                 name == "frame_4" ? QSizePolicy::Preferred : QSizePolicy::Maximum);
    }
}

void TestForm::layouts()
{
    auto *top = qobject_cast<QHBoxLayout *>(m_window->centralWidget()->layout());
    QVERIFY(top);
    QCOMPARE(top->objectName(), QStringLiteral("horizontalLayout_16"));
    QCOMPARE(top->spacing(), 6);
    QCOMPARE(top->contentsMargins(), QMargins(11, 11, 11, 11));
    QCOMPARE(top->count(), 2);
    QCOMPARE(top->itemAt(0)->widget()->objectName(), QStringLiteral("nameListView"));
    auto *column = qobject_cast<QVBoxLayout *>(top->itemAt(1)->layout());
    QVERIFY(column);
    QCOMPARE(column->objectName(), QStringLiteral("verticalLayout"));
    QCOMPARE(column->spacing(), 6);

    // Each row of the column with the widgets it holds, in order.
    const QStringList rows[] = {
            {"horizontalLayout_5", "label", "edit_fName"},
            {"horizontalLayout_6", "label_2", "edit_gName"},
            {"horizontalLayout_7", "label_3", "edit_aName"},
            {"horizontalLayout_17", "label_10", "radio_genderM", "radio_genderF"},
            {"horizontalLayout_8", "label_4", "frame"},
            {"horizontalLayout_9", "label_5", "frame_2"},
            {"horizontalLayout_10", "label_8", "frame_3"},
            {"horizontalLayout_11", "label_6", "frame_4"},
            {"gridLayout", "chk_typeEffect", "chk_character", "chk_family", "chk_useHistoric"},
            {"horizontalLayout_18", "label_11", "num_jiazu"},
            {"horizontalLayout_12", "label_7", "num_male"},
            {"horizontalLayout_13", "label_9", "num_female"},
            {"horizontalLayout_14", "cmd_generateSingle", "cmd_generateAll"},
            {"horizontalLayout_19", "cmd_assignFather"},
            {"horizontalLayout_15", "cmd_open", "cmd_save"},
    };
    QCOMPARE(column->count(), int(std::size(rows)));
    for (int i = 0; i < column->count(); ++i) {
        QLayout *row = column->itemAt(i)->layout();
        QVERIFY(row);
        QCOMPARE(row->objectName(), rows[i].first());
        QCOMPARE(row->spacing(), 6);
        QCOMPARE(row->contentsMargins(), QMargins());
        QStringList names;
        for (int j = 0; j < row->count(); ++j)
            names << row->itemAt(j)->widget()->objectName();
        QCOMPARE(names, rows[i].mid(1));
    }
    auto *grid = qobject_cast<QGridLayout *>(column->itemAt(8)->layout());
    QVERIFY(grid);
    int r, c, rs, cs;
    grid->getItemPosition(grid->indexOf(m_window->findChild<QWidget *>("chk_family")), &r, &c, &rs,
                          &cs);
    QCOMPARE(QPoint(c, r), QPoint(2, 0));
    grid->getItemPosition(grid->indexOf(m_window->findChild<QWidget *>("chk_useHistoric")), &r, &c,
                          &rs, &cs);
    QCOMPARE(QPoint(c, r), QPoint(0, 1));

    const char *frames[][2] = {{"frame", "horizontalLayout"},
                               {"frame_2", "horizontalLayout_2"},
                               {"frame_3", "horizontalLayout_3"},
                               {"frame_4", "horizontalLayout_4"}};
    for (const auto &frame : frames) {
        QLayout *layout = m_window->findChild<QFrame *>(frame[0])->layout();
        QCOMPARE(layout->objectName(), QString::fromLatin1(frame[1]));
        QCOMPARE(layout->spacing(), 6);
        QCOMPARE(layout->contentsMargins(), QMargins(11, 11, 11, 11));
    }
}

void TestForm::validators_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    for (const char *edit : {"num_male", "num_female", "num_jiazu"}) {
        const QString name = QString::fromLatin1(edit);
        QTest::addRow("%s letters", edit) << name << "1a2b"
                                          << "12";
        QTest::addRow("%s minus", edit) << name << "-5"
                                        << "5";
        QTest::addRow("%s fourth digit", edit) << name << "1234"
                                               << "123";
        QTest::addRow("%s in range", edit) << name << "150"
                                           << "150";
    }
}

void TestForm::validators()
{
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    auto *field = m_window->findChild<QLineEdit *>(edit);
    QVERIFY(field);
    auto *validator = qobject_cast<const QIntValidator *>(field->validator());
    QVERIFY(validator);
    QCOMPARE(validator->bottom(), 0);
    QCOMPARE(validator->top(), 150);
    QCOMPARE(validator->parent(), m_window.get());
    QCOMPARE(field->maxLength(), edit == "num_jiazu" ? 32767 : 10);
    field->clear();
    QTest::keyClicks(field, typed);
    QCOMPARE(field->text(), shown);
    field->clear();
}

void TestForm::radioGroupsAreIndependent()
{
    const QStringList groups[] = {
            {"radio_genderM", "radio_genderF"},
            {"radio_dimAll", "radio_dimBias"},
            {"radio_dimSuper", "radio_dimHigh", "radio_dimMedium", "radio_dimLow"},
            {"radio_specialAll", "radio_specialMany", "radio_specialMedium", "radio_specialLittle"},
            {"radio_armyAll", "radio_armySome", "radio_armyBad"},
    };
    auto checkedIn = [&](const QStringList &group) {
        QString checked;
        for (const QString &name : group) {
            if (m_window->findChild<QRadioButton *>(name)->isChecked())
                checked = name;
        }
        return checked;
    };
    for (const QStringList &group : groups) {
        for (const QString &name : group) {
            QStringList before;
            for (const QStringList &other : groups)
                before << checkedIn(other);
            auto *button = m_window->findChild<QRadioButton *>(name);
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
            QCOMPARE(checkedIn(group), name);
            for (int g = 0; g < int(std::size(groups)); ++g) {
                if (groups[g] != group)
                    QCOMPARE(checkedIn(groups[g]), before.at(g));
            }
        }
    }
    // Back to the defaults for the tests that follow.
    for (const char *name : {"radio_dimAll", "radio_dimMedium", "radio_specialAll"})
        m_window->findChild<QRadioButton *>(name)->setChecked(true);
}

void TestForm::slotTable()
{
    const QMetaObject *meta = m_window->metaObject();
    QCOMPARE(QString::fromLatin1(meta->className()), QStringLiteral("MainWindow"));
    QCOMPARE(meta->methodCount() - meta->methodOffset(), 5);
    const char *slotNames[] = {"on_cmd_generateAll_clicked", "on_cmd_generateSingle_clicked",
                               "on_cmd_open_clicked", "on_cmd_save_clicked",
                               "on_cmd_assignFather_clicked"};
    for (int i = 0; i < 5; ++i) {
        const QMetaMethod method = meta->method(meta->methodOffset() + i);
        QCOMPARE(method.name(), QByteArray(slotNames[i]));
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Private);
        QCOMPARE(method.parameterCount(), 0);
    }
}

// Each button reaches its own slot exactly once per click: doubled or
// crossed connections show as doubled or wrong effects.
void TestForm::buttonsReachTheirSlotsOnce()
{
    for (const char *button : {"cmd_generateSingle", "cmd_generateAll", "cmd_assignFather"}) {
        click(*m_window, button);
        const auto messages = m_driver->takeMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.at(0).text, QStringLiteral("請先打開數據文件。"));
    }
    click(*m_window, "cmd_save");
    QVERIFY(m_driver->takeMessages().isEmpty());

    QByteArray image = blankImage();
    putRecord(image, 1, occupiedRecord(big5("曹"), big5("操"), 150));
    putRecord(image, 2, occupiedRecord(big5("曹"), big5("丕"), 170));
    const QString path = m_dir.path() + "/editdata.rqv";
    QVERIFY(writeFile(path, image));
    m_driver->planFileDialog(path);
    click(*m_window, "cmd_open");
    QCOMPARE(m_driver->fileDialogsSeen(), 1);
    QCOMPARE(m_driver->lastFileDialogCaption, QStringLiteral("打開龍旗戰記自作武將數據"));
    QCOMPARE(m_driver->lastFileDialogFilters, QStringList{"editdata.rqv"});
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(listedNames(*m_window), (QStringList{"曹操", "曹丕"}));

    setText(*m_window, "edit_gName", "甲");
    setText(*m_window, "num_male", "1");
    click(*m_window, "cmd_generateSingle");
    QCOMPARE(listedNames(*m_window), (QStringList{"甲", "曹操", "曹丕"}));
    click(*m_window, "cmd_generateAll");
    QCOMPARE(listedNames(*m_window).size(), 4);

    click(*m_window, "cmd_assignFather");
    QVERIFY(m_driver->takeMessages().isEmpty());
    click(*m_window, "cmd_save");
    const auto saved = m_driver->takeMessages();
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.at(0).kind, QStringLiteral("information"));
    QCOMPARE(saved.at(0).title, QStringLiteral("保存"));
    QCOMPARE(saved.at(0).text, QStringLiteral("保存完成。"));
    const QList<QByteArray> records = recordsOf(readFile(path));
    QCOMPARE(EditData::readU16(records.at(2), EditData::fatherId), quint16(701));
    QCOMPARE(m_driver->fileDialogsSeen(), 1);
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
