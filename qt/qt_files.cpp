#include "qt/qt_files.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/system_failure.h"
#include "qt/qt_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zandrel {

namespace {

// A failure that names the file and carries the system's own reason.
Failure fileFailure(const QString &path, std::error_code error)
{
    return systemFailure(nativePath(path), error, QFileInfo(path).absoluteDir().exists());
}

// For a QFile call that failed: errno where the system set it (Unix),
// otherwise what Qt says.
Failure fileFailure(const QFileDevice &file, const QString &path, int savedErrno)
{
    if (savedErrno != 0)
        return fileFailure(path, std::error_code(savedErrno, std::generic_category()));
    const int number = file.error() == QFileDevice::PermissionsError ? FailureNumber::PermissionDenied
                       : QFileInfo::exists(path)                     ? FailureNumber::PathFileAccess
                       : QFileInfo(path).absoluteDir().exists()      ? FailureNumber::FileNotFound
                                                                     : FailureNumber::PathNotFound;
    return Failure(number, nativePath(path) + ": " + file.errorString().toStdString());
}

// Something other than a regular file (a folder, a FIFO, a device, a link)
// stands under the name.
bool somethingElseAt(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() || (info.exists() && !info.isFile());
}

// Only regular files are read, replaced or moved aside: anything else under a
// file's name is the user's and stays as it is.
void refuseUnlessRegularOrAbsent(const QString &path)
{
    if (somethingElseAt(path)) {
        throw Failure(FailureNumber::PathFileAccess,
                      nativePath(path) + (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink()
                                          ? ": Is a directory, not a file"
                                          : " is not a regular file"));
    }
}

}  // namespace

