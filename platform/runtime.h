#pragma once
// Every effect the program's logic needs from the outside world goes through
// this interface: message boxes, files, opening documents, waiting, the random
// generator, the built-in items and the single-instance lock. The program uses
// the Qt implementation (QtRuntime); tests use a fake that records what was
// asked and answers what the test says. Text is UTF-8 throughout.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace zandrel {

using Bytes = std::vector<unsigned char>;

enum class MessageIcon { Exclamation, Information, Stop };

// The program's own title: the caption of its window and of any message box that names none.
inline constexpr const char *ProgramTitle = "Zandrel";

// A document handed to the system to open. The system may refuse at once,
// which throws, or only later, once the program it started to open the
// document has ended: the refusal then shows here.
struct DocumentOpening {
    // Empty while nothing has refused; otherwise the system's reason, in words.
    std::string refusal;
};

// A folder the system names, or why it names none that may be used.
struct NamedFolder {
    std::string path;     // absolute; empty when there is none
    std::string problem;  // when there is none: why, in words for the user
};

class Runtime {
public:
    virtual ~Runtime() = default;

    // Modal: returns once the user has closed the box. An empty title shows ProgramTitle.
    virtual void showMessage(const std::string &text, const std::string &title, MessageIcon icon) = 0;
    // A failure that no handler traps. Shows its number and description; the
    // program then goes on, so nothing the user typed is lost.
    virtual void reportUnexpectedFailure(int number, const std::string &description) = 0;

    // Folder of the executable, without a trailing separator (except a bare root).
    virtual std::string executableFolder() const = 0;
    // File name of the executable without its extension.
    virtual std::string executableBaseName() const = 0;
    // The user's documents folder, whether or not it exists yet. None when
    // the system names none, or names it wrongly: a relative path would mean
    // the current folder, and a name that is not UTF-8 a folder that is not
    // there.
    virtual NamedFolder documentsFolder() const = 0;

    // Has `target`, a file's full path or a web address, opened by the
    // program the desktop opens such things with, and returns at once. The
    // target reaches that program as written: no interpreter sees it. Throws
    // Failure, with the system's reason, when the system refuses at once.
    virtual std::shared_ptr<const DocumentOpening> openDocument(const std::string &target) = 0;
    // Handles every window event that is waiting, then returns.
    virtual void processEvents() = 0;
    // Returns no earlier than `seconds` from now, handling window events
    // meanwhile; or sooner, as soon as `until` answers true.
    virtual void waitSeconds(int seconds, const std::function<bool()> &until = {}) = 0;
    // Blocks for the given time without handling events.
    virtual void sleepMilliseconds(int milliseconds) = 0;

    // Seeds the random generator from the clock, once per run: later calls
    // change nothing, and the first value asked for seeds it if need be.
    virtual void seedRandomFromClock() = 0;
    // The next value of the random generator: uniform in [0, 1), never 1.
    virtual float nextRandom() = 0;

    // The bytes of a built-in item; throws Failure when there is none.
    virtual Bytes builtInItem(int number, const std::string &typeName) = 0;

    // Files. Each throws Failure with the matching number (53 for a missing file).
    // Reads at most `maxBytes` bytes from the start of the file.
    virtual Bytes readFile(const std::string &path,
                           std::size_t maxBytes = std::numeric_limits<std::size_t>::max()) = 0;
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
    // A new, empty, owner-only file in the system's temporary folder whose name
    // begins with `prefix`; its full path, or empty text when none could be had.
    virtual std::string createTempFile(const std::string &prefix) = 0;

    // Single instance. claimInstance is called once at start-up; it returns
    // false when another copy of the program already runs.
    virtual bool claimInstance() = 0;
    virtual void releaseInstance() = 0;
    // Asks the running copy to bring its window titled `title` to the front.
    virtual void activateRunningCopy(const std::string &title) = 0;
    virtual void setApplicationTitle(const std::string &title) = 0;
};

// Removes a file if it is there and says nothing when it will not go: for
// tidying up after a failure that is already on its way to the user, where
// a second failure would only hide the first.
void removeFileIfPresent(Runtime &runtime, const std::string &path) noexcept;

}  // namespace zandrel
