#include "program.h"

#include "language.h"
#include "mainwindow.h"
#include "messages.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTextCodec>

Program::Program()
    : m_namePools(std::make_shared<Names::NamePools>())
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void Program::loadNamePools(const QString &folder)
{
    auto pools = std::make_shared<Names::NamePools>();
    m_poolFailure = Names::loadNamePools(folder, *pools);
    m_namePools = std::move(pools);
    m_warned = false;
}

MainWindow *Program::newWindow()
{
    auto *window = new MainWindow(*this);
    m_windows.append(window);
    connect(window, &QObject::destroyed, this, [this, window] { m_windows.removeOne(window); });
    if (!m_warned) {
        m_warned = true;
        const auto text = [](const char *source) {
            return QCoreApplication::translate("MainWindow", source);
        };
        if (!QTextCodec::codecForName("Big5"))
            QMessageBox::critical(
                    window, text(QT_TRANSLATE_NOOP("MainWindow", "錯誤")),
                    text(QT_TRANSLATE_NOOP("MainWindow",
                                           "程序無法找到Big5編碼器，將無法正常工作。")));
        if (m_poolFailure >= 0)
            QMessageBox::warning(window, text(QT_TRANSLATE_NOOP("MainWindow", "錯誤")),
                                 Messages::poolFailure(m_poolFailure));
    }
    return window;
}

void Program::deleteWindows()
{
    while (!m_windows.isEmpty())
        delete m_windows.takeLast();
}

InterfaceLanguage Program::nextLanguage() const
{
    InterfaceLanguage language = Language::inUse();
    Language::fromCode(QSettings().value(QLatin1String(Language::settingsKey)).toString(),
                       &language);
    return language;
}

bool Program::keepNextLanguage(InterfaceLanguage language)
{
    QSettings settings;
    settings.setValue(QLatin1String(Language::settingsKey), Language::code(language));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

void Program::openNewWindow()
{
    MainWindow *window = newWindow();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void Program::quitAll(MainWindow *first)
{
    QList<QPointer<MainWindow>> order{first};
    for (MainWindow *window : qAsConst(m_windows)) {
        if (window != first && window->isVisible())
            order.append(window);
    }
    for (const QPointer<MainWindow> &window : qAsConst(order)) {
        if (window && !window->close())
            return;
    }
}
