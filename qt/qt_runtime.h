#pragma once
// The runtime services on Qt: message boxes, the program's and the user's
// folders, the responsive wait and the built-in items here; opening
// documents (DocumentOpener), the files (QtFiles), the random generator
// (SeededRandom) and the one-copy rule (SingleInstance) in their own rooms,
// which this hands the calls on to.

#include "platform/runtime.h"
#include "platform/seeded_random.h"
#include "qt/document_opener.h"
#include "qt/qt_files.h"
#include "qt/single_instance.h"

#include <QObject>
#include <QString>

#include <functional>

namespace zandrel {

class QtRuntime : public QObject, public Runtime {
    Q_OBJECT

public:
    explicit QtRuntime(QObject *parent = nullptr);

    void showMessage(const std::string &text, const std::string &title, MessageIcon icon) override;
    void reportUnexpectedFailure(int number, const std::string &description) override;
    std::string executableFolder() const override;
    std::string executableBaseName() const override;
    NamedFolder documentsFolder() const override;
    std::shared_ptr<const DocumentOpening> openDocument(const std::string &target) override;
    void processEvents() override;
    void waitSeconds(int seconds, const std::function<bool()> &until) override;
    void sleepMilliseconds(int milliseconds) override;
    void seedRandomFromClock() override;
    float nextRandom() override;
    Bytes builtInItem(int number, const std::string &typeName) override;
    Bytes readFile(const std::string &path, std::size_t maxBytes) override;
    void createFileExclusive(const std::string &path, const Bytes &bytes) override;
    void replaceFile(const std::string &path, const Bytes &bytes) override;
    void removeFile(const std::string &path) override;
    bool fileExists(const std::string &path) const override;
    bool isOwnFile(const std::string &path) const override;
    bool canWriteInFolder(const std::string &folder) override;
    void makeFolder(const std::string &folder) override;
    std::string createTempFile(const std::string &prefix) override;
    bool claimInstance() override;
    void releaseInstance() override;
    void activateRunningCopy(const std::string &title) override;
    void setApplicationTitle(const std::string &title) override;

    // Called with the window title a later copy asked to bring to the front.
    void setActivationHandler(std::function<void(const QString &title)> handler)
    {
        m_instance.setActivationHandler(std::move(handler));
    }
    // The program is ending (the session asked it to): a start-up still
    // waiting for the running copy to answer gives up. Quitting the
    // application ends the other waits, but not this one, which comes
    // before the event loop runs.
    void beginShutdown() { m_instance.beginShutdown(); }

private:
    DocumentOpener m_opener;
    QtFiles m_files;
    SeededRandom m_random;
    SingleInstance m_instance;
};

}  // namespace zandrel
