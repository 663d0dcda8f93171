// Writes the Big5 bytes that a Qt codec gives every CJK ideograph of the
// Basic Multilingual Plane and every name of the bundled pools, with the rule
// the program used to encode names: a name is written when the codec encodes
// each character and decodes the bytes back to the same name.
//
// Run once with Debian's Qt to make reference.txt, the list tst_big5 holds
// the program's own encoder to:
//   make_reference DATA_DIR > tests/big5/reference.txt
#include <QCoreApplication>
#include <QFile>
#include <QTextCodec>
#include <QTextStream>

#include "namepools.h"

namespace {

bool writes(QTextCodec *codec, const QString &text, QByteArray *bytes)
{
    QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
    *bytes = codec->fromUnicode(text.constData(), text.size(), &state);
    return state.invalidChars == 0 && codec->toUnicode(*bytes) == text;
}

bool isIdeograph(uint c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF)
           || (c >= 0xF900 && c <= 0xFAFF);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        qWarning("usage: make_reference DATA_DIR");
        return 2;
    }
    QTextCodec *codec = QTextCodec::codecForName("Big5");
    QTextStream out(stdout);
    out.setCodec("UTF-8");
    out << "# Big5 bytes of every CJK ideograph (U+3400-4DBF, U+4E00-9FFF, U+F900-FAFF)\n"
           "# and of every name of the bundled pools, as written by the Linux build\n"
           "# before the program had its own encoder. \"-\" marks a refused name.\n";
    QByteArray bytes;
    for (uint c = 0x3400; c <= 0xFAFF; ++c) {
        if (!isIdeograph(c))
            continue;
        const QString text{QChar(ushort(c))};
        out << "U+" << QString::number(c, 16).toUpper() << ' '
            << (writes(codec, text, &bytes) ? QString::fromLatin1(bytes.toHex().toUpper())
                                            : QStringLiteral("-"))
            << '\n';
    }
    for (const char *file : Names::poolFiles) {
        QFile pool(QString::fromLocal8Bit(argv[1]) + QLatin1Char('/') + QLatin1String(file));
        if (!pool.open(QIODevice::ReadOnly)) {
            qWarning("cannot open %s", file);
            return 1;
        }
        const QStringList names = Names::parseNamePool(pool.readAll());
        for (const QString &name : names) {
            out << "name " << file << ' ' << name.toUtf8().toHex() << ' '
                << (writes(codec, name, &bytes) ? QString::fromLatin1(bytes.toHex().toUpper())
                                                : QStringLiteral("-"))
                << '\n';
        }
    }
    return 0;
}
