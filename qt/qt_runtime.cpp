#include "qt/qt_runtime.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"
#include "templates/builtin_items.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <chrono>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace zandrel {

namespace {

// How often a wait asks whether it may end early.
constexpr int UntilMilliseconds = 50;

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QtRuntime::QtRuntime(QObject *parent)
    : QObject(parent)
{
}

void QtRuntime::showMessage(const std::string &text, const std::string &title, MessageIcon icon)
{
    QMessageBox box(boxIcon(icon), title.empty() ? QString::fromLatin1(ProgramTitle) : qs(title), qs(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void QtRuntime::reportUnexpectedFailure(int number, const std::string &description)
{
    showMessage("Error " + std::to_string(number) + ": " + description +
                    "\n\nThe action was stopped. Everything you typed is still there.",
                ProgramTitle, MessageIcon::Stop);
}

std::string QtRuntime::executableFolder() const
{
#ifdef Q_OS_LINUX
    // The program's path as the system names it, in bytes: Qt would pass a
    // name that is not UTF-8 on as another folder's, or as none.
    char target[4096];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof target)
        return programFolderOf(std::string_view(target, static_cast<std::size_t>(length)));
#endif
    // applicationDirPath never ends in a separator except for a root folder.
    const QString folder = QCoreApplication::applicationDirPath();
    return QDir::isAbsolutePath(folder) ? QtFiles::nativePath(folder) : std::string();
}

std::string QtRuntime::executableBaseName() const
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

NamedFolder QtRuntime::documentsFolder() const
{
#ifdef Q_OS_UNIX
    // Qt takes HOME as it finds it: unset, it names the root folder; relative,
    // a folder under the current one; in bytes that are not UTF-8, a name
    // with U+FFFD in it, which is no folder of the user's.
    const QByteArray home = qgetenv("HOME");
    if (home.isEmpty())
        return {{}, "HOME is not set, so the system names no documents folder"};
    if (!isValidUtf8(home.toStdString()))
        return {{}, "HOME names a folder whose name is not valid UTF-8 text"};
    if (!home.startsWith('/'))
        return {{}, "HOME is " + home.toStdString() + ", which is not an absolute path"};
    // Qt reads the desktop's setting from XDG_CONFIG_HOME as written, a
    // relative one from under the current folder.
    if (const QByteArray config = qgetenv("XDG_CONFIG_HOME"); !config.isEmpty() && !config.startsWith('/'))
        return {{}, "XDG_CONFIG_HOME is " + config.toStdString() + ", which is not an absolute path"};
#endif
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return {{}, "the system names no documents folder"};
    // The desktop's own setting, XDG_DOCUMENTS_DIR in user-dirs.dirs, is
    // passed on by Qt as written.
    if (!QDir::isAbsolutePath(documents))
        return {{}, "the documents folder the system names (XDG_DOCUMENTS_DIR) is " + documents.toStdString()
                        + ", which is not an absolute path"};
    if (documents.contains(QChar::ReplacementCharacter))
        return {{}, "the documents folder the system names (XDG_DOCUMENTS_DIR) is not valid UTF-8 text"};
    return {QtFiles::nativePath(documents), {}};
}

std::shared_ptr<const DocumentOpening> QtRuntime::openDocument(const std::string &target)
{
    return m_opener.open(target);
}

void QtRuntime::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtRuntime::waitSeconds(int seconds, const std::function<bool()> &until)
{
    // A local event loop keeps the window working; a nested command may run
    // inside it and has its own loop. Quitting the application ends every
    // loop, so the caller must look whether its window is still there.
    QEventLoop loop;
    QTimer::singleShot(std::chrono::seconds(seconds), &loop, &QEventLoop::quit);
    QTimer ask;
    if (until) {
        QObject::connect(&ask, &QTimer::timeout, &loop, [&loop, &until] {
            if (until())
                loop.quit();
        });
        ask.start(UntilMilliseconds);
    }
    loop.exec();
}

void QtRuntime::sleepMilliseconds(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}
void QtRuntime::seedRandomFromClock()
{
    m_random.seedFromClock();
}

float QtRuntime::nextRandom()
{
    return m_random.next();
}

Bytes QtRuntime::builtInItem(int number, const std::string &typeName)
{
    const auto bytes = builtInItemBytes(number, typeName);
    return Bytes(bytes.begin(), bytes.end());
}

Bytes QtRuntime::readFile(const std::string &path, std::size_t maxBytes)
{
    return m_files.readFile(path, maxBytes);
}

void QtRuntime::createFileExclusive(const std::string &path, const Bytes &bytes)
{
    m_files.createFileExclusive(path, bytes);
}

void QtRuntime::replaceFile(const std::string &path, const Bytes &bytes)
{
    m_files.replaceFile(path, bytes);
}

void QtRuntime::removeFile(const std::string &path)
{
    m_files.removeFile(path);
}

bool QtRuntime::fileExists(const std::string &path) const
{
    return m_files.fileExists(path);
}

bool QtRuntime::isOwnFile(const std::string &path) const
{
    return m_files.isOwnFile(path);
}

bool QtRuntime::canWriteInFolder(const std::string &folder)
{
    return m_files.canWriteInFolder(folder);
}

void QtRuntime::makeFolder(const std::string &folder)
{
    m_files.makeFolder(folder);
}

std::string QtRuntime::createTempFile(const std::string &prefix)
{
    return m_files.createTempFile(prefix);
}

bool QtRuntime::claimInstance()
{
    return m_instance.claim();
}

void QtRuntime::releaseInstance()
{
    m_instance.release();
}

void QtRuntime::activateRunningCopy(const std::string &title)
{
    m_instance.activateRunningCopy(title);
}

void QtRuntime::setApplicationTitle(const std::string &title)
{
    QGuiApplication::setApplicationDisplayName(qs(title));
}

}  // namespace zandrel
