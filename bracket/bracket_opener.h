#pragma once
// Opening the finished page, and ten seconds later the product's web link,
// with whatever program the desktop associates with them.

#include "platform/os_family.h"

#include <optional>
#include <string>
#include <string_view>

namespace zandrel {

class Runtime;

// How the host opens a document with its associated program.
enum class DesktopHost {
    Windows,      // through the command interpreter's "start"
    MacOs,        // open <target>
    FreeDesktop,  // xdg-open <target>
};

constexpr DesktopHost currentDesktopHost()
{
#if defined(_WIN32)
    return DesktopHost::Windows;
#elif defined(__APPLE__)
    return DesktopHost::MacOs;
#else
    return DesktopHost::FreeDesktop;
#endif
}

// The Windows command line that opens `target`. The older family (1 or 2)
// gets "command.com /c start "Q target Q; every other family value, an empty
// one included, gets "cmd /c start "Q title Q" "Q target Q, where start takes
// the first quoted text as a window title and the second as what to open.
std::string windowsStartCommandLine(std::optional<double> osFamily, std::string_view title,
                                    std::string_view target);

// The page's command line for an output folder written with backslashes and
// without a trailing one. The cmd form's title is the folder immediately
// followed by "bracket.html", with no backslash between, as Windows has
// always been given it.
std::string windowsPageCommandLine(std::optional<double> osFamily, std::string_view outputFolder);

// The web link's command line; in the cmd form the link is also the title.
std::string windowsLinkCommandLine(std::optional<double> osFamily, std::string_view webLink);

struct BracketOpening {
    DesktopHost host = currentDesktopHost();
    // The operating-system family value, asked only on Windows; when unset
    // the value is empty, which selects the cmd form.
    OsFamilySource osFamily;
    // Asked after the wait: false when the window has gone meanwhile, and
    // then the link is not opened. Unset: the window is taken as open.
    std::function<bool()> stillOpen;
};

// Starts the command that opens bracket.html in `outputFolder`, waits ten
// seconds while the window stays usable, then starts the one that opens the
// product's web link. A command that cannot be started throws Failure; when
// it is the page's, there is no wait and no link.
void openBracket(Runtime &runtime, const std::string &outputFolder, const BracketOpening &how = {});

}  // namespace zandrel
