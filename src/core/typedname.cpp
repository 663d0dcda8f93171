#include "typedname.h"

#include "big5.h"

#include <QByteArray>
#include <QCoreApplication>

namespace Names {

namespace {

bool writable(const QString &name, QTextCodec *codec)
{
    QByteArray bytes;
    return encodeName(name, codec, &bytes);
}

} // namespace

bool operator==(const PersonName &a, const PersonName &b)
{
    return a.familyName == b.familyName && a.givenName == b.givenName && a.styleName == b.styleName;
}

NameToWrite nameToWrite(const PersonName &typed, QTextCodec *codec,
                        const ToTraditional &toTraditional)
{
    NameToWrite result;
    result.name = typed;
    const bool familyWritable = writable(typed.familyName, codec);
    if (familyWritable && writable(typed.givenName, codec) && writable(typed.styleName, codec)) {
        result.writable = true;
        return result;
    }
    if (!familyWritable)
        result.name.familyName = toTraditional(typed.familyName);
    result.name.givenName = toTraditional(typed.givenName);
    result.name.styleName = toTraditional(typed.styleName);
    result.writable = writable(result.name.familyName, codec)
                      && writable(result.name.givenName, codec)
                      && writable(result.name.styleName, codec);
    result.converted = !(result.name == typed);
    return result;
}

NameToWrite editedNameToWrite(const PersonName &shown, const PersonName &edited, QTextCodec *codec,
                              const ToTraditional &toTraditional)
{
    QString PersonName::*const fields[] = {&PersonName::familyName, &PersonName::givenName,
                                           &PersonName::styleName};
    // A name left as it was counts as none typed: empty is always writable.
    PersonName typed = edited;
    for (QString PersonName::*field : fields) {
        if (edited.*field == shown.*field)
            (typed.*field).clear();
    }
    NameToWrite result = nameToWrite(typed, codec, toTraditional);
    for (QString PersonName::*field : fields) {
        if (edited.*field == shown.*field)
            result.name.*field = edited.*field;
    }
    result.converted = !(result.name == edited);
    return result;
}

QString listName(const PersonName &name)
{
    QString text = name.familyName + name.givenName;
    if (!name.styleName.isEmpty())
        text += QLatin1Char('(') + name.styleName + QLatin1Char(')');
    return text;
}

QString conversionMessage(const PersonName &typed, const PersonName &written)
{
    return QCoreApplication::translate("MainWindow", "已將簡體字轉為繁體字：%1 → %2。")
            .arg(listName(typed), listName(written));
}

} // namespace Names
