#include "qt/hand_over.h"

#include "platform/failure.h"
#include "qt/qt_text.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <system_error>
#include <vector>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include "qt/instance_lock.h"

#include <QWinEventNotifier>

#include <windows.h>
#include <sddl.h>
#endif

namespace zandrel::hand_over {

namespace {

// How long a later start waits for the listener to take its connection, and for room to write its line in.
constexpr int ConnectMilliseconds = 200;
constexpr int WriteMilliseconds = 2000;

[[noreturn]] void cannotListen(const QString &name, const std::string &why)
{
    throw Failure(FailureNumber::PathFileAccess,
                  QStringLiteral("%1: %2; starting Zandrel again cannot bring this window to the front")
                      .arg(shown(name), QString::fromStdString(why))
                      .toStdString());
}

#ifdef Q_OS_UNIX
sockaddr_un socketAddress(const QString &name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(name);
    std::memcpy(address.sun_path, path.constData(), std::min(sizeof address.sun_path - 1, std::size_t(path.size())));
    return address;
}

// A socket that neither blocks nor passes to the programs this one starts.
int unblocked(int descriptor)
{
    if (descriptor >= 0) {
        ::fcntl(descriptor, F_SETFD, FD_CLOEXEC);
        ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) | O_NONBLOCK);
    }
    return descriptor;
}

