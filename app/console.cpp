#include "app/console.h"

#include "platform/failure.h"

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#include <shellapi.h>
#else
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace zandrel {

#ifdef Q_OS_WIN

namespace {

HANDLE handleOf(Stream stream)
{
    return ::GetStdHandle(stream == Stream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

// A handle that leads somewhere: a console, a file or a pipe the caller gave.
bool leadsSomewhere(HANDLE handle)
{
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

QStringList callersArguments(int, char *[])
{
    int count = 0;
    wchar_t **arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    QStringList list;
    for (int i = 1; i < count; ++i)
        list += QString::fromWCharArray(arguments[i]);
    ::LocalFree(arguments);
    return list;
}

void attachToCallersConsole()
{
    const DWORD handles[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    bool anyMissing = false;
    for (const DWORD which : handles)
        anyMissing = anyMissing || !leadsSomewhere(::GetStdHandle(which));
    // Output sent to a file or a pipe stays there; only what leads nowhere
    // is pointed at the console.
    if (!anyMissing || !::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    for (const DWORD which : handles) {
        if (leadsSomewhere(::GetStdHandle(which)))
            continue;
        const HANDLE console = ::CreateFileW(which == STD_INPUT_HANDLE ? L"CONIN$" : L"CONOUT$",
                                             GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, 0, nullptr);
        if (console != INVALID_HANDLE_VALUE)
            ::SetStdHandle(which, console);
    }
}

bool writeLine(Stream stream, const QString &line)
{
    const HANDLE handle = handleOf(stream);
    // Output nobody gave a place to is not asked for: not a failure.
    if (!leadsSomewhere(handle))
        return true;
    const QString text = line + QStringLiteral("\r\n");
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(handle, &mode))
        return ::WriteConsoleW(handle, text.utf16(), static_cast<DWORD>(text.size()), &written, nullptr);
    const QByteArray bytes = text.toUtf8();
    return ::WriteFile(handle, bytes.constData(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == static_cast<DWORD>(bytes.size());
}

std::vector<unsigned char> readStandardInput(std::size_t maxBytes)
{
    const HANDLE handle = ::GetStdHandle(STD_INPUT_HANDLE);
    std::vector<unsigned char> bytes;
    if (!leadsSomewhere(handle))
        return bytes;
    unsigned char buffer[65536];
    DWORD got = 0;
    while (bytes.size() < maxBytes
           && ::ReadFile(handle, buffer, static_cast<DWORD>(std::min(sizeof buffer, maxBytes - bytes.size())), &got,
                         nullptr)
           && got > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    return bytes;
}

#else

QStringList callersArguments(int argc, char *argv[])
{
    QStringList list;
    for (int i = 1; i < argc; ++i)
        list += QString::fromLocal8Bit(argv[i]);
    return list;
}

void attachToCallersConsole() {}

bool writeLine(Stream stream, const QString &line)
{
    std::FILE *file = stream == Stream::Output ? stdout : stderr;
    return std::fputs((line + u'\n').toLocal8Bit().constData(), file) >= 0 && std::fflush(file) == 0;
}

std::vector<unsigned char> readStandardInput(std::size_t maxBytes)
{
    std::vector<unsigned char> bytes;
    unsigned char buffer[65536];
    while (bytes.size() < maxBytes) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, std::min(sizeof buffer, maxBytes - bytes.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw Failure(FailureNumber::DeviceIo, std::string("standard input: ") + std::strerror(errno));
        if (got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

#endif

}  // namespace zandrel
