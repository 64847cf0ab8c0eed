#include "templates/item_extraction.h"

#include "platform/builtin_items.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "templates/builtin_items.h"

namespace zandrel::extraction {

namespace {

Failure toldAs(const Failure &failure, const char *message)
{
    return failure.toldAs({std::string(message) + "\n" + failure.description(), {}, MessageIcon::Stop});
}

}  // namespace

std::string writeItemToTemporaryFile(Files &files, BuiltInItems &items, int number, const std::string &extension)
{
    std::string base;
    try {
        base = files.createTempFile(TempPrefix);
    } catch (const Failure &failure) {
        throw toldAs(failure, NoTempNameMessage);
    }
    // A file name cannot hold a NUL, so a path with one is no path at all.
    if (base.empty() || base.find('\0') != std::string::npos) {
        removeFileIfPresent(files, base.substr(0, base.find('\0')));
        throw toldAs(Failure(FailureNumber::PathFileAccess, "The temporary folder gave no usable file name."),
                     NoTempNameMessage);
    }
    const std::string path = base + extension;
    try {
        const Bytes item = items.builtInItem(number, BuiltInItemType);
        // The base file was made for us, exclusive and owner-only. Writing
        // into it by name could follow a link planted there since, so the
        // item goes to a file made afresh under the same guarantees; if the
        // name is taken meanwhile, this fails.
        files.removeFile(base);
        files.createFileExclusive(path, item);
    } catch (const Failure &failure) {
        removeFileIfPresent(files, path);
        removeFileIfPresent(files, base);
        throw toldAs(failure, CannotSaveMessage);
    }
    return path;
}

}  // namespace zandrel::extraction
