#pragma once
// The program's help as the main window offers it. Help Topics writes the help
// document out of the program the first time it is asked for in a run and
// opens the viewer on it; while the viewer is open, asking again only brings
// it back into view. At exit the viewer is asked to close and what was
// written out is deleted.

#include <string>

namespace zandrel {

class BuiltInItems;
class EventLoop;
class Files;
class HelpWindows;

// The help document's own title and its viewer's caption: the program's
// name followed by " Help". The viewer is found again by it, so the
// document, the viewer and the lookups must agree.
std::string helpTitle();
// Appended to the temporary base name to name the help file on disk.
inline constexpr const char *HelpFileExtension = ".qch";
// How long the exit steps give the viewer to close and let go of the files.
inline constexpr int HelpCloseWaitMilliseconds = 250;

class HelpController {
public:
    HelpController(Files &files, BuiltInItems &items, EventLoop &events, HelpWindows &windows);

    // The Help Topics command, all of it. Throws Failure, told in a box of
    // its own, when the help cannot be written out or shown.
    void showHelp();
    // The help file's path; written out on the first successful call of the
    // run and kept while it stays this user's file. After a failure, which
    // throws, the next call tries again from the start.
    std::string extractHelpFile();
    // Asks an open viewer to close and returns at once.
    void closeHelp();
    // The exit steps: close the viewer, wait while handling events so it can
    // really go, then delete the help file. Failures
    // to delete are ignored: the files are in the temporary folder.
    void shutdown();

    // Empty until the first successful extraction; kept after shutdown.
    const std::string &helpFilePath() const { return m_helpFilePath; }

private:
    Files &m_files;
    BuiltInItems &m_items;
    EventLoop &m_events;
    HelpWindows &m_windows;
    std::string m_helpFilePath;
};

}  // namespace zandrel
