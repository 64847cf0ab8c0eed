#pragma once
// How a file is named to the Windows shell when it is to be opened.

#include <string>
#include <string_view>

namespace zandrel {

// The file URL of `path`, a full Windows path (C:\... or \\server\share\...)
// in UTF-8, as the shell's open call takes it.
//
// The shell is given a URL rather than the path because Wine's shell
// expands %NAME% in a plain path, as a command interpreter would, so a
// folder named "Club %PATH% 100%" would open some other file or none. In
// the URL every ASCII character that is not a letter, a digit, "-._~" or a
// separator is written %XX, so no two percent signs ever enclose a
// variable's name; Windows' shell decodes the URL back to the very path.
// Characters beyond ASCII stay as they are: the shell's URL decoder reads a
// %XX as one character of the system's code page, never as a byte of UTF-8.
std::string windowsShellFileUrl(std::string_view path);

}  // namespace zandrel
