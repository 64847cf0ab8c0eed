#include "platform/qt_runtime.h"

#include "platform/failure.h"
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
#include <filesystem>
#include <memory>

#ifdef Q_OS_UNIX
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

// Turns a failed QFile operation into a numbered failure that names the file
// and carries the system's own reason.
Failure fileFailure(const QFileDevice &file, const QString &path, int savedErrno)
{
    int number = FailureNumber::PathFileAccess;
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        number = FailureNumber::PermissionDenied;
        break;
    case QFileDevice::OpenError:
        if (savedErrno == EACCES || savedErrno == EPERM || savedErrno == EROFS)
            number = FailureNumber::PermissionDenied;
        else if (!QFileInfo(path).absoluteDir().exists())
            number = FailureNumber::PathNotFound;
        else if (!QFileInfo::exists(path))
            number = FailureNumber::FileNotFound;
        break;
    case QFileDevice::WriteError:
    case QFileDevice::ResizeError:
        number = savedErrno == ENOSPC ? FailureNumber::DiskFull : FailureNumber::DeviceIo;
        break;
    case QFileDevice::ReadError:
        number = FailureNumber::DeviceIo;
        break;
    default:
        break;
    }
    return Failure(number, QDir::toNativeSeparators(path).toStdString() + ": " + file.errorString().toStdString());
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

void writeAll(QFile &file, const QString &path, const Bytes &bytes)
{
    errno = 0;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char *>(bytes.data()), size) != size || !file.flush())
        throw fileFailure(file, path, errno);
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
    // applicationDirPath never ends in a separator except for a root folder.
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
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
    errno = 0;
    // Qt refuses to open a folder, so a folder named like the file fails here too.
    if (!file.open(QIODevice::ReadOnly))
        throw fileFailure(file, name, errno);
    Bytes bytes;
    bytes.reserve(std::min(static_cast<std::size_t>(std::max<qint64>(file.size(), 0)), maxBytes));
    char buffer[65536];
    while (bytes.size() < maxBytes) {
        const auto want = static_cast<qint64>(std::min<std::size_t>(sizeof buffer, maxBytes - bytes.size()));
        const qint64 got = file.read(buffer, want);
        if (got < 0)
            throw fileFailure(file, name, errno);
        if (got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

void QtRuntime::createFileExclusive(const std::string &path, const Bytes &bytes)
{
    const QString name = qs(path);
    QFile file(name);
    errno = 0;
    // NewOnly refuses an existing name, a planted link included.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw fileFailure(file, name, errno);
    writeAll(file, name, bytes);
}

void QtRuntime::replaceFile(const std::string &path, const Bytes &bytes)
{
    // The new content is written whole to a .tmp beside the target first, so
    // a failure (a full disk, a read-only folder) leaves the previous file as
    // it was. The old file is then moved aside rather than renamed over: ext4
    // flushes the disk on a rename that replaces a file, which costs more
    // than everything else the command does.
    const QString name = qs(path);
    const QFileInfo info(name);
    const QString temporary = info.dir().filePath(info.completeBaseName() + QStringLiteral(".tmp"));
    const QString aside = info.dir().filePath(info.completeBaseName() + QStringLiteral(".old"));
    QFile::remove(temporary);
    {
        QFile file(temporary);
        errno = 0;
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            throw fileFailure(file, temporary, errno);
        try {
            writeAll(file, temporary, bytes);
        } catch (...) {
            file.close();
            QFile::remove(temporary);
            throw;
        }
    }
    const auto fsPath = [](const QString &p) { return std::filesystem::path(p.toStdU16String()); };
    const auto fail = [&](const std::error_code &error) {
        QFile::remove(temporary);
        return Failure(FailureNumber::PathFileAccess, QDir::toNativeSeparators(name).toStdString() + ": " +
                                                          error.message());
    };
    std::error_code error;
    QFile::remove(aside);
    const bool hadOld = QFileInfo::exists(name);
    if (hadOld) {
        std::filesystem::rename(fsPath(name), fsPath(aside), error);
        if (error)
            throw fail(error);
    }
    std::filesystem::rename(fsPath(temporary), fsPath(name), error);
    if (error) {
        std::error_code restored;
        if (hadOld)
            std::filesystem::rename(fsPath(aside), fsPath(name), restored);
        throw fail(error);
    }
    if (hadOld)
        QFile::remove(aside);
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
    QTemporaryFile file(QDir(QDir::tempPath()).filePath(qs(prefix) + QStringLiteral("XXXXXX.tmp")));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    return QDir::toNativeSeparators(file.fileName()).toStdString();
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
