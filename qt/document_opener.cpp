#include "qt/document_opener.h"

#include "platform/failure.h"

#include <QString>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;
#endif
#ifdef Q_OS_WIN
#include "platform/shell_url.h"

#include <windows.h>
#include <shellapi.h>
#endif

namespace zandrel {

namespace {

#ifdef Q_OS_UNIX
#ifdef Q_OS_MACOS
constexpr const char *Opener = "open";
#else
constexpr const char *Opener = "xdg-open";
#endif
// How often a running opener is asked whether it has ended.
constexpr int WatchMilliseconds = 50;

// xdg-open's exit statuses, as its manual gives them, in words.
std::string endedWith(const char *opener, int status)
{
    if (WIFSIGNALED(status))
        return std::string(opener) + " was ended by signal " + std::to_string(WTERMSIG(status));
    const int code = WEXITSTATUS(status);
    switch (code) {
    case 1:
        return std::string(opener) + " did not take what it was given (exit status 1)";
    case 2:
        return std::string(opener) + " found no such file (exit status 2)";
    case 3:
        return std::string(opener) + " found no program to open it with (exit status 3)";
    case 4:
        return "the program that opens it reported a failure (" + std::string(opener) + " exit status 4)";
    default:
        return std::string(opener) + " ended with exit status " + std::to_string(code);
    }
}
#endif

#ifdef Q_OS_WIN
// A full local path (C:\... or \\server\...) goes as the file URL that
// names it literally; a web address as it is.
std::wstring shellTarget(const std::string &target)
{
    const bool localPath = (target.size() > 2 && target[1] == ':') || target.starts_with("\\\\");
    return QString::fromStdString(localPath ? windowsShellFileUrl(target) : target).toStdWString();
}
#endif

}  // namespace

std::shared_ptr<const DocumentOpening> DocumentOpener::openDocument(const std::string &target)
{
    auto opening = std::make_shared<DocumentOpening>();
#ifdef Q_OS_WIN
    const std::wstring file = shellTarget(target);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No box of the system's on failure: the reason comes back, and the
    // program's own box says it with the page's name.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&info))
        throw Failure(FailureNumber::CannotOpenDocument, qt_error_string(static_cast<int>(::GetLastError())).toStdString());
    opening->finished = true;
#else
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Nothing the opener or the browser prints belongs in our terminal.
    for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        posix_spawn_file_actions_addopen(&actions, descriptor, "/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
    const char *arguments[] = {Opener, target.c_str(), nullptr};
    pid_t process = 0;
    const int error = ::posix_spawnp(&process, Opener, &actions, nullptr, const_cast<char *const *>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw Failure(FailureNumber::CannotOpenDocument, std::string(Opener) +
                                                             ", which opens files with the desktop's own programs, "
                                                             "cannot be started: " + std::strerror(error));
    }
    watch(process, opening, Opener);
#endif
    return opening;
}

#ifdef Q_OS_UNIX
void DocumentOpener::watch(long long process, std::shared_ptr<DocumentOpening> opening, const char *opener)
{
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [timer, process, opening, opener] {
        int status = 0;
        const pid_t ended = ::waitpid(static_cast<pid_t>(process), &status, WNOHANG);
        if (ended == 0)
            return;
        // Below zero it has been reaped elsewhere, and nothing more can be known.
        if (ended > 0 && (!WIFEXITED(status) || WEXITSTATUS(status) != 0))
            opening->refusal = endedWith(opener, status);
        opening->finished = true;
        timer->deleteLater();
    });
    timer->start(WatchMilliseconds);
}
#endif

}  // namespace zandrel
