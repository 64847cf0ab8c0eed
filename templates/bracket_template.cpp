#include "templates/bracket_template.h"

#include "platform/failure.h"
#include "platform/runtime.h"
#include "templates/builtin_items.h"
#include "templates/item_extraction.h"
#include "templates/lzss_decoder.h"

namespace zandrel {

std::string extractBracketTemplate(Runtime &runtime, int templateNumber)
{
    std::string baseName;
    std::string reason;
    if (!extraction::createTempFileName(runtime, extraction::TempPrefix, baseName, reason)) {
        runtime.showMessage(extraction::failureMessage(extraction::NoTempNameMessage, reason), {},
                            MessageIcon::Stop);
        return {};
    }
    if (extraction::saveItemToDisk(runtime, templateNumber, BuiltInItemType, baseName, &reason) != 0) {
        removeFileIfPresent(runtime, baseName);
        runtime.showMessage(extraction::failureMessage(extraction::CannotSaveMessage, reason), {},
                            MessageIcon::Stop);
        return {};
    }

    std::string page;
    try {
        page = decompressTemplate(runtime, baseName);
    } catch (...) {
        removeFileIfPresent(runtime, baseName);
        throw;
    }
    runtime.removeFile(baseName);
    return page;
}

std::string decompressTemplate(Runtime &runtime, const std::string &itemFile)
{
    Bytes bytes = runtime.readFile(itemFile);
    lzss::decompress(bytes);
    const std::string page = itemFile + ".htm";
    runtime.createFileExclusive(page, bytes);
    return page;
}

}  // namespace zandrel
