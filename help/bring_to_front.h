#pragma once
// Gets a window the user lost sight of back in view.

#include <string>

namespace zandrel {

class HelpWindows;

// A minimised window titled `title` is restored to its normal place, and that
// is all; any other is brought to the front. No window, or one that cannot be
// asked for its state, is left alone.
void bringToFrontByTitle(HelpWindows &windows, const std::string &title);

}  // namespace zandrel
