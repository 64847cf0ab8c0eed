#pragma once
// The runtime's files on Qt and the system. Only regular files are read,
// replaced, moved or removed: anything else under a file's name (a folder,
// a FIFO, a device, a link) is the user's and stays as it is. A failure
// names the path and carries the system's own reason, numbered as
// platform/failure.h numbers file failures.

#include "platform/runtime.h"

#include <QString>

#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

class QFile;

namespace zandrel {

class QtFiles {
public:
    virtual ~QtFiles() = default;

    Bytes readFile(const std::string &path, std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
    void createFileExclusive(const std::string &path, const Bytes &bytes);
    void replaceFile(const std::string &path, const Bytes &bytes);
    void removeFile(const std::string &path);
    bool fileExists(const std::string &path) const;
    bool isOwnFile(const std::string &path) const;
    bool canWriteInFolder(const std::string &folder);
    void makeFolder(const std::string &folder);
    std::string createTempFile(const std::string &prefix);

    // The system's temporary folder as configured, whether or not it exists;
    // empty when nothing names one.
    static QString temporaryFolder();
    // A path as the system writes it, and so as failures name it.
    static std::string nativePath(const QString &path);

protected:
    // The two steps of a replacement that the system can refuse, apart so
    // that tests can make them fail the way a full disk or a busy file does.
    virtual std::error_code writeBytes(QFile &file, const Bytes &bytes);
    virtual std::error_code renameOver(const QString &from, const QString &to);

private:
    // Opens a regular file for reading; anything else fails without waiting.
    static void openForReading(QFile &file);
};

}  // namespace zandrel
