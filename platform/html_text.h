#pragma once
// The one way text typed by the user reaches a bracket page.

#include <string>
#include <string_view>

namespace zandrel {

// Turns UTF-8 text into bytes that can stand in the body or title of a
// Windows-1252 page and print exactly as typed: "&", "<" and ">" become
// entities, characters the code page holds become its bytes, and every other
// character becomes a numeric character reference such as "&#1046;".
// Malformed UTF-8 and NUL print as U+FFFD, as a browser would show them.
std::string toPageText(std::string_view utf8);

}  // namespace zandrel
