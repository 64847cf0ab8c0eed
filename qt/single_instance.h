#pragma once
// One copy of Zandrel per user: a lock held for the whole run, and a local
// socket that the running copy listens on. On Unix both are in a folder only
// the user can reach; on Windows the lock is the named mutex "Zandrel" and
// the socket a pipe named after the user. A later start that finds the lock
// taken hands the running copy a window title to bring to the front and ends.

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace zandrel {

class InstanceLock;
struct InstanceFolder;

class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // Called once at start-up: false when another copy already runs, which
    // this one is then connected to.
    bool claim();
    void release();
    // Asks the running copy to bring its window titled `title` to the front.
    void activateRunningCopy(const std::string &title);

    // Called with the window title a later copy asked to bring to the front.
    void setActivationHandler(std::function<void(const QString &title)> handler);
    // The program is ending: a start-up still waiting for the running copy
    // to answer gives up.
    void beginShutdown();

    // Where the running copy listens: a socket in the private folder that
    // holds its lock (a named pipe of the user's on Windows).
    static QString serverName(const QString &folder);

private:
    enum class Answer { Ours, Refused, None };
    // Takes the lock in the first folder where it can be had; returns the
    // folder where another copy holds it instead, or nothing. What stood in
    // the way is added to `trouble`.
    QString lockInFirstUsableFolder(const QList<InstanceFolder> &folders, QStringList &trouble);
    Answer reachRunningCopy(const QString &name, QStringList &trouble);
    void listenForLaterCopies(const QString &name, QStringList &trouble);
    void readActivationRequests();

    std::unique_ptr<InstanceLock> m_lock;
    QString m_lockFolder;
    QLocalServer *m_server = nullptr;
    std::unique_ptr<QLocalSocket> m_handOver;
    std::function<void(const QString &)> m_activationHandler;
    bool m_shuttingDown = false;
};

}  // namespace zandrel
