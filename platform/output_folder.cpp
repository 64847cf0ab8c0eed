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

namespace {

// The program's folder while the page and the list may live there: never in
// a system install, nor where the Windows installer put the program. Empty
// when they may not, or when the system could not name the folder as text
// (joining that with a file name would mean the current folder).
std::string programFolderForUse(const Places &places, const Files &files, bool userFolderOnly)
{
    if (userFolderOnly)
        return {};
    const std::string programFolder = places.programFolder();
    if (programFolder.empty() || files.fileExists(joinPath(programFolder, UninstallerFileName)))
        return {};
    return programFolder;
}

}  // namespace

std::string outputFolder(const Places &places, Files &files, bool userFolderOnly)
{
    const std::string programFolder = programFolderForUse(places, files, userFolderOnly);
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
    const std::string programFolder = programFolderForUse(places, files, userFolderOnly);
    if (!programFolder.empty() && files.fileExists(playerListPath(programFolder)))
        return programFolder;
    try {
        return userDataFolder(places);
    } catch (const Failure &) {
        return programFolder;  // without a documents folder, the only place left to look
    }
}

}  // namespace zandrel
