#pragma once
// Texts the windows show that are built from the product's facts.

#include <string>

namespace zandrel {

// The six lines of the About box, joined by CR LF, without a line end after the last.
std::string aboutText();
inline constexpr const char *AboutTitle = "About Zandrel";

// The privacy statement of the privacy window, lines ending in CR LF.
std::string privacyText();

}  // namespace zandrel
