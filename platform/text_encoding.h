#pragma once
// UTF-8 and Windows-1252, the two encodings the program meets: the window
// hands text over as UTF-8, while the bracket pages and older players.txt
// files are Windows-1252 bytes. Text the user typed reaches a page through
// toPageText alone. Nothing here guesses or throws: malformed
// UTF-8 is reported per sequence so each caller decides what it means.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zandrel {

inline constexpr char32_t ReplacementCharacter = U'\uFFFD';

// Reads the code point that starts at `pos` and moves `pos` past it. On a
// malformed sequence it returns nothing and moves past its maximal ill-formed
// part (at least one byte), as Unicode recommends, so one bad byte never
// swallows the valid text after it. `pos` must be below `utf8.size()`.
std::optional<char32_t> readUtf8CodePoint(std::string_view utf8, std::size_t &pos);

// True when every byte belongs to a well-formed sequence: no overlong forms,
// no surrogates, nothing above U+10FFFF, no sequence cut off at the end.
bool isValidUtf8(std::string_view bytes);

void appendUtf8(std::string &out, char32_t codePoint);

// UTF-16 bytes (without their byte-order mark) to UTF-8. A lone surrogate
// becomes U+FFFD, and so does an odd last byte.
std::string decodeUtf16(std::string_view bytes, bool bigEndian);

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// (81, 8D, 8F, 90, 9D) become the C1 controls of the same number, as Windows
// itself maps them, so no byte is ever lost.
std::string decodeCp1252(std::string_view bytes);

// The Windows-1252 byte for a code point, or nothing when the code page has
// none. The C1 controls U+0080 to U+009F have none: those bytes mean other
// characters in this code page.
std::optional<unsigned char> cp1252Byte(char32_t codePoint);

// The one way text typed by the user reaches a bracket page: turns UTF-8 text into bytes that can stand in the body or title of a
// Windows-1252 page and print exactly as typed: "&", "<" and ">" become
// entities, characters the code page holds become its bytes, and every other
// character becomes a numeric character reference such as "&#1046;".
// Malformed UTF-8 and NUL print as U+FFFD, as a browser would show them.
std::string toPageText(std::string_view utf8);

}  // namespace zandrel
