#include "help/help_controller.h"

#include "help/bring_to_front.h"
#include "help/help_windows.h"
#include "platform/failure.h"
#include "platform/runtime.h"
#include "platform/tournament.h"
#include "templates/builtin_items.h"
#include "templates/item_extraction.h"

namespace zandrel {

namespace {

// The wait is cut into slices so that events keep flowing while it lasts.
constexpr int WaitSliceMilliseconds = 25;

}  // namespace

HelpController::HelpController(Runtime &runtime, HelpWindows &windows)
    : m_runtime(runtime)
    , m_windows(windows)
{
}

void HelpController::showHelp()
{
    if (m_windows.findWindow(HelpTitle) != 0) {
        bringToFrontByTitle(m_windows, HelpTitle);
        return;
    }
    const std::string helpFile = extractHelpFile();
    // The failure has been told; a viewer on nothing would only add a second,
    // more confusing message.
    if (helpFile.empty())
        return;
    try {
        m_windows.openViewer(helpFile, HelpTitle);
    } catch (const Failure &failure) {
        m_runtime.showMessage("Unable to open the help file!\n\n" + failure.description(), ProgramTitle,
                              MessageIcon::Stop);
    }
}

std::string HelpController::extractHelpFile()
{
    if (!m_helpFilePath.empty()) {
        if (m_runtime.isOwnFile(m_helpFilePath))
            return m_helpFilePath;
        // A cleaner of the temporary folder took it; what is there now, if
        // anything, someone else put there, so it is neither opened nor
        // removed, and the help is written out afresh under a new name.
        m_helpFilePath.clear();
    }

    std::string base;
    std::string reason;
    if (!extraction::createTempFileName(m_runtime, extraction::TempPrefix, base, reason)) {
        m_runtime.showMessage(extraction::failureMessage(extraction::NoTempNameMessage, reason), ProgramTitle,
                              MessageIcon::Stop);
        return {};
    }
    const std::string helpFile = base + HelpFileExtension;
    if (extraction::saveItemToDisk(m_runtime, HelpItemNumber, BuiltInItemType, helpFile, &reason) != 0) {
        // Nothing of a failed attempt is kept, so the next Help Topics starts
        // afresh instead of opening an empty or partly written file.
        removeFileIfPresent(m_runtime, helpFile);
        removeFileIfPresent(m_runtime, base);
        m_runtime.showMessage(extraction::failureMessage(extraction::CannotSaveMessage, reason), ProgramTitle,
                              MessageIcon::Stop);
        return {};
    }
    // The base name only reserved the name; the help file is what counts.
    removeFileIfPresent(m_runtime, base);
    m_helpFilePath = helpFile;
    return m_helpFilePath;
}

void HelpController::closeHelp()
{
    const HelpWindows::Handle viewer = m_windows.findWindow(HelpTitle);
    if (viewer != 0)
        m_windows.requestClose(viewer);
}

void HelpController::shutdown()
{
    closeHelp();
    // The close request is queued: the viewer acts on it, and lets go of its
    // files, only while events are handled.
    for (int waited = 0; waited < HelpCloseWaitMilliseconds; waited += WaitSliceMilliseconds) {
        m_runtime.processEvents();
        m_runtime.sleepMilliseconds(WaitSliceMilliseconds);
    }
    m_runtime.processEvents();
    if (!m_helpFilePath.empty() && m_runtime.isOwnFile(m_helpFilePath))
        removeFileIfPresent(m_runtime, m_helpFilePath);
}

}  // namespace zandrel
