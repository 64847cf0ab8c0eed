#include "qt/single_instance.h"

#include "platform/failure.h"
#include "product.h"
#include "qt/hand_over.h"
#include "qt/instance_lock.h"
#include "qt/qt_files.h"
#include "qt/qt_text.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cstdio>
#include <utility>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zandrel {

namespace {

// How long a new start waits for the copy that holds the lock to answer; it
// listens right after taking the lock, so this only matters when it is stuck.
constexpr int HandOverWaitMilliseconds = 5000;
constexpr int RetryMilliseconds = 20;

// What stands in the way of the one-copy rule, in words that name the place.
[[noreturn]] void inTheWay(const QString &why)
{
    throw Failure(FailureNumber::PathFileAccess, why.toStdString());
}

#ifdef Q_OS_UNIX
// A socket's name must fit in its address, which holds about a hundred
// bytes: a runtime folder with a long path cannot take the socket.
void refuseTooLongForASocket(const QString &name)
{
    constexpr std::size_t room = sizeof(sockaddr_un::sun_path) - 1;  // its last byte ends the name
    if (static_cast<std::size_t>(QFile::encodeName(name).size()) > room)
        inTheWay(QStringLiteral("%1 is too long a name for a socket (at most %2 bytes)").arg(name).arg(room));
}

// Something other than a socket where the socket belongs.
void refuseSquatter(const QString &path)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0 || S_ISSOCK(status.st_mode))
        return;
    const char *what = S_ISDIR(status.st_mode)   ? "a folder"
                       : S_ISREG(status.st_mode) ? "a file"
                       : S_ISLNK(status.st_mode) ? "a symbolic link"
                                                 : "something other than a socket";
    inTheWay(QStringLiteral("%1 is %2, not Zandrel's socket: one copy still runs at a time, but starting Zandrel "
                            "again cannot bring its window to the front until that is removed")
                 .arg(path, QLatin1String(what)));
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

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent)
{
}

SingleInstance::~SingleInstance()
{
    release();
}

QString SingleInstance::serverName(const QString &folder)
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

bool SingleInstance::claim()
{
    // The lock decides, in one step, which copy runs: the socket cannot,
    // because looking for a listener, clearing a stale socket and listening
    // are steps that other starts slip between. The system lets it go when
    // its holder ends, however it ends, and no age makes a held lock stale.
    const QList<InstanceFolder> places = instanceFolders(QtFiles::temporaryFolder());
    const QDeadlineTimer deadline(HandOverWaitMilliseconds);
    for (;;) {
        m_inTheWay.clear();
        const QString heldIn = lockInFirstUsablePlace(places);
        if (heldIn.isEmpty()) {
            if (m_lock)
                noteWhatIsInTheWay([this] { listenForLaterCopies(serverName(m_lockFolder)); });
            else
                m_inTheWay << QStringLiteral("so this copy runs without the one-copy rule");
            sayWhatIsInTheWay();
            return true;
        }
        // The holder listens as soon as it has the lock; until then, or if it
        // ends meanwhile and lets the lock go, this start tries again.
        const QString name = serverName(heldIn);
        bool answered = true;
        noteWhatIsInTheWay([&] { answered = reachRunningCopy(name); });
        if (answered) {
            sayWhatIsInTheWay();
            return false;
        }
        if (deadline.hasExpired()) {
            m_inTheWay << QStringLiteral("the copy that holds %1 does not answer on %2")
                              .arg(shown(lockPathIn(heldIn)), shown(name));
            sayWhatIsInTheWay();
            return false;
        }
        QThread::msleep(RetryMilliseconds);
        // A signal meanwhile ends this start, as it would a running copy.
        QCoreApplication::processEvents();
        if (m_shuttingDown)
            return false;
    }
}

bool SingleInstance::noteWhatIsInTheWay(const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const Failure &failure) {
        m_inTheWay << QString::fromStdString(failure.description());
        return false;
    }
}

void SingleInstance::sayWhatIsInTheWay() const
{
    // However many things are in the way, one line: none is a reason to stop
    // a start, nor to hold it up with a box.
    if (m_inTheWay.isEmpty())
        return;
    std::fprintf(stderr, "%s: %s\n", product::Name, m_inTheWay.join(QLatin1String("; ")).toLocal8Bit().constData());
    std::fflush(stderr);
}

