#pragma once
// Files on the user's disk. Every call that fails throws Failure with the
// matching number (53 for a missing file), naming the path and giving the
// system's own reason.

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace zandrel {

using Bytes = std::vector<unsigned char>;

class Files {
public:
    virtual ~Files() = default;

    // Reads at most `maxBytes` bytes from the start of the file.
    virtual Bytes readFile(const std::string &path, std::size_t maxBytes = std::numeric_limits<std::size_t>::max()) = 0;
    // Creates a new file that must not exist yet, readable by its owner only,
    // and writes the bytes. Never follows a link planted under that name.
    virtual void createFileExclusive(const std::string &path, const Bytes &bytes) = 0;
    // Replaces the file with the bytes in one step: either the old content or
    // the new one is there afterwards, never a partial file.
    virtual void replaceFile(const std::string &path, const Bytes &bytes) = 0;
    virtual void removeFile(const std::string &path) = 0;
    virtual bool fileExists(const std::string &path) const = 0;
    // Whether `path` is a regular file of this user: not a link, a folder or
    // anything else, and not another user's file under a name this user once
    // had in a shared folder.
    virtual bool isOwnFile(const std::string &path) const = 0;
    // Whether this user can create a file in `folder` now: tried, not guessed
    // from permission bits, so a read-only mount or a root-owned folder counts.
    virtual bool canWriteInFolder(const std::string &folder) = 0;
    // Creates `folder` and any missing folder above it; one already there is fine.
    virtual void makeFolder(const std::string &folder) = 0;
    // A new, empty, owner-only file in the system's temporary folder whose
    // name begins with `prefix`: its full path.
    virtual std::string createTempFile(const std::string &prefix) = 0;
};

// Removes a file if it is there and says nothing when it will not go: for
// tidying up after a failure that is already on its way to the user, where
// a second failure would only hide the first.
void removeFileIfPresent(Files &files, const std::string &path) noexcept;

}  // namespace zandrel
