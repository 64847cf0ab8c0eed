#include "platform/files.h"

#include "platform/failure.h"

namespace zandrel {

void removeFileIfPresent(Files &files, const std::string &path) noexcept
{
    try {
        if (files.fileExists(path))
            files.removeFile(path);
    } catch (...) {
        // Tidying up: what could not go is left in the temporary folder.
    }
}

}  // namespace zandrel
