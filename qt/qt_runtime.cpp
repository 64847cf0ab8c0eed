#include "qt/qt_runtime.h"

#include "platform/failure.h"
#include "platform/text_encoding.h"
#include "qt/instance_lock.h"
#include "templates/builtin_items.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <system_error>
#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#include <sddl.h>
#endif

namespace zandrel {

namespace {

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

// The classic number for a system error, so messages and callers can tell a
// missing file from a full disk.
int failureNumberFor(std::error_code error, const QString &path)
{
    const std::error_condition condition = error.default_error_condition();
    if (condition == std::errc::no_such_file_or_directory)
        return QFileInfo(path).absoluteDir().exists() ? FailureNumber::FileNotFound : FailureNumber::PathNotFound;
    if (condition == std::errc::not_a_directory)
        return FailureNumber::PathNotFound;
    if (condition == std::errc::permission_denied || condition == std::errc::operation_not_permitted
        || condition == std::errc::read_only_file_system)
        return FailureNumber::PermissionDenied;
    if (condition == std::errc::no_space_on_device)
        return FailureNumber::DiskFull;
#ifdef EDQUOT
    if (error.category() == std::generic_category() && error.value() == EDQUOT)
        return FailureNumber::DiskFull;
#endif
    if (condition == std::errc::io_error)
        return FailureNumber::DeviceIo;
    return FailureNumber::PathFileAccess;
}

std::string native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdString();
}

// A failure that names the file and carries the system's own reason.
Failure fileFailure(const QString &path, std::error_code error)
{
    return Failure(failureNumberFor(error, path), native(path) + ": " + error.message());
}

// For a QFile call that failed: errno where the system set it (Unix),
// otherwise what Qt says.
Failure fileFailure(const QFileDevice &file, const QString &path, int savedErrno)
{
    if (savedErrno != 0)
        return fileFailure(path, std::error_code(savedErrno, std::generic_category()));
    const int number = file.error() == QFileDevice::PermissionsError ? FailureNumber::PermissionDenied
                       : QFileInfo::exists(path)                     ? FailureNumber::PathFileAccess
                       : QFileInfo(path).absoluteDir().exists()      ? FailureNumber::FileNotFound
                                                                     : FailureNumber::PathNotFound;
    return Failure(number, native(path) + ": " + file.errorString().toStdString());
}

// Something other than a regular file (a folder, a FIFO, a device, a link)
// stands under the name.
bool somethingElseAt(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() || (info.exists() && !info.isFile());
}

// Only regular files are read, replaced or moved aside: anything else under a
// file's name is the user's and stays as it is.
void refuseUnlessRegularOrAbsent(const QString &path)
{
    if (somethingElseAt(path)) {
        throw Failure(FailureNumber::PathFileAccess,
                      native(path) + (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink()
                                          ? ": Is a directory, not a file"
                                          : " is not a regular file"));
    }
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// How long a new start waits for the copy that holds the lock to answer; it
// listens right after taking the lock, so this only matters when it is stuck.
constexpr int HandOverWaitMilliseconds = 5000;
constexpr int ConnectMilliseconds = 200;
constexpr int RetryMilliseconds = 20;

// What gets in the way of the one-copy rule is said in one line on standard
// error, however many things do: it is no reason to stop a start, nor to
// hold it up with a box.
void warnOneLine(const QStringList &trouble)
{
    if (trouble.isEmpty())
        return;
    std::fprintf(stderr, "Zandrel: %s\n", trouble.join(QLatin1String("; ")).toLocal8Bit().constData());
    std::fflush(stderr);
}

QString lockPathIn(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("zandrel.lock"));
}

#ifdef Q_OS_UNIX
// What sits where the socket belongs when that is not a socket; empty when it
// is one or nothing is there.
QString squatter(const QString &path)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0 || S_ISSOCK(status.st_mode))
        return {};
    const char *what = S_ISDIR(status.st_mode)   ? "a folder"
                       : S_ISREG(status.st_mode) ? "a file"
                       : S_ISLNK(status.st_mode) ? "a symbolic link"
                                                 : "something other than a socket";
    return QStringLiteral("%1 is %2, not Zandrel's socket: one copy still runs at a time, but starting Zandrel "
                          "again cannot bring its window to the front until that is removed")
        .arg(path, QLatin1String(what));
}

