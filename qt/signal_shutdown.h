#pragma once
// The desktop session ends a program with SIGTERM, a terminal with SIGHUP or
// SIGINT. Left to their default, they kill the program on the spot and leave
// the extracted help files and the instance socket and lock behind. While a
// SignalShutdown exists they close the main window instead, exactly as the
// user would, so that its shutdown runs, and end the program with status 0
// from whatever box or wait it is in.
//
// The handler may only make async-signal-safe calls: it writes the signal's
// number into one end of a socket pair, and the event loop, woken by the
// other end, does the closing. A signal the program was started with ignored
// (nohup, a background job) stays ignored.
//
// Windows has no such signals: when the session ends, the system tells each
// window and then ends the process as soon as they have answered. Qt passes
// that on as aboutToQuit, and the window is closed there and then, so the
// shutdown has run before the process goes.

#include <QSocketNotifier>

#include <memory>

class QWidget;

namespace zandrel {

class SingleInstance;

class SignalShutdown {
public:
    // Only one may exist at a time; the previous handlers come back with its end.
    SignalShutdown(QWidget &window, SingleInstance &oneCopy);
    ~SignalShutdown();
    SignalShutdown(const SignalShutdown &) = delete;
    SignalShutdown &operator=(const SignalShutdown &) = delete;

    // Whether a signal has closed the window. A signal handled while start-up
    // showed a box closes the window before it was first shown; the caller
    // must then not show it.
    bool requested() const { return m_requested; }

private:
    void readSignals();
    // Closes every window as the user would, the main window last.
    void closeAsTold();

    QWidget &m_window;
    SingleInstance &m_oneCopy;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QMetaObject::Connection m_sessionEnd;
    bool m_requested = false;
};

}  // namespace zandrel
