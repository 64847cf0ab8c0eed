#include "qt/instance_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zandrel {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString systemFailure(const QString &path, int error)
{
    return shown(path) + QStringLiteral(": ") + qt_error_string(error);
}

#ifdef Q_OS_UNIX
QByteArray bytes(const QString &path)
{
    return QFile::encodeName(path);
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The home folder: HOME while it is a full path, else the one the system
// keeps for the user.
QString homeFolder()
{
    const QByteArray home = qgetenv("HOME");
    if (home.startsWith('/'))
        return QFile::decodeName(home);
    const passwd *user = ::getpwuid(::geteuid());
    return user && user->pw_dir && user->pw_dir[0] == '/' ? QFile::decodeName(user->pw_dir) : QString();
}

QString userName()
{
    const passwd *user = ::getpwuid(::geteuid());
    return user && user->pw_name ? QFile::decodeName(user->pw_name) : QString::number(::geteuid());
}

// Why what stands at `path` cannot be the lock, when the system's own
// reason would not say it: empty for a file of this user's, or nothing.
QString notALockFile(const QString &path)
{
    struct stat status {};
    if (::lstat(bytes(path).constData(), &status) != 0)
        return {};
    if (S_ISLNK(status.st_mode))
        return shown(path) + QStringLiteral(" is a symbolic link, not Zandrel's lock");
    if (S_ISDIR(status.st_mode))
        return shown(path) + QStringLiteral(" is a folder, not Zandrel's lock");
    if (!S_ISREG(status.st_mode))
        return shown(path) + QStringLiteral(" is not a regular file, so not Zandrel's lock");
    if (status.st_uid != ::geteuid())
        return QStringLiteral("%1 is a file of another user (uid %2), not Zandrel's lock").arg(shown(path)).arg(status.st_uid);
    return {};
}

int openLock(const QByteArray &name, int flags)
{
    // Never through a link, and never waiting on a FIFO planted there.
    return ::open(name.constData(), flags | O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
}
#endif

}  // namespace

#ifdef Q_OS_UNIX

QList<InstanceFolder> instanceFolders(const QString &temporaryFolder)
{
    QList<InstanceFolder> folders;
    if (const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"); !runtime.isEmpty())
        folders.append({QFile::decodeName(runtime)});
    folders.append({QDir(temporaryFolder).filePath(QStringLiteral("runtime-") + userName())});
    QString cache = QFile::decodeName(qgetenv("XDG_CACHE_HOME"));
    if (!QDir::isAbsolutePath(cache))
        cache = homeFolder().isEmpty() ? QString() : homeFolder() + QStringLiteral("/.cache");
    if (!cache.isEmpty())
        folders.append({QDir(cache).filePath(QStringLiteral("zandrel-runtime")), true});
    return folders;
}

QString privateFolderProblem(const InstanceFolder &place)
{
    const QString &folder = place.path;
    if (!QDir::isAbsolutePath(folder))
        return shown(folder) + QStringLiteral(" is not a full path");
    if (folder.contains(QChar::ReplacementCharacter))
        return shown(folder) + QStringLiteral(" is not valid UTF-8 text");
    const QByteArray name = bytes(folder);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        if (place.withParents)
            QDir().mkpath(QFileInfo(folder).path());
        if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
            return systemFailure(folder, errno);
        if (::lstat(name.constData(), &status) != 0)
            return systemFailure(folder, errno);
    }
    if (S_ISLNK(status.st_mode))
        return shown(folder) + QStringLiteral(" is a symbolic link, not a folder");
    if (!S_ISDIR(status.st_mode))
        return shown(folder) + QStringLiteral(" is not a folder");
    if (status.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to another user (uid %2)").arg(shown(folder)).arg(status.st_uid);
    if ((status.st_mode & 077) != 0)
        return QStringLiteral("%1 is open to other users (mode %2)")
            .arg(shown(folder))
            .arg(status.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return {};
}

InstanceLock::Outcome InstanceLock::take(const QString &path, QString *problem)
{
    release();
    const QByteArray name = bytes(path);
    // A holder that ends between the open and the lock below removes the
    // file it held; the name then leads to a new one, tried in turn.
    for (int attempt = 0; attempt < 3; ++attempt) {
        int descriptor = openLock(name, O_CREAT);
        if (descriptor < 0 && errno == EACCES && notALockFile(path).isEmpty()) {
            // A lock file of this user's that no one may open names no
            // holder, but may have one: made openable again, it tells.
            if (::chmod(name.constData(), 0600) == 0)
                descriptor = openLock(name, O_CREAT);
        }
        const int error = errno;
        struct stat opened {};
        if (descriptor < 0 || ::fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode)
            || opened.st_uid != ::geteuid()) {
            if (descriptor >= 0)
                ::close(descriptor);
            *problem = notALockFile(path);
            if (problem->isEmpty())
                *problem = systemFailure(path, descriptor < 0 ? error : EPERM);
            return Outcome::Unusable;
        }
        if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            const int refusal = errno;
            ::close(descriptor);
            if (refusal == EWOULDBLOCK)
                return Outcome::HeldByAnother;
            *problem = systemFailure(path, refusal);
            return Outcome::Unusable;
        }
        struct stat named {};
        if (::lstat(name.constData(), &named) == 0 && sameFile(named, opened)) {
            // Whatever the umask made of it, later starts can open it to see.
            ::fchmod(descriptor, 0600);
            m_descriptor = descriptor;
            m_path = path;
            return Outcome::Taken;
        }
        ::close(descriptor);
    }
    *problem = shown(path) + QStringLiteral(" is being replaced again and again");
    return Outcome::Unusable;
}

bool InstanceLock::isHeld(const QString &path)
{
    const int descriptor = openLock(bytes(path), 0);
    if (descriptor < 0)
        return false;
    struct stat status {};
    const bool held = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)
                      && ::flock(descriptor, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(descriptor);
    return held;
}

void InstanceLock::release()
{
    if (m_descriptor < 0)
        return;
    // Removed while still held, and only while the name still leads to this
    // file: a start never ends up holding a file that no longer has the name.
    struct stat held {};
    struct stat named {};
    const QByteArray name = bytes(m_path);
    if (::fstat(m_descriptor, &held) == 0 && ::lstat(name.constData(), &named) == 0 && sameFile(held, named))
        ::unlink(name.constData());
    ::close(m_descriptor);
    m_descriptor = -1;
}

#else

QList<InstanceFolder> instanceFolders(const QString &temporaryFolder)
{
    return {{temporaryFolder}};
}

QString privateFolderProblem(const InstanceFolder &place)
{
    return QFileInfo(place.path).isDir() ? QString() : shown(place.path) + QStringLiteral(" is not a folder");
}

namespace {

HANDLE openLock(const QString &path, DWORD disposition, DWORD flags)
{
    // Shared with no one: a second open fails while the first is held.
    return ::CreateFileW(reinterpret_cast<const wchar_t *>(shown(path).utf16()), GENERIC_READ | GENERIC_WRITE | DELETE,
                         0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL | flags, nullptr);
}

}  // namespace

InstanceLock::Outcome InstanceLock::take(const QString &path, QString *problem)
{
    release();
    // The system deletes the file when the handle closes, however the holder ends.
    const HANDLE handle = openLock(path, OPEN_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION)
            return Outcome::HeldByAnother;
        *problem = systemFailure(path, static_cast<int>(error));
        return Outcome::Unusable;
    }
    m_handle = handle;
    m_path = path;
    return Outcome::Taken;
}

bool InstanceLock::isHeld(const QString &path)
{
    const HANDLE handle = openLock(path, OPEN_EXISTING, 0);
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
        return false;
    }
    return ::GetLastError() == ERROR_SHARING_VIOLATION;
}

void InstanceLock::release()
{
    if (m_handle)
        ::CloseHandle(m_handle);
    m_handle = nullptr;
}

#endif

}  // namespace zandrel
