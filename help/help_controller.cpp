#include "help/help_controller.h"

#include "help/bring_to_front.h"
#include "help/help_windows.h"
#include "platform/event_loop.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/tournament.h"
#include "product.h"
#include "templates/item_extraction.h"

namespace zandrel {

namespace {

// The wait is cut into slices so that events keep flowing while it lasts.
constexpr int WaitSliceMilliseconds = 25;

}  // namespace

std::string helpTitle()
{
    return std::string(product::Name) + " Help";
}

HelpController::HelpController(Files &files, BuiltInItems &items, EventLoop &events, HelpWindows &windows)
    : m_files(files)
    , m_items(items)
    , m_events(events)
    , m_windows(windows)
{
}

void HelpController::showHelp()
{
    if (m_windows.findWindow(helpTitle()) != 0) {
        bringToFrontByTitle(m_windows, helpTitle());
        return;
    }
    const std::string helpFile = extractHelpFile();
    try {
        m_windows.openViewer(helpFile, helpTitle());
    } catch (const Failure &failure) {
        throw failure.toldAs({"Unable to open the help file!\n\n" + failure.description(), {}, MessageIcon::Stop});
    }
}

std::string HelpController::extractHelpFile()
{
    if (!m_helpFilePath.empty()) {
        if (m_files.isOwnFile(m_helpFilePath))
            return m_helpFilePath;
        // A cleaner of the temporary folder took it; what is there now, if
        // anything, someone else put there, so it is neither opened nor
        // removed, and the help is written out afresh under a new name.
        m_helpFilePath.clear();
    }
    // Nothing of a failed attempt is kept, so the next Help Topics starts
    // afresh instead of opening an empty or partly written file.
    m_helpFilePath = extraction::writeItemToTemporaryFile(m_files, m_items, HelpItemNumber, HelpFileExtension);
    return m_helpFilePath;
}

void HelpController::closeHelp()
{
    const HelpWindows::Handle viewer = m_windows.findWindow(helpTitle());
    if (viewer != 0)
        m_windows.requestClose(viewer);
}

void HelpController::shutdown()
{
    closeHelp();
    // The close request is queued: the viewer acts on it, and lets go of its
    // files, only while events are handled.
    for (int waited = 0; waited < HelpCloseWaitMilliseconds; waited += WaitSliceMilliseconds) {
        m_events.processEvents();
        m_events.sleepMilliseconds(WaitSliceMilliseconds);
    }
    m_events.processEvents();
    if (!m_helpFilePath.empty() && m_files.isOwnFile(m_helpFilePath))
        removeFileIfPresent(m_files, m_helpFilePath);
}

}  // namespace zandrel
