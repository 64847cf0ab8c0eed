#include "qt/instance_lock.h"

#include "platform/failure.h"
#include "product.h"
#include "qt/qt_text.h"

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
#include <sddl.h>

#include <vector>
#endif

namespace zandrel {

namespace {

// What stands in the way of the lock, said in words that name the place.
[[noreturn]] void inTheWay(const QString &why)
{
    throw Failure(FailureNumber::PathFileAccess, why.toStdString());
}

#ifdef Q_OS_UNIX

[[noreturn]] void refused(const QString &path, int error)
{
    inTheWay(shown(path) + QStringLiteral(": ") + qt_error_string(error));
}

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

QString lockPathIn(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("zandrel.lock"));
}

void makePrivateFolder(const InstanceFolder &place)
{
    const QString &folder = place.path;
    if (!QDir::isAbsolutePath(folder))
        inTheWay(shown(folder) + QStringLiteral(" is not a full path"));
    if (folder.contains(QChar::ReplacementCharacter))
        inTheWay(shown(folder) + QStringLiteral(" is not valid UTF-8 text"));
    const QByteArray name = bytes(folder);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        if (place.withParents)
            QDir().mkpath(QFileInfo(folder).path());
        if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
            refused(folder, errno);
        if (::lstat(name.constData(), &status) != 0)
            refused(folder, errno);
    }
    if (S_ISLNK(status.st_mode))
        inTheWay(shown(folder) + QStringLiteral(" is a symbolic link, not a folder"));
    if (!S_ISDIR(status.st_mode))
        inTheWay(shown(folder) + QStringLiteral(" is not a folder"));
    if (status.st_uid != ::geteuid())
        inTheWay(QStringLiteral("%1 belongs to another user (uid %2)").arg(shown(folder)).arg(status.st_uid));
    if ((status.st_mode & 077) != 0)
        inTheWay(QStringLiteral("%1 is open to other users (mode %2)")
                     .arg(shown(folder))
                     .arg(status.st_mode & 07777, 4, 8, QLatin1Char('0')));
}

bool InstanceLock::take(const QString &path)
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
            if (const QString why = notALockFile(path); !why.isEmpty())
                inTheWay(why);
            refused(path, descriptor < 0 ? error : EPERM);
        }
        if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            const int refusal = errno;
            ::close(descriptor);
            if (refusal == EWOULDBLOCK)
                return false;
            refused(path, refusal);
        }
        struct stat named {};
        if (::lstat(name.constData(), &named) == 0 && sameFile(named, opened)) {
            // Whatever the umask made of it, later starts can open it to see.
            ::fchmod(descriptor, 0600);
            m_descriptor = descriptor;
            m_path = path;
            return true;
        }
        ::close(descriptor);
    }
    inTheWay(shown(path) + QStringLiteral(" is being replaced again and again"));
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

namespace {

// The user behind an access token, as the text of their security identifier
// ("S-1-5-21-..."): unlike a user name, no other user can take it on.
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

}  // namespace

QString processUser(unsigned long processId)
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

QList<InstanceFolder> instanceFolders(const QString &)
{
    // Named system objects need no folder: the temporary folder may be
    // missing, read-only or a file, and one copy still runs.
    const QString name = QString::fromLatin1(product::Name);
    QList<InstanceFolder> places{{name}};
    if (const QString user = processUser(::GetCurrentProcessId()); !user.isEmpty())
        places.append({name + QLatin1Char('-') + user});
    return places;
}

void makePrivateFolder(const InstanceFolder &)
{
    // Nothing to make: a mutex's name lives in the session, which is the user's own.
}

QString lockPathIn(const QString &place)
{
    return place;
}

bool InstanceLock::take(const QString &name)
{
    release();
    // Created owned, as a start that is first; a later one opens the same
    // mutex without owning it. The system lets it go when its holder ends,
    // however it ends.
    const HANDLE mutex = ::CreateMutexW(nullptr, TRUE, wide(name));
    const DWORD error = ::GetLastError();
    if (mutex == nullptr && error == ERROR_ACCESS_DENIED)
        inTheWay(QStringLiteral("the mutex %1 belongs to another user").arg(name));
    if (mutex == nullptr)
        inTheWay(QStringLiteral("the mutex %1: %2").arg(name, qt_error_string(static_cast<int>(error))));
    if (error == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    m_handle = mutex;
    m_path = name;
    return true;
}

bool InstanceLock::isHeld(const QString &name)
{
    const HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, wide(name));
    if (mutex == nullptr)
        return false;
    ::CloseHandle(mutex);
    return true;
}

void InstanceLock::release()
{
    if (!m_handle)
        return;
    ::ReleaseMutex(m_handle);
    ::CloseHandle(m_handle);
    m_handle = nullptr;
}

#endif

}  // namespace zandrel
