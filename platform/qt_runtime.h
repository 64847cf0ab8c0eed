#pragma once
// The runtime services on Qt: message boxes, files, processes, the responsive
// wait, the random generator, the built-in items and the single-instance lock
// (a per-user local socket that a running copy listens on).

#include "platform/runtime.h"

#include <QObject>
#include <QString>

#include <functional>
#include <random>
#include <system_error>

class QFile;
class QLocalServer;

namespace zandrel {

class QtRuntime : public QObject, public Runtime {
    Q_OBJECT

public:
    explicit QtRuntime(QObject *parent = nullptr);
    ~QtRuntime() override;

    void showMessage(const std::string &text, const std::string &title, MessageIcon icon) override;
    void reportUnexpectedFailure(int number, const std::string &description) override;
    std::string executableFolder() const override;
    std::string executableBaseName() const override;
    std::string documentsFolder() const override;
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

    // The name of the local socket; one per user, so two users' copies never meet.
    static QString instanceServerName();
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
    void readActivationRequests();

    QLocalServer *m_server = nullptr;
    std::function<void(const QString &)> m_activationHandler;
    std::mt19937 m_generator;
};

}  // namespace zandrel
