#include "platform/output_folder.h"

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/places.h"
#include "platform/player_list.h"

namespace zandrel {

std::string userDataFolder(const Places &places)
{
    return joinPath(places.documentsFolder(), product::Name);
}

std::string outputFolder(const Places &places, Files &files, bool userFolderOnly)
{
    // An empty program folder is one the system could not name as text;
    // joining it with a file name would mean the current folder.
    const std::string programFolder = userFolderOnly ? std::string() : places.programFolder();
    if (!programFolder.empty() && files.canWriteInFolder(programFolder))
        return programFolder;
    std::string userFolder;
    try {
        userFolder = userDataFolder(places);
    } catch (const Failure &noDocuments) {
        throw Failure(FailureNumber::PathNotFound,
                      std::string("There is no folder to save ") + BracketFileName + " in: "
                          + (programFolder.empty() ? std::string() : programFolder + " cannot be written, and ")
                          + noDocuments.description() + ".");
    }
    files.makeFolder(userFolder);
    return userFolder;
}

std::string playerListFolder(const Places &places, const Files &files, bool userFolderOnly)
{
    const std::string programFolder = userFolderOnly ? std::string() : places.programFolder();
    if (!programFolder.empty() && files.fileExists(playerListPath(programFolder)))
        return programFolder;
    try {
        return userDataFolder(places);
    } catch (const Failure &) {
        return programFolder;  // without a documents folder, the only place left to look
    }
}

}  // namespace zandrel
