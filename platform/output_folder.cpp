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

namespace {

// The program's folder while the page and the list may live there: never in
// a system install, nor where the Windows installer put the program. Empty
// when they may not, or when the system could not name the folder as text
// (joining that with a file name would mean the current folder).
std::string programFolderForUse(const Runtime &runtime, bool userFolderOnly)
{
    if (userFolderOnly)
        return {};
    const std::string programFolder = runtime.executableFolder();
    if (programFolder.empty() || runtime.fileExists(joinPath(programFolder, UninstallerFileName)))
        return {};
    return programFolder;
}

}  // namespace

std::string outputFolder(Runtime &runtime, bool userFolderOnly)
{
    const std::string programFolder = programFolderForUse(runtime, userFolderOnly);
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
    const std::string programFolder = programFolderForUse(runtime, userFolderOnly);
    if (!programFolder.empty() && runtime.fileExists(playerListPath(programFolder)))
        return programFolder;
    const std::string userFolder = userDataFolder(runtime);
    return userFolder.empty() ? programFolder : userFolder;
}

}  // namespace zandrel
