#pragma once
// What the help needs of the window system: top-level windows found by their
// exact title, restored or brought to the front, asked to close, and the
// help viewer opened on a file. The help logic never keeps a window between
// calls; it looks the viewer up by its title each time, so a viewer the user
// closed is simply not found.

#include <cstdint>
#include <string>

namespace zandrel {

class HelpWindows {
public:
    // Names a window between a lookup and the calls that act on it. Zero
    // names none; a window that went away meanwhile is ignored by every call.
    using Handle = std::uintptr_t;

    enum class ShowState { Unknown, Normal, Minimised };

    virtual ~HelpWindows() = default;

    // A shown top-level window of this program whose title is exactly `title`, or 0.
    virtual Handle findWindow(const std::string &title) = 0;
    // Unknown when the window cannot be asked.
    virtual ShowState showState(Handle window) = 0;
    // From minimised back to its normal size and place, active.
    virtual void restore(Handle window) = 0;
    // Makes the window the active one, above the others.
    virtual void bringToFront(Handle window) = 0;
    // Queues a request to close and returns without waiting for it.
    virtual void requestClose(Handle window) = 0;
    // Opens the viewer, titled `title`, on the help file at `path` and shows
    // the document's first page. Throws Failure, with the reason, when the
    // file cannot be shown; nothing is left open then.
    virtual void openViewer(const std::string &path, const std::string &title) = 0;
};

}  // namespace zandrel
