#include "platform/output_folder.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/player_list.h"
#include "platform/runtime.h"

namespace zandrel {

std::string userDataFolder(const Runtime &runtime)
{
    const std::string documents = runtime.documentsFolder();
    return documents.empty() ? std::string() : joinPath(documents, UserFolderName);
}

std::string outputFolder(Runtime &runtime, bool userFolderOnly)
{
    const std::string programFolder = runtime.executableFolder();
    if (!userFolderOnly && runtime.canWriteInFolder(programFolder))
        return programFolder;
    const std::string userFolder = userDataFolder(runtime);
    if (userFolder.empty()) {
        if (!userFolderOnly)
            return programFolder;
        throw Failure(FailureNumber::PathNotFound,
                      "There is no documents folder to save bracket.html in. Set XDG_DOCUMENTS_DIR or HOME.");
    }
    if (!runtime.fileExists(userFolder))
        runtime.makeFolder(userFolder);
    return userFolder;
}

std::string playerListFolder(const Runtime &runtime, bool userFolderOnly)
{
    const std::string programFolder = runtime.executableFolder();
    if (!userFolderOnly && runtime.fileExists(playerListPath(programFolder)))
        return programFolder;
    const std::string userFolder = userDataFolder(runtime);
    return userFolder.empty() ? programFolder : userFolder;
}

}  // namespace zandrel
