#include "platform/output_folder.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/player_list.h"
#include "platform/runtime.h"

namespace zandrel {

std::string userDataFolder(const Runtime &runtime)
{
    const std::string documents = runtime.documentsFolder().path;
    return documents.empty() ? std::string() : joinPath(documents, UserFolderName);
}

std::string outputFolder(Runtime &runtime, bool userFolderOnly)
{
    // An empty program folder is one the system could not name as text;
    // joining it with a file name would mean the current folder.
    const std::string programFolder = userFolderOnly ? std::string() : runtime.executableFolder();
    if (!programFolder.empty() && runtime.canWriteInFolder(programFolder))
        return programFolder;
    const std::string userFolder = userDataFolder(runtime);
    if (userFolder.empty()) {
        throw Failure(FailureNumber::PathNotFound,
                      std::string("There is no folder to save ") + BracketFileName + " in: "
                          + (programFolder.empty() ? std::string() : programFolder + " cannot be written, and ")
                          + runtime.documentsFolder().problem + ".");
    }
    runtime.makeFolder(userFolder);
    return userFolder;
}

std::string playerListFolder(const Runtime &runtime, bool userFolderOnly)
{
    const std::string programFolder = userFolderOnly ? std::string() : runtime.executableFolder();
    if (!programFolder.empty() && runtime.fileExists(playerListPath(programFolder)))
        return programFolder;
    const std::string userFolder = userDataFolder(runtime);
    return userFolder.empty() ? programFolder : userFolder;
}

}  // namespace zandrel
