#include "qt/qt_places.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"
#include "qt/qt_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace zandrel {

namespace {

Failure noDocumentsFolder(const std::string &why)
{
    return Failure(FailureNumber::PathNotFound, why);
}

}  // namespace

std::string QtPlaces::programFolder() const
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
    return QDir::isAbsolutePath(folder) ? nativePath(folder) : std::string();
}

std::string QtPlaces::documentsFolder() const
{
#ifdef Q_OS_UNIX
    // Qt takes HOME as it finds it: unset, it names the root folder; relative,
    // a folder under the current one; in bytes that are not UTF-8, a name
    // with U+FFFD in it, which is no folder of the user's.
    const QByteArray home = qgetenv("HOME");
    if (home.isEmpty())
        throw noDocumentsFolder("HOME is not set, so the system names no documents folder");
    if (!isValidUtf8(home.toStdString()))
        throw noDocumentsFolder("HOME names a folder whose name is not valid UTF-8 text");
    if (!home.startsWith('/'))
        throw noDocumentsFolder("HOME is " + home.toStdString() + ", which is not an absolute path");
    // Qt reads the desktop's setting from XDG_CONFIG_HOME as written, a
    // relative one from under the current folder.
    if (const QByteArray config = qgetenv("XDG_CONFIG_HOME"); !config.isEmpty() && !config.startsWith('/'))
        throw noDocumentsFolder("XDG_CONFIG_HOME is " + config.toStdString() + ", which is not an absolute path");
#endif
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        throw noDocumentsFolder("the system names no documents folder");
    // The desktop's own setting, XDG_DOCUMENTS_DIR in user-dirs.dirs, is
    // passed on by Qt as written.
    if (!QDir::isAbsolutePath(documents))
        throw noDocumentsFolder("the documents folder the system names (XDG_DOCUMENTS_DIR) is " +
                                documents.toStdString() + ", which is not an absolute path");
    if (documents.contains(QChar::ReplacementCharacter))
        throw noDocumentsFolder("the documents folder the system names (XDG_DOCUMENTS_DIR) is not valid UTF-8 text");
    return nativePath(documents);
}

}  // namespace zandrel