// A connection to what listens on `name`, or -1 when nothing answers in time.
int connectToSocket(const QString &name)
{
    const int descriptor = unblocked(::socket(AF_UNIX, SOCK_STREAM, 0));
    const sockaddr_un address = socketAddress(name);
    if (descriptor < 0)
        return -1;
    if (::connect(descriptor, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
        return descriptor;
    int error = 0;
    socklen_t size = sizeof error;
    pollfd wait{descriptor, POLLOUT, 0};
    if (errno == EINPROGRESS && ::poll(&wait, 1, ConnectMilliseconds) == 1 &&
        ::getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)
        return descriptor;
    ::close(descriptor);
    return -1;
}
#endif

#ifdef Q_OS_WIN
QString pipePath(const QString &name)
{
    return QStringLiteral("\\\\.\\pipe\\") + name;
}

// A connection to the pipe `name`, or none when nothing answers in time.
HANDLE connectToPipe(const QString &name)
{
    const QString path = pipePath(name);
    // Identification only: a server that is not ours cannot act as this user.
    const auto open = [&path] {
        return ::CreateFileW(wide(path), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    };
    HANDLE pipe = open();
    if (pipe == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_PIPE_BUSY &&
        ::WaitNamedPipeW(wide(path), ConnectMilliseconds))
        pipe = open();
    return pipe;
}
#endif

}  // namespace

#ifdef Q_OS_UNIX
// A socket at `name` that later starts connect to, each writing a line.
class Listener::Channel {
public:
    Channel(const QString &name, QObject *owner, std::function<void(QByteArray &)> onText)
        : m_name(name)
        , m_onText(std::move(onText))
    {
        m_socket = unblocked(::socket(AF_UNIX, SOCK_STREAM, 0));
        const sockaddr_un address = socketAddress(name);
        // Bound where it is named: a name that is there makes it fail, and
        // nothing is renamed over it.
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
            ::listen(m_socket, SOMAXCONN) != 0) {
            const std::string why = std::generic_category().message(errno);
            if (m_socket >= 0)
                ::close(m_socket);
            cannotListen(name, why);
        }
        m_notifier = new QSocketNotifier(m_socket, QSocketNotifier::Read, owner);
        QObject::connect(m_notifier, &QSocketNotifier::activated, owner, [this, owner] {
            for (int request; (request = unblocked(::accept(m_socket, nullptr, nullptr))) >= 0;)
                read(request, owner);
        });
    }
    ~Channel()
    {
        // The socket's name goes before the lock, so it is never another copy's.
        delete m_notifier;
        ::close(m_socket);
        ::unlink(QFile::encodeName(m_name).constData());
        for (QSocketNotifier *request : m_requests) {
            const auto socket = static_cast<int>(request->socket());
            delete request;
            ::close(socket);
        }
    }

private:
    // Reads a later start's request until it hangs up; a longer one than a
    // title is no request of ours.
    void read(int request, QObject *owner)
    {
        auto *notifier = new QSocketNotifier(request, QSocketNotifier::Read, owner);
        m_requests.push_back(notifier);
        QObject::connect(notifier, &QSocketNotifier::activated, owner, [this, notifier, request] {
            char chunk[256];
            const ssize_t size = ::read(request, chunk, sizeof chunk);
            if (size < 0 && (errno == EAGAIN || errno == EINTR))
                return;
            if (size > 0)
                m_texts[request].append(chunk, size);
            m_onText(m_texts[request]);
            if (size <= 0 || m_texts[request].size() > MaxLineBytes) {
                m_texts.erase(request);
                m_requests.erase(std::find(m_requests.begin(), m_requests.end(), notifier));
                notifier->setEnabled(false);  // before its socket closes, which it would otherwise still watch
                notifier->deleteLater();
                ::close(request);
            }
        });
    }

    QString m_name;
    std::function<void(QByteArray &)> m_onText;
    int m_socket = -1;
    QSocketNotifier *m_notifier = nullptr;
    std::vector<QSocketNotifier *> m_requests;
    std::map<int, QByteArray> m_texts;
};
#endif

#ifdef Q_OS_WIN
// A pipe named `name` that only this user may open, which later starts
// connect to one at a time, each writing a line.
class Listener::Channel {
public:
    Channel(const QString &name, QObject *owner, std::function<void(QByteArray &)> onText)
        : m_onText(std::move(onText))
    {
        const QString access = QStringLiteral("D:P(A;;GA;;;%1)").arg(processUser(::GetCurrentProcessId()));
        SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
        if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(wide(access), SDDL_REVISION_1,
                                                                   &security.lpSecurityDescriptor, nullptr)) {
            // The first of its name, so that no pipe somebody made before is joined.
            m_pipe = ::CreateNamedPipeW(wide(pipePath(name)),
                                        PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                        PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
                                        MaxLineBytes, 0, &security);
            ::LocalFree(security.lpSecurityDescriptor);
        }
        if (m_pipe == INVALID_HANDLE_VALUE)
            cannotListen(name, std::system_category().message(static_cast<int>(::GetLastError())));
        m_overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_notifier = new QWinEventNotifier(m_overlapped.hEvent, owner);
        QObject::connect(m_notifier, &QWinEventNotifier::activated, owner, [this] { advance(); });
        awaitRequest();
    }
    ~Channel()
    {
        delete m_notifier;
        ::CancelIo(m_pipe);
        ::CloseHandle(m_pipe);
        ::CloseHandle(m_overlapped.hEvent);
    }

private:
    // Each step's result arrives through the event, even one that ends at once.
    void awaitRequest()
    {
        m_reading = false;
        m_text.clear();
        if (::ConnectNamedPipe(m_pipe, &m_overlapped) || ::GetLastError() == ERROR_PIPE_CONNECTED)
            readOn();
        else if (::GetLastError() == ERROR_NO_DATA)  // one came and went already
            endRequest();
    }
    void readOn()
    {
        m_reading = true;
        if (!::ReadFile(m_pipe, m_chunk, sizeof m_chunk, nullptr, &m_overlapped) &&
            ::GetLastError() != ERROR_IO_PENDING)
            endRequest();
    }
    void advance()
    {
        DWORD size = 0;
        const bool done = ::GetOverlappedResult(m_pipe, &m_overlapped, &size, FALSE);
        if (!done && ::GetLastError() == ERROR_IO_INCOMPLETE)
            return;
        if (!m_reading)
            return done ? readOn() : endRequest();
        m_text.append(m_chunk, static_cast<qsizetype>(size));
        m_onText(m_text);
        if (!done || m_text.size() > MaxLineBytes)
            return endRequest();
        readOn();
    }
    // The writer hung up, or wrote more than a title: the next one may come.
    void endRequest()
    {
        ::DisconnectNamedPipe(m_pipe);
        awaitRequest();
    }

    std::function<void(QByteArray &)> m_onText;
    HANDLE m_pipe = INVALID_HANDLE_VALUE;
    OVERLAPPED m_overlapped{};
    QWinEventNotifier *m_notifier = nullptr;
    bool m_reading = false;
    char m_chunk[256];
    QByteArray m_text;
};
#endif

Listener::Listener(const QString &name, QObject *context, std::function<void(QByteArray &)> onText)
    : m_channel(std::make_unique<Channel>(name, context, std::move(onText)))
{
}

Listener::~Listener() = default;

qintptr connectTo(const QString &name)
{
#ifdef Q_OS_UNIX
    return connectToSocket(name);
#else
    const HANDLE pipe = connectToPipe(name);
    return pipe == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<qintptr>(pipe);
#endif
}

void sendAndClose(qintptr connection, const std::string &line)
{
#ifdef Q_OS_UNIX
    pollfd room{static_cast<int>(connection), POLLOUT, 0};
    if (::poll(&room, 1, WriteMilliseconds) == 1)
        [[maybe_unused]] const ssize_t written = ::write(static_cast<int>(connection), line.data(), line.size());
#else
    DWORD written = 0;
    ::WriteFile(reinterpret_cast<HANDLE>(connection), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
#endif
    close(connection);
}

void close(qintptr connection)
{
#ifdef Q_OS_UNIX
    ::close(static_cast<int>(connection));
#else
    ::CloseHandle(reinterpret_cast<HANDLE>(connection));
#endif
}

}  // namespace zandrel::hand_over
