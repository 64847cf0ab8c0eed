#include "platform/shell_url.h"

namespace zandrel {

namespace {

bool keptAsWritten(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/' || c >= 0x80;
}

}  // namespace

std::string windowsShellFileUrl(std::string_view path)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string url = "file:";
    std::string_view rest = path;
    if (rest.starts_with("\\\\")) {
        url += "//";  // \\server\share\... : the server is the URL's host
        rest.remove_prefix(2);
    } else {
        url += "///";
        if (rest.size() >= 2 && rest[1] == ':') {
            url += rest.substr(0, 2);  // the drive, whose colon stays a colon
            rest.remove_prefix(2);
        }
    }
    for (const char ch : rest) {
        const auto c = static_cast<unsigned char>(ch == '\\' ? '/' : ch);
        if (keptAsWritten(c)) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += Hex[c >> 4];
            url += Hex[c & 0xF];
        }
    }
    return url;
}

}  // namespace zandrel
