#include "qt/signal_shutdown.h"

#include "qt/single_instance.h"

#include <QApplication>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace zandrel {

#ifdef Q_OS_UNIX
namespace {

constexpr std::array<int, 3> HandledSignals{SIGTERM, SIGHUP, SIGINT};

// Handler state lives outside the object: the handler can reach nothing else.
volatile std::sig_atomic_t writeEnd = -1;
int readEnd = -1;
std::array<struct sigaction, HandledSignals.size()> previous{};
std::array<bool, HandledSignals.size()> installed{};

extern "C" void onSignal(int number)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(number);
    // A full socket already holds a request to close; nothing is lost.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

void makeNonBlockingAndPrivate(int descriptor)
{
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) | O_NONBLOCK);
    ::fcntl(descriptor, F_SETFD, FD_CLOEXEC);
}

}  // namespace
#endif

SignalShutdown::SignalShutdown(QWidget &window, SingleInstance &oneCopy)
    : m_window(window)
    , m_oneCopy(oneCopy)
{
#ifdef Q_OS_UNIX
    Q_ASSERT(writeEnd == -1);
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
        return;  // The signals keep their default; the program runs on.
    for (int end : ends)
        makeNonBlockingAndPrivate(end);
    readEnd = ends[0];
    writeEnd = ends[1];
    m_notifier = std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { readSignals(); });

    for (std::size_t i = 0; i < HandledSignals.size(); ++i) {
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        if (::sigaction(HandledSignals[i], nullptr, &previous[i]) != 0 || previous[i].sa_handler == SIG_IGN)
            continue;
        installed[i] = ::sigaction(HandledSignals[i], &action, nullptr) == 0;
    }
#endif
#ifdef Q_OS_WIN
    m_sessionEnd = QObject::connect(qApp, &QCoreApplication::aboutToQuit, [this] {
        if (m_window.isVisible())
            closeAsTold();
    });
#endif
}

SignalShutdown::~SignalShutdown()
{
    QObject::disconnect(m_sessionEnd);
#ifdef Q_OS_UNIX
    if (writeEnd == -1)
        return;
    for (std::size_t i = 0; i < HandledSignals.size(); ++i) {
        if (installed[i])
            ::sigaction(HandledSignals[i], &previous[i], nullptr);
        installed[i] = false;
    }
    m_notifier.reset();
    ::close(readEnd);
    ::close(writeEnd);
    readEnd = -1;
    writeEnd = -1;
#endif
}

void SignalShutdown::readSignals()
{
#ifdef Q_OS_UNIX
    char bytes[16];
    while (::read(readEnd, bytes, sizeof bytes) > 0) {
    }
#endif
    closeAsTold();
}

void SignalShutdown::closeAsTold()
{
    m_requested = true;
    m_oneCopy.beginShutdown();
    // As the user would close them: a box that is open (one start-up shows
    // before the window, or one of the window's own) goes first, so that the
    // code waiting on it goes on; then the window, whose close event runs
    // the shutdown, even when it has not been shown yet.
    QApplication::closeAllWindows();
    m_window.close();
    // Qt ends the program when its last window closes, but not when the
    // window closed under a box whose code then went on into an event loop
    // of its own (the wait before the web link did). The application is told
    // to quit outright instead: every event loop, down to the main one, ends
    // now with status 0. Before the main loop runs this does nothing, and
    // start-up looks at requested().
    QCoreApplication::quit();
}

}  // namespace zandrel
