#pragma once
// The runtime services on Qt: message boxes, files, processes, the responsive
// wait, the random generator, the built-in items and the single-instance lock
// (a lock file held for the whole run, and a local socket beside it that the
// running copy listens on, both in a folder only the user can reach).

#include "platform/runtime.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <system_error>

class QFile;
class QLocalServer;
class QLocalSocket;

namespace zandrel {

class InstanceLock;
struct InstanceFolder;

class QtRuntime : public QObject, public Runtime {
    Q_OBJECT

public:
    // A reading of the system clock: what the random generator is seeded from.
    using ClockReading = std::function<std::uint64_t()>;
    static std::uint64_t systemClockReading();

    explicit QtRuntime(ClockReading clock = systemClockReading, QObject *parent = nullptr);
    ~QtRuntime() override;

    void showMessage(const std::string &text, const std::string &title, MessageIcon icon) override;
    void reportUnexpectedFailure(int number, const std::string &description) override;
    std::string executableFolder() const override;
    std::string executableBaseName() const override;
    NamedFolder documentsFolder() const override;
    void startCommand(const StartCommand &command) override;
    void processEvents() override;
    void waitSeconds(int seconds) override;
    void sleepMilliseconds(int milliseconds) override;
    void seedRandomFromClock() override;
    float nextRandom() override;
    Bytes builtInItem(int number, const std::string &typeName) override;
    Bytes readFile(const std::string &path, std::size_t maxBytes) override;
    void createFileExclusive(const std::string &path, const Bytes &bytes) override;
    void replaceFile(const std::string &path, const Bytes &bytes) override;
    void removeFile(const std::string &path) override;
    bool fileExists(const std::string &path) const override;
    bool canWriteInFolder(const std::string &folder) override;
    void makeFolder(const std::string &folder) override;
    std::string createTempFile(const std::string &prefix) override;
    bool claimInstance() override;
    void releaseInstance() override;
    void activateRunningCopy(const std::string &title) override;
    void setApplicationTitle(const std::string &title) override;

    // Called with the window title a later copy asked to bring to the front.
    void setActivationHandler(std::function<void(const QString &title)> handler);

    // The program is ending (the session asked it to): a start-up still
    // waiting for the running copy to answer gives up. Quitting the
    // application ends the other waits, but not this one, which comes
    // before the event loop runs.
    void beginShutdown();

    // Where the running copy listens: a socket in the private folder that
    // holds its lock (a named pipe of the user's on Windows).
    static QString instanceServerName(const QString &folder);
    // The system's temporary folder as configured, whether or not it exists.
    static QString temporaryFolder();

protected:
    // The two steps of a replacement that the system can refuse, apart so
    // that tests can make them fail the way a full disk or a busy file does.
    virtual std::error_code writeBytes(QFile &file, const Bytes &bytes);
    virtual std::error_code renameOver(const QString &from, const QString &to);

private:
    // Opens a regular file for reading; anything else fails without waiting.
    static void openForReading(QFile &file);
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
    ClockReading m_clock;
    bool m_shuttingDown = false;
    bool m_seeded = false;
    std::mt19937 m_generator;
};

}  // namespace zandrel
