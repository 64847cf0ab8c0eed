#include "templates/bracket_template.h"

#include "platform/files.h"
#include "templates/item_extraction.h"
#include "templates/lzss_decoder.h"

namespace zandrel {

std::string extractBracketTemplate(Files &files, BuiltInItems &items, int templateNumber)
{
    const std::string itemFile = extraction::writeItemToTemporaryFile(files, items, templateNumber, "");
    std::string page;
    try {
        page = decompressTemplate(files, itemFile);
    } catch (...) {
        removeFileIfPresent(files, itemFile);
        throw;
    }
    files.removeFile(itemFile);
    return page;
}

std::string decompressTemplate(Files &files, const std::string &itemFile)
{
    Bytes bytes = files.readFile(itemFile);
    lzss::decompress(bytes);
    const std::string page = itemFile + ".htm";
    files.createFileExclusive(page, bytes);
    return page;
}

}  // namespace zandrel
