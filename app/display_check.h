#pragma once
// Without a display Qt stops the program with advice to reinstall it, which
// sends the user the wrong way. These say instead, in one line, that the
// program needs a graphical desktop and what is missing.

#include <string>
#include <string_view>

namespace zandrel {

// What is wrong before any window can be made: empty when a display is named
// (or a platform is chosen by QT_QPA_PLATFORM, or the system is not one
// that names its display in the environment).
std::string missingDisplayMessage(std::string_view platform, std::string_view display,
                                  std::string_view waylandDisplay);

// Until the application has been made, a display that is named but cannot be
// reached ends the program with one line and status 1 instead of Qt's abort.
// Qt's own lines about the failed platform, and about the runtime folder, are
// held back meanwhile.
void watchForUnreachableDisplay();
void stopWatchingForUnreachableDisplay();

}  // namespace zandrel
