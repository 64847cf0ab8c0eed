#pragma once
// Where the page is written and the player list is read. A portable install
// keeps both beside the program; an installed program, or one whose folder
// the user cannot write to, keeps them in the user's documents folder under
// "Zandrel" instead, so Make Bracket works wherever the program lives.
//
// Installed on Windows, the program's folder is the user's own and so
// writable, but a page kept there is hidden in AppData and would go with the
// uninstaller. The same zandrel.exe is both the zip's and the installer's, so
// it tells them apart by the uninstaller the installer puts beside it.

#include "product.h"

#include <string>

namespace zandrel {

class Files;
class Places;

// The finished page, as it is named in the folder it goes to.
inline constexpr const char *BracketFileName = "bracket.html";

// The user's folder that takes over from the program's folder is the
// subfolder of the documents folder named after the program, product::Name.

// What the Windows installer puts beside the program, and the zip never holds.
inline constexpr const char *UninstallerFileName = "uninstall.exe";

// The user's own folder for the page and the list: the documents folder joined
// with "Zandrel". Throws Failure, saying why, when the system names no
// documents folder that may be used.
std::string userDataFolder(const Places &places);

// The folder bracket.html goes to: the program's folder while the user can
// write there (and neither `userFolderOnly` is on nor the uninstaller is
// beside the program), otherwise the user's folder,
// created when it is not there yet. Throws Failure when the user's folder
// cannot be created, or when there is no folder that may be used: the
// message then says why the system names no documents folder. Never the
// current folder: a program folder the system cannot name as text counts
// as none.
std::string outputFolder(const Places &places, Files &files, bool userFolderOnly = product::UserFolderOnly);

// The folder players.txt is read from: the program's folder when the list is
// there (and neither `userFolderOnly` is on nor the uninstaller is beside
// the program), otherwise the user's folder, which is
// never created just to look into it. Without a documents folder the
// program's folder is the only place left to look; empty when there is none.
std::string playerListFolder(const Places &places, const Files &files, bool userFolderOnly = product::UserFolderOnly);

}  // namespace zandrel
