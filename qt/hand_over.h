#pragma once
// Where a later start of Zandrel reaches the running copy, on the system's
// own calls so that no networking library is loaded before the window can
// show: a Unix socket at a path in a private folder, or a Windows pipe that
// only the user may open. A later start connects and writes one line.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace zandrel::hand_over {

// A later start writes one line, a window's title; anything longer is no title of ours.
inline constexpr qint64 MaxLineBytes = 1024;

// A connection to what listens on `name`, or -1 when nothing answers in time.
qintptr connectTo(const QString &name);
// Writes `line` on `connection` and closes it; a line fits the system's
// buffer at once, and the listener reads it after the hang-up too.
void sendAndClose(qintptr connection, const std::string &line);
void close(qintptr connection);

class Listener {
public:
    // Listens on `name`, handing `onText`, in `context`'s thread, what a
    // connection has sent so far, to take whole lines from. Throws Failure,
    // naming `name` with the system's reason, when it cannot listen there.
    Listener(const QString &name, QObject *context, std::function<void(QByteArray &)> onText);
    // Stops listening; on Unix the socket's name goes too.
    ~Listener();

private:
    class Channel;
    std::unique_ptr<Channel> m_channel;
};

}  // namespace zandrel::hand_over
