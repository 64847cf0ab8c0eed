#include "platform/paths.h"

#include "platform/text_encoding.h"

namespace zandrel {

std::string joinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (!path.empty() && path.back() != '/' && path.back() != '\\') {
        const bool windowsStyle = path.find('\\') != std::string::npos && path.find('/') == std::string::npos;
        path += windowsStyle ? '\\' : '/';
    }
    return path.append(name);
}

std::string scratchPathFor(std::string_view path)
{
    const std::size_t nameStart = path.find_last_of("/\\") + 1;  // 0 when there is no folder
    const std::size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && dot > nameStart;
    return std::string(path.substr(0, hasExtension ? dot : path.size())) + ".tmp";
}

std::string programFolderOf(std::string_view programPath)
{
    const std::size_t slash = programPath.rfind('/');
    if (slash == std::string_view::npos || programPath.front() != '/')
        return {};
    const std::string_view folder = programPath.substr(0, slash == 0 ? 1 : slash);  // the root keeps its slash
    return isValidUtf8(folder) ? std::string(folder) : std::string();
}

}  // namespace zandrel
