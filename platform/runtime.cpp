#include "platform/runtime.h"

#include "platform/failure.h"

namespace zandrel {

void removeFileIfPresent(Runtime &runtime, const std::string &path) noexcept
{
    try {
        if (runtime.fileExists(path))
            runtime.removeFile(path);
    } catch (...) {
        // Tidying up: what could not go is left in the temporary folder.
    }
}

}  // namespace zandrel
