#include "templates/bracket_template.h"

#include "platform/failure.h"
#include "platform/runtime.h"
#include "templates/builtin_items.h"
#include "templates/comp_lzss3.h"
#include "templates/mod_res_files.h"

namespace zandrel {

std::string GetBracketTemplate(Runtime &runtime, int templateNumber)
{
    std::string baseName;
    std::string reason;
    if (!ModResFiles::CreateTempFileName(runtime, ModResFiles::TempPrefix, baseName, reason)) {
        runtime.showMessage(ModResFiles::failureMessage(ModResFiles::NoTempNameMessage, reason), {},
                            MessageIcon::Stop);
        return {};
    }
    if (ModResFiles::SaveResItemToDisk(runtime, templateNumber, BuiltInItemType, baseName, &reason) != 0) {
        removeFileIfPresent(runtime, baseName);
        runtime.showMessage(ModResFiles::failureMessage(ModResFiles::CannotSaveMessage, reason), {},
                            MessageIcon::Stop);
        return {};
    }

    std::string page;
    try {
        page = DecompressTemplate(runtime, baseName);
    } catch (...) {
        removeFileIfPresent(runtime, baseName);
        throw;
    }
    runtime.removeFile(baseName);
    return page;
}

std::string DecompressTemplate(Runtime &runtime, const std::string &fileNameString)
{
    Bytes bytes = runtime.readFile(fileNameString);
    Comp_LZSS3::Decompress(bytes);
    const std::string page = fileNameString + ".htm";
    runtime.createFileExclusive(page, bytes);
    return page;
}

}  // namespace zandrel
