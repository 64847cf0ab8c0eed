#pragma once
// Joining a folder the runtime gave us with a file name.

#include <string>
#include <string_view>

namespace zandrel {

// `folder` and `name` with exactly one separator between them: the folder's
// own kind (a backslash for a Windows path written with backslashes, a slash
// otherwise), none added after a root that already ends in one.
std::string joinPath(std::string_view folder, std::string_view name);

// Where a file is written whole before it is renamed over `path`: beside it,
// under its name with ".tmp" in place of the last extension, so that
// bracket.html is written as bracket.tmp.
std::string scratchPathFor(std::string_view path);

// The folder of the program whose full path, as the system names it in
// bytes, is `programPath` (a Unix path). Empty when that folder cannot be
// passed on as text: a name that is not UTF-8 would come back as another
// folder, or as none, which would mean the current one.
std::string programFolderOf(std::string_view programPath);

}  // namespace zandrel
