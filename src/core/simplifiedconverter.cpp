#include "simplifiedconverter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtDebug>

#ifdef OFFICER_WITH_OPENCC
#include <opencc.h>
#endif

SimplifiedConverter::SimplifiedConverter(const QString &configFolder)
    : m_configFolder(configFolder)
{ }

SimplifiedConverter::~SimplifiedConverter()
{
#ifdef OFFICER_WITH_OPENCC
    if (m_handle)
        opencc_close(m_handle);
#endif
}

QString SimplifiedConverter::defaultConfigFolder()
{
#if defined(OFFICER_WITH_OPENCC) && defined(OFFICER_OPENCC_DATA_DIR)
    return QStringLiteral(OFFICER_OPENCC_DATA_DIR);
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/opencc");
#endif
}

const SimplifiedConverter &SimplifiedConverter::program()
{
    static const SimplifiedConverter converter;
    return converter;
}

bool SimplifiedConverter::isLoaded() const
{
    return m_tried ? m_handle != nullptr : load();
}

bool SimplifiedConverter::load() const
{
    m_tried = true;
#ifdef OFFICER_WITH_OPENCC
    const QString path = QDir(m_configFolder).filePath(QStringLiteral("s2t.json"));
    const opencc_t handle = opencc_open(QFile::encodeName(path).constData());
    if (handle != reinterpret_cast<opencc_t>(-1)) {
        m_handle = handle;
        return true;
    }
    m_error = QString::fromUtf8(opencc_error());
#else
    if (m_own.load(m_configFolder, &m_error)) {
        m_handle = &m_own;
        return true;
    }
#endif
    qWarning("Simplified Chinese names are not converted: %s", qUtf8Printable(m_error));
    return false;
}

QString SimplifiedConverter::convert(const QString &text) const
{
    if (text.isEmpty() || !isLoaded())
        return text;
    // OpenCC reads the text up to its first zero byte, and UTF-8 has no form
    // for a lone surrogate: such a text is left as it is, never cut short,
    // and the program's own conversion does the same.
    const QByteArray utf8 = text.toUtf8();
    if (utf8.contains('\0') || QString::fromUtf8(utf8) != text)
        return text;
#ifdef OFFICER_WITH_OPENCC
    char *converted = opencc_convert_utf8(m_handle, utf8.constData(), size_t(utf8.size()));
    if (!converted)
        return text;
    const QString result = QString::fromUtf8(converted);
    opencc_convert_utf8_free(converted);
    return result;
#else
    return m_own.convert(text);
#endif
}
