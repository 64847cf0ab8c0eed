#include "platform/paths.h"

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

}  // namespace zandrel
