#include "console.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace Console {

namespace {

bool writeText(FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        // What was written as bytes before comes first.
        std::fflush(stream);
        const auto *data = reinterpret_cast<const wchar_t *>(text.utf16());
        qsizetype left = text.size();
        while (left > 0) {
            // A console takes a limited amount at once; a surrogate pair is
            // never cut in two.
            DWORD chunk = DWORD(qMin<qsizetype>(left, 4096));
            if (chunk < left && QChar::isHighSurrogate(data[chunk - 1]))
                --chunk;
            DWORD written = 0;
            if (!WriteConsoleW(handle, data, chunk, &written, nullptr) || written == 0)
                return false;
            data += written;
            left -= written;
        }
        return true;
    }
#endif
    const QByteArray utf8 = text.toUtf8();
    return std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream) == size_t(utf8.size());
}

} // namespace

void setUp()
{
#ifdef Q_OS_WIN
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

bool out(const QString &text)
{
    return writeText(stdout, text);
}

bool err(const QString &text)
{
    return writeText(stderr, text);
}

bool outBytes(const QByteArray &bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
}

bool readIn(qint64 limit, QByteArray &bytes)
{
    // The C library's own reading: a Windows pipe refuses what Qt's file
    // device asks of it.
    QByteArray read;
    char chunk[64 * 1024];
    while (read.size() <= limit) {
        const size_t count = std::fread(chunk, 1, sizeof chunk, stdin);
        read.append(chunk, int(count));
        if (count < sizeof chunk)
            break;
    }
    if (std::ferror(stdin))
        return false;
    bytes = read.left(int(qMin<qint64>(read.size(), limit + 1)));
    return true;
}

bool flush()
{
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

} // namespace Console
