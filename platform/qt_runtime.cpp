#include "platform/qt_runtime.h"

#include "platform/failure.h"
#include "platform/text_encoding.h"
#include "templates/builtin_items.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
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
#include <cstring>
#include <system_error>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
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

// Only regular files are read, replaced or moved aside: a folder, a FIFO or a
// device under a file's name is the user's and stays as it is.
void refuseUnlessRegularOrAbsent(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return;
    if (info.isSymLink() || !info.isFile()) {
        throw Failure(FailureNumber::PathFileAccess,
                      native(path) + (info.isDir() && !info.isSymLink() ? ": Is a directory, not a file"
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

}  // namespace

QtRuntime::QtRuntime(QObject *parent)
    : QObject(parent)
{
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

std::string QtRuntime::documentsFolder() const
{
    return QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .toStdString();
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
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    m_generator.seed(static_cast<std::mt19937::result_type>(now ^ (now >> 32)));
}

float QtRuntime::nextRandom()
{
    // 24 random bits fill a float's mantissa exactly, so the value is a
    // multiple of 2^-24 below 1: unlike uniform_real_distribution<float>,
    // rounding can never produce 1.0.
    return static_cast<float>(m_generator() >> 8) * 0x1.0p-24f;
}

Bytes QtRuntime::builtInItem(int number, const std::string &typeName)
{
    const auto bytes = BuiltInItem(number, typeName);
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
        const int saved = errno;
        throw Failure(saved == EACCES || saved == EPERM || saved == EROFS ? FailureNumber::PermissionDenied
                                                                          : FailureNumber::PathFileAccess,
                      QDir::toNativeSeparators(name).toStdString() + ": cannot create the folder"
                          + (saved != 0 ? std::string(": ") + std::strerror(saved) : std::string()));
    }
}

std::string QtRuntime::createTempFile(const std::string &prefix)
{
    const QString folder = temporaryFolder();
    if (!QFileInfo(folder).isDir())
        throw Failure(FailureNumber::PathNotFound, native(folder) + ": No such folder");
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

QString QtRuntime::instanceServerName()
{
#ifdef Q_OS_UNIX
    return QStringLiteral("zandrel-%1").arg(::getuid());
#else
    QString user = qEnvironmentVariable("USERNAME");
    return QStringLiteral("zandrel-") + user;
#endif
}

bool QtRuntime::claimInstance()
{
    const QString name = instanceServerName();
    {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(1000)) {
            probe.disconnectFromServer();
            return false;
        }
    }
    // Nobody answers: a socket left by a copy that crashed must not block us.
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &QtRuntime::readActivationRequests);
    // If listening fails we still run; we only can't be found by a later copy.
    m_server->listen(name);
    return true;
}

void QtRuntime::releaseInstance()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
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
    QLocalSocket socket;
    socket.connectToServer(instanceServerName());
    if (!socket.waitForConnected(2000))
        return;  // No copy to hand over to: this one simply ends.
    socket.write(QByteArray::fromStdString(title) + '\n');
    socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(2000);
}

void QtRuntime::setApplicationTitle(const std::string &title)
{
    QGuiApplication::setApplicationDisplayName(qs(title));
}

void QtRuntime::setActivationHandler(std::function<void(const QString &)> handler)
{
    m_activationHandler = std::move(handler);
}

}  // namespace zandrel
