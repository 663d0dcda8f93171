// OpenCC's two simplified-to-traditional dictionaries, read from their text
// files as the program built without OpenCC reads them, and a typed name
// converted with them.

#include "fuzzing.h"
#include "simplifiedtotraditional.h"

#include <QDir>

using Fuzzing::check;

QList<QByteArray> fuzzSeeds()
{
    return {Fuzzing::joined(
                    {"诸葛亮\t諸葛亮\n云长\t雲長 云長\r\n", "赵\t趙\n云\t雲 云\n", "诸葛亮赵云长"}),
            Fuzzing::joined({"\tno key\n", "x\n", "a"}),
            Fuzzing::joined({"😀a\t1\n\n", "😀\t2", "😀😀a"})};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The phrases, the characters, and a name of at most 30 characters, as
    // long as a given name and a style name together may be.
    const QList<QByteArray> pieces = Fuzzing::parts(data, size, 3);
    const QDir folder(Fuzzing::emptyFolder());
    Fuzzing::writeFile(folder.filePath(QLatin1String(Names::SimplifiedToTraditional::phrasesFile)),
                       pieces.at(0));
    Fuzzing::writeFile(
            folder.filePath(QLatin1String(Names::SimplifiedToTraditional::charactersFile)),
            pieces.at(1));
    Names::SimplifiedToTraditional converter;
    QString error;
    const bool loaded = converter.load(folder.path(), &error);
    check(loaded == error.isEmpty(), "a refused dictionary says why");
    const QString name = QString::fromUtf8(pieces.at(2)).left(30);
    const QString converted = converter.convert(name);
    check(loaded || converted == name, "without dictionaries a name stays as it is");
    return 0;
}