// The user of the process at the other end of a connected local socket; -1
// when the system does not say.
long long peerUid(qintptr descriptor)
{
#ifdef Q_OS_LINUX
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0)
        return credentials.uid;
#else
    uid_t uid = 0;
    gid_t gid = 0;
    if (::getpeereid(static_cast<int>(descriptor), &uid, &gid) == 0)
        return uid;
#endif
    return -1;
}
#endif

#ifdef Q_OS_WIN
// The user behind an access token, as the text of their security identifier
// ("S-1-5-21-…"): unlike a user name, no other user can take it on.
QString tokenUser(HANDLE token)
{
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    QString sid;
    LPWSTR text = nullptr;
    if (size != 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid, &text)) {
        sid = QString::fromWCharArray(text);
        ::LocalFree(text);
    }
    return sid;
}

// The user a process runs as; empty when the system will not say (a process
// of another user usually cannot even be asked).
QString processUser(DWORD processId)
{
    QString sid;
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr)
        return sid;
    HANDLE token = nullptr;
    if (::OpenProcessToken(process, TOKEN_QUERY, &token)) {
        sid = tokenUser(token);
        ::CloseHandle(token);
    }
    ::CloseHandle(process);
    return sid;
}

// The user of the process that serves the other end of a connected pipe.
QString pipeServerUser(qintptr pipe)
{
    ULONG serverId = 0;
    if (!::GetNamedPipeServerProcessId(reinterpret_cast<HANDLE>(pipe), &serverId))
        return {};
    return processUser(serverId);
}
#endif

}  // namespace

QtRuntime::QtRuntime(ClockReading clock, QObject *parent)
    : QObject(parent)
    , m_clock(std::move(clock))
{
}

