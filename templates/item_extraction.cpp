#include "templates/item_extraction.h"

#include "platform/failure.h"
#include "platform/runtime.h"

namespace zandrel::extraction {

bool createTempFileName(Runtime &runtime, const std::string &prefix, std::string &name, std::string &reason)
{
    std::string path;
    try {
        // A file name cannot hold a NUL, so a path with one is no path at all.
        path = trimAtNull(runtime.createTempFile(prefix));
    } catch (const Failure &failure) {
        reason = failure.description();
        return false;
    }
    if (path.empty()) {
        reason = "The temporary folder gave no usable file name.";
        return false;
    }
    name = path;
    return true;
}

int saveItemToDisk(Runtime &runtime, int itemNumber, const std::string &typeName, const std::string &path,
                   std::string *reason)
{
    try {
        const Bytes item = runtime.builtInItem(itemNumber, typeName);
        // The file was made for us, exclusive and owner-only. Writing into it by
        // name could follow a link planted there since, so it is made afresh
        // under the same guarantees; if the name is taken meanwhile, this fails.
        if (runtime.fileExists(path))
            runtime.removeFile(path);
        runtime.createFileExclusive(path, item);
    } catch (const Failure &failure) {
        if (reason)
            *reason = failure.description();
        return failure.number();
    }
    return 0;
}

std::string failureMessage(const char *message, const std::string &reason)
{
    return reason.empty() ? std::string(message) : std::string(message) + "\n" + reason;
}

std::string trimAtNull(std::string_view text)
{
    return std::string(text.substr(0, text.find('\0')));
}

}  // namespace zandrel::extraction
