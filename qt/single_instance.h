#pragma once
// One copy of Zandrel per user: a lock held for the whole run, and a local
// socket that the running copy listens on. On Unix both are in a folder only
// the user can reach; on Windows the lock is the named mutex "Zandrel" and
// the socket a pipe named after the user. A later start that finds the lock
// taken hands the running copy a window title to bring to the front and ends.

#include "platform/one_copy.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

namespace zandrel {

namespace hand_over {
class Listener;
}
class InstanceLock;
struct InstanceFolder;

class SingleInstance : public QObject, public OneCopy {
    Q_OBJECT

public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // False when another copy already runs, which this one is then connected to.
    bool claim() override;
    void release() override;
    void activateRunningCopy(const std::string &title) override;

    // Called with the window title a later copy asked to bring to the front.
    void setActivationHandler(std::function<void(const QString &title)> handler);
    // The program is ending: a start-up still waiting for the running copy
    // to answer gives up.
    void beginShutdown();

    // Where the running copy listens: a socket in the private folder that
    // holds its lock (a named pipe of the user's on Windows).
    static QString serverName(const QString &folder);

private:
    // Takes the lock in the first place where it can be had; returns the
    // place where another copy holds it instead, or nothing.
    QString lockInFirstUsablePlace(const QList<InstanceFolder> &places);
    // Connects to the copy that listens on `name`: false when none answers.
    // Throws Failure when what answers is not ours to hand over to.
    bool reachRunningCopy(const QString &name);
    // Throws Failure when later starts cannot reach this copy; it still runs.
    void listenForLaterCopies(const QString &name);
    // Brings to the front each title that the lines of `request` name,
    // leaving what is not yet a whole line.
    void takeTitles(QByteArray &request);
    // Runs a step of the claim: false, with what its Failure says stood in
    // the way noted, when it did not get through.
    bool noteWhatIsInTheWay(const std::function<void()> &step);
    // Says in one line on standard error what stood in the way, if anything did.
    void sayWhatIsInTheWay() const;

    std::unique_ptr<InstanceLock> m_lock;
    QString m_lockFolder;
    std::unique_ptr<hand_over::Listener> m_listener;  // for later starts
    qintptr m_handOver = -1;                          // to the running copy
    std::function<void(const QString &)> m_activationHandler;
    bool m_shuttingDown = false;
    // What stood in the way of the one-copy rule during the claim.
    QStringList m_inTheWay;
};

}  // namespace zandrel