std::uint64_t QtRuntime::systemClockReading()
{
    return static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

QtRuntime::~QtRuntime()
{
    releaseInstance();
}

void QtRuntime::showMessage(const std::string &text, const std::string &title, MessageIcon icon)
{
    QMessageBox box(boxIcon(icon), title.empty() ? QString::fromLatin1(ProgramTitle) : qs(title), qs(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void QtRuntime::reportUnexpectedFailure(int number, const std::string &description)
{
    showMessage("Error " + std::to_string(number) + ": " + description +
                    "\n\nThe action was stopped. Everything you typed is still there.",
                ProgramTitle, MessageIcon::Stop);
}

std::string QtRuntime::executableFolder() const
{
#ifdef Q_OS_LINUX
    // The folder as the system names it, in bytes. A name that is not UTF-8
    // cannot be passed on as text, and Qt then answers with an empty folder,
    // which would mean the current one; no folder is the honest answer.
    char target[4096];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof target) {
        const std::string path(target, static_cast<std::size_t>(length));
        const std::string folder = path.substr(0, std::max<std::size_t>(path.rfind('/'), 1));
        return isValidUtf8(folder) ? folder : std::string();
    }
#endif
    // applicationDirPath never ends in a separator except for a root folder.
    const QString folder = QCoreApplication::applicationDirPath();
    return QDir::isAbsolutePath(folder) ? native(folder) : std::string();
}

std::string QtRuntime::executableBaseName() const
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

NamedFolder QtRuntime::documentsFolder() const
{
#ifdef Q_OS_UNIX
    // Qt takes HOME as it finds it: unset, it names the root folder; relative,
    // a folder under the current one; in bytes that are not UTF-8, a name
    // with U+FFFD in it, which is no folder of the user's.
    const QByteArray home = qgetenv("HOME");
    if (home.isEmpty())
        return {{}, "HOME is not set, so the system names no documents folder"};
    if (!isValidUtf8(home.toStdString()))
        return {{}, "HOME names a folder whose name is not valid UTF-8 text"};
    if (!home.startsWith('/'))
        return {{}, "HOME is " + home.toStdString() + ", which is not an absolute path"};
    // Qt reads the desktop's setting from XDG_CONFIG_HOME as written, a
    // relative one from under the current folder.
    if (const QByteArray config = qgetenv("XDG_CONFIG_HOME"); !config.isEmpty() && !config.startsWith('/'))
        return {{}, "XDG_CONFIG_HOME is " + config.toStdString() + ", which is not an absolute path"};
#endif
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return {{}, "the system names no documents folder"};
    // The desktop's own setting, XDG_DOCUMENTS_DIR in user-dirs.dirs, is
    // passed on by Qt as written.
    if (!QDir::isAbsolutePath(documents))
        return {{}, "the documents folder the system names (XDG_DOCUMENTS_DIR) is " + documents.toStdString()
                        + ", which is not an absolute path"};
    if (documents.contains(QChar::ReplacementCharacter))
        return {{}, "the documents folder the system names (XDG_DOCUMENTS_DIR) is not valid UTF-8 text"};
    return {native(documents), {}};
}

void QtRuntime::startCommand(const StartCommand &command)
{
    QProcess process;
#ifdef Q_OS_WIN
    // The interpreter's command line is passed through untouched: its quoting
    // rules are not the ones QProcess would apply to an argument list.
    // The whole line, the interpreter's name included, replaces what QProcess
    // would have built from an argument list.
    auto line = std::make_shared<std::wstring>(qs(command.windowsCommandLine).toStdWString());
    const WORD show = command.minimised ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    process.setProgram(QStringLiteral("cmd.exe"));
    process.setCreateProcessArgumentsModifier([line, show](QProcess::CreateProcessArguments *args) {
        args->arguments = line->data();
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = show;
    });
#else
    process.setProgram(qs(command.program));
    QStringList arguments;
    for (const std::string &argument : command.arguments)
        arguments << qs(argument);
    process.setArguments(arguments);
    // Nothing the started program prints belongs in our terminal.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
#endif
    if (!process.startDetached()) {
        throw Failure(FailureNumber::CannotStartCommand,
                      "Could not start " + command.program + ": " + process.errorString().toStdString());
    }
}

void QtRuntime::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtRuntime::waitSeconds(int seconds)
{
    // A local event loop keeps the window working; a nested command may run
    // inside it and has its own loop. Quitting the application ends every
    // loop, so the caller must look whether its window is still there.
    QEventLoop loop;
    QTimer::singleShot(std::chrono::seconds(seconds), &loop, &QEventLoop::quit);
    loop.exec();
}

void QtRuntime::sleepMilliseconds(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtRuntime::seedRandomFromClock()
{
    // Once per run: every draw of the run continues one sequence. A value
    // asked for before start-up seeds too, so no run ever draws from the
    // generator's fixed default seed, which would give every unseeded
    // tournament the same draw.
    if (m_seeded)
        return;
    m_seeded = true;
    const std::uint64_t now = m_clock();
    std::seed_seq seed{static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32)};
    m_generator.seed(seed);
}

float QtRuntime::nextRandom()
{
    seedRandomFromClock();
    // 24 random bits fill a float's mantissa exactly, so the value is a
    // multiple of 2^-24 below 1: unlike uniform_real_distribution<float>,
    // rounding can never produce 1.0.
    return static_cast<float>(m_generator() >> 8) * 0x1.0p-24f;
}

Bytes QtRuntime::builtInItem(int number, const std::string &typeName)
{
    const auto bytes = builtInItemBytes(number, typeName);
    return Bytes(bytes.begin(), bytes.end());
}

Bytes QtRuntime::readFile(const std::string &path, std::size_t maxBytes)
{
    const QString name = qs(path);
    QFile file(name);
    openForReading(file);
    Bytes bytes;
    bytes.reserve(std::min(static_cast<std::size_t>(std::max<qint64>(file.size(), 0)), maxBytes));
    char buffer[65536];
    while (bytes.size() < maxBytes) {
        const auto want = static_cast<qint64>(std::min<std::size_t>(sizeof buffer, maxBytes - bytes.size()));
        errno = 0;
        const qint64 got = file.read(buffer, want);
        if (got < 0)
            throw fileFailure(file, name, errno);
        if (got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

void QtRuntime::openForReading(QFile &file)
{
    const QString name = file.fileName();
#ifdef Q_OS_UNIX
    // Opening a FIFO for reading waits for a writer, so the file is opened
    // without waiting and looked at before anything is read from it.
    const int fd = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw fileFailure(name, std::error_code(errno, std::generic_category()));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        throw Failure(FailureNumber::PathFileAccess, native(name) + " is not a regular file");
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw fileFailure(file, name, 0);
    }
#else
    refuseUnlessRegularOrAbsent(name);
    if (!file.open(QIODevice::ReadOnly))
        throw fileFailure(file, name, 0);
#endif
}

void QtRuntime::createFileExclusive(const std::string &path, const Bytes &bytes)
{
    const QString name = qs(path);
    QFile file(name);
    errno = 0;
    // NewOnly refuses an existing name, a planted link included.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw fileFailure(file, name, errno);
    if (const std::error_code error = writeBytes(file, bytes)) {
        file.close();
        QFile::remove(name);
        throw fileFailure(name, error);
    }
}

void QtRuntime::replaceFile(const std::string &path, const Bytes &bytes)
{
    // The new content goes whole into a .tmp beside the target, which then
    // takes the target's name in one rename: at every moment the old file or
    // the new one is there, and a failure leaves the old one as it was.
    const QString name = qs(path);
    const QFileInfo info(name);
    const QString temporary = info.dir().filePath(info.completeBaseName() + QStringLiteral(".tmp"));
    refuseUnlessRegularOrAbsent(name);
    refuseUnlessRegularOrAbsent(temporary);
    // One left by a run that was cut short; if it will not go, the
    // exclusive creation below says why.
    QFile::remove(temporary);

    QFile file(temporary);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        throw fileFailure(file, temporary, errno);
    std::error_code error = writeBytes(file, bytes);
    file.close();
    const QString failed = error ? temporary : name;
    if (!error)
        error = renameOver(temporary, name);
    if (error) {
        QFile::remove(temporary);
        throw fileFailure(failed, error);
    }
}

std::error_code QtRuntime::writeBytes(QFile &file, const Bytes &bytes)
{
    const char *data = reinterpret_cast<const char *>(bytes.data());
    qint64 left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        errno = 0;
        const qint64 written = file.write(data, left);
        if (written <= 0)
            return errno != 0 ? std::error_code(errno, std::generic_category())
                              : std::make_error_code(std::errc::io_error);
        data += written;
        left -= written;
    }
    return {};
}

std::error_code QtRuntime::renameOver(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    // What QSaveFile does: the target is replaced in one step.
    if (::MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                      reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return std::error_code(static_cast<int>(::GetLastError()), std::system_category());
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return {};
    return std::error_code(errno, std::generic_category());
#endif
}

void QtRuntime::removeFile(const std::string &path)
{
    const QString name = qs(path);
    QFile file(name);
    errno = 0;
    if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
        throw Failure(FailureNumber::FileNotFound, QDir::toNativeSeparators(name).toStdString() + ": File not found");
    if (!file.remove())
        throw fileFailure(file, name, errno);
}

bool QtRuntime::fileExists(const std::string &path) const
{
    const QFileInfo info(qs(path));
    return info.exists() || info.isSymLink();
}

bool QtRuntime::canWriteInFolder(const std::string &folder)
{
    // Permission bits do not tell about read-only mounts, ACLs or root, so
    // the answer comes from creating a file; it is removed at once.
    QTemporaryFile probe(QDir(qs(folder)).filePath(QStringLiteral(".zandrel-XXXXXX")));
    return probe.open();
}

void QtRuntime::makeFolder(const std::string &folder)
{
    const QString name = qs(folder);
    errno = 0;
    if (!QDir().mkpath(name)) {
        const std::error_code error(errno != 0 ? errno : EEXIST, std::generic_category());
        throw Failure(failureNumberFor(error, name), native(name) + ": cannot create the folder: " + error.message());
    }
}

std::string QtRuntime::createTempFile(const std::string &prefix)
{
    const QString folder = temporaryFolder();
    if (!QFileInfo(folder).isDir())
        throw Failure(FailureNumber::PathNotFound,
                      native(folder) + ": " + std::make_error_code(std::errc::no_such_file_or_directory).message());
    QTemporaryFile file(QDir(folder).absoluteFilePath(qs(prefix) + QStringLiteral("XXXXXX.tmp")));
    file.setAutoRemove(false);
    errno = 0;
    if (!file.open())
        throw Failure(failureNumberFor(std::error_code(errno, std::generic_category()), folder),
                      native(folder) + ": " + file.errorString().toStdString());
    return native(file.fileName());
}

QString QtRuntime::temporaryFolder()
{
#ifdef Q_OS_UNIX
    // Qt's own answer is empty for a folder that does not exist, which would
    // put files in the current folder; the folder as configured is kept, so
    // a failure can name it.
    const QString configured = qEnvironmentVariable("TMPDIR");
    return configured.isEmpty() ? QStringLiteral("/tmp") : QDir::cleanPath(configured);
#else
    return QDir::tempPath();
#endif
}

QString QtRuntime::instanceServerName(const QString &folder)
{
#ifdef Q_OS_UNIX
    return QDir(folder).filePath(QStringLiteral("zandrel.socket"));
#else
    Q_UNUSED(folder);  // a pipe's name is in no folder
    // Pipe names are one namespace for the whole machine: each user's copies
    // meet under a name of their own, which other users' starts never ask.
    const QString user = processUser(::GetCurrentProcessId());
    return user.isEmpty() ? QString() : QStringLiteral("zandrel-") + user;
#endif
}

bool QtRuntime::claimInstance()
{
    // The lock decides, in one step, which copy runs: the socket cannot,
    // because looking for a listener, clearing a stale socket and listening
    // are steps that other starts slip between. The system lets it go when
    // its holder ends, however it ends, and no age makes a held lock stale.
    const QList<InstanceFolder> folders = instanceFolders(temporaryFolder());
    const QDeadlineTimer deadline(HandOverWaitMilliseconds);
    for (;;) {
        QStringList trouble;
        const QString heldIn = lockInFirstUsableFolder(folders, trouble);
        if (heldIn.isEmpty()) {
            if (m_lock)
                listenForLaterCopies(instanceServerName(m_lockFolder), trouble);
            else
                trouble << QStringLiteral("so this copy runs without the one-copy rule");
            warnOneLine(trouble);
            return true;
        }
        // The holder listens as soon as it has the lock; until then, or if it
        // ends meanwhile and lets the lock go, this start tries again.
        const QString name = instanceServerName(heldIn);
        if (reachRunningCopy(name, trouble) != Answer::None) {
            warnOneLine(trouble);
            return false;
        }
        if (deadline.hasExpired()) {
            warnOneLine(trouble << QStringLiteral("the copy that holds %1 does not answer on %2")
                                       .arg(QDir::toNativeSeparators(lockPathIn(heldIn)),
                                            QDir::toNativeSeparators(name)));
            return false;
        }
        QThread::msleep(RetryMilliseconds);
        // A signal meanwhile ends this start, as it would a running copy.
        QCoreApplication::processEvents();
        if (m_shuttingDown)
            return false;
    }
}

QString QtRuntime::lockInFirstUsableFolder(const QList<InstanceFolder> &folders, QStringList &trouble)
{
    // A start that found the first folders in the way holds its lock in a
    // later one; a later start that finds them usable again looks there too,
    // so the two never both run.
    for (qsizetype i = 0; i < folders.size(); ++i) {
        const QString &folder = folders[i].path;
        auto lock = std::make_unique<InstanceLock>();
        QString problem = privateFolderProblem(folders[i]);
        if (problem.isEmpty()) {
            switch (lock->take(lockPathIn(folder), &problem)) {
            case InstanceLock::Outcome::HeldByAnother:
                return folder;
            case InstanceLock::Outcome::Taken:
                for (qsizetype later = i + 1; later < folders.size(); ++later) {
                    if (InstanceLock::isHeld(lockPathIn(folders[later].path)))
                        return folders[later].path;
                }
                if (!trouble.isEmpty())
                    trouble << QStringLiteral("the lock and the socket are in %1 instead")
                                   .arg(QDir::toNativeSeparators(folder));
                m_lock = std::move(lock);
                m_lockFolder = folder;
                return {};
            case InstanceLock::Outcome::Unusable:
                break;
            }
        }
        trouble << problem;
    }
    return {};
}

QtRuntime::Answer QtRuntime::reachRunningCopy(const QString &name, [[maybe_unused]] QStringList &trouble)
{
#ifdef Q_OS_UNIX
    if (const QString wrong = squatter(name); !wrong.isEmpty()) {
        trouble << wrong;
        return Answer::Refused;
    }
#endif
    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(name);
    if (!socket->waitForConnected(ConnectMilliseconds))
        return Answer::None;
#ifdef Q_OS_UNIX
    // Only the user can make names in the folder, but root can plant
    // anything anywhere: the title goes to no other user's process.
    if (const long long uid = peerUid(socket->socketDescriptor()); uid != static_cast<long long>(::geteuid())) {
        trouble << QStringLiteral("%1 is answered by a process of another user (uid %2); not handing over to it")
                       .arg(name)
                       .arg(uid);
        return Answer::Refused;
    }
#endif
#ifdef Q_OS_WIN
    // Anyone may make a pipe under any name that is free: the title goes to
    // no process that is not this user's.
    if (pipeServerUser(socket->socketDescriptor()) != processUser(::GetCurrentProcessId())) {
        trouble << QStringLiteral("%1 is served by a process of another user; not handing over to it").arg(name);
        return Answer::Refused;
    }
#endif
    m_handOver = std::move(socket);
    return Answer::Ours;
}

void QtRuntime::listenForLaterCopies(const QString &name, QStringList &trouble)
{
#ifdef Q_OS_UNIX
    if (const QString wrong = squatter(name); !wrong.isEmpty()) {
        trouble << wrong;
        return;
    }
    // Only the lock's holder makes the socket, and it removes it before it
    // lets the lock go: one still here was left by a copy that was killed,
    // unless something answers on it, which is not ours to remove.
    if (QFileInfo::exists(name)) {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(ConnectMilliseconds)) {
            trouble << QStringLiteral("%1 is answered by another process (uid %2); starting Zandrel again cannot "
                                      "bring this window to the front")
                           .arg(name)
                           .arg(peerUid(probe.socketDescriptor()));
            return;
        }
        ::unlink(QFile::encodeName(name).constData());
    }
#endif
    m_server = new QLocalServer(this);
    // On Unix no access option: with one, Qt binds elsewhere and renames the
    // socket over whatever has the name; bound where it is named, an existing
    // name makes listen fail instead. The folder keeps other users out. On
    // Windows the pipe's access list does.
#ifdef Q_OS_WIN
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
#endif
    connect(m_server, &QLocalServer::newConnection, this, &QtRuntime::readActivationRequests);
    if (!m_server->listen(name)) {
        trouble << QStringLiteral("%1: %2; starting Zandrel again cannot bring this window to the front")
                       .arg(QDir::toNativeSeparators(name), m_server->errorString());
        delete m_server;
        m_server = nullptr;
    }
}

void QtRuntime::releaseInstance()
{
    // The socket goes before the lock, so it is never another copy's.
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    m_handOver.reset();
    m_lock.reset();
}

void QtRuntime::readActivationRequests()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QString title = QString::fromUtf8(socket->readLine(1024)).trimmed();
                if (m_activationHandler && !title.isEmpty())
                    m_activationHandler(title);
            }
        });
    }
}

void QtRuntime::activateRunningCopy(const std::string &title)
{
    if (!m_handOver)
        return;  // No copy of ours to hand over to: this one simply ends.
    m_handOver->write(QByteArray::fromStdString(title) + '\n');
    m_handOver->waitForBytesWritten(2000);
    m_handOver->disconnectFromServer();
    if (m_handOver->state() != QLocalSocket::UnconnectedState)
        m_handOver->waitForDisconnected(2000);
    m_handOver.reset();
}

void QtRuntime::setApplicationTitle(const std::string &title)
{
    QGuiApplication::setApplicationDisplayName(qs(title));
}

void QtRuntime::beginShutdown()
{
    m_shuttingDown = true;
}

void QtRuntime::setActivationHandler(std::function<void(const QString &)> handler)
{
    m_activationHandler = std::move(handler);
}

}  // namespace zandrel
