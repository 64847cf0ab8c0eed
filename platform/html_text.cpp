#include "platform/html_text.h"

#include "platform/text_encoding.h"

namespace zandrel {

std::string toPageText(std::string_view utf8)
{
    std::string page;
    page.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t codePoint = readUtf8CodePoint(utf8, pos).value_or(ReplacementCharacter);
        // A NUL byte in a page is a parse error that some tools read as the
        // end of the text; say what the browser would show instead.
        if (codePoint == 0)
            codePoint = ReplacementCharacter;

        switch (codePoint) {
        case U'&':
            page += "&amp;";
            continue;
        case U'<':
            page += "&lt;";
            continue;
        case U'>':
            page += "&gt;";
            continue;
        default:
            break;
        }
        if (const auto byte = cp1252Byte(codePoint)) {
            page.push_back(static_cast<char>(*byte));
        } else {
            page += "&#";
            page += std::to_string(static_cast<unsigned long>(codePoint));
            page += ';';
        }
    }
    return page;
}

}  // namespace zandrel