QString SingleInstance::lockInFirstUsablePlace(const QList<InstanceFolder> &places)
{
    // A start that found the first places in the way holds its lock in a
    // later one; a later start that finds them usable again looks there too,
    // so the two never both run.
    for (qsizetype i = 0; i < places.size(); ++i) {
        const QString &place = places[i].path;
        auto lock = std::make_unique<InstanceLock>();
        bool taken = false;
        const bool usable = noteWhatIsInTheWay([&] {
#ifdef Q_OS_UNIX
            refuseTooLongForASocket(serverName(place));
#endif
            makePrivateFolder(places[i]);
            taken = lock->take(lockPathIn(place));
        });
        if (!usable)
            continue;
        if (!taken)
            return place;
        for (qsizetype later = i + 1; later < places.size(); ++later) {
            if (InstanceLock::isHeld(lockPathIn(places[later].path)))
                return places[later].path;
        }
        if (!m_inTheWay.isEmpty())
            m_inTheWay << QStringLiteral("the lock and the socket are in %1 instead").arg(shown(place));
        m_lock = std::move(lock);
        m_lockFolder = place;
        return {};
    }
    return {};
}

bool SingleInstance::reachRunningCopy(const QString &name)
{
#ifdef Q_OS_UNIX
    refuseSquatter(name);
#endif
    const qintptr connection = hand_over::connectTo(name);
    if (connection == -1)
        return false;
#ifdef Q_OS_UNIX
    // Only the user can make names in the folder, but root can plant
    // anything anywhere: the title goes to no other user's process.
    if (const long long uid = peerUid(connection); uid != static_cast<long long>(::geteuid())) {
        hand_over::close(connection);
        inTheWay(QStringLiteral("%1 is answered by a process of another user (uid %2); not handing over to it")
                     .arg(name)
                     .arg(uid));
    }
#endif
#ifdef Q_OS_WIN
    // Anyone may make a pipe under any name that is free: the title goes to
    // no process that is not this user's.
    if (pipeServerUser(connection) != processUser(::GetCurrentProcessId())) {
        hand_over::close(connection);
        inTheWay(QStringLiteral("%1 is served by a process of another user; not handing over to it").arg(name));
    }
#endif
    m_handOver = connection;
    return true;
}

void SingleInstance::listenForLaterCopies(const QString &name)
{
#ifdef Q_OS_UNIX
    refuseSquatter(name);
    // Only the lock's holder makes the socket, and it removes it before it
    // lets the lock go: one still here was left by a copy that was killed,
    // unless something answers on it, which is not ours to remove.
    if (QFileInfo::exists(name)) {
        if (const qintptr probe = hand_over::connectTo(name); probe != -1) {
            const long long uid = peerUid(probe);
            hand_over::close(probe);
            inTheWay(QStringLiteral("%1 is answered by another process (uid %2); starting Zandrel again cannot "
                                    "bring this window to the front")
                         .arg(name)
                         .arg(uid));
        }
        ::unlink(QFile::encodeName(name).constData());
    }
#endif
    m_listener = std::make_unique<hand_over::Listener>(name, this, [this](QByteArray &text) { takeTitles(text); });
}

void SingleInstance::release()
{
    // The socket goes before the lock, so it is never another copy's.
    m_listener.reset();
    if (m_handOver != -1)
        hand_over::close(std::exchange(m_handOver, -1));
    m_lock.reset();
}

void SingleInstance::takeTitles(QByteArray &request)
{
    for (qsizetype end; (end = request.indexOf('\n')) >= 0;) {
        const QString title = QString::fromUtf8(request.left(end)).trimmed();
        request.remove(0, end + 1);
        if (m_activationHandler && !title.isEmpty())
            m_activationHandler(title);
    }
}

void SingleInstance::activateRunningCopy(const std::string &title)
{
    if (m_handOver == -1)
        return;  // No copy of ours to hand over to: this one simply ends.
    hand_over::sendAndClose(std::exchange(m_handOver, -1), title + '\n');
}

void SingleInstance::beginShutdown()
{
    m_shuttingDown = true;
}

void SingleInstance::setActivationHandler(std::function<void(const QString &)> handler)
{
    m_activationHandler = std::move(handler);
}

}  // namespace zandrel
