#include "help/bring_to_front.h"

#include "help/help_windows.h"

namespace zandrel {

void bringToFrontByTitle(HelpWindows &windows, const std::string &title)
{
    const HelpWindows::Handle window = windows.findWindow(title);
    if (window == 0)
        return;
    switch (windows.showState(window)) {
    case HelpWindows::ShowState::Unknown:
        return;
    case HelpWindows::ShowState::Minimised:
        // Restoring already activates the window; raising it as well would
        // only make it flicker on some window managers.
        windows.restore(window);
        return;
    case HelpWindows::ShowState::Normal:
        windows.bringToFront(window);
        return;
    }
}

}  // namespace zandrel
