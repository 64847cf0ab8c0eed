#pragma once
// The runtime's files on Qt and the system. Only regular files are read,
// replaced, moved or removed: anything else under a file's name (a folder,
// a FIFO, a device, a link) is the user's and stays as it is. A failure
// names the path and carries the system's own reason, numbered as
// platform/failure.h numbers file failures.

#include "platform/files.h"

#include <QString>

class QFile;

namespace zandrel {

class QtFiles : public Files {
public:
    Bytes readFile(const std::string &path, std::size_t maxBytes = std::numeric_limits<std::size_t>::max()) override;
    void createFileExclusive(const std::string &path, const Bytes &bytes) override;
    void replaceFile(const std::string &path, const Bytes &bytes) override;
    void removeFile(const std::string &path) override;
    bool fileExists(const std::string &path) const override;
    bool isOwnFile(const std::string &path) const override;
    bool canWriteInFolder(const std::string &folder) override;
    void makeFolder(const std::string &folder) override;
    std::string createTempFile(const std::string &prefix) override;

    // The system's temporary folder as configured, whether or not it exists;
    // empty when nothing names one.
    static QString temporaryFolder();

protected:
    // The two steps of a replacement that the system can refuse, apart so
    // that tests can make them fail the way a full disk or a busy file does.
    // Each throws a Failure naming its file: the one written, or the target.
    virtual void writeBytes(QFile &file, const Bytes &bytes);
    virtual void renameOver(const QString &from, const QString &to);

private:
    // Opens a regular file for reading; anything else fails without waiting.
    static void openForReading(QFile &file);
};

}  // namespace zandrel