Bytes QtFiles::readFile(const std::string &path, std::size_t maxBytes)
{
    const QString name = qs(path);
    QFile file(name);
    openForReading(file);
    Bytes bytes;
    bytes.reserve(std::min(static_cast<std::size_t>(std::max<qint64>(file.size(), 0)), maxBytes));
    char buffer[65536];
    while (bytes.size() < maxBytes) {
        const auto want = static_cast<qint64>(std::min<std::size_t>(sizeof buffer, maxBytes - bytes.size()));
        errno = 0;
        const qint64 got = file.read(buffer, want);
        if (got < 0)
            throw fileFailure(file, name, errno);
        if (got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

void QtFiles::openForReading(QFile &file)
{
    const QString name = file.fileName();
#ifdef Q_OS_UNIX
    // Opening a FIFO for reading waits for a writer, so the file is opened
    // without waiting and looked at before anything is read from it.
    const int fd = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw fileFailure(name, std::error_code(errno, std::generic_category()));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        throw Failure(FailureNumber::PathFileAccess, nativePath(name) + " is not a regular file");
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw fileFailure(file, name, 0);
    }
#else
    refuseUnlessRegularOrAbsent(name);
    if (!file.open(QIODevice::ReadOnly))
        throw fileFailure(file, name, 0);
#endif
}

void QtFiles::createFileExclusive(const std::string &path, const Bytes &bytes)
{
    const QString name = qs(path);
    QFile file(name);
    errno = 0;
    // NewOnly refuses an existing name, a planted link included.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw fileFailure(file, name, errno);
    try {
        writeBytes(file, bytes);
    } catch (const Failure &) {
        file.close();
        QFile::remove(name);
        throw;
    }
}

void QtFiles::replaceFile(const std::string &path, const Bytes &bytes)
{
    // The new content goes whole into a .tmp beside the target, which then
    // takes the target's name in one rename: at every moment the old file or
    // the new one is there, and a failure leaves the old one as it was.
    const QString name = qs(path);
    const QString temporary = qs(scratchPathFor(path));
    refuseUnlessRegularOrAbsent(name);
    refuseUnlessRegularOrAbsent(temporary);
#ifdef Q_OS_WIN
    // A user who marks a file read-only wants it kept: Windows itself would
    // refuse the rename below, but Wine would not.
    const DWORD attributes = ::GetFileAttributesW(wide(shown(name)));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        throw Failure(FailureNumber::PermissionDenied,
                      nativePath(name) + " is read-only, so it is kept as it is. To replace it, clear "
                                                  "Read-only in its Properties, then try again.");
#endif
    // One left by a run that was cut short; if it will not go, the
    // exclusive creation below says why.
    QFile::remove(temporary);

    QFile file(temporary);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        throw fileFailure(file, temporary, errno);
    try {
        writeBytes(file, bytes);
        file.close();
        renameOver(temporary, name);
    } catch (const Failure &) {
        file.close();
        QFile::remove(temporary);
        throw;
    }
}

void QtFiles::writeBytes(QFile &file, const Bytes &bytes)
{
    const char *data = reinterpret_cast<const char *>(bytes.data());
    qint64 left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        errno = 0;
        const qint64 written = file.write(data, left);
        if (written <= 0)
            throw fileFailure(file.fileName(), errno != 0 ? std::error_code(errno, std::generic_category())
                                                          : std::make_error_code(std::errc::io_error));
        data += written;
        left -= written;
    }
}

void QtFiles::renameOver(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    // What QSaveFile does: the target is replaced in one step.
    if (!::MoveFileExW(wide(shown(from)), wide(shown(to)), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw fileFailure(to, std::error_code(static_cast<int>(::GetLastError()), std::system_category()));
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw fileFailure(to, std::error_code(errno, std::generic_category()));
#endif
}

void QtFiles::removeFile(const std::string &path)
{
    const QString name = qs(path);
    QFile file(name);
    errno = 0;
    if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
        throw Failure(FailureNumber::FileNotFound, nativePath(name) + ": File not found");
    if (!file.remove())
        throw fileFailure(file, name, errno);
}

bool QtFiles::fileExists(const std::string &path) const
{
    const QFileInfo info(qs(path));
    return info.exists() || info.isSymLink();
}

bool QtFiles::isOwnFile(const std::string &path) const
{
#ifdef Q_OS_UNIX
    struct stat status {};
    const QByteArray name = QFile::encodeName(qs(path));
    return ::lstat(name.constData(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid();
#else
    // Windows gives each user a temporary folder of their own, so no other
    // user can put a file under a name this one used there.
    const QFileInfo info(qs(path));
    return info.isFile() && !info.isSymLink();
#endif
}

bool QtFiles::canWriteInFolder(const std::string &folder)
{
    // Permission bits do not tell about read-only mounts, ACLs or root, so
    // the answer comes from creating a file; it is removed at once.
    QTemporaryFile probe(QDir(qs(folder)).filePath(QStringLiteral(".zandrel-XXXXXX")));
    return probe.open();
}

void QtFiles::makeFolder(const std::string &folder)
{
    const QString name = qs(folder);
    errno = 0;
    if (!QDir().mkpath(name)) {
        const std::error_code error(errno != 0 ? errno : EEXIST, std::generic_category());
        const Failure failure = fileFailure(name, error);
        throw Failure(failure.number(), nativePath(name) + ": cannot create the folder: " + error.message());
    }
}

std::string QtFiles::createTempFile(const std::string &prefix)
{
    const QString folder = temporaryFolder();
    if (folder.isEmpty())
        throw Failure(FailureNumber::PathNotFound, "neither TMP nor TEMP names a temporary folder");
    if (!QFileInfo(folder).isDir())
        throw Failure(FailureNumber::PathNotFound,
                      nativePath(folder) + ": " + std::make_error_code(std::errc::no_such_file_or_directory).message());
    QTemporaryFile file(QDir(folder).absoluteFilePath(qs(prefix) + QStringLiteral("XXXXXX.tmp")));
    file.setAutoRemove(false);
    errno = 0;
    if (!file.open()) {
        const std::error_code error(errno, std::generic_category());
        throw Failure(fileFailure(folder, error).number(), nativePath(folder) + ": " + file.errorString().toStdString());
    }
    return nativePath(file.fileName());
}

QString QtFiles::temporaryFolder()
{
#ifdef Q_OS_UNIX
    // Qt's own answer is empty for a folder that does not exist, which would
    // put files in the current folder; the folder as configured is kept, so
    // a failure can name it.
    const QString configured = qEnvironmentVariable("TMPDIR");
    return configured.isEmpty() ? QStringLiteral("/tmp") : QDir::cleanPath(configured);
#else
    // The system's own answer falls back to the user's profile, or the
    // Windows folder, when neither variable is set: no place for our files.
    for (const char *variable : {"TMP", "TEMP"}) {
        if (const QString configured = qEnvironmentVariable(variable); !configured.isEmpty())
            return QDir::cleanPath(QDir::fromNativeSeparators(configured));
    }
    return {};
#endif
}

}  // namespace zandrel
